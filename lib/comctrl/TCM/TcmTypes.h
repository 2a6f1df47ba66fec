#pragma once
// Records of the transfer command repository: one slot per command, shared between the clients
// that place commands and the worker that carries them out. Plain data.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "vsock/vsock_types.h"

namespace TCM {

// Result codes of the repository.
constexpr JLIB::JResult kCompleted = 1;  // update: the command completed
constexpr JLIB::JResult kBadArgument = 0x80000002u;
constexpr JLIB::JResult kNoResource = 0x80000003u;  // initialize: nothing could be made
constexpr JLIB::JResult kNotInitialized = 0x80000004u;  // also initialize's answer when already initialised
constexpr JLIB::JResult kWrongState = 0x80000005u;
constexpr JLIB::JResult kNoSlot = 0x80000007u;  // no free slot, nothing signalled, nothing finished
constexpr JLIB::JResult kCopyFailed = 0x8000000Au;

enum CATEGORY_TCM_ACTION : int32_t {
    TCM_ACTION_NONE = 0,
    TCM_ACTION_SEND_FILE = 1,  // events too
    TCM_ACTION_RECEIVE_FILE = 2,
    TCM_ACTION_SEND_HASH = 3,
    TCM_ACTION_RECEIVE_HASH = 4,
    TCM_ACTION_CANCEL = 5,
};

// Command states.
constexpr uint32_t kStateFree = 0;
constexpr uint32_t kStateReserved = 1;
constexpr uint32_t kStateRequested = 2;
constexpr uint32_t kStateRunning = 3;
constexpr uint32_t kStateCompleted = 4;
constexpr uint32_t kStateFailed = 5;

constexpr uint32_t kEventNameSize = 24;  // at most 23 characters
constexpr uint32_t kPathSize = 256;      // at most 255 characters

struct T_COMMAND_CONTENTS {
    uint32_t request;                // the placing call's first argument
    char eventName[kEventNameSize];  // empty for files and hashes
    char path[kPathSize];            // the path, or the event text
};

struct T_COMMAND_INFO {
    uint16_t targetId;        // 0 when an address is given
    netc_addr targetAddress;  // copied whole; all zero when a target id is given
    CATEGORY_TCM_ACTION category;
    bool indexReported;  // the placing call asked for the slot index
    T_COMMAND_CONTENTS contents;
};

struct T_COMMAND_PROGRESS {
    uint32_t state;
    uint32_t error;
    uint32_t transferred;
    uint32_t total;
};

// A slot is free when its category and its state are both 0.
struct T_REPOSITORY_ITEM {
    uint32_t clientId;  // never 0 for a placed command
    T_COMMAND_INFO info;
    T_COMMAND_PROGRESS progress;
};

static_assert(sizeof(netc_addr) == 24);
static_assert(sizeof(T_COMMAND_INFO) == 320);
static_assert(sizeof(T_REPOSITORY_ITEM) == 340);

}  // namespace TCM
