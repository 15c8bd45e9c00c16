#pragma once
// Help > About: model name, release version and, for support staff, the
// build label behind Shift+Alt+F3.

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* owner);

    QLabel* Image1;        // application icon
    QLabel* LB_Title;      // "KSR-4710 Management Module"
    QLabel* LB_Release;    // "Release Version:"
    QLabel* LB_Version;    // "v1.00"
    QLabel* LB_Build;      // "R15(2010/12/01)", hidden until Shift+Alt+F3
    QPushButton* BT_Ok;

    void BT_OkClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
