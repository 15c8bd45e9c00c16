#pragma once
// The test-control connection: a line-based TCP listener on loopback. Each
// line is one command for the Simulator; the reply is zero or more lines,
// then "OK" or "ERR <reason>".

#include <cstdint>
#include <map>
#include <string>
#include <sys/select.h>

namespace ksrsim {

class Simulator;

class ControlServer {
public:
    explicit ControlServer(Simulator& sim) : sim_(sim) {}
    ~ControlServer();

    bool listen(const std::string& address, uint16_t port, std::string* error);
    uint16_t port() const { return port_; }

    void addFds(fd_set& read, int& maxFd) const;
    void handle(const fd_set& read);

private:
    void serve(int fd);

    Simulator& sim_;
    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::map<int, std::string> clients_;  // fd -> unfinished line
};

}  // namespace ksrsim
