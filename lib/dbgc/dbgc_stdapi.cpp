#include "dbgc/dbgc_stdapi.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "dbgc/internal/dbgc_sendWhole.h"
#include "jlib/JAllocator.h"
#include "jlib/JVector.h"
#include "jlib/jlib_ascii.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"
#include "oswrap/oswrap_semaphore.h"

namespace {

constexpr uint16_t kNoLock = 0xFFFF;
constexpr uint32_t kBufferSize = 400;  // one formatted text: 399 characters and the NUL
constexpr uint32_t kMaxOutputs = 2;

// Read without the lock by every printing task, hence atomic.
std::atomic<uint16_t> gDBGCSemaphoreId{kNoLock};
std::atomic<int32_t> gDebugMode{1};
std::atomic<bool> gFinalized{false};
std::once_flag gLockCreated;  // the lock is made at most once per process: closing is final

// Guarded by the output lock (or held by the caller of the raw forms).
char cbuf[kBufferSize];

using LowIOList = JLIB::JVector<DBGC::IDebugConsoleLowIO*>;

LowIOList& lowIOList()
{
    // Built on first use so that a print from another module's static set-up finds it ready.
    static LowIOList gLowIOList(kMaxOutputs, JLIB::JAllocator<DBGC::IDebugConsoleLowIO*>(0, "DBGC::gLowIOList"));
    return gLowIOList;
}

void createLock()
{
    T_OSW_CSEM pk{nullptr, 0, 1, "DBGC"};
    uint16_t id = 0;
    // Without its lock the debug print cannot serialise anything: the process is broken.
    if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) jlib_cfg_dbgbrk(__FILE__, __LINE__);
    gDBGCSemaphoreId.store(id, std::memory_order_release);
}

bool makeUsable()
{
    if (gFinalized.load(std::memory_order_acquire)) return false;
    if (gDBGCSemaphoreId.load(std::memory_order_acquire) == kNoLock) std::call_once(gLockCreated, createLock);
    return !gFinalized.load(std::memory_order_acquire);
}

uint32_t writeText(const char* text)
{
    const auto length = static_cast<uint32_t>(std::strlen(text));
    for (DBGC::IDebugConsoleLowIO* lowIO : lowIOList()) {
        (void)DBGC::detail::sendWhole(*lowIO, text, length);  // a failing output only misses this text
    }
    (void)std::fputs(text, stdout);
    return length;
}

uint32_t formatAndWrite(const char* format, va_list args)
{
    uint32_t written = 0;
    if (JLIB::isFailure(jlib_vsnprintf(cbuf, kBufferSize, &written, format, args))) return 0;
    return writeText(cbuf);
}

// Takes the lock of an open layer; false when the layer is closed or the lock cannot be taken.
bool enterOpenLayer(uint16_t& id)
{
    if (!makeUsable()) return false;
    id = gDBGCSemaphoreId.load(std::memory_order_acquire);
    if (JLIB::isFailure(oswrap_WaiSem(id))) return false;
    // dbgFinalize may have closed the layer while this task waited for the lock.
    if (gFinalized.load(std::memory_order_acquire)) {
        (void)oswrap_SigSem(id);  // releasing a lock this task holds
        return false;
    }
    return true;
}

uint32_t convert(uint32_t* value, const char* text, int base, uint32_t maxCharacters)
{
    return jlib_strntoul(value, text, nullptr, base, maxCharacters);
}

}  // namespace

namespace DBGC::detail {

JLIB::JResult sendWhole(IDebugConsoleLowIO& lowIO, const char* text, uint32_t length)
{
    JLIB::JResult result = JLIB::kOk;
    uint32_t done = 0;
    while (done < length) {
        const uint32_t rest = length - done;
        uint32_t sent = 0;
        const JLIB::JResult sendResult = lowIO.send(text + done, rest, &sent);
        result = sendResult | lowIO.flush();
        if (JLIB::isFailure(result) || sent >= rest) break;
        if (sent == 0) return JLIB::kFailed;  // "success" without progress: give up on this output
        done += sent;
    }
    return result;
}

}  // namespace DBGC::detail

extern "C" {

uint32_t dbgAddLowIO(DBGC::IDebugConsoleLowIO& lowIO)
{
    uint16_t id = kNoLock;
    if (!enterOpenLayer(id)) return JLIB::kOk;
    const JLIB::JResult pushed = lowIOList().push_back(&lowIO);
    (void)oswrap_SigSem(id);  // releasing a lock this task holds
    return JLIB::isFailure(pushed) ? JLIB::kFailed : JLIB::kOk;
}

uint32_t dbgFinalize()
{
    const uint16_t id = gDBGCSemaphoreId.load(std::memory_order_acquire);
    if (id == kNoLock) return JLIB::kFailed;
    (void)oswrap_WaiSem(id);  // a created id is in range
    (void)lowIOList().clear();  // keeps the storage; cannot fail
    gFinalized.store(true, std::memory_order_release);
    (void)oswrap_SigSem(id);
    if (JLIB::isFailure(oswrap_DelSem(id))) return JLIB::kFailed;
    gDBGCSemaphoreId.store(kNoLock, std::memory_order_release);
    return JLIB::kOk;
}

uint32_t dbgEnterCriticalSection()
{
    // Made here too, so that a console bracketing its output before any print is still protected.
    (void)makeUsable();
    return oswrap_WaiSem(gDBGCSemaphoreId.load(std::memory_order_acquire));
}

uint32_t dbgLeaveCriticalSection()
{
    return oswrap_SigSem(gDBGCSemaphoreId.load(std::memory_order_acquire));
}

uint32_t dbgSetDbgMode(int32_t mode)
{
    if (mode != 0 && mode != 1) return JLIB::kFailed;
    gDebugMode.store(mode, std::memory_order_relaxed);
    return JLIB::kOk;
}

int32_t dbgGetDbgMode() { return gDebugMode.load(std::memory_order_relaxed); }

uint32_t dbgPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const uint32_t length = dbgVPrintf(format, args);
    va_end(args);
    return length;
}

uint32_t dbgVPrintf(const char* format, va_list args)
{
    if (!format || dbgGetDbgMode() == 0) return 0;
    uint16_t id = kNoLock;
    if (!enterOpenLayer(id)) return 0;
    const uint32_t length = formatAndWrite(format, args);
    (void)oswrap_SigSem(id);  // releasing a lock this task holds
    return length;
}

uint32_t dbgPrintStr(const char* text)
{
    if (!text || dbgGetDbgMode() == 0) return 0;
    uint16_t id = kNoLock;
    if (!enterOpenLayer(id)) return 0;
    const uint32_t length = writeText(text);
    (void)oswrap_SigSem(id);  // releasing a lock this task holds
    return length;
}

uint32_t dbgPrintfRaw(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const uint32_t length = dbgVPrintfRaw(format, args);
    va_end(args);
    return length;
}

uint32_t dbgVPrintfRaw(const char* format, va_list args)
{
    if (!format || dbgGetDbgMode() == 0) return 0;
    return formatAndWrite(format, args);
}

uint32_t dbgCnvHex2Bin(uint32_t* value, const char* text) { return convert(value, text, 16, 8); }
uint32_t dbgCnvDec2Bin(uint32_t* value, const char* text) { return convert(value, text, 10, 10); }
uint32_t dbgCnvBit2Bin(uint32_t* value, const char* text) { return convert(value, text, 2, 32); }

uint32_t dbgCnvChrBig2Small(char* text)
{
    for (char* p = text; p && *p; ++p) *p = static_cast<char>(jlib_tolower(static_cast<unsigned char>(*p)));
    return JLIB::kOk;
}

uint32_t dbgCnvChrSmall2Big(char* text)
{
    for (char* p = text; p && *p; ++p) *p = static_cast<char>(jlib_toupper(static_cast<unsigned char>(*p)));
    return JLIB::kOk;
}

}  // extern "C"
