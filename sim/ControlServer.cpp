#include "ControlServer.h"

#include "Simulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace ksrsim {

ControlServer::~ControlServer() {
    for (auto& c : clients_) close(c.first);
    if (listenFd_ >= 0) close(listenFd_);
}

bool ControlServer::listen(const std::string& address, uint16_t port, std::string* error) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        *error = "bad control address " + address;
        return false;
    }
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        ::listen(listenFd_, 8) != 0) {
        *error = "cannot listen on control " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof sa;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len);
    port_ = ntohs(sa.sin_port);
    return true;
}

void ControlServer::addFds(fd_set& read, int& maxFd) const {
    if (listenFd_ < 0) return;
    FD_SET(listenFd_, &read);
    if (listenFd_ > maxFd) maxFd = listenFd_;
    for (auto& c : clients_) {
        FD_SET(c.first, &read);
        if (c.first > maxFd) maxFd = c.first;
    }
}

void ControlServer::handle(const fd_set& read) {
    if (listenFd_ >= 0 && FD_ISSET(listenFd_, &read)) {
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) clients_[fd];
    }
    std::vector<int> ready;
    for (auto& c : clients_)
        if (FD_ISSET(c.first, &read)) ready.push_back(c.first);
    for (int fd : ready) serve(fd);
}

void ControlServer::serve(int fd) {
    char buf[4096];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
        close(fd);
        clients_.erase(fd);
        return;
    }
    std::string& pending = clients_[fd];
    pending.append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        std::vector<std::string> reply;
        std::string error;
        bool ok = sim_.control(line, &reply, &error);
        std::string out;
        for (const std::string& r : reply) out += r + "\n";
        out += ok ? "OK\n" : "ERR " + error + "\n";
        size_t sent = 0;
        while (sent < out.size()) {
            ssize_t w = send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (w <= 0) break;
            sent += static_cast<size_t>(w);
        }
    }
}

}  // namespace ksrsim
