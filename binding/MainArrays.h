#pragma once
// Catalogue arrays and option lists of the main window's requests, the
// commit request and the reboot command. Constant data, Qt-free.

#include "VtCatalogue.h"

// Option lists shared by the main window, the wait dialog and the screens.
extern const VtOptionList MainOptCommitApply;    // 0 nothing, 1 apply
extern const VtOptionList MainOptCommitRestart;  // 0 nothing, 1 reboot
extern const VtOptionList MainOptLedEnable;      // 0 disable, 1 blinking
extern const VtOptionList MainOptApMode;         // 1 Access Point .. 4 Wireless Client
extern const VtOptionList MainOptUpgradeCommand; // tftpUpgradeSettingCommand

// Fixed list: hIPAddress, hSubnetMask, hDefaultGateway.
extern const VtSNMPVariable MainAddressVars[];
// Fixed list: ifIpAddress.
extern const VtSNMPVariable MainInterfaceAddressVars[];
// Scalar list: deviceSettingApply, deviceSettingDiscard, deviceRestart.
extern const VtSNMPVariable MainCommitVars[];
// Fixed list: wirelessLed2dot4G, wirelessLed5G, lanLED.
extern const VtSNMPVariable MainLedEnableVars[];
// Fixed list: dot11ApMode.
extern const VtSNMPVariable MainApModeVars[];
// Scalar list: sysDescr (the status request of the LED poll).
extern const VtSNMPVariable MainStatusVars[];
// Scalar list: tftpUpgradeSettingCommand (reboot command and file transfers).
extern const VtSNMPVariable MainUpgradeCommandVars[];
