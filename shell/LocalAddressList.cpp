#include "LocalAddressList.h"

#include "LocalAddresses.h"

#include <algorithm>

namespace ksr {

bool LocalAddressList::add(const std::string& address)
{
    if (address.empty() || address.size() >= 16)
        return false;
    if (std::find(addresses_.begin(), addresses_.end(), address) != addresses_.end())
        return false;
    addresses_.push_back(address);
    return true;
}

void LocalAddressList::discover()
{
    for (const InterfaceAddress& found : localInterfaces())
        add(found.address);
}

}  // namespace ksr
