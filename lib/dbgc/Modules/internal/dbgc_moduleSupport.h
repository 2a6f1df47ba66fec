#pragma once
// Helpers shared by the console's command modules; not for other modules.
#include <cstdint>

#include "dbgc/dbgc_DebugConsole.h"

namespace DBGC::detail {

// Writes the lines whole between startOutput and endOutput; always 0.
JLIB::JResult writeLines(DebugConsole& console, const char* const* lines, uint32_t count);

template <uint32_t N>
JLIB::JResult writeLines(DebugConsole& console, const char* const (&lines)[N])
{
    return writeLines(console, lines, N);
}

// The first token asks for the module's help ("help" or "?", any case).
bool isHelp(const StringElement& command);

// Lines 2 to 9 of the help of "Component", which the help of "PDB" repeats.
extern const char* const kComponentEditHelp[8];

}  // namespace DBGC::detail
