#include "VUviRido/Socket/VComSocketAddress.h"

#include <cstring>

#include "vsock/vsock_addr.h"

namespace VCOM {

VComSocketAddress::VComSocketAddress() : m_addr(netc_addr_any) {}

VComSocketAddress::VComSocketAddress(_E_NETC_AF family, const char* text) : m_addr(netc_addr_any)
{
    (void)set(family, text); // a failed parse leaves the cleared address, as documented
}

VComSocketAddress::VComSocketAddress(const netc_addr& address) : m_addr(address) {}

VComSocketAddress& VComSocketAddress::operator=(const netc_addr& address)
{
    m_addr = address;
    return *this;
}

JLIB::JResult VComSocketAddress::initialize()
{
    m_addr = netc_addr_any;
    return kVComOk;
}

JLIB::JResult VComSocketAddress::set(_E_NETC_AF family, const char* text)
{
    netc_addr parsed = netc_addr_any;
    if (vsock_pton(family, text, &parsed) != 0) return kVComFailed;
    m_addr = parsed;
    return kVComOk;
}

JLIB::JResult VComSocketAddress::set(const netc_addr& address)
{
    m_addr = address;
    return kVComOk;
}

JLIB::JResult VComSocketAddress::get(_E_NETC_AF& family, char* text, int32_t size) const
{
    if (vsock_ntop(&m_addr, text, size) != 0) return kVComFailed;
    family = m_addr.family;
    return kVComOk;
}

JLIB::JResult VComSocketAddress::get(netc_addr& address) const
{
    address = m_addr;
    return kVComOk;
}

JLIB::JResult VComSocketAddress::get(uint8_t* bytes, uint32_t size) const
{
    if (!bytes) return kVComFailed;
    std::memset(bytes, 0, size);
    uint32_t length = 0;
    if (m_addr.family == NETC_AF_INET) length = 4;
    else if (m_addr.family == NETC_AF_INET6) length = 16;
    if (length == 0 || size < length) return kVComFailed;
    std::memcpy(bytes, m_addr.addr, length);
    return kVComOk;
}

}  // namespace VCOM
