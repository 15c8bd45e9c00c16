// ksr4710-sim: the project's simulated KSR-4710 access point (options in README.md).

#include "Agent.h"
#include "ControlServer.h"
#include "Simulator.h"

#include <curl/curl.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#ifndef KSR_SIM_MODEL
#define KSR_SIM_MODEL "device-model.txt"
#endif

namespace {

volatile int g_stop = 0;
void onSignal(int) { g_stop = 1; }

const char* kUsage =
    "usage: ksr4710-sim --state DIR [options]\n"
    "  --listen ADDR:PORT          SNMP address (default 127.0.0.1:1161; port 0 = any free port)\n"
    "  --control ADDR:PORT         test-control TCP address (default 127.0.0.1:0)\n"
    "  --state DIR                 folder for the simulator's persistent state (required)\n"
    "  --model FILE                device model (default: the model in the source tree)\n"
    "  --read-community TEXT       default gondek\n"
    "  --write-community TEXT      default mardule\n"
    "  --v3-user NAME:MD5|SHA:AUTHPASS[:DES|AES:PRIVPASS]   SNMPv3 user (repeatable)\n"
    "  --restart-silence MS        silence after a restarting command (default 5000)\n"
    "  --install-delay MS          time an install takes (default 1000)\n"
    "  --tftp-port PORT            port of the TFTP server the device talks to (default 69)\n"
    "  --tftp-timeout S            limit of one TFTP transfer (default 30)\n"
    "  --refuse-marker TEXT        firmware images containing TEXT are refused with status 19\n"
    "                              (default KSR4710-REFUSED)\n";

bool splitAddress(const std::string& text, std::string& addr, uint16_t& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    addr = text.substr(0, colon);
    std::string p = text.substr(colon + 1);
    if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos) return false;
    unsigned long v = std::stoul(p);
    if (v > 65535) return false;
    port = static_cast<uint16_t>(v);
    return !addr.empty();
}

bool parseUser(const std::string& text, ksrsim::V3User& u) {
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ':')) parts.push_back(part);
    if (parts.size() != 3 && parts.size() != 5) return false;
    u.name = parts[0];
    u.authProtocol = parts[1];
    u.authPass = parts[2];
    if (u.authProtocol != "MD5" && u.authProtocol != "SHA") return false;
    if (u.authPass.size() < 8) return false;  // USM needs 8 characters at least
    if (parts.size() == 5) {
        u.privProtocol = parts[3];
        u.privPass = parts[4];
        if ((u.privProtocol != "DES" && u.privProtocol != "AES") || u.privPass.size() < 8) return false;
    }
    return !u.name.empty();
}

bool number(const std::string& t, unsigned long max, unsigned long& out) {
    if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoul(t);
    return out <= max;
}

}  // namespace

int main(int argc, char** argv) {
    ksrsim::AgentOptions agent;
    ksrsim::SimSettings sim;
    std::string controlAddr = "127.0.0.1";
    uint16_t controlPort = 0;
    std::string modelPath = KSR_SIM_MODEL;

    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "ksr4710-sim: " << opt << " needs a value\n" << kUsage;
            return 2;
        }
        std::string val = argv[++i];
        unsigned long n = 0;
        bool ok = true;
        if (opt == "--listen") ok = splitAddress(val, agent.address, agent.port);
        else if (opt == "--control") ok = splitAddress(val, controlAddr, controlPort);
        else if (opt == "--state") sim.stateDir = val;
        else if (opt == "--model") modelPath = val;
        else if (opt == "--read-community") agent.readCommunity = val;
        else if (opt == "--write-community") agent.writeCommunity = val;
        else if (opt == "--v3-user") {
            ksrsim::V3User u;
            ok = parseUser(val, u);
            if (ok) agent.users.push_back(u);
        } else if (opt == "--restart-silence") ok = number(val, 86400000, n), sim.restartSilenceMs = n;
        else if (opt == "--install-delay") ok = number(val, 86400000, n), sim.installDelayMs = n;
        else if (opt == "--tftp-port") ok = number(val, 65535, n) && n > 0, sim.tftpPort = static_cast<uint16_t>(n);
        else if (opt == "--tftp-timeout") ok = number(val, 3600, n) && n > 0, sim.tftpTimeoutSeconds = n;
        else if (opt == "--refuse-marker") sim.refuseMarker = val;
        else {
            std::cerr << "ksr4710-sim: unknown option " << opt << "\n" << kUsage;
            return 2;
        }
        if (!ok) {
            std::cerr << "ksr4710-sim: bad value for " << opt << ": " << val << "\n";
            return 2;
        }
    }
    if (sim.stateDir.empty()) {
        std::cerr << "ksr4710-sim: --state DIR is required\n" << kUsage;
        return 2;
    }
    mkdir(sim.stateDir.c_str(), 0700);
    struct stat st {};
    if (stat(sim.stateDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::cerr << "ksr4710-sim: cannot use state folder " << sim.stateDir << "\n";
        return 1;
    }
    agent.stateDir = sim.stateDir;

    ksrsim::DeviceModel model;
    std::string error;
    if (!ksrsim::loadModel(modelPath, model, &error)) {
        std::cerr << "ksr4710-sim: " << error << "\n";
        return 1;
    }

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);

    int rc = 0;
    {
        ksrsim::Simulator simulator(std::move(model), sim);
        ksrsim::ControlServer control(simulator);
        ksrsim::Agent snmp(simulator, agent);
        if (!control.listen(controlAddr, controlPort, &error) || !snmp.init(&error)) {
            std::cerr << "ksr4710-sim: " << error << "\n";
            rc = 1;
        } else {
            std::printf("ready snmp=%s:%u control=%s:%u\n", agent.address.c_str(), snmp.port(), controlAddr.c_str(),
                        control.port());
            std::fflush(stdout);
            snmp.run(control, &g_stop);
        }
    }
    curl_global_cleanup();
    return rc;
}
