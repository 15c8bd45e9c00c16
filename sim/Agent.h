#pragma once
// The SNMP side of the simulated access point: Net-SNMP's agent library
// (master agent on one loopback UDP address) serving the Simulator's store.
// Net-SNMP headers stay inside Agent.cpp.

#include <cstdint>
#include <string>
#include <vector>

namespace ksrsim {

class Simulator;
class ControlServer;

struct V3User {
    std::string name, authProtocol, authPass, privProtocol, privPass;  // privProtocol empty: authNoPriv
};

struct AgentOptions {
    std::string address = "127.0.0.1";
    uint16_t port = 1161;                 // 0: any free port
    std::string readCommunity = "gondek";
    std::string writeCommunity = "mardule";
    std::vector<V3User> users;
    std::string stateDir;                 // Net-SNMP's config and persistent folders go below it
};

class Agent {
public:
    Agent(Simulator& sim, AgentOptions options);
    ~Agent();

    bool init(std::string* error);  // library set-up and the first start
    bool start();                   // opens the UDP port (again, after a restart)
    void stop();                    // closes it: clients see a clean time-out
    uint16_t port() const { return options_.port; }

    // The program's loop: SNMP, control connections, timers, until "quit"
    // or a signal sets *stop.
    void run(ControlServer& control, volatile int* stop);

private:
    Simulator& sim_;
    AgentOptions options_;
    bool running_ = false;
};

}  // namespace ksrsim
