#pragma once
// Test harness for the simulated access point: starts build/bin/ksr4710-sim on
// a free loopback port with a fresh state folder for the life of the object,
// and talks to it over its line-based control connection. Qt-free.

#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

struct SimOptions {
    // Further command-line options, e.g. {"--v3-user", "alice:SHA:authpass12:AES:privpass12"}.
    std::vector<std::string> extraArgs;
};

class SimulatedDevice {
public:
    explicit SimulatedDevice(const SimOptions& options = {});
    ~SimulatedDevice();  // stops the program and removes its state folder
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    const std::string& address() const;  // "127.0.0.1"
    uint16_t port() const;               // its SNMP port
    const std::string& stateDir() const;

    // One control line; returns the reply lines before the closing "OK".
    // Throws std::runtime_error when the reply is "ERR ...".
    std::vector<std::string> control(const std::string& line);

    // PDU journal, one line per PDU received, oldest first (see sim/README.md).
    std::vector<std::string> journal();
    void clearJournal();

    void setSilent(bool silent);
    // type: i integer, u gauge, t timeticks, a ipaddress, o oid, s string, x hex octets
    void setValue(const std::string& oid, char type, const std::string& value);
    std::string value(const std::string& oid);  // the stored value in journal form, e.g. "i:1"
    void injectError(const std::string& oid, int status);  // 0 removes it

    // TFTP journal, one line per transfer the device made (see sim/README.md).
    std::vector<std::string> tftpJournal();

private:
    void stop();

    std::string address_ = "127.0.0.1";
    std::string stateDir_;
    uint16_t port_ = 0;
    int pid_ = -1;
    int control_ = -1;
    std::string buffer_;  // control bytes read past the last reply line
};

}  // namespace simtest
