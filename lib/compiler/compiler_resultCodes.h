#pragma once
// Result codes of a compile; they reach the editor unchanged, so their numbers are fixed.
#include "jlib/jlib_result.h"

namespace Compiler {

constexpr JLIB::JResult kUnusableInput = 0x80000001u;     // no DSP system, fsHz or frame 0, unknown type
constexpr JLIB::JResult kCancelled = 0x80000002u;         // the progress callback asked to stop
constexpr JLIB::JResult kCapacityExceeded = 0x80000003u;  // placed only after enlarging, or placement impossible
constexpr JLIB::JResult kNoCore = 0x80000005u;            // no core can take a component
constexpr JLIB::JResult kNoStepResource = 0x80000008u;    // a placed component took no "step"

// Answers of DspSystem::getAssignableDspCoreVector besides 0 and 0x80000000.
constexpr JLIB::JResult kCoresBusy = 0x80000001u;   // retry at the next step it gives
constexpr JLIB::JResult kStepShort = 0x80000002u;   // only enlarged step resources would fit
// Answer of DspSystem::assignComponentDspResource when a need does not fit the core.
constexpr JLIB::JResult kDoesNotFit = 0x80000001u;

// The processing capacity resource of a core.
constexpr const char* kStepResourceName = "step";

}  // namespace Compiler
