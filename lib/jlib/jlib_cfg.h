#pragma once
// Device log and assertion stop: the only output channel of every module.
// Any task may call them; a log line is always a head call followed by a msg call.

[[noreturn]] void jlib_cfg_dbgbrk(const char* path, int line);
int jlib_cfg_devicelog_head(const char* path, int line);
int jlib_cfg_devicelog_msg(const char* format, ...) __attribute__((format(printf, 1, 2)));
int jlib_cfg_harderror_head(const char* path, int line);
int jlib_cfg_harderror_msg(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Base name and line of the latest head call; read only by tests.
const char* jlib_cfg_lastFileName();
int jlib_cfg_lastLineNum();

// One device log line from the calling place.
#define JLIB_LOG(...) \
    ((void)jlib_cfg_devicelog_head(__FILE__, __LINE__), (void)jlib_cfg_devicelog_msg(__VA_ARGS__))

// Stops the process when an internal invariant is broken; never for input from outside.
#define JLIB_ASSERT(cond) \
    do { if (!(cond)) jlib_cfg_dbgbrk(__FILE__, __LINE__); } while (0)
