#include "editor/KavoriExceptionFilter.h"

int32_t SetUnhandledExceptionFilter(TopLevelExceptionFilterFunction) { return 0; }

int32_t TopLevelExceptionFilter(void* exceptionRecord)
{
    return UICreateDump::createDump(exceptionRecord, &UICreateDump::defaultFuncAfterCrash, nullptr, nullptr, nullptr);
}

namespace UICreateDump {

int32_t createDump(void*, AfterCrashFunction, const char*, const char*, void*) { return 0; }

int32_t defaultFuncAfterCrash(const char*, const char*, void*) { return 0; }

}  // namespace UICreateDump
