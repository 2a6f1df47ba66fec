#pragma once
// Address equality and the all-zero test used throughout the discovery protocol. Stateless.
#include "vsock/vsock_types.h"

namespace JSDP {

// Equal families and: IPv4 the four address bytes, IPv6 the 16 bytes and the scope, any other
// family all 20 bytes after the family.
bool compareVSOCK_ADDR(const netc_addr& a, const netc_addr& b);

// The all-zero IPv4 address: family 4 or 0 (the socket layer's netc_addr_any) with four zero bytes.
bool isZeroAddress(const netc_addr& address);

}  // namespace JSDP
