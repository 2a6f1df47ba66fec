#pragma once
// The module "Component": asks the device-control, compiler and DSP threads to add and remove
// components and connections, compile and drive the player (user messages with a "CommandName"),
// and shows, reads and writes the parameters of the database "AudioCompo" (instance id 10).
// Runs on the console's thread.
#include <cstdint>
#include <string>

#include "dbgc/dbgc_DebugConsole.h"

class JVariant;

namespace DBGC {

// 0x80000000 for no tokens, a command it does not know, too few tokens, or a parameter that
// "set" cannot write; a message command gives its send's result, "get" and "set" the database's.
JLIB::JResult dbgComponentModule(DebugConsole& console, uint32_t count, const StringElement* tokens);

// Replaces text with the value's text: Int32 and UInt32 in decimal, Float with six decimals,
// String as it is, Binary as "%02X " per byte, an invalid value as "". Always 0.
JLIB::JResult convJVariantToString(const JVariant& value, std::string& text);

}  // namespace DBGC
