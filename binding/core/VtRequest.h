#pragma once
// One SNMP request over one variable list: blocking and asynchronous get,
// walk step and set. Device and SNMP errors become VtSNMPError records;
// misuse raises VtException.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "VtCatalogue.h"
#include "VtError.h"
#include "VtSession.h"

class VtSNMPRequest;

// Completion of an asynchronous request, called from the event pump.
using VtSNMPCompletionFn = void (*)(void* arg, VtSNMPError* result, VtSNMPVarList* list);
using VtSNMPCompletion = std::function<void(VtSNMPError& result, VtSNMPVarList& list)>;

// Called while code waits for asynchronous work. The Qt side sets it to
// QCoreApplication::processEvents; the default runs the pump and sleeps 5 ms.
void VtSetProcessEventsHook(void (*hook)());
void VtProcessEvents();

class VtSNMPRequest {
public:
    VtSNMPRequest();
    virtual ~VtSNMPRequest();  // waits at most 6000 ms for Pending to reach 0
    VtSNMPRequest(const VtSNMPRequest&) = delete;
    VtSNMPRequest& operator=(const VtSNMPRequest&) = delete;

    // Called with every error report of a blocking operation and of a failed
    // asynchronous send. Accepts a plain function as well.
    std::function<void(VtSNMPError*)> OnResult;
    int32_t Timeout;       // hundredths of a second per try
    int32_t Retries = 1;
    VtSNMPDeviceRec Device;
    VtSNMPScopeRec Scope;
    VtSNMPSecurityRec Security;
    VtSNMPVarList VarList;
    bool Enabled = true;
    int32_t Pending = 0;
    uint64_t ErrorCount = 0;

    // Blocking get (first) or walk step; returns true when a table row was
    // read and the walk goes on. Clears ok on a reported error.
    bool Read(bool first, bool& ok);
    // Blocking set of every writable item.
    void Write(bool& ok);

    void ReadAsync(VtSNMPCompletionFn fn, void* arg, bool first);
    void ReadAsync(VtSNMPCompletion completion, bool first);
    void WriteAsync(VtSNMPCompletionFn fn, void* arg);
    void WriteAsync(VtSNMPCompletion completion);

    // Reports an error through OnResult with Number = the new ErrorCount.
    void ReportError(int32_t code, const std::string& message);

protected:
    // Decodes key k from the row's instance suffix into its Value and returns
    // the rest of the suffix. Raises -514 when the suffix is empty.
    virtual std::string KeyFromSuffix(int k, const std::string& suffix);
    // Text of key k in a set OID.
    virtual std::string KeyToOidText(int k);
    // True when item i's column ended with this response OID.
    virtual bool EndOfColumn(int i, const std::string& responseOid);

public:
    struct Impl;  // engine internals (Net-SNMP side)

private:
    friend struct Impl;
    std::shared_ptr<bool> alive_;  // cleared on destruction; late answers are dropped
};
