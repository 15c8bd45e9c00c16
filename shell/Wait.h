#pragma once
// "Please wait": the countdown a command shows while the device applies a
// change or restarts, or a modeless busy note while a long command runs.
//
// Countdown: every 1200 ms one displayed second; the count holds at 1 until
// the main window's 2.4 GHz lamp is seen lit (the device answers again), for
// at most six ticks. On the second tick the device's reboot command goes out
// unless SendReboot was cleared. The user cannot close the dialog while it
// counts.
//
// The one dialog that exists is reachable through TFM_Waiting::current(), so
// that a completion handler can end the busy note its command opened.

#include <QDialog>
#include <QPointer>

class LedLamp;
class QLabel;
class QTimer;
class VtEdit;
class VtSNMPRequest2Edits;

class TFM_Waiting : public QDialog {
    Q_OBJECT

public:
    explicit TFM_Waiting(QWidget* owner = nullptr);
    ~TFM_Waiting() override;

    // The dialog that exists now, or null.
    static TFM_Waiting* current();

    // The lamp whose lit colour means "the device answers" (the main
    // window's 2.4 GHz lamp). Without one the device never counts as
    // answering and every countdown ends through the stall limit.
    static void setAnswerLamp(LedLamp* lamp);

    QLabel* Label2;   // first line
    QLabel* Label3;   // second line
    QLabel* Label1;   // "Please wait for"
    QLabel* La_Time;  // the count
    QLabel* seconds;  // "seconds."
    QTimer* Timer1;
    VtEdit* Ed_Reboot;  // invisible holder of the reboot command's value

    int Remaining = 25;        // seconds still to count
    bool SendReboot = true;    // send the reboot command on the second tick
    bool RebootPending = true; // the reboot step has not run yet
    int RebootDelay = 2;       // ticks until the reboot step
    int StalledTicks = 0;      // ticks spent at 1 without seeing the device

    // Replaces the first and second line.
    void setLines(const QString& first, const QString& second);

    // One tick of the countdown (Timer1).
    void Timer1Timer();

    // Busy note: shows the dialog modeless without a count, sends nothing,
    // sets the normal cursor and disables the caller's window until
    // endBusyNote. An empty first line reads "Please wait...".
    void showBusyNote(QWidget* caller, const QString& first, const QString& second);
    // Enables the caller's window again, sets the normal cursor and hides the
    // note; the caller then destroys the dialog.
    void endBusyNote(QWidget* caller);
    // Ends and destroys the current dialog's busy note, if a dialog exists.
    static void finishBusyNote(QWidget* caller);

    // True when a close by the user would be allowed now (after three stalled
    // ticks the count is given up).
    bool mayClose();

public slots:
    void reject() override;

protected:
    // The reboot step's write of "Reboot" to tftpUpgradeSettingCommand.
    virtual void sendRebootCommand();

private:
    bool deviceAnswering() const;

    VtSNMPRequest2Edits* rebootRequest_ = nullptr;  // owned as a child, built on the reboot step
};
