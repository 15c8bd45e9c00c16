#include "UdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ksr::tftp {

namespace {

sockaddr_in socketAddress(Endpoint e)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.address);
    a.sin_port = htons(e.port);
    return a;
}

}  // namespace

int openUdp(uint32_t address, uint16_t port, uint16_t& bound)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in local = socketAddress({address, port});
    socklen_t length = sizeof local;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    bound = ntohs(local.sin_port);
    return fd;
}

ssize_t receiveFrom(int fd, uint8_t* buffer, std::size_t size, Endpoint& from)
{
    sockaddr_in source{};
    socklen_t length = sizeof source;
    ssize_t n;
    do
        n = ::recvfrom(fd, buffer, size, 0, reinterpret_cast<sockaddr*>(&source), &length);
    while (n < 0 && errno == EINTR);
    from = {ntohl(source.sin_addr.s_addr), ntohs(source.sin_port)};
    return n;
}

bool sendTo(int fd, const Packet& packet, Endpoint to)
{
    sockaddr_in target = socketAddress(to);
    ssize_t n;
    do
        n = ::sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target);
    while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(packet.size());
}

std::string dotted(uint32_t address)
{
    in_addr a{htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

}  // namespace ksr::tftp
