#include "mms_Platform.h"

#include <cmath>
#include <cstdarg>

#include "dbgc/dbgc_stdapi.h"
#include "fsw/fsw_api.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_md5.h"
#include "jlib/jlib_memory.h"
#include "jlib/jlib_printf.h"
#include "jlib/jlib_string.h"

namespace MMS {

static_assert(sizeof(T_MMS_FILE) == 8, "the file handle block is 8 bytes");

namespace {

constexpr uint32_t kNullPointer = 0x80000003u;
constexpr uint32_t kNotFound = 0x80000004u;

// Mode bits of mmsFileOpen.
constexpr uint32_t kModeRead = 0x1;
constexpr uint32_t kModeExisting = 0x2;

// One diagnostic line: 255 characters and the terminator.
constexpr uint32_t kAssertLineSize = 256;

}  // namespace

void* mmsMalloc(uint32_t size)
{
    if (size == 0) return nullptr;
    JLIB::IHeapManager* manager = JLIB::GetHeapManager(kMmsHeapId);
    if (manager == nullptr) return nullptr;
    return manager->allocateMemory(size, JLIB::GetHeapDebugOutputMode(kMmsHeapId), kMmsHeapTag);
}

uint32_t mmsFree(void* block)
{
    if (block == nullptr) return kMmsOk;
    JLIB::IHeapManager* manager = JLIB::GetHeapManager(kMmsHeapId);
    if (manager == nullptr) return kMmsOk;
    (void)manager->freeMemory(block, JLIB::GetHeapDebugOutputMode(kMmsHeapId));  // nothing to do on refusal
    return kMmsOk;
}

uint32_t mmsMemset(void* p, unsigned char value, uint32_t n) { return jlib_memset(p, value, n); }

uint32_t mmsMemcpy(void* dst, const void* src, uint32_t n) { return jlib_memncpy(dst, src, n); }

uint32_t mmsMemcmp(const void* a, const void* b, uint32_t n) { return jlib_memncmp(a, b, n); }

uint32_t mmsStrnlen(const char* s, uint32_t n)
{
    if (s == nullptr) return 0;
    uint32_t length = 0;
    while (length < n && s[length] != '\0') ++length;
    return length;
}

uint32_t mmsStrchr(const char* s, char c, uint32_t start, uint32_t size)
{
    if (s == nullptr || size == 0 || start >= size) return kNullPointer;
    for (uint32_t i = start; i < size; ++i) {
        if (s[i] == c) return i;
        if (s[i] == '\0') break;
    }
    return kNotFound;
}

uint32_t mmsStrncmp(const char* a, const char* b, uint32_t n) { return jlib_strncmp(a, b, n); }

uint32_t mmsStrncpy(char* dst, const char* src, uint32_t n) { return jlib_strncpy(dst, src, n); }

float mmsFmod(float a, float b)
{
    // The truncating formula is kept where its quotient converts to a 32-bit integer; beyond
    // that (or for a quotient that is infinite or not a number) the conversion is undefined, and
    // an infinite divisor would turn the product into a NaN.
    const float q = a / b;
    if (std::isfinite(q) && std::isfinite(b) && q > -2147483648.0f && q < 2147483648.0f) {
        const auto whole = static_cast<int32_t>(q);
        return a - static_cast<float>(whole) * b;
    }
    return std::fmod(a, b);
}

uint32_t mmsFileOpen(T_MMS_FILE** handle, const char* path, uint32_t mode)
{
    if (handle == nullptr) return kMmsFailed;
    uint32_t flags = 0;
    if (mode & kModeRead) flags |= kFswOpenRead;
    if (mode & kModeExisting) flags |= kFswOpenExisting;
    // The existing-file flag alone selects no open mode of the wrapper.
    if ((flags & kFswOpenRead) == 0) {
        *handle = nullptr;
        return kMmsFailed;
    }
    auto* file = static_cast<T_MMS_FILE*>(mmsMalloc(sizeof(T_MMS_FILE)));
    if (file == nullptr) {
        *handle = nullptr;
        return kMmsFailed;
    }
    file->handle = kFswInvalidHandle;
    if (JLIB::isFailure(fsw_open(&file->handle, path, flags))) {
        (void)mmsFree(file);
        *handle = nullptr;
        return kMmsFailed;
    }
    *handle = file;
    return kMmsOk;
}

uint32_t mmsFileRead(void* buffer, uint32_t* count, uint32_t size, const T_MMS_FILE* handle)
{
    if (handle == nullptr || buffer == nullptr || count == nullptr) return kMmsFailed;
    T_FSW_HANDLE fswHandle = handle->handle;
    const JLIB::JResult result = fsw_read(buffer, count, size, &fswHandle);
    if (JLIB::isFailure(result)) return kMmsFailed;
    return kMmsOk;  // a short read at the end of the file is no error
}

uint32_t mmsFileClose(T_MMS_FILE* handle)
{
    if (handle == nullptr) return kMmsFailed;
    const JLIB::JResult result = fsw_close(&handle->handle);
    (void)mmsFree(handle);
    return JLIB::isFailure(result) ? kMmsFailed : kMmsOk;
}

uint32_t mmsCalcMD5(char* out, const unsigned char* data, uint32_t size)
{
    if (out == nullptr || (data == nullptr && size != 0)) return kMmsBadArgument;
    T_JLIB_MD5_CTX context;
    jlib_MD5Init(&context);
    if (size != 0) jlib_MD5Update(&context, data, size);
    unsigned char digest[16];
    jlib_MD5Final(digest, &context);
    static const char kHex[] = "0123456789abcdef";
    for (unsigned i = 0; i < 16; ++i) {
        out[2 * i] = kHex[digest[i] >> 4];
        out[2 * i + 1] = kHex[digest[i] & 0x0F];
    }
    return kMmsOk;
}

uint32_t mmsLinkDirtyMemorySize(uint32_t bits) { return bits / 8 + ((bits % 8) != 0 ? 1 : 0); }

uint32_t mmsAssertOutput(const char* format, ...)
{
    char line[kAssertLineSize] = {};
    va_list args;
    va_start(args, format);
    const JLIB::JResult formatted = jlib_vsnprintf(line, sizeof(line), nullptr, format, args);
    va_end(args);
    if (JLIB::isFailure(formatted)) return kMmsOk;  // a null format prints nothing
    (void)dbgPrintf("%s", line);  // the length printed is of no use here
    return kMmsOk;
}

}  // namespace MMS
