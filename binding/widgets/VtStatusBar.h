#pragma once
// Status bar with the two faces the screens use: one simple text across the
// whole bar, or a row of panels, each with its own text and width. The simple
// text shows while the bar has no panels or while SimplePanel is set; panels
// show otherwise.
//
// VtWriteResultLog puts a result-log line into a log target: a memo
// (QPlainTextEdit) gets it as a new line, a status bar as its simple text, a
// status panel as its text; other targets get nothing.

#include <QLabel>
#include <QList>
#include <QStatusBar>

#include <string>

class VtStatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit VtStatusPanel(QWidget* parent = nullptr) : QLabel(parent) {}
};

class VtStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit VtStatusBar(QWidget* parent = nullptr);

    QString simpleText() const;
    void setSimpleText(const QString& text);
    bool simplePanel() const { return simplePanel_; }
    void setSimplePanel(bool on);

    VtStatusPanel* addPanel(int width);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    VtStatusPanel* panel(int index) const;
    // Text of panel i; a panel that does not exist reads empty and ignores writes.
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);

private:
    void updateFace();

    QLabel* simple_;
    QList<VtStatusPanel*> panels_;
    bool simplePanel_ = false;
};

// kind: 0 read, 1 write.
void VtWriteResultLog(QObject* target, int kind, const std::string& message);
