#include "textcontrol/ScpDebugOutput.h"

namespace SCP {

int ScpDebugOutput(const char*, ...) { return 0; }

int ScpWDebugOutput(const wchar_t*, ...) { return 0; }

}  // namespace SCP
