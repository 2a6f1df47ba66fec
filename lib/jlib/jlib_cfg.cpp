// The assertion stop must abort in every build type.
#undef NDEBUG
#include "jlib_cfg.h"

#include <atomic>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Any task may log: the last writer wins, without a data race.
std::atomic<const char*> gpFileName{nullptr};
std::atomic<int> gLineNum{0};

// Empty by design: standard output's own locking keeps each line whole.
int _enterCriticalSection() { return 0; }
int _leaveCriticalSection() { return 0; }

void recordPosition(const char* path, int line)
{
    const char* slash = path ? std::strrchr(path, '/') : nullptr;
    (void)_enterCriticalSection();
    gpFileName = slash ? slash + 1 : path;
    gLineNum = line;
}

}  // namespace

void jlib_cfg_dbgbrk(const char* path, int line)
{
    (void)path;
    (void)line;
    assert(0);
    __builtin_unreachable();
}

int jlib_cfg_devicelog_head(const char* path, int line)
{
    recordPosition(path, line);
    return 0;
}

int jlib_cfg_devicelog_msg(const char* format, ...)
{
    if (format) {
        va_list args;
        va_start(args, format);
        (void)std::vprintf(format, args);
        va_end(args);
    }
    (void)_leaveCriticalSection();
    return 0;
}

int jlib_cfg_harderror_head(const char* path, int line)
{
    recordPosition(path, line);
    return 0;
}

int jlib_cfg_harderror_msg(const char* format, ...)
{
    (void)format;
    (void)_leaveCriticalSection();
    return 0;
}

const char* jlib_cfg_lastFileName() { return gpFileName.load(); }
int jlib_cfg_lastLineNum() { return gLineNum.load(); }
