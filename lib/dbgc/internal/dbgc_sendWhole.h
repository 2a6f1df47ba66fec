#pragma once
// The write loop shared by the debug print and the console shell; other modules reach it through
// dbgc_LineInput.h.
#include <cstdint>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"

namespace DBGC::detail {

// Sends text to lowIO, repeating send (each followed by flush) with the unsent rest until all of
// it is taken. Stops at the first failing send or flush, and at a send that took nothing, which
// would otherwise repeat for ever. Returns the combined codes of the last send and flush, or
// 0x80000000 when a send made no progress. An empty text sends nothing and gives 0.
JLIB::JResult sendWhole(IDebugConsoleLowIO& lowIO, const char* text, uint32_t length);

}  // namespace DBGC::detail
