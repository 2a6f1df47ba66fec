#include "TMS/SystemThread.h"

#include <algorithm>

#include "TMS/ThreadRepository.h"

namespace TMS {

namespace {

bool isRunning(uint32_t status) { return status == kStatusRun; }
bool isEnded(uint32_t status) { return status == kStatusClosed || status == kStatusDestroy; }

}  // namespace

SystemThread::SystemThread(uint32_t queueCapacity)
    : AbstractThread(queueCapacity), m_phase(kPhaseStarting), m_stage(0), m_childLock(nullptr)
{
}

SystemThread::~SystemThread()
{
    (void)SystemThread::release();  // the base destructor takes an ended task apart
}

JLIB::JResult SystemThread::initialize(const char* name, int16_t priority, uint8_t startOrder, uint32_t stackSize,
                                       uint32_t heapSize, uint32_t logLines, uint32_t timerPeriodMs,
                                       const ArgumentMap& arguments)
{
    const bool fresh = getStatus() == kStatusUninitialized;
    if (fresh) m_phase.store(kPhaseStarting);
    return AbstractThread::initialize(name, priority, startOrder, stackSize, heapSize, logLines, timerPeriodMs,
                                      arguments);
}

JLIB::JResult SystemThread::initialize(uint16_t taskId, const char* name, int16_t priority, uint8_t startOrder,
                                       uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                       uint32_t timerPeriodMs, const ArgumentMap& arguments)
{
    const bool fresh = getStatus() == kStatusUninitialized;
    if (fresh) m_phase.store(kPhaseStarting);
    return AbstractThread::initialize(taskId, name, priority, startOrder, stackSize, heapSize, logLines,
                                      timerPeriodMs, arguments);
}

std::vector<AbstractThread*> SystemThread::copyChildren() const
{
    // A child's release takes it off the list while a stage is worked through: work on a copy.
    TMSMutexAutoReleaser hold(m_childLock);
    return m_children;
}

template <typename OrderTest, typename StatusTest>
bool SystemThread::allChildren(OrderTest order, StatusTest status) const
{
    if (!m_childLock.isValid()) return false;
    TMSMutexAutoReleaser hold(m_childLock);
    return std::all_of(m_children.begin(), m_children.end(), [&](const AbstractThread* child) {
        return !order(child->getStartOrder()) || status(child->getStatus());
    });
}

bool SystemThread::isChildThreadsStarted(uint8_t stage) const
{
    return allChildren([stage](uint8_t order) { return order == stage; }, isRunning);
}

bool SystemThread::isAllChildThreadsStarted() const
{
    return allChildren([](uint8_t) { return true; }, isRunning);
}

bool SystemThread::isChildThreadsReleased(uint8_t stage) const
{
    return allChildren([stage](uint8_t order) { return order >= stage; }, isEnded);
}

bool SystemThread::isAllChildThreadsReleased() const
{
    return allChildren([](uint8_t) { return true; }, isEnded);
}

JLIB::JResult SystemThread::addThread(AbstractThread& child)
{
    if (child.isNull()) return JLIB::kFailed;
    if (getThreadByName(child.getThreadName()).isNull()) return JLIB::kFailed;  // not set up
    {
        TMSMutexAutoReleaser hold(m_childLock);
        if (std::find(m_children.begin(), m_children.end(), &child) != m_children.end()) return kAlreadyChild;
        m_children.push_back(&child);
    }
    (void)child.setParent(this);  // fails only for a child without a task, which it has
    // The child takes the whole table; an empty table (nothing declared yet) has nothing to give.
    (void)child.setSystemInfo(systemInfo());
    (void)child.setSystemInfoCache(systemInfo());
    (void)child.sendSystemInfoEvent();  // as above
    return JLIB::kOk;
}

JLIB::JResult SystemThread::addSystemInfo(const SystemInfoNodeStruct* rows, uint32_t count)
{
    const JLIB::JResult table = systemInfo().addParams(rows, count);
    const JLIB::JResult cache = systemInfoCache().addParams(rows, count);
    if (JLIB::isFailure(table) || JLIB::isFailure(cache)) return table | cache;
    return onReceiveSystemInfoEvent();
}

JLIB::JResult SystemThread::startChildThreads(uint8_t stage)
{
    (void)outputLog("[i] SystemThread[%s]::startChildThreads - (stage = %d)\n", getThreadName(), stage);
    JLIB::JResult result = JLIB::kOk;
    for (AbstractThread* child : copyChildren()) {
        const uint32_t status = child->getStatus();
        if (child->getStartOrder() != stage || status > kStatusStop) continue;
        (void)outputLog("[i] SystemThread[%s]::startChildThreads - %s\n", getThreadName(), child->getThreadName());
        if (JLIB::isFailure(child->start(getNullDataMap()))) {
            (void)outputLog("[E] SystemThread[%s]::startChildThreads - Cannot start thread[%s]!\n", getThreadName(),
                            child->getThreadName());
            result = JLIB::kFailed;
        }
    }
    return result;
}

JLIB::JResult SystemThread::releaseChildThreads(uint8_t stage)
{
    (void)outputLog("[i] SystemThread[%s]::releaseChildThreads - (stage = %d)\n", getThreadName(), stage);
    JLIB::JResult result = JLIB::kOk;
    const std::vector<AbstractThread*> children = copyChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        AbstractThread* child = *it;
        if (child->getStartOrder() != stage || child->getStatus() >= kStatusClosing) continue;
        // The name goes with the release: keep it for the failure line.
        const char* name = child->getThreadName();
        (void)outputLog("[i] SystemThread[%s]::releaseChildThreads - %s\n", getThreadName(), name);
        if (JLIB::isFailure(child->release())) {
            (void)outputLog("[E] SystemThread[%s]::releaseChildThreads - Cannot release thread[%s]!\n",
                            getThreadName(), name);
            result = JLIB::kFailed;
        }
    }
    return result;
}

JLIB::JResult SystemThread::onInitialize(const ArgumentMap& arguments)
{
    const JLIB::JResult result = AbstractThread::onInitialize(arguments);
    m_stage.store(getStartOrder());
    return result;
}

JLIB::JResult SystemThread::onChangeStatus(uint32_t status, const ArgumentMap& arguments)
{
    const JLIB::JResult result = AbstractThread::onChangeStatus(status, arguments);
    if (status == kStatusRun) (void)startChildThreads(m_stage.load());  // failures are logged per child
    return result;
}

JLIB::JResult SystemThread::onChangeChildStatus()
{
    const JLIB::JResult result = AbstractThread::onChangeChildStatus();
    switch (m_phase.load()) {
    case kPhaseStarting: {
        uint8_t stage = m_stage.load();
        if (!isChildThreadsStarted(stage)) break;
        if (isAllChildThreadsStarted()) {
            m_phase.store(kPhaseAllStarted);
            break;
        }
        // Stages without children count as started and are skipped; the stage wraps modulo 256.
        do {
            ++stage;
        } while (isChildThreadsStarted(stage));
        m_stage.store(stage);
        (void)startChildThreads(stage);  // failures are logged per child
        break;
    }
    case kPhaseReleasing: {
        (void)releaseChildThreads(m_stage.load());  // failures are logged per child
        if (isAllChildThreadsReleased()) {
            m_phase.store(kPhaseReleased);
            // Closes without telling anyone: the loop ends after this pass and finalises.
            setStatusDirectly(kStatusClosing);
            break;
        }
        uint8_t stage = m_stage.load();
        do {
            --stage;
        } while (isChildThreadsReleased(stage));
        m_stage.store(stage);
        break;
    }
    default:
        break;
    }
    return result;
}

JLIB::JResult SystemThread::release()
{
    if (m_phase.load() == kPhaseReleased) return JLIB::kOk;
    // Never set up or already taken apart: there is no loop to do the staged release.
    if (getTaskId() == kNoId) return JLIB::kOk;
    {
        TMSMutexAutoReleaser hold(m_childLock);
        for (const AbstractThread* child : m_children) {
            if (child->getStartOrder() > m_stage.load()) m_stage.store(child->getStartOrder());
        }
    }
    m_phase.store(kPhaseReleasing);
    (void)sendThreadStatus(true);  // the task exists (checked above)
    if (!getCurrentThread().isNull()) return JLIB::kOk;

    uint32_t lastLine = get1msCount();
    while (m_phase.load() != kPhaseReleased) {
        // A loop that has ended (termination) will never finish the staged release.
        if (getStatus() == kStatusDestroy) break;
        (void)waitMs(kStatusPollMs);  // always 0
        const uint32_t now = get1msCount();
        if (now - lastLine >= kNoResponseLogMs) {
            (void)outputLog("[E] SystemThread[%s]::release() - no response for status change!\n", getThreadName());
            lastLine = now;
        }
    }
    return AbstractThread::release();
}

JLIB::JResult SystemThread::onDestroyChildThread(AbstractThread& child)
{
    (void)child.clearParent();  // always 0
    TMSMutexAutoReleaser hold(m_childLock);
    const auto it = std::find(m_children.begin(), m_children.end(), &child);
    if (it == m_children.end()) return kAlreadyChild;
    m_children.erase(it);
    return JLIB::kOk;
}

JLIB::JResult SystemThread::onReceiveSystemInfoEvent()
{
    if (AbstractThread* up = parent()) {
        const JLIB::JResult merged = up->setSystemInfoCache(systemInfoCache());
        const JLIB::JResult signalled = up->sendSystemInfoEvent();
        return JLIB::isFailure(merged) ? merged : signalled;
    }
    (void)setSystemInfo(systemInfoCache());  // a failed merge keeps the old values; the hook still runs
    (void)systemInfo().output(true, &logger());  // an empty table has nothing to show
    const JLIB::JResult result = onChangeSystemInfo();
    TMSMutexAutoReleaser hold(m_childLock);
    for (AbstractThread* child : m_children) (void)child->sendSystemInfoEvent();  // a child without task learns later
    return result;
}

}  // namespace TMS
