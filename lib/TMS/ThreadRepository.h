#pragma once
// The registry of threads by name and by task id, and the 10 ms tick fan-out. At most one
// exists (createThreadRepository); any task may look up, and a lookup that finds nothing gives
// the shared null thread. Threads are borrowed: each registers itself in initialize and leaves
// in release.
#include <cstdint>
#include <map>

#include "TMS/IOSTimerCallback.h"
#include "TMS/TMSMutex.h"
#include "TMS/cmp_str.h"
#include "jlib/jlib_result.h"

namespace TMS {

class AbstractThread;

using ThreadNameMap = std::map<const char*, AbstractThread*, cmp_str>;

class ThreadRepository : public IOSTimerCallback {
public:
    static constexpr JLIB::JResult kNotFound = 0x80000003u;
    static constexpr JLIB::JResult kNoLock = 0x80000004u;
    static constexpr uint32_t kTickMs = 10;

    // Starts the tick task with itself as callback.
    ThreadRepository();
    // Stops the tick task.
    ~ThreadRepository() override;
    ThreadRepository(const ThreadRepository&) = delete;
    ThreadRepository& operator=(const ThreadRepository&) = delete;

    // Replaces entries under the same name or task id; the null thread: 0x80000003.
    [[nodiscard]] JLIB::JResult addThread(AbstractThread& thread);
    // Removes the name entry and the task id entry; 0x80000003 when the name has no entry.
    [[nodiscard]] JLIB::JResult deleteThread(AbstractThread& thread);
    AbstractThread& getThread(const char* name) const;
    AbstractThread& getThread(ThreadNameMap::const_iterator position) const;
    AbstractThread& getThread(uint16_t taskId) const;
    AbstractThread& getCurrentThread() const;
    // The name map in name order; callers hold no lock while iterating, so only for threads
    // that stay registered meanwhile.
    ThreadNameMap::const_iterator begin() const { return m_byName.begin(); }
    ThreadNameMap::const_iterator end() const { return m_byName.end(); }
    // Tick task: offers one millisecond count to every thread, in name order.
    JLIB::JResult onOSTimer() override;

private:
    ThreadNameMap m_byName;
    std::map<uint16_t, AbstractThread*> m_byTask;
    TMSMutex m_lock;
};

// 0, or 0x80000000 when it cannot be allocated; 0 when one exists already.
[[nodiscard]] JLIB::JResult createThreadRepository();
// Destroys the registry, then the null thread.
JLIB::JResult destroyThreadRepository();
AbstractThread& getNullThread();
AbstractThread& getThreadByName(const char* name);
AbstractThread& getThreadByTaskId(uint16_t taskId);
// The thread whose task runs the caller; the null thread for any other caller.
AbstractThread& getCurrentThread();
// 0x80000000 without a registry.
[[nodiscard]] JLIB::JResult addThreadToRepository(AbstractThread& thread);
[[nodiscard]] JLIB::JResult deleteThreadToRepository(AbstractThread& thread);
// Without a registry both give the same empty range.
ThreadNameMap::const_iterator threadMapBegin();
ThreadNameMap::const_iterator threadMapEnd();

}  // namespace TMS
