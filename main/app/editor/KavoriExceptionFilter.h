#pragma once
// Hooks for unhandled exceptions. They do nothing on this platform: an unhandled exception ends
// the process without a dump.
#include <cstdint>

using TopLevelExceptionFilterFunction = int32_t (*)(void* exceptionRecord);

// 0; installs nothing.
int32_t SetUnhandledExceptionFilter(TopLevelExceptionFilterFunction filter);
// UICreateDump::createDump with the default after-crash function.
int32_t TopLevelExceptionFilter(void* exceptionRecord);

namespace UICreateDump {

using AfterCrashFunction = int32_t (*)(const char* first, const char* second, void* context);

// 0; writes nothing.
int32_t createDump(void* exceptionRecord, AfterCrashFunction afterCrash, const char* first, const char* second,
                   void* context);
// 0.
int32_t defaultFuncAfterCrash(const char* first, const char* second, void* context);

}  // namespace UICreateDump
