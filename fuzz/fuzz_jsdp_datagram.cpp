// Discovery datagrams through the reader a line runs on every datagram it reads: the checks, then
// the conversion to a host record when they pass. Every byte the view points at is read, so that
// a pointer or length past the datagram is caught.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "jsdp/jsdp_packet.h"
#include "jsdp/jsdp_types.h"

namespace {

void check(const std::vector<uint8_t>& datagram)
{
    JSDP::T_JSDP_SHARE_HOST_INFO view = {};
    if (JSDP::convertPacket2ShareHostInfo(&view, datagram.data(), static_cast<uint32_t>(datagram.size())) != 0) return;
    const netc_addr source = {NETC_AF_INET, {127, 0, 0, 2}, 0};
    const netc_addr receiving = {NETC_AF_INET, {127, 0, 0, 1}, 0};
    static JSDP::_JSDP_HOST_INFO host;
    (void)JSDP::convertShareHostInfo2HostInfo(&host, &view, &source, &receiving);  // all arguments present
    volatile uint32_t sum = 0;
    for (uint32_t i = 0; i < host.nameLength; ++i) sum = sum + host.name[i];
    for (uint32_t i = 0; i < host.extensionLength; ++i) sum = sum + host.extension[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly the datagram's bytes, as long as a line's receive buffer at most.
    std::vector<uint8_t> datagram(data, data + std::min<size_t>(size, JSDP::kReceiveMax));
    check(datagram);
    // The same bytes behind the identifier, so that every input reaches the length checks.
    if (datagram.size() >= 4) {
        std::copy_n("JSDP", 4, datagram.begin());
        check(datagram);
    }
    return 0;
}
