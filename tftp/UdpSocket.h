#pragma once
// The few POSIX UDP calls the server and its sessions make, on non-blocking
// IPv4 sockets, with addresses as Endpoints (host byte order).

#include "core/TftpTransfer.h"

#include <sys/types.h>

namespace ksr::tftp {

// A socket bound to `address`:`port` (port 0: a fresh one); -1 on failure.
// `bound` receives the port actually bound.
int openUdp(uint32_t address, uint16_t port, uint16_t& bound);
// One datagram, or -1 when none is waiting (or on an error).
ssize_t receiveFrom(int fd, uint8_t* buffer, std::size_t size, Endpoint& from);
bool sendTo(int fd, const Packet& packet, Endpoint to);
// Dotted form of an address.
std::string dotted(uint32_t address);

}  // namespace ksr::tftp
