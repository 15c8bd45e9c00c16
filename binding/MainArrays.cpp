#include "MainArrays.h"

namespace {
const VtOptionPair kCommitApply[] = {{0, "nothing"}, {1, "apply"}, {0, nullptr}};
const VtOptionPair kCommitRestart[] = {{0, "nothing"}, {1, "reboot"}, {0, nullptr}};
const VtOptionPair kLedEnable[] = {{0, "disable"}, {1, "blinking"}, {0, nullptr}};
const VtOptionPair kApMode[] = {
    {1, "Access Point"}, {2, "WDS With Ap"}, {3, "WDS"}, {4, "Wireless Client"}, {0, nullptr}};
const VtOptionPair kUpgradeCommand[] = {
    {1, "Firmwareupdate"}, {2, "configSetting"}, {3, "Configsave"},  {4, "Reboot"},
    {6, "Nothing"},        {7, "certificateFileUpdate"}, {8, "keyFileUpdate"}, {9, "getacl"},
    {0, nullptr}};
}  // namespace

const VtOptionList MainOptCommitApply(kCommitApply);
const VtOptionList MainOptCommitRestart(kCommitRestart);
const VtOptionList MainOptLedEnable(kLedEnable);
const VtOptionList MainOptApMode(kApMode);
const VtOptionList MainOptUpgradeCommand(kUpgradeCommand);

const VtSNMPVariable MainAddressVars[] = {
    {VT_DEVICE_ROOT ".2.1.1.1.1.2.1", "hIPAddress", VT_SYNTAX_IPADDRESS, VT_ACCESS_READWRITE, nullptr},
    {VT_DEVICE_ROOT ".2.1.1.1.1.3.1", "hSubnetMask", VT_SYNTAX_IPADDRESS, VT_ACCESS_READWRITE, nullptr},
    {VT_DEVICE_ROOT ".2.1.1.1.1.4.1", "hDefaultGateway", VT_SYNTAX_IPADDRESS, VT_ACCESS_READWRITE, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainInterfaceAddressVars[] = {
    {VT_DEVICE_ROOT ".5.1.2.1.1.2.1", "ifIpAddress", VT_SYNTAX_IPADDRESS, VT_ACCESS_READWRITE, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainCommitVars[] = {
    {VT_DEVICE_ROOT ".4.2.3", "deviceSettingApply", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &MainOptCommitApply},
    {VT_DEVICE_ROOT ".4.2.4", "deviceSettingDiscard", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &MainOptCommitApply},
    {VT_DEVICE_ROOT ".4.2.1", "deviceRestart", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &MainOptCommitRestart},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainLedEnableVars[] = {
    {VT_DEVICE_ROOT ".5.1.2.1.1.6.1", "wirelessLed2dot4G", VT_SYNTAX_INTEGER, VT_ACCESS_READONLY, &MainOptLedEnable},
    {VT_DEVICE_ROOT ".5.1.2.1.1.7.1", "wirelessLed5G", VT_SYNTAX_INTEGER, VT_ACCESS_READONLY, &MainOptLedEnable},
    {VT_DEVICE_ROOT ".5.1.2.1.1.14.1", "lanLED", VT_SYNTAX_INTEGER, VT_ACCESS_READONLY, &MainOptLedEnable},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainApModeVars[] = {
    {VT_DEVICE_ROOT ".2.1.3.3.1.1.1.28.1", "dot11ApMode", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &MainOptApMode},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainStatusVars[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

const VtSNMPVariable MainUpgradeCommandVars[] = {
    {VT_DEVICE_ROOT ".4.3.2.5", "tftpUpgradeSettingCommand", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE,
     &MainOptUpgradeCommand},
    {nullptr, nullptr, 0, 0, nullptr},
};
