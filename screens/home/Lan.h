#pragma once
// Home \ LAN: how the access point gets its IPv4 address, fixed by the user
// (address, subnet mask, default gateway) or from a DHCP server.
//
// Both requests are blocking. Save writes only what changed in kind: a switch
// to DHCP writes the mode alone, a new fixed address on a device that already
// has one writes the three addresses alone, a switch from DHCP to a fixed
// address writes the mode and then the addresses. The mode the device was
// last known to have (LoadedMode) decides which.

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class VtEdit;
class VtSNMPRequest2Edits;
class VtStatusBar;

class TFM_LanCfg : public QDialog {
    Q_OBJECT

public:
    // Item indices of "Get IP From".
    enum { ModeStatic = 0, ModeDynamic = 1 };

    explicit TFM_LanCfg(QWidget* owner = nullptr);
    ~TFM_LanCfg() override;

    QComboBox* CB_IPFrom;
    VtEdit* ED_IpAddr;
    VtEdit* ED_SubMask;
    VtEdit* ED_DefGw;
    QPushButton* BT_LanCfgOk;      // "Save"
    QPushButton* BT_LanCfgCancel;  // "Cancel"
    VtStatusBar* StatusBar;        // one panel; every text goes to panel 0

    VtSNMPRequest2Edits* ModeRequest;     // hGetIPFrom -> CB_IPFrom
    VtSNMPRequest2Edits* AddressRequest;  // hIPAddress, hSubnetMask, hDefaultGateway

    // Item index of "Get IP From" the device was last read or written with.
    int LoadedMode = ModeStatic;

    void BT_LanCfgOkClick();
    void BT_LanCfgCancelClick();
    void CB_IPFromChange();

private:
    void FormCreate();
    bool CheckAddresses();
    // Writes the mode and/or the addresses as the loaded mode requires.
    bool WriteStatic();
    bool WriteDynamic();
    void ShowAddressControls();
    // The three address labels and their boxes.
    std::array<QWidget*, 6> addressControls() const;
    void ClearZeroGateway();
    void ShowStatus(const QString& text);

    QLabel* La_IpAddr;
    QLabel* La_SubMask;
    QLabel* La_DefGw;
};

// The open LAN screen, or null.
extern TFM_LanCfg* FM_LanCfg;

// Home > LAN: creates the screen, shows it modally and destroys it.
void openLanScreen();
