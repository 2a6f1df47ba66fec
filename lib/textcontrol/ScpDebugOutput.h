#pragma once
// Trace hooks of the text control protocol. They take printf-style texts and write nothing, so
// traces cost a call and never reach a client. Any task.
#include <cwchar>

namespace SCP {

int ScpDebugOutput(const char* format, ...);
int ScpWDebugOutput(const wchar_t* format, ...);

}  // namespace SCP
