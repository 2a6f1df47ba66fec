#include "ossupport/ossupport_Network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

namespace OSSUPPORT {

namespace {

struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};
using IfAddrsOwner = std::unique_ptr<ifaddrs, IfAddrsDeleter>;

IfAddrsOwner readAddressList()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return IfAddrsOwner();
    return IfAddrsOwner(list);
}

bool isIPv4(const ifaddrs* entry)
{
    return entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET;
}

// inet_ntop and back through the dotted-text parser, so both share one notion of an address.
JLIB::JResult toAddress(const sockaddr* sa, IPv4Address& out)
{
    if (!sa) return JLIB::kFailed;
    char text[INET_ADDRSTRLEN];
    const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text))) return JLIB::kFailed;
    return out.set(text);
}

}  // namespace

JLIB::JResult GetNetworkInterfaces(std::vector<NetworkInterface>& interfaces)
{
    const IfAddrsOwner list = readAddressList();
    if (!list) return JLIB::kFailed;
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (!(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK) || !isIPv4(entry)) continue;
        interfaces.push_back(NetworkInterface{entry->ifa_name, std::string()});
    }
    return JLIB::kOk;
}

JLIB::JResult GetIPSettings(const char* interfaceName, bool& dhcp, IPv4Address& address, IPv4Address& mask,
                            IPv4Address& gateway, bool unused)
{
    (void)unused;
    dhcp = false;
    address.clear();
    mask.clear();
    gateway.clear();
    if (!interfaceName) return JLIB::kFailed;
    const IfAddrsOwner list = readAddressList();
    if (!list) return JLIB::kFailed;
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (!isIPv4(entry) || std::strcmp(entry->ifa_name, interfaceName) != 0) continue;
        if (JLIB::isFailure(toAddress(entry->ifa_addr, address)) ||
            JLIB::isFailure(toAddress(entry->ifa_netmask, mask))) {
            address.clear();
            mask.clear();
            return JLIB::kFailed;
        }
        return JLIB::kOk;
    }
    return JLIB::kFailed;
}

JLIB::JResult GetMacAddress(const char* interfaceName, uint8_t* buffer, uint32_t size)
{
    if (!interfaceName || !buffer || size < MacAddressSize) return JLIB::kFailed;
    std::memset(buffer, 0, size);
    const IfAddrsOwner list = readAddressList();
    if (!list) return JLIB::kFailed;
    // Linux carries link-level addresses as AF_PACKET entries.
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET) continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
        if (link->sll_hatype != ARPHRD_ETHER || link->sll_halen != MacAddressSize) continue;
        if (std::strcmp(entry->ifa_name, interfaceName) != 0) continue;
        std::memcpy(buffer, link->sll_addr, MacAddressSize);
        return JLIB::kOk;
    }
    return JLIB::kFailed;
}

JLIB::JResult SetStaticIPTemporarily(const char*, const IPv4Address&, const IPv4Address&, const IPv4Address&)
{
    return JLIB::kOk;
}

JLIB::JResult SetStaticIPConfig(const char*, const IPv4Address&, const IPv4Address&, const IPv4Address&, bool, bool)
{
    return JLIB::kOk;
}

JLIB::JResult SetDHCPConfig(const char*, bool) { return JLIB::kOk; }

JLIB::JResult RestoreIPConfig(const char*) { return JLIB::kOk; }

JLIB::JResult SetMacAddressTemporarily(const char*, const uint8_t*, uint32_t) { return JLIB::kOk; }

}  // namespace OSSUPPORT
