#include "ossupport/ossup_DLL.h"

#include <dlfcn.h>

#include "jlib/jlib_string.h"

JLIB::JResult ossup_DLLOpen(void** handle, char* errorText, uint32_t errorSize, const char* path)
{
    if (!handle || !path) return kOssupDllBadArgument;
    *handle = dlopen(path, RTLD_LAZY);
    if (*handle) return JLIB::kOk;
    const char* message = dlerror();
    if (errorText && errorSize != 0) {
        (void)jlib_strcpy(errorText, errorSize, message ? message : "");  // a cut message is still useful
    }
    return kOssupDllUnavailable;
}

JLIB::JResult ossup_GetDLLFunction(void** function, void* handle, const char* symbol)
{
    if (!function || !handle || !symbol) return kOssupDllBadArgument;
    *function = dlsym(handle, symbol);
    return *function ? JLIB::kOk : kOssupDllUnavailable;
}

JLIB::JResult ossup_DLLClose(void* handle)
{
    if (!handle) return kOssupDllBadArgument;
    return dlclose(handle) == 0 ? JLIB::kOk : JLIB::kFailed;
}
