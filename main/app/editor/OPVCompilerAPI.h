#pragma once
// What the compile service knows of the one DSP system the engine compiles for: its figures, the
// three compile databases built from the calling thread's view of the audio components, the
// processing resource figures, and the process-wide cancel flag. The builders and resource
// figures read the caller's own component view, so each thread calls them for itself; the cancel
// flag may be used from any task.
#include <atomic>
#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "jlib/jlib_result.h"

namespace OPVCompilerAPI {

extern const char* const DSP_SYSTEM_NAME;  // "OPV256-D"
extern const char* const DSP_NAME;         // "OPV-D CPU"

// Set by nobody in the engine; cleared at the start of every compile. Sequentially consistent.
extern std::atomic<bool> gCompileCancelRequest;

// The component database: one entry per (name, major version, numX, numY) in view order.
// The connection database: the DSP system wanted, the components, the original audio
// connections and every logic link once. The DSP system database: one DSP of four cores.
// Each is printed with an indent of two spaces. A text the JSON library refuses to print (a
// component name that is not valid UTF-8) gives the empty text and *ok false; *ok is true
// otherwise.
std::string getComponentDBJsonString(bool* ok = nullptr);
std::string getConnectionDBJsonString(bool* ok = nullptr);
std::string getDspSystemDBJsonString(bool* ok = nullptr);

// The one place the databases are printed: indent 2, members sorted by key. 0, or 0x80000000
// with the empty text when the library refuses (its exception does not leave here).
[[nodiscard]] JLIB::JResult printJsonText(const nlohmann::json& document, std::string& text);

// Four cores of 333333 "step" units.
uint32_t getTotalProcessingResourceCapacity();
// The "step" usage summed over the caller's view, wrapping at 32 bits.
uint32_t getTotalProcessingResourceUsage();
// The "step" usage of the component of that id in the caller's view; 0 when the view lacks it.
uint32_t getProcessingResourceUsage(uint32_t uniqId);

bool isCompileCancelRequest();
// Both answer 0.
JLIB::JResult clearCompileCancelRequest();
JLIB::JResult setCompileCancelRequest();

}  // namespace OPVCompilerAPI
