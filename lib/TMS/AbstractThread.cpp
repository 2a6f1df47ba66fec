#include "TMS/AbstractThread.h"

#include "TMS/SystemMessage.h"
#include "TMS/ThreadRepository.h"
#include "jlib/JVariantArray.h"
#include "oswrap/oswrap.h"

namespace TMS {

namespace {

constexpr JLIB::JResult kTerminateRequested = 0x80000011u;
constexpr JLIB::JResult kNoFlagBitSet = 0x8000000Cu;

const char* const kStatusNames[] = {"UNINITIALIZED", "OPENING", "STOP", "RUN", "PAUSE", "CLOSING", "CLOSED", "DESTROY"};

}  // namespace

void _threadLauncher(void* thread)
{
    if (thread) (void)static_cast<AbstractThread*>(thread)->loop();  // the loop logs its own faults
    // Marks the task ended for the OS wrapper, so a later termination request does not wait for
    // it; a task already taken apart just returns.
    (void)oswrap_ExtTsk();
}

AbstractThread::AbstractThread(uint32_t queueCapacity) : AbstractThread(queueCapacity, nullptr) {}

AbstractThread::AbstractThread(uint32_t queueCapacity, const char* fixedName)
    : m_msgLock("TMSThreadMsg"),
      m_threadLock("TMSThread"),
      m_pName(fixedName),
      m_timerPeriod(0),
      m_lastTick(0),
      m_status(kStatusUninitialized),
      m_pParent(nullptr),
      m_queueCapacity(queueCapacity),
      m_flagId(kNoId),
      m_taskId(kNoId),
      m_taskStarted(false),
      m_priority(0),
      m_startOrder(0),
      m_passes(0),
      m_passesAtLastCalc(0),
      m_endStatus(0)
{
}

AbstractThread::~AbstractThread()
{
    if (m_taskId.load() != kNoId) (void)AbstractThread::release();  // nobody is left to tell
}

JLIB::JResult AbstractThread::onTimer(uint32_t, uint32_t) { return JLIB::kOk; }

uint16_t AbstractThread::callerTaskId()
{
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_GetTskId(&id)) || id == 0 || id >= OSWRAP::kUnmanagedIdBase) return kNoId;
    return id;
}

bool AbstractThread::isCallerOwnTask() const
{
    const uint16_t own = m_taskId.load();
    return own != kNoId && callerTaskId() == own;
}

const char* AbstractThread::getStatusString(uint32_t status)
{
    return status <= kStatusDestroy ? kStatusNames[status] : "??";
}

uint32_t AbstractThread::get1msCount() { return ::get1msCount(); }

JLIB::JResult AbstractThread::waitMs(uint32_t milliseconds) { return oswrap_WaiTsk(milliseconds); }

// ---- set-up and take-down

JLIB::JResult AbstractThread::initialize(const char* name, int16_t priority, uint8_t startOrder, uint32_t stackSize,
                                         uint32_t heapSize, uint32_t logLines, uint32_t timerPeriodMs,
                                         const ArgumentMap& arguments)
{
    return setUp(false, kNoId, name, priority, startOrder, stackSize, heapSize, logLines, timerPeriodMs, arguments);
}

JLIB::JResult AbstractThread::initialize(uint16_t taskId, const char* name, int16_t priority, uint8_t startOrder,
                                         uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                         uint32_t timerPeriodMs, const ArgumentMap& arguments)
{
    if (taskId == kNoId) return kBadArgument;
    return setUp(true, taskId, name, priority, startOrder, stackSize, heapSize, logLines, timerPeriodMs, arguments);
}

JLIB::JResult AbstractThread::setUp(bool fixedId, uint16_t taskId, const char* name, int16_t priority,
                                    uint8_t startOrder, uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                    uint32_t timerPeriodMs, const ArgumentMap& arguments)
{
    if (!name || name[0] == '\0') return kBadArgument;
    if (m_status.load() != kStatusUninitialized) return kAlreadySetUp;

    m_pName = name;
    m_priority = priority;
    m_startOrder = startOrder;
    m_timerPeriod.store(timerPeriodMs);
    m_arguments = arguments;
    m_lastTick.store(0);

    if (JLIB::isFailure(m_queue.initialize(&m_msgLock, 0, m_queueCapacity))) {
        (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot create 'MessageQueue'!\n", m_pName);  // no ring yet
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(m_heap.initialize(m_pName, heapSize))) {
        (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot prepare 'm_ThreadHeapManager'!\n", m_pName);
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(m_logger.initialize(&m_threadLock, m_pName, logLines))) {
        (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot prepare 'm_ThreadLogger'!\n", m_pName);
        return JLIB::kFailed;
    }
    // Binding the lock empties them; both answer 0 for a valid lock, which the thread owns.
    (void)m_timers.initialize(&m_threadLock);
    (void)m_sysInfo.initialize(&m_threadLock);
    (void)m_sysInfoCache.initialize(&m_threadLock);

    if (m_flagId.load() == kNoId) {
        const T_OSW_CFLG pk = {nullptr, OSWRAP::kFlagClearOnRead, 0, m_pName};
        uint16_t id = 0;
        if (JLIB::isFailure(oswrap_AcreFlg(&id, &pk))) {
            (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot create 'UserEventFlag'!\n", m_pName);
            return JLIB::kFailed;
        }
        m_flagId.store(id);
    }
    if (m_taskId.load() == kNoId) {
        const T_OSW_CTSK pk = {nullptr, 0, &_threadLauncher, static_cast<uint16_t>(priority), 0, stackSize, nullptr,
                               m_pName};
        uint16_t id = taskId;
        const JLIB::JResult made = fixedId ? oswrap_CreTsk(taskId, &pk) : oswrap_AcreTsk(&id, &pk);
        if (JLIB::isFailure(made)) {
            (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot create 'Task'!\n", m_pName);
            return JLIB::kFailed;
        }
        m_taskId.store(id);
        (void)addThreadToRepository(*this);  // a process without registry still runs its threads
    }
    if (JLIB::isFailure(oswrap_StaTsk(m_taskId.load(), this))) {
        (void)outputLog("[E] AbstractThread[%s]::initialize - Cannot start 'Task'!\n", m_pName);
        return JLIB::kFailed;
    }
    m_taskStarted.store(true);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::release()
{
    if (isCallerOwnTask()) {
        (void)outputLog("[E] AbstractThread[%s]::release - Cannot release itself!\n", m_pName);
        return kGaveUp;
    }
    const uint32_t status = m_status.load();
    if (!m_taskStarted.load() && m_taskId.load() != kNoId) {
        // Set up up to a task that never started: no loop to ask.
    } else if (status >= kStatusClosing) {
        // The loop is ending on its own and takes no more messages; a request could only meet
        // a full queue.
        (void)waitStatus(kStatusDestroy);  // reached, since the loop is leaving
    } else {
        JLIB_RETURN_IF_FAILED(request(kSysRelease, getNullDataMap(), kStatusDestroy, "release"));
    }
    takeApart();
    return JLIB::kOk;
}

void AbstractThread::takeApart()
{
    (void)deleteThreadToRepository(*this);  // not registered when set-up failed early
    m_pName = nullptr;
    m_timerPeriod.store(0);
    m_lastTick.store(0);
    m_status.store(kStatusUninitialized);
    if (AbstractThread* parent = m_pParent.load()) (void)parent->onDestroyChildThread(*this);  // the parent's business
    // Each answers 0 for a bound lock; an unbound one has nothing to give back.
    (void)m_queue.release();
    (void)m_heap.release();
    (void)m_logger.release();
    (void)m_timers.release();
    (void)m_sysInfo.release();
    (void)m_sysInfoCache.release();
    if (m_flagId.load() != kNoId) (void)oswrap_DelFlg(m_flagId.load());  // gone already is as good
    if (m_taskId.load() != kNoId) (void)oswrap_DelTsk(m_taskId.load());  // the task has ended
    m_flagId.store(kNoId);
    m_taskId.store(kNoId);
    m_taskStarted.store(false);
}

// ---- requests from other tasks

JLIB::JResult AbstractThread::request(SysMessageId id, const ArgumentMap& arguments, uint32_t wanted, const char* what)
{
    const SystemMessage message(id, arguments);
    const JLIB::JResult sent = sendMessageWithWaiting(message);
    if (JLIB::isFailure(sent)) {
        (void)outputLog("[E] AbstractThread[%s]::%s - Cannot send '%s request'!\n", m_pName, what, what);
        return sent;
    }
    return waitStatus(wanted);
}

JLIB::JResult AbstractThread::start(const ArgumentMap& arguments)
{
    // The loop that would have to change the status is the one waiting here.
    if (isCallerOwnTask()) return kGaveUp;
    return request(kSysStart, arguments, kStatusRun, "start");
}

JLIB::JResult AbstractThread::stop(const ArgumentMap& arguments)
{
    if (isCallerOwnTask()) return kGaveUp;
    return request(kSysStop, arguments, kStatusStop, "stop");
}

JLIB::JResult AbstractThread::pause(const ArgumentMap& arguments)
{
    if (isCallerOwnTask()) return kGaveUp;
    // A stopped thread ignores the request, so PAUSE would never come.
    const uint32_t status = m_status.load();
    if (status != kStatusRun && status != kStatusPause) return kWrongState;
    return request(kSysPause, arguments, kStatusPause, "pause");
}

JLIB::JResult AbstractThread::waitStatus(uint32_t status)
{
    uint32_t lastLine = get1msCount();
    while (m_status.load() != status) {
        if (m_status.load() == kStatusDestroy) return kGaveUp;  // the loop has ended: nothing will change
        (void)waitMs(kStatusPollMs);  // always 0
        const uint32_t now = get1msCount();
        if (now - lastLine >= kNoResponseLogMs) {
            (void)outputLog("[E] AbstractThread[%s]::waitStatus(%s->%s) - no response for status change!\n", m_pName,
                            getStatusString(m_status.load()), getStatusString(status));
            lastLine = now;
        }
    }
    return JLIB::kOk;
}

uint32_t AbstractThread::waitForRelease()
{
    if (callerTaskId() == m_taskId.load()) return kGaveUp;
    // Another task's release may take the ended thread apart between two polls: a thread
    // without task has ended too.
    while (m_status.load() != kStatusDestroy && m_taskId.load() != kNoId) (void)waitMs(kReleasePollMs);  // always 0
    // The owner may destroy the thread next while it is still registered. A tick that began
    // before the end holds the registry lock; passing through it once lets that tick finish, and
    // every later tick sees the end and leaves the thread alone.
    (void)getThreadByTaskId(m_taskId.load());
    return m_endStatus.load();
}

JLIB::JResult AbstractThread::setEndStatus(uint32_t endStatus)
{
    m_endStatus.store(endStatus);
    return JLIB::kOk;
}

// ---- sending

JLIB::JResult AbstractThread::sendEvent(uint32_t eventNumber)
{
    const uint16_t flag = m_flagId.load();
    if (flag == kNoId) return JLIB::kFailed;
    if (eventNumber >= 32) return kBadArgument;
    if (JLIB::isFailure(oswrap_SetFlg(flag, 1u << eventNumber))) return kSignalFailed;
    if (JLIB::isFailure(oswrap_VsetTfl(m_taskId.load(), kBitEvent))) return kSignalFailed;
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::sendMessage(const AbstractMessage& message)
{
    switch (message.messageType()) {
    case kMessageSystem:
        break;
    case kMessageUser:
        if (!isValid()) return JLIB::kFailed;
        break;
    default:
        return kBadMessageType;
    }
    if (isCallerOwnTask()) {
        (void)onReceiveMessage(message);  // the handler's result is its own
        return JLIB::kOk;
    }
    const JLIB::JResult pushed = m_queue.push(message);
    if (JLIB::isFailure(pushed)) {
        const char* caller = getCurrentThread().getThreadName();
        if (pushed == kBusy) {
            (void)outputLog("[i] AbstractThread[%s]::sendMessage (call from [%s]) - Busy!\n", m_pName, caller);
        } else {
            (void)outputLog("[E] AbstractThread[%s]::sendMessage (call from [%s]) - Ignored!\n", m_pName, caller);
        }
        return pushed;
    }
    if (JLIB::isFailure(oswrap_VsetTfl(m_taskId.load(), kBitMessage))) return kSignalFailed;
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::sendMessageWithWaiting(const AbstractMessage& message)
{
    for (uint32_t attempt = 0; attempt < kMaxSendTries; ++attempt) {
        const JLIB::JResult sent = sendMessage(message);
        if (sent != kBusy) return sent;
        (void)waitMs(kSendRetryMs);  // always 0
    }
    (void)outputLog("[E] AbstractThread[%s]::sendMessageWithWaiting (call from [%s]) - Busy Timeout!\n", m_pName,
                    getCurrentThread().getThreadName());
    return kGaveUp;
}

JLIB::JResult AbstractThread::sendThreadStatus(bool toItself)
{
    AbstractThread* target = toItself ? this : m_pParent.load();
    if (!target) return JLIB::kOk;
    if (JLIB::isFailure(oswrap_VsetTfl(target->m_taskId.load(), kBitChildStatus))) return kSignalFailed;
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::sendSystemInfoEvent()
{
    if (JLIB::isFailure(oswrap_VsetTfl(m_taskId.load(), kBitSystemInfo))) return kSignalFailed;
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::timerTrigger(uint32_t nowMs)
{
    if (!isValid()) return JLIB::kFailed;
    const uint32_t period = m_timerPeriod.load();
    if (period == 0) return JLIB::kOk;
    if (nowMs - m_lastTick.load() < period) return JLIB::kOk;
    m_lastTick.store(nowMs);
    if (JLIB::isFailure(oswrap_VsetTfl(m_taskId.load(), kBitTimer))) return kSignalFailed;
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::outputLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult result = m_logger.vadd(format, args);
    va_end(args);
    return result;
}

// ---- the loop, on the thread's own task

JLIB::JResult AbstractThread::changeStatus(uint32_t status, const ArgumentMap& arguments)
{
    if (status > kStatusDestroy) return kBadArgument;
    if (status == m_status.load()) return JLIB::kOk;
    if (status == kStatusRun) m_lastTick.store(get1msCount());
    (void)onChangeStatus(status, arguments);  // the hook cannot veto the change
    m_status.store(status);
    (void)sendThreadStatus(false);  // a parent that is gone cannot be told
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onReceiveSysMessage(const AbstractMessage& message)
{
    const ArgumentMap& arguments = message.arguments();
    switch (message.messageId()) {
    case kSysStart:
        return changeStatus(kStatusRun, arguments);
    case kSysStop:
        return changeStatus(kStatusStop, arguments);
    case kSysPause:
        if (m_status.load() == kStatusStop) return JLIB::kOk;
        return changeStatus(kStatusPause, arguments);
    case kSysRelease:
        return changeStatus(kStatusClosing, arguments);
    default:
        return JLIB::kOk;
    }
}

void AbstractThread::serveEvents()
{
    uint32_t pattern = 0;
    const JLIB::JResult polled = oswrap_PolFlg(&pattern, m_flagId.load(), 0xFFFFFFFFu, OSWRAP::kWaitOr);
    if (JLIB::isFailure(polled)) {
        if (polled != kNoFlagBitSet) (void)outputLog("[E] AbstractThread[%s]::loop - flag polling failed!\n", m_pName);
        return;
    }
    for (uint32_t n = 0; n < 32; ++n) {
        if (pattern & (1u << n)) (void)onReceiveEvent(n);  // hook results are the application's
    }
}

bool AbstractThread::serveMessage(uint32_t bits)
{
    AbstractMessage message;
    const JLIB::JResult popped = m_queue.pop(message);
    if (popped != JLIB::kOk && popped != ThreadMessageStream::kMoreWaiting) return true;

    const bool paused = m_status.load() == kStatusPause;
    if (message.messageType() == kMessageSystem) {
        (void)onReceiveSysMessage(message);  // unknown ids are ignored there
    } else if (paused) {
        // A user message is dropped while paused.
    } else if (message.messageType() == kMessageUser) {
        (void)onReceiveMessage(message);  // the handler's result is its own
    } else {
        (void)outputLog("[E] AbstractThread[%s]::loop - invalid received message!\n", m_pName);
    }
    if (popped == ThreadMessageStream::kMoreWaiting && JLIB::isFailure(oswrap_VsetTfl(m_taskId.load(), kBitMessage))) {
        (void)outputLog("[E] AbstractThread[%s]::loop - cannot retry to receive remaining messages!\n", m_pName);
    }
    if (!paused) return true;
    // A paused pass ends with its message; a child's status change of this pass waits for the
    // next one instead of being lost.
    if (bits & kBitChildStatus) (void)sendThreadStatus(true);  // fails only without a task, which runs this
    return false;
}

JLIB::JResult AbstractThread::loop()
{
    (void)changeStatus(kStatusOpening, m_arguments);  // cannot fail for a known status
    (void)onInitialize(m_arguments);
    (void)changeStatus(kStatusStop, m_arguments);

    uint32_t deferred = 0;
    for (;;) {
        uint32_t bits = 0;
        const JLIB::JResult waited = oswrap_VtwaiTfl(&bits, kLoopBits, OSWRAP::kForever);
        bits |= deferred;
        deferred = 0;
        if (waited == kTerminateRequested) break;
        if (JLIB::isFailure(waited)) {
            // Without its flag word the task could only spin.
            (void)outputLog("[E] AbstractThread[%s]::loop - cannot wait for events!\n", m_pName);
            break;
        }
        const uint32_t status = m_status.load();
        if (status == kStatusStop || status == kStatusPause) {
            deferred = bits & ~(kBitMessage | kBitChildStatus);
            bits &= kBitMessage | kBitChildStatus;
        }
        bool passComplete = true;
        if (bits & kBitEvent) serveEvents();
        if (bits & kBitMessage) passComplete = serveMessage(bits);
        if (passComplete) {
            if (bits & kBitSystemInfo) (void)onReceiveSystemInfoEvent();  // results are the hooks'
            if (bits & kBitTimer) (void)m_timers.run();                   // always 0
            if (bits & kBitChildStatus) (void)onChangeChildStatus();
            if (bits != 0) (void)onWakeup();
        }
        if (m_status.load() == kStatusClosing) break;
        m_passes.fetch_add(1);
    }

    (void)changeStatus(kStatusClosing, getNullDataMap());
    (void)onFinalize();
    (void)changeStatus(kStatusClosed, getNullDataMap());
    // Last touch of this object: whoever waits for DESTROY may take it apart at once.
    m_status.store(kStatusDestroy);
    return JLIB::kOk;
}

uint32_t AbstractThread::calcElapseCount()
{
    const uint32_t passes = m_passes.load();
    const uint32_t elapsed = passes - m_passesAtLastCalc;
    m_passesAtLastCalc = passes;
    return elapsed;
}

// ---- parent and shared system parameters

JLIB::JResult AbstractThread::setParent(AbstractThread* parent)
{
    m_pParent.store(parent);
    (void)sendThreadStatus(false);  // a parent without a task yet learns of us when it looks
    return sendSystemInfoEvent();
}

JLIB::JResult AbstractThread::clearParent()
{
    m_pParent.store(nullptr);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::setSystemInfo(const SystemInfo& table) { return m_sysInfo.overwrite(table); }

JLIB::JResult AbstractThread::setSystemInfo(const SystemInfoLocalData& pending) { return m_sysInfo.overwrite(pending); }

JLIB::JResult AbstractThread::setSystemInfoCache(const SystemInfo& table) { return m_sysInfoCache.overwrite(table); }

JLIB::JResult AbstractThread::setSystemInfoCache(const SystemInfoLocalData& pending)
{
    return m_sysInfoCache.overwrite(pending);
}

JLIB::JResult AbstractThread::onReceiveSystemInfoEvent()
{
    if (AbstractThread* parent = m_pParent.load()) {
        // A table that cannot take the parent's values keeps its old ones; the hook still runs.
        (void)setSystemInfo(parent->m_sysInfo);
        (void)setSystemInfoCache(m_sysInfo);
    }
    return onChangeSystemInfo();
}

JLIB::JResult AbstractThread::getSysParam(JVariant& value, const char* name, uint32_t index) const
{
    return m_sysInfo.getParam(value, name, index);
}

JLIB::JResult AbstractThread::getSysParamAttr(SystemInfoParamAttr& attr, const char* name) const
{
    return m_sysInfo.getParamAttr(attr, name);
}

bool AbstractThread::isSysParamChanged(const char* name, uint32_t index, bool clear)
{
    return m_sysInfo.isChanged(name, index, clear);
}

JLIB::JResult AbstractThread::clearSysParamDirty() { return m_sysInfo.clearDirty(); }

JLIB::JResult AbstractThread::clearSysParamDirty(const char* name) { return m_sysInfo.clearDirty(name); }

JLIB::JResult AbstractThread::setSysParam(const char* name, uint32_t index, const JVariant& value)
{
    return m_pending.setParam(name, index, value);
}

JLIB::JResult AbstractThread::setSysParam(const char* name, uint32_t index, const char* text)
{
    return m_pending.setParam(name, index, text);
}

JLIB::JResult AbstractThread::setSysParamArray(const char* name, uint32_t first, const JVariant* values,
                                               uint32_t count)
{
    return m_pending.setParamArray(name, first, values, count);
}

JLIB::JResult AbstractThread::setSysParamArray(const char* name, uint32_t first, const JVariantArray& values)
{
    return m_pending.setParamArray(name, first, values);
}

JLIB::JResult AbstractThread::flushSysParam()
{
    AbstractThread* parent = m_pParent.load();
    AbstractThread& target = parent ? *parent : *this;
    const JLIB::JResult merged = target.setSystemInfoCache(m_pending);
    const JLIB::JResult signalled = target.sendSystemInfoEvent();
    (void)m_pending.clear();  // always 0
    return (JLIB::isFailure(merged) || JLIB::isFailure(signalled)) ? JLIB::kFailed : JLIB::kOk;
}

// ---- default hooks

JLIB::JResult AbstractThread::onInitialize(const ArgumentMap&)
{
    (void)outputLog("[i] AbstractThread[%s] - onInitialize\n", m_pName);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onChangeStatus(uint32_t status, const ArgumentMap&)
{
    (void)outputLog("[i] AbstractThread[%s] - onChangeStatus(%s)\n", m_pName, getStatusString(status));
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onChangeChildStatus()
{
    (void)outputLog("[i] AbstractThread[%s] - onChangeChildStatus()\n", m_pName);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onChangeSystemInfo()
{
    (void)outputLog("[i] AbstractThread[%s] - onChangeSystemInfo\n", m_pName);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onReceiveEvent(uint32_t) { return JLIB::kOk; }

JLIB::JResult AbstractThread::onReceiveMessage(const AbstractMessage& message)
{
    const int id = static_cast<int>(message.messageId());
    switch (message.messageType()) {
    case kMessageSystem:
        (void)outputLog("[i] AbstractThread[%s] - onReceiveMessage(SYS:%d)\n", m_pName, id);
        break;
    case kMessageUser:
        (void)outputLog("[i] AbstractThread[%s] - onReceiveMessage(USER:%d)\n", m_pName, id);
        break;
    default:
        (void)outputLog("[i] AbstractThread[%s] - onReceiveMessage(Unknown:%d)\n", m_pName, id);
        break;
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onWakeup() { return JLIB::kOk; }

JLIB::JResult AbstractThread::onFinalize()
{
    (void)outputLog("[i] AbstractThread[%s] - onFinalize\n", m_pName);
    return JLIB::kOk;
}

JLIB::JResult AbstractThread::onDestroyChildThread(AbstractThread&) { return JLIB::kOk; }

}  // namespace TMS
