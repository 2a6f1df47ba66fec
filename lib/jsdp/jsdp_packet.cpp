#include "jsdp/jsdp_packet.h"

#include <cstring>

namespace JSDP {

namespace {

constexpr uint8_t kIdentifier[4] = {'J', 'S', 'D', 'P'};
constexpr uint32_t kLengthOffset = 4;
constexpr uint32_t kFamilyOffset = 7;
constexpr uint32_t kAddressOffset = 8;
constexpr uint32_t kMacOffset = 24;
constexpr uint32_t kNameLengthOffset = 30;
constexpr uint32_t kNameOffset = 31;
constexpr uint32_t kLengthFieldEnd = 6;  // L counts the bytes from here
constexpr uint8_t kFamilyIpv6 = 6;

uint32_t getBig16(const uint8_t* at) { return (static_cast<uint32_t>(at[0]) << 8) | at[1]; }

}  // namespace

JLIB::JResult convertPacket2ShareHostInfo(T_JSDP_SHARE_HOST_INFO* view, const uint8_t* bytes, uint32_t length)
{
    if (!view || !bytes) return kJsdpBadArgument;
    if (length < kDatagramMin) return kJsdpMalformed;
    *view = T_JSDP_SHARE_HOST_INFO{};
    if (std::memcmp(bytes, kIdentifier, sizeof(kIdentifier)) != 0) return kJsdpMalformed;
    const uint32_t l = getBig16(bytes + kLengthOffset);
    if (l < kLengthMin || l > kLengthMax || kLengthFieldEnd + l > length) return kJsdpMalformed;
    const uint32_t end = kLengthFieldEnd + l;  // within the datagram from here on
    const uint32_t n = bytes[kNameLengthOffset];
    if (n == 0 || kNameOffset + n + 2 > end) return kJsdpMalformed;
    const uint32_t e = getBig16(bytes + kNameOffset + n);
    if (e > kExtensionMax || kFixedSize + n + e != end) return kJsdpMalformed;

    view->identifier = bytes;
    view->flags = bytes[kFlagsPosition];
    view->family = bytes[kFamilyOffset];
    view->address = bytes + kAddressOffset;
    view->mac = bytes + kMacOffset;
    view->nameLength = static_cast<uint8_t>(n);
    view->name = bytes + kNameOffset;
    view->extensionLength = static_cast<uint16_t>(e);
    view->extension = bytes + kFixedSize + n;
    return JLIB::kOk;
}

JLIB::JResult convertShareHostInfo2HostInfo(_JSDP_HOST_INFO* record, const T_JSDP_SHARE_HOST_INFO* view,
                                            const netc_addr* source, const netc_addr* receiving)
{
    if (!record || !view || !source || !receiving) return kJsdpBadArgument;
    // A view that never passed the checks has no bytes to copy.
    if (!view->identifier || !view->address || !view->mac || !view->name || !view->extension) return kJsdpBadArgument;
    std::memset(record, 0, sizeof(*record));
    record->rawFlags = view->flags;
    record->rawFamily = view->family;
    std::memcpy(record->identifier, view->identifier, sizeof(record->identifier));
    record->role = (view->flags & kFlagResponse) == 0 ? kRoleListener : kRoleResponder;
    record->kind = static_cast<uint8_t>((view->flags & kFlagKindMask) >> 4);
    record->status = static_cast<uint8_t>(view->flags & kFlagStatusMask);
    if (view->family == kFamilyIpv6) {
        record->address.family = NETC_AF_INET6;
        std::memcpy(record->address.addr, view->address, sizeof(record->address.addr));
    } else {
        record->address.family = NETC_AF_INET;
        std::memcpy(record->address.addr, view->address, 4);
    }
    std::memcpy(record->mac, view->mac, kMacSize);
    record->nameLength = view->nameLength;
    std::memcpy(record->name, view->name, view->nameLength);
    const uint16_t e = view->extensionLength <= kExtensionMax ? view->extensionLength : kExtensionMax;
    record->extensionLength = e;
    std::memcpy(record->extension, view->extension, e);
    record->sourceAddress = *source;
    record->receivingAddress = *receiving;
    return JLIB::kOk;
}

}  // namespace JSDP
