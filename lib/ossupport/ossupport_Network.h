#pragma once
// The machine's network interfaces: listing, IPv4 settings and MAC addresses.
// No state; any task may call. The setters are fixed stubs on this platform.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"
#include "ossupport/ossupport_IPv4Address.h"

namespace OSSUPPORT {

constexpr uint32_t MacAddressSize = 6;

struct NetworkInterface {
    std::string name;
    std::string description;  // left empty by the listing
};

// Appends one record per IPv4 address of every interface that is up and not the loopback,
// in the system's order; the list is not cleared. kFailed when the addresses cannot be read.
[[nodiscard]] JLIB::JResult GetNetworkInterfaces(std::vector<NetworkInterface>& interfaces);

// Address and mask of the interface's first IPv4 address; DHCP is false and the gateway 0.
// kFailed with every out cleared when the name has no IPv4 address.
[[nodiscard]] JLIB::JResult GetIPSettings(const char* interfaceName, bool& dhcp, IPv4Address& address,
                                          IPv4Address& mask, IPv4Address& gateway, bool unused);

// The 6-byte Ethernet address at the start of `buffer` (the rest of the buffer zeroed).
// kFailed for a null argument, a size below MacAddressSize (nothing written) or an interface
// without an Ethernet link-level address (buffer zeroed).
[[nodiscard]] JLIB::JResult GetMacAddress(const char* interfaceName, uint8_t* buffer, uint32_t size);

// Not done on this platform: each returns 0.
[[nodiscard]] JLIB::JResult SetStaticIPTemporarily(const char* interfaceName, const IPv4Address& address,
                                                   const IPv4Address& mask, const IPv4Address& gateway);
[[nodiscard]] JLIB::JResult SetStaticIPConfig(const char* interfaceName, const IPv4Address& address,
                                              const IPv4Address& mask, const IPv4Address& gateway,
                                              bool first, bool second);
[[nodiscard]] JLIB::JResult SetDHCPConfig(const char* interfaceName, bool flag);
[[nodiscard]] JLIB::JResult RestoreIPConfig(const char* interfaceName);
[[nodiscard]] JLIB::JResult SetMacAddressTemporarily(const char* interfaceName, const uint8_t* address,
                                                     uint32_t count);

}  // namespace OSSUPPORT
