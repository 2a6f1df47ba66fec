#pragma once
// Result codes and byte-order codes shared by the parameter tree library and its links.
// 0 is success; a set bit 31 is a failure; the other bits of a success are information that the
// steps of one operation OR together.
#include <cstdint>

namespace MMS {

using MmsResult = uint32_t;

constexpr MmsResult kMmsOk = 0;

// Information bits of a success.
constexpr MmsResult kMmsChanged = 0x100;         // something changed
constexpr MmsResult kMmsAdjusted = 0x200;        // a value was clamped or rounded
constexpr MmsResult kMmsPluginHandled = 0x400;   // a plug-in handled a write
constexpr MmsResult kMmsPluginHandled2 = 0x800;  // a plug-in or link handled a write
constexpr MmsResult kMmsFound = 0x8000;          // found, or already done

// Failures.
constexpr MmsResult kMmsFailed = 0x80000000u;       // general failure
constexpr MmsResult kMmsMissing = 0x80000001u;      // a needed object or memory is missing
constexpr MmsResult kMmsBadArgument = 0x80000002u;  // bad argument or mismatch
constexpr MmsResult kMmsNoMemory = 0x80000003u;     // out of memory
constexpr MmsResult kMmsWrongState = 0x80000004u;   // wrong field or root status
constexpr MmsResult kMmsNoDefault = 0x80000005u;    // parameters without default value
constexpr MmsResult kMmsNoSuchItem = 0x80000006u;   // no such root, node or item; out of range
constexpr MmsResult kMmsNotFound = 0x80000007u;     // not found, or nothing more found
constexpr MmsResult kMmsLimit = 0x80000008u;        // too deep, no free id, refused by a check mode
constexpr MmsResult kMmsAlreadyPresent = 0x80000009u;
constexpr MmsResult kMmsNotSupported = 0x8000000au;  // not supported or not permitted
constexpr MmsResult kMmsNoBuildHandle = 0x8000000bu;

[[nodiscard]] constexpr bool mmsIsFailure(MmsResult r) { return (r & 0x80000000u) != 0; }
[[nodiscard]] constexpr bool mmsIsSuccess(MmsResult r) { return !mmsIsFailure(r); }

// Byte-order codes of every image operation: 1 little-endian, 2 big-endian, any other value the
// host's own order. Readers report 0 for an image in host order.
constexpr uint8_t kMmsByteOrderHost = 0;
constexpr uint8_t kMmsByteOrderLittle = 1;
constexpr uint8_t kMmsByteOrderBig = 2;

}  // namespace MMS
