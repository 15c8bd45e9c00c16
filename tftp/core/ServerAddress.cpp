#include "ServerAddress.h"

#include "Checks.h"
#include "IniFile.h"

namespace ksr {

std::optional<std::string> chooseServerAddress(
    const std::vector<InterfaceAddress>& interfaces,
    const std::string& deviceAddress, const std::string& deviceMask,
    const std::string& sysIpAddress,
    const std::function<std::vector<std::string>()>& localAddresses)
{
    const std::string deviceNet = networkOf(deviceAddress, deviceMask);
    for (const InterfaceAddress& itf : interfaces)
        if (networkOf(itf.address, itf.mask) == deviceNet)
            return itf.address;

    if (!localAddresses)
        return std::nullopt;
    const std::string classC = "255.255.255.0";
    const std::string sysNet = networkOf(sysIpAddress, classC);
    for (const std::string& address : localAddresses()) {
        std::string a = trimmed(address);
        if (networkOf(a, classC) == sysNet)
            return a;
    }
    return std::nullopt;
}

}  // namespace ksr
