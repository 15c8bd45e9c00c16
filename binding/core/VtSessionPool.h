#pragma once
// Internal to the SNMP core: the Net-SNMP sessions behind the one logical
// session. Sessions are opened per target and parameter set and kept for
// reuse; blocking requests and asynchronous ones never share a session, so an
// asynchronous answer is only ever dispatched from the event pump.

#include <cstdint>
#include <string>

#include "VtSession.h"

struct VtTargetParams {
    std::string peer;       // "udp:a.b.c.d:port", already resolved
    std::string address;    // a.b.c.d
    uint16_t port = 161;
    int version = 0;        // 0, 1, 3
    std::string community;  // v1/v2c
    VtSNMPSecurityRec security;
    VtSNMPScopeRec scope;
    int32_t timeout = 100;  // hundredths of a second
    int32_t retries = 1;

    std::string key(bool async) const;
};

// Resolves address and port into params.peer/params.address; false when the
// address is neither a dotted IPv4 address nor a name that resolves.
bool VtResolveTarget(const std::string& address, uint16_t port, VtTargetParams& params);

// The Net-SNMP single-session handle for these parameters (opened on first
// use, engine discovery included for SNMPv3), or nullptr with the library
// outcome in SNMP++ numbering.
void* VtPoolSession(const VtTargetParams& params, bool async, int& outcome);

// Drops a cached session (after a failure that may have left it unusable).
void VtPoolDiscard(const VtTargetParams& params, bool async);

// Maps a Net-SNMP error number to an outcome in SNMP++ numbering.
int VtOutcomeFromNetSnmp(int snmpErrno);

// Outstanding asynchronous requests: the pool tells each one -8 when the
// session closes before its answer.
// Records are found by id, so a callback the library makes after a record
// has gone finds nothing instead of a dangling pointer.
struct VtAsyncRecord {
    virtual ~VtAsyncRecord() = default;
    virtual void sessionClosed() = 0;  // untracked already; may delete itself
    std::string sessionKey;
};
uint64_t VtPoolTrack(VtAsyncRecord* record);
VtAsyncRecord* VtPoolFind(uint64_t id);
void VtPoolUntrack(uint64_t id);

// Completions that the library reported while a send was still inside it
// (engine discovery can time out there); the pump delivers them first.
void VtRunDeferredCompletions();
bool VtHasDeferredCompletions();
