#pragma once
// The PC's own IPv4 addresses, read from the kernel's interface list.

#include <string>
#include <vector>

namespace ksr {

struct InterfaceAddress {
    std::string address;  // dotted quad
    std::string mask;     // dotted quad
};

// IPv4 interfaces that are up, with address and mask, in the kernel's order;
// at most `limit` entries.
std::vector<InterfaceAddress> localInterfaces(std::size_t limit = 10);

// The first IPv4 address the PC's host name resolves to, or "" when it does
// not resolve.
std::string hostFirstAddress();

}  // namespace ksr
