#pragma once
// Which of the PC's addresses to announce to the device as its TFTP server.

#include "LocalAddresses.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ksr {

// 1. The first interface on the device's network (network-of the device
//    address and mask) wins.
// 2. Otherwise `localAddresses()` is asked (the caller refreshes its list
//    there) and the first address in the same /24 as `sysIpAddress` wins,
//    trimmed of blanks.
// 3. Otherwise none.
std::optional<std::string> chooseServerAddress(
    const std::vector<InterfaceAddress>& interfaces,
    const std::string& deviceAddress, const std::string& deviceMask,
    const std::string& sysIpAddress,
    const std::function<std::vector<std::string>()>& localAddresses);

}  // namespace ksr
