#pragma once
// A small Net-SNMP manager for the simulator's tests: exact error statuses,
// exception values, empty PDUs, and requests left outstanding while others
// are answered. Net-SNMP headers stay in the .cpp.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace simtest {

struct Reply {
    bool timeout = false;
    long reqid = 0;
    int errstat = 0;
    int errindex = 0;
    // OID and value in the simulator's journal form ("i:1", "s:\"x\""), or
    // "noSuchObject", "noSuchInstance", "endOfMibView".
    std::vector<std::pair<std::string, std::string>> vars;
};

struct Varbind {
    std::string oid;
    char type;          // as the control protocol: i u c t a o s x n
    std::string value;
};

class SnmpProbe {
public:
    // version: "v1", "v2c", or "v3:<user>:<SHA|MD5>:<authpass>:<AES|DES>:<privpass>".
    SnmpProbe(const std::string& host, uint16_t port, const std::string& version, const std::string& community,
              int timeoutMs = 1000, int retries = 0);
    ~SnmpProbe();

    Reply get(const std::vector<std::string>& oids);
    Reply getNext(const std::vector<std::string>& oids);
    Reply set(const std::vector<Varbind>& vbs);

    // Sends a SET without waiting; collect() then waits (up to waitMs) for
    // its answer, while other probes may be used meanwhile.
    void sendSet(const std::vector<Varbind>& vbs);
    Reply collect(int waitMs);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace simtest
