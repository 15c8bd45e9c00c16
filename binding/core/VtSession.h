#pragma once
// The one SNMP session of the process and its three session records.
// Start-up fills the records (defaults first, then profile and command line);
// every request copies them when it is constructed.

#include <cstdint>
#include <string>

struct VtSNMPDeviceRec {
    std::string address = "127.0.0.1";
    uint16_t port = 161;
};

struct VtSNMPScopeRec {
    std::string contextEngineId;
    std::string contextName;
};

struct VtSNMPSecurityRec {
    uint8_t version = 0;            // 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
    std::string readCommunity = "gondek";
    std::string writeCommunity = "mardule";
    int32_t securityModel = 1;      // 1 v1, 2 v2c, 3 USM
    int32_t securityLevel = 1;      // 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv
    std::string securityName;
    std::string authPassword;
    std::string privPassword;
    int32_t authProtocol = 1;       // 1 none, 2 HMAC-MD5, 3 HMAC-SHA
    int32_t privProtocol = 1;       // 1 none, 2 DES, 3 AES-128 (further codes as the library numbers them)
};

extern VtSNMPDeviceRec VtSNMPDevice;
extern VtSNMPScopeRec VtSNMPScope;
extern VtSNMPSecurityRec VtSNMPSecurity;

// Time-out of one try for new requests, in hundredths of a second.
extern int32_t VtSNMPDefaultTimeout;

// Starts the session: creates it (-506), reads and stores the engine boot
// counter in folder/"VtSNMP_PP_BootCounter" (-507/-508), sets up the local
// SNMPv3 engine with it, resets the three records and the default time-out to
// their defaults. Throws VtException on failure. Call once.
void VtStartSNMP(const std::string& folder);

bool VtSNMPStarted();

// Boot count of the local SNMPv3 engine (the stored counter after a start).
long VtSNMPEngineBoots();

// Completes asynchronous requests whose answers or time-outs are due; run by
// the 20 ms event pump on the GUI thread, never nested.
void VtSNMPProcessPendingEvents();

// Ends the session at exit (outstanding requests complete with -8).
void VtStopSNMP();
