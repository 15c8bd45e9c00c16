#pragma once
// TMainForm: the module's one main window. Creating it runs the whole
// start-up: message tables, SNMP session, module and profile folders, command
// line and device profile, caption and per-device guard, status poll and
// start-up reads, log folder. A refused or failed start-up leaves the window
// hidden with its timers stopped; main() then ends with exitCode().
//
// Once up, the window follows the device: the LED poll (MainLeds.cpp) reads
// sysDescr every two seconds and drives the four lamps and the status line;
// invisible value holders keep the device's address, mask, commit variables,
// LED enables and AP mode for the screens. The menu commands are in
// MainCommands.cpp.

#include "LocalAddressList.h"
#include "VtError.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LedLamp;
class MainMenu;
class QAction;
class QComboBox;
class QLabel;
class QStatusBar;
class QTimer;
class VtEdit;
class VtSNMPRequest;
class VtSNMPRequest2Edits;

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

    // The application's one main window while it exists (screens reach the
    // value holders, the local address list and the menu through it).
    static TMainForm* instance();

    QStatusBar* MainStatusBar = nullptr;
    QTimer* LedStatus = nullptr;  // 2000 ms: LED poll
    QTimer* LedBlink = nullptr;   // 500 ms: flashing of the wireless lamps
    QTimer* Timer1 = nullptr;     // 2000 ms: refresh of the value holders

    // Front panel: the device picture and its four lamps.
    QLabel* Image1 = nullptr;
    LedLamp* LED_APstatus = nullptr;  // LAN activity
    LedLamp* LED_24GLan = nullptr;    // 2.4 GHz radio; lit also tells the wait dialog the device answers
    LedLamp* LED_5GLan = nullptr;     // 5 GHz radio
    LedLamp* LED_Power = nullptr;     // power / reachability

    // Invisible value holders filled from the device.
    VtEdit* IPAddressEdit = nullptr;    // hIPAddress
    VtEdit* SubMaskEdit = nullptr;      // hSubnetMask
    VtEdit* Ed_SysIpaddress = nullptr;  // ifIpAddress
    QComboBox* Cbox_SaveAct = nullptr;  // deviceSettingApply
    QComboBox* Cbox_Discard = nullptr;  // deviceSettingDiscard
    QComboBox* Cbox_Restart = nullptr;  // deviceRestart
    QComboBox* CB_Led2dot4G = nullptr;  // wirelessLed2dot4G
    QComboBox* CB_Led5G = nullptr;      // wirelessLed5G
    QComboBox* CB_LedLan = nullptr;     // lanLED
    QComboBox* CB_ApMode = nullptr;     // dot11ApMode

    // The menu bar; screens are hooked to their items in ConnectScreens().
    MainMenu* Menu() const { return menu_.get(); }
    // Shows or hides Advanced > "ARP Spoofing Prevention".
    void SetArpSpoofingVisible(bool visible);

    // The PC's own addresses (unique, only ever added).
    const ksr::LocalAddressList& LocalAddresses() const { return localAddresses_; }
    void DiscoverLocalAddresses();

    // Set by every poll result; the blink step rests while it is false.
    bool DeviceAnswering = true;
    // Ticks of Timer1 since the holders were last emptied.
    int Timer1Ticks = 0;
    // Time-out of one try of the LED poll, in hundredths of a second.
    int StatusPollTimeout = 3000;

    // Timer handlers and the poll's completion.
    void LedStatusTimer();
    void LedStatusDone(const VtSNMPError& result);
    void LedBlinkTimer();
    void Timer1Timer();

    // Menu commands that open no screen.
    void SaveAndActivateClick();
    void DiscardChangesClick();
    void AboutClick();

private:
    // Step 7 of start-up: builds the status request over sysDescr and runs
    // the first LED poll.
    void StartStatusPoll();
    // Step 8 of start-up: the start-up reads into the value holders, in
    // order, with the AP-mode rule for "ARP Spoofing Prevention".
    void ReadStartupValues();

    void BuildFrontPanel();
    void BuildHolders();
    void BuildMenu();
    void ConnectScreens();
    // Paints all four lamps dark and visible and shows the failure.
    void ShowPollFailure(const std::string& message);
    // Writes the commit variables (apply, discard, restart as item indexes)
    // in one blocking set; false with the message shown when it failed.
    bool WriteCommit(int apply, int discard, int restart);
    void RunCountdown(int remaining, const QString& first, const QString& second);

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

    std::unique_ptr<MainMenu> menu_;
    ksr::LocalAddressList localAddresses_;
    std::unique_ptr<VtSNMPRequest> statusRequest_;
    VtSNMPRequest2Edits* addressRequest_ = nullptr;    // children of the window
    VtSNMPRequest2Edits* interfaceRequest_ = nullptr;
    VtSNMPRequest2Edits* commitRequest_ = nullptr;
    VtSNMPRequest2Edits* ledRequest_ = nullptr;
    VtSNMPRequest2Edits* apModeRequest_ = nullptr;
    std::string commitError_;  // message of the commit write's last failure
};
