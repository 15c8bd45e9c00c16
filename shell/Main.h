#pragma once
// TMainForm: the module's one main window. Creating it runs the whole
// start-up: message tables, SNMP session, module and profile folders, command
// line and device profile, caption and per-device guard, status poll and
// start-up reads, log folder. A refused or failed start-up leaves the window
// hidden with its timers stopped; main() then ends with exitCode().

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class QStatusBar;
class QTimer;

namespace ksr {
class DeviceLock;
}

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    enum class Startup {
        Started,         // running; show the window and enter the event loop
        NoArguments,     // started without arguments; the message was shown
        AlreadyRunning,  // another module holds this device; "Warning" shown
        Failed,          // a bad number or the SNMP session; "Error" shown
    };

    // `arguments` are the command-line arguments without the program name.
    explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    Startup startupResult() const { return startup_; }
    // Exit code of a start-up that did not reach the event loop: 2 without
    // arguments, 3 when another module holds the device, 1 on failure.
    int exitCode() const;

    // The device address exactly as it followed "/I" (names the profile).
    const QString& addressText() const { return addressText_; }
    // <application data>/KSR-4710, kept whether or not it could be created.
    const QString& logFolder() const { return logFolder_; }

    // The status line (simple text of MainStatusBar); every change is traced.
    void SetStatusText(const QString& text);
    QString statusText() const;

    QStatusBar* MainStatusBar = nullptr;
    QTimer* LedStatus = nullptr;  // 2000 ms: LED poll
    QTimer* LedBlink = nullptr;   // 500 ms: flashing of the wireless lamps
    QTimer* Timer1 = nullptr;     // 2000 ms: refresh of the value holders

private:
    // Step 7 of start-up: builds the status request over sysDescr and runs
    // the first LED poll. Does nothing yet.
    void StartStatusPoll();
    // Step 8 of start-up: the start-up reads into the value holders. Does
    // nothing yet.
    void ReadStartupValues();

    void FormCreate(const QStringList& arguments);
    void LayoutWindow();
    bool StartSession();
    void LoadModuleMessages();
    bool ReadCommandLine(const QStringList& arguments);
    bool GuardDevice();
    void CreateLogFolder();

    void StopTimers();
    // Stops the timers and shows why start-up ends: a plain message without
    // a caption, else a box with that caption.
    void Refuse(Startup why, const QString& text, const QString& caption = {});
    void CentreOnDesktop();

    Startup startup_ = Startup::Failed;
    QString addressText_;
    QString logFolder_;
    QString profileFolder_;
    std::unique_ptr<ksr::DeviceLock> deviceLock_;
};
