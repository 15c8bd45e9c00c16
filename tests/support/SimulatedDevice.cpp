#include "SimulatedDevice.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ftw.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#ifndef KSR_SIM_PROGRAM
#define KSR_SIM_PROGRAM "ksr4710-sim"
#endif

namespace simtest {

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

// Reads one line from fd, waiting at most timeoutMs in all.
bool readLine(int fd, std::string& buffer, std::string& line, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t nl = buffer.find('\n');
        if (nl != std::string::npos) {
            line = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[4096];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        buffer.append(buf, static_cast<size_t>(n));
    }
}

uint16_t portAfter(const std::string& line, const std::string& key) {
    size_t at = line.find(key + "=");
    if (at == std::string::npos) return 0;
    size_t colon = line.find(':', at);
    return colon == std::string::npos ? 0 : static_cast<uint16_t>(std::atoi(line.c_str() + colon + 1));
}

}  // namespace

SimulatedDevice::SimulatedDevice(const SimOptions& options) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/ksr4710-sim-XXXXXX";
    std::vector<char> dir(templ.begin(), templ.end());
    dir.push_back('\0');
    if (!mkdtemp(dir.data())) throw std::runtime_error("SimulatedDevice: cannot create a state folder");
    stateDir_ = dir.data();

    std::vector<std::string> args = {KSR_SIM_PROGRAM, "--listen", "127.0.0.1:0", "--control", "127.0.0.1:0",
                                     "--state", stateDir_};
    args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("SimulatedDevice: pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
        // A test that crashes must not leave its simulator running.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    if (pid_ < 0) {
        close(out[0]);
        throw std::runtime_error("SimulatedDevice: fork failed");
    }
    std::string buffer, line;
    bool ready = readLine(out[0], buffer, line, 15000);
    close(out[0]);
    if (!ready || line.rfind("ready ", 0) != 0) {
        stop();
        throw std::runtime_error("SimulatedDevice: " KSR_SIM_PROGRAM " did not start (" + line + ")");
    }
    port_ = portAfter(line, "snmp");
    uint16_t controlPort = portAfter(line, "control");

    control_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(controlPort);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (control_ < 0 || connect(control_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        stop();
        throw std::runtime_error("SimulatedDevice: cannot connect to the control port");
    }
}

SimulatedDevice::~SimulatedDevice() { stop(); }

void SimulatedDevice::stop() {
    if (control_ >= 0) {
        close(control_);
        control_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        for (int i = 0; i < 300; ++i) {  // up to 3 s, then force it
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    if (!stateDir_.empty()) {
        nftw(stateDir_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
        stateDir_.clear();
    }
}

const std::string& SimulatedDevice::address() const { return address_; }
uint16_t SimulatedDevice::port() const { return port_; }
const std::string& SimulatedDevice::stateDir() const { return stateDir_; }

std::vector<std::string> SimulatedDevice::control(const std::string& line) {
    if (control_ < 0) throw std::runtime_error("SimulatedDevice: not running");
    std::string out = line + "\n";
    size_t sent = 0;
    while (sent < out.size()) {
        ssize_t n = send(control_, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) throw std::runtime_error("SimulatedDevice: control connection lost");
        sent += static_cast<size_t>(n);
    }
    std::vector<std::string> reply;
    std::string l;
    for (;;) {
        if (!readLine(control_, buffer_, l, 30000))
            throw std::runtime_error("SimulatedDevice: no reply to \"" + line + "\"");
        if (l == "OK") return reply;
        if (l.rfind("ERR", 0) == 0) throw std::runtime_error("SimulatedDevice: \"" + line + "\": " + l);
        reply.push_back(l);
    }
}

std::vector<std::string> SimulatedDevice::journal() { return control("journal"); }
void SimulatedDevice::clearJournal() { control("journal clear"); }
void SimulatedDevice::setSilent(bool silent) { control(silent ? "silent on" : "silent off"); }

void SimulatedDevice::setValue(const std::string& oid, char type, const std::string& value) {
    control("set " + oid + " " + std::string(1, type) + " " + value);
}

std::string SimulatedDevice::value(const std::string& oid) {
    auto r = control("get " + oid);
    if (r.size() != 1) throw std::runtime_error("SimulatedDevice: unexpected reply to get " + oid);
    return r[0];
}

void SimulatedDevice::injectError(const std::string& oid, int status) {
    control("error " + oid + " " + std::to_string(status));
}

std::vector<std::string> SimulatedDevice::tftpJournal() { return control("tftp-journal"); }

}  // namespace simtest
