#pragma once
// Result codes, option words and list types shared by the OSC server framework, its sessions,
// commands, notifications and providers.
#include <cstdint>
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace JOSC {

// Values and reply arguments travel as runs of JVariant (the same list the device logic uses).
using JVariantList = std::vector<JVariant>;
// Parameter indices of subscriptions and group addresses.
using OscIndexList = std::vector<uint32_t>;

// Failure codes of the framework: 0x80000000 plus the index of the error name a reply carries.
enum OscErrorId : uint32_t {
    kInternalError = 0x80000000u,
    kUnknownCommand = 0x80000001u,
    kUnsupportedCommand = 0x80000002u,
    kWrongFormat = 0x80000003u,
    kInvalidArgument = 0x80000004u,
    kUnknownAddress = 0x80000005u,
    kUnknownEventId = 0x80000006u,
    kTooLongCommand = 0x80000007u,
    kAccessDenied = 0x80000008u,
    kReadOnly = 0x80000009u,
    kNoPermission = 0x8000000Au,
    kOverload = 0x8000000Bu,
    kOverflow = 0x8000000Cu,
    kClipped = 0x8000000Du,
};

// The message format of a session; only 2 exists.
enum OscFormat : uint32_t {
    kOscFormatDefault = 2,
};

enum OscEncoding : uint32_t {
    kOscEncoding0 = 0,
    kOscEncoding1 = 1,
};

// How parameter change notifications reach a client: as raw values or in normalised form.
enum OscValueType : uint32_t {
    kOscValueTypeRaw = 0,
    kOscValueTypeNormalized = 1,
};

// How snapshot notifications name a snapshot: by number or by text.
enum OscSnapshotType : uint32_t {
    kOscSnapshotTypeIndex = 0,
    kOscSnapshotTypeText = 1,
};

}  // namespace JOSC
