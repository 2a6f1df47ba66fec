#pragma once
// Result codes of the logic network. Success is 0; the no-lock failure is JLIB::kFailed (0x80000000).
#include <cstdint>

#include "jlib/jlib_result.h"

namespace LogicCtrl {

// Unknown data kind, port number not below the count, missing or unregistered component,
// component initialised twice.
constexpr JLIB::JResult kInvalidArgument = 0x80000001u;
// An operation the data kind does not offer; a collection that is started (add, remove, clear)
// or already initialised.
constexpr JLIB::JResult kWrongState = 0x80080000u;
// The collection's lock could not be made.
constexpr JLIB::JResult kNoMemory = 0x80040000u;
// A component id of 0xFFFFFFFF, or one that is registered already.
constexpr JLIB::JResult kIdConflict = 0x80100000u;

// The id of a component that is not initialised.
constexpr uint32_t kInvalidId = 0xFFFFFFFFu;

}  // namespace LogicCtrl
