#pragma once
// An IPv4 or IPv6 address of a socket object. Plain value; the owner serialises access.
#include <cstdint>

#include "VUviRido/Socket/VComResult.h"
#include "vsock/vsock_types.h"

namespace VCOM {

class VComSocketAddress {
public:
    VComSocketAddress();
    // A text that does not parse leaves the address cleared.
    VComSocketAddress(_E_NETC_AF family, const char* text);
    explicit VComSocketAddress(const netc_addr& address);
    VComSocketAddress(const VComSocketAddress& other) = default;
    VComSocketAddress& operator=(const VComSocketAddress& other) = default;
    VComSocketAddress& operator=(const netc_addr& address);
    virtual ~VComSocketAddress() = default;

    JLIB::JResult initialize();
    // 0, or 0x80000000 with the address unchanged.
    [[nodiscard]] JLIB::JResult set(_E_NETC_AF family, const char* text);
    JLIB::JResult set(const netc_addr& address);
    // The text (size bytes with terminator) and the family; 0 or 0x80000000.
    [[nodiscard]] JLIB::JResult get(_E_NETC_AF& family, char* text, int32_t size) const;
    JLIB::JResult get(netc_addr& address) const;
    // Clears size bytes, then writes the 4 (IPv4) or 16 (IPv6) address bytes; 0x80000000 for a
    // null buffer, another family or a size too small.
    [[nodiscard]] JLIB::JResult get(uint8_t* bytes, uint32_t size) const;

    const netc_addr& address() const { return m_addr; }

private:
    netc_addr m_addr;
};

}  // namespace VCOM
