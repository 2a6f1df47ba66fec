#include "jsdp/jsdp_address.h"

#include <cstring>

namespace JSDP {

bool compareVSOCK_ADDR(const netc_addr& a, const netc_addr& b)
{
    if (a.family != b.family) return false;
    if (a.family == NETC_AF_INET) return std::memcmp(a.addr, b.addr, 4) == 0;
    if (std::memcmp(a.addr, b.addr, sizeof(a.addr)) != 0) return false;
    return a.scope_id == b.scope_id;
}

bool isZeroAddress(const netc_addr& address)
{
    if (address.family != NETC_AF_INET && address.family != 0) return false;
    return address.addr[0] == 0 && address.addr[1] == 0 && address.addr[2] == 0 && address.addr[3] == 0;
}

}  // namespace JSDP
