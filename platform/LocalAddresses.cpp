#include "LocalAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace ksr {

namespace {

std::string dotted(const sockaddr* sa)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
    return text;
}

}  // namespace

std::vector<InterfaceAddress> localInterfaces(std::size_t limit)
{
    std::vector<InterfaceAddress> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return result;
    for (ifaddrs* it = list; it && result.size() < limit; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET || !(it->ifa_flags & IFF_UP))
            continue;
        result.push_back({dotted(it->ifa_addr), it->ifa_netmask ? dotted(it->ifa_netmask) : "0.0.0.0"});
    }
    freeifaddrs(list);
    return result;
}

std::string hostFirstAddress()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return {};
    std::string address = dotted(found->ai_addr);
    freeaddrinfo(found);
    return address;
}

}  // namespace ksr
