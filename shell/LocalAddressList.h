#pragma once
// The PC's own addresses as the main window keeps them for the screens that
// must tell the device where to reach the PC. Qt-free.

#include <string>
#include <vector>

namespace ksr {

// Entries are unique and only ever added: a screen may hold an index or a
// copy across discoveries without it going stale.
class LocalAddressList {
public:
    // Adds the address unless it is listed already or is not a short address
    // text (16 characters or more). Returns true when it was added.
    bool add(const std::string& address);

    // Adds the IPv4 address of every interface that is up (getifaddrs).
    // Never fails: an unreadable interface list adds nothing.
    void discover();

    const std::vector<std::string>& addresses() const { return addresses_; }

private:
    std::vector<std::string> addresses_;
};

}  // namespace ksr
