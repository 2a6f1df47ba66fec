#include "TMS/ThreadRepository.h"

#include <atomic>
#include <mutex>

#include "TMS/AbstractThread.h"
#include "TMS/NullThread.h"
#include "TMS/OSTimer.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace TMS {

namespace {

std::atomic<ThreadRepository*> s_pRepository{nullptr};
std::atomic<NullThread*> s_pNullThread{nullptr};
std::mutex s_nullThreadMaking;  // one null thread even when the first lookups race

const ThreadNameMap& emptyNameMap()
{
    static const ThreadNameMap empty;
    return empty;
}

}  // namespace

ThreadRepository::ThreadRepository() : m_lock("ThreadRepository")
{
    // Refused only while another registry's tick runs; lookups work without a tick.
    (void)OSTimer::getInstance().start(kTickMs, this);
}

ThreadRepository::~ThreadRepository()
{
    (void)OSTimer::getInstance().stop();  // not running: nothing calls us any more
}

JLIB::JResult ThreadRepository::addThread(AbstractThread& thread)
{
    if (thread.isNull()) return kNotFound;
    if (!m_lock.isValid()) return kNoLock;
    TMSMutexAutoReleaser hold(m_lock);
    const char* name = thread.getThreadName();
    m_byName.erase(name);  // the new entry keeps the new thread's own name pointer
    m_byName.emplace(name, &thread);
    m_byTask[thread.getTaskId()] = &thread;
    return JLIB::kOk;
}

JLIB::JResult ThreadRepository::deleteThread(AbstractThread& thread)
{
    if (thread.isNull()) return kNotFound;
    if (!m_lock.isValid()) return kNoLock;
    TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_byName.find(thread.getThreadName());
    if (it == m_byName.end()) return kNotFound;
    m_byName.erase(it);
    m_byTask.erase(thread.getTaskId());
    return JLIB::kOk;
}

AbstractThread& ThreadRepository::getThread(const char* name) const
{
    if (!m_lock.isValid()) return getNullThread();
    TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_byName.find(name);
    return it == m_byName.end() ? getNullThread() : *it->second;
}

AbstractThread& ThreadRepository::getThread(ThreadNameMap::const_iterator position) const
{
    if (!m_lock.isValid()) return getNullThread();
    TMSMutexAutoReleaser hold(m_lock);
    return position == m_byName.end() ? getNullThread() : *position->second;
}

AbstractThread& ThreadRepository::getThread(uint16_t taskId) const
{
    if (!m_lock.isValid()) return getNullThread();
    TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_byTask.find(taskId);
    return it == m_byTask.end() ? getNullThread() : *it->second;
}

AbstractThread& ThreadRepository::getCurrentThread() const
{
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_GetTskId(&id)) || id == 0 || id >= OSWRAP::kUnmanagedIdBase) return getNullThread();
    return getThread(id);
}

JLIB::JResult ThreadRepository::onOSTimer()
{
    if (!m_lock.isValid()) return kNoLock;
    TMSMutexAutoReleaser hold(m_lock);
    const uint32_t now = get1msCount();
    for (const auto& [name, thread] : m_byName) {
        // An ended loop needs no tick, and its owner may already be destroying the object (see
        // waitForRelease): no call into it.
        if (thread->getStatus() == kStatusDestroy) continue;
        (void)thread->timerTrigger(now);  // not yet running: no tick
    }
    return JLIB::kOk;
}

JLIB::JResult createThreadRepository()
{
    if (s_pRepository.load()) return JLIB::kOk;
    ThreadRepository* repository = JLIB::JNew<ThreadRepository>(0, "ThreadRepository", 1);
    if (!repository) return JLIB::kFailed;
    s_pRepository.store(repository);
    return JLIB::kOk;
}

JLIB::JResult destroyThreadRepository()
{
    if (ThreadRepository* repository = s_pRepository.exchange(nullptr)) (void)JLIB::JDelete(repository);  // ours
    std::lock_guard<std::mutex> making(s_nullThreadMaking);
    if (NullThread* nullThread = s_pNullThread.exchange(nullptr)) (void)JLIB::JDelete(nullThread);  // ours
    return JLIB::kOk;
}

AbstractThread& getNullThread()
{
    if (NullThread* made = s_pNullThread.load()) return *made;
    std::lock_guard<std::mutex> making(s_nullThreadMaking);
    NullThread* nullThread = s_pNullThread.load();
    if (!nullThread) {
        nullThread = JLIB::JNew<NullThread>(0, "NullThread", 1);
        if (!nullThread) jlib_cfg_dbgbrk("lib/TMS/ThreadRepository", 201);
        s_pNullThread.store(nullThread);
    }
    return *nullThread;
}

AbstractThread& getThreadByName(const char* name)
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->getThread(name) : getNullThread();
}

AbstractThread& getThreadByTaskId(uint16_t taskId)
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->getThread(taskId) : getNullThread();
}

AbstractThread& getCurrentThread()
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->getCurrentThread() : getNullThread();
}

JLIB::JResult addThreadToRepository(AbstractThread& thread)
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->addThread(thread) : JLIB::kFailed;
}

JLIB::JResult deleteThreadToRepository(AbstractThread& thread)
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->deleteThread(thread) : JLIB::kFailed;
}

ThreadNameMap::const_iterator threadMapBegin()
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->begin() : emptyNameMap().begin();
}

ThreadNameMap::const_iterator threadMapEnd()
{
    ThreadRepository* repository = s_pRepository.load();
    return repository ? repository->end() : emptyNameMap().end();
}

}  // namespace TMS
