#pragma once
// Module lock, id checks and names shared by the object tables of the OS wrapper.
#include <pthread.h>

#include "oswrap/oswrap_types.h"

namespace OSWRAP::detail {

// The module lock: written by start, end, create and delete and by mailbox send and receive,
// read by lookups. Never held while blocking in a wait (except a flag delete waiting for users).
void _osw_module_lock();
void _osw_module_rdlock();
void _osw_module_unlock();

class ModuleWriteLock {
public:
    ModuleWriteLock() { _osw_module_lock(); }
    ~ModuleWriteLock() { if (m_held) _osw_module_unlock(); }
    ModuleWriteLock(const ModuleWriteLock&) = delete;
    ModuleWriteLock& operator=(const ModuleWriteLock&) = delete;
    // For waits that must let other tasks take the lock in between.
    void unlock() { _osw_module_unlock(); m_held = false; }
    void lock() { _osw_module_lock(); m_held = true; }

private:
    bool m_held = true;
};

class ModuleReadLock {
public:
    ModuleReadLock() { _osw_module_rdlock(); }
    ~ModuleReadLock() { _osw_module_unlock(); }
    ModuleReadLock(const ModuleReadLock&) = delete;
    ModuleReadLock& operator=(const ModuleReadLock&) = delete;
};

// 0x80000005 when id lies outside lowest..highest.
[[nodiscard]] inline JLIB::JResult _chkRange(uint16_t lowest, uint16_t highest, uint16_t id)
{
    return (id < lowest || id > highest) ? kBadArgument : kOk;
}
[[nodiscard]] inline JLIB::JResult chkAll(const IdRange& r, uint16_t id) { return _chkRange(r.lowest, r.highest, id); }
[[nodiscard]] inline JLIB::JResult chkFixed(const IdRange& r, uint16_t id)
{
    return _chkRange(r.fixedLowest, r.fixedHighest, id);
}

// A stored name: up to 9 characters and a terminator.
using ObjName = char[kNameLength + 1];
// Copies at most 9 characters; null leaves the name empty.
void storeName(ObjName& dst, const char* src);
// Names are equal when their first 9 characters agree.
bool nameMatches(const ObjName& stored, const char* name);

// Table preparation at module start and clearing at module end; the module write lock is held.
void prepareSemaphores();
void clearSemaphores();
void prepareEventFlags();
void clearEventFlags();
void prepareMailboxes();
void clearMailboxes();
void prepareTasks();
void clearTaskFlags();
// Terminates and deletes every task, 50..100 rising then 49..1; the module lock is not held.
void terminateAllTasks();

}  // namespace OSWRAP::detail
