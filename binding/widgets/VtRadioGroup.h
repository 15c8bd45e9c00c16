#pragma once
// Radio group: a titled box of radio buttons, one per item, of which at most
// one is selected. itemIndex() is -1 when none is. Items are plain texts;
// their order is the order of the buttons, top to bottom.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

class VtRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)

public:
    explicit VtRadioGroup(QWidget* parent = nullptr);
    explicit VtRadioGroup(const QString& title, QWidget* parent = nullptr);

    void clearItems();
    void addItem(const QString& text);
    void setItems(const QStringList& texts);
    QStringList items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    QString itemText(int index) const;

    int itemIndex() const;
    // -1 (or any index out of range) clears the selection.
    void setItemIndex(int index);

    // The radio button of item i (tests click it as a user would).
    class QRadioButton* button(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* group_;
    QVBoxLayout* layout_;
    QStringList items_;
};
