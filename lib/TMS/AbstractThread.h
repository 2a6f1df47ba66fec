#pragma once
// Base of every thread: one OS wrapper task running an event loop over its task flag word, with a
// life-cycle status, a message queue, 32 user event bits, a heap, a log ring, software timers and
// its copies of the shared system parameters. Hooks (on...) run on the thread's own task, one at a
// time. Requests (start, stop, pause, release) and sends may come from any task; the owner
// releases the thread and waits for it before the most-derived destructor runs.
#include <atomic>
#include <cstdarg>
#include <cstdint>

#include "TMS/AbstractMessage.h"
#include "TMS/IObjectTimerObserver.h"
#include "TMS/SystemInfo.h"
#include "TMS/SystemInfoLocalData.h"
#include "TMS/TMSMutex.h"
#include "TMS/ThreadHeapManager.h"
#include "TMS/ThreadLogger.h"
#include "TMS/ThreadMessageStream.h"
#include "TMS/ThreadTimerManager.h"
#include "jlib/jlib_result.h"

class JVariantArray;

namespace TMS {

enum ThreadStatus : uint32_t {
    kStatusUninitialized = 0,
    kStatusOpening = 1,
    kStatusStop = 2,
    kStatusRun = 3,
    kStatusPause = 4,
    kStatusClosing = 5,
    kStatusClosed = 6,
    kStatusDestroy = 7,
};

class SystemInfoParamAttr;

class AbstractThread : public IObjectTimerObserver {
public:
    static constexpr uint16_t kNoId = 0xFFFF;

    // Bits of the task flag word the loop waits for.
    static constexpr uint32_t kBitWakeup = 0x20000;
    static constexpr uint32_t kBitEvent = 0x40000;
    static constexpr uint32_t kBitMessage = 0x80000;
    static constexpr uint32_t kBitSystemInfo = 0x100000;
    static constexpr uint32_t kBitTimer = 0x200000;
    static constexpr uint32_t kBitChildStatus = 0x400000;
    static constexpr uint32_t kLoopBits = 0x7E0000;

    static constexpr JLIB::JResult kAlreadySetUp = 1;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kGaveUp = 0x80000003u;      // busy for 100 tries; waiting on oneself
    static constexpr JLIB::JResult kSignalFailed = 0x80000004u;
    static constexpr JLIB::JResult kBadMessageType = 0x80000006u;
    static constexpr JLIB::JResult kBusy = 0x80000008u;
    static constexpr JLIB::JResult kWrongState = 0x80000008u;  // pause of a thread that is not running

    static constexpr uint32_t kMaxSendTries = 100;
    static constexpr uint32_t kSendRetryMs = 100;
    static constexpr uint32_t kStatusPollMs = 10;
    static constexpr uint32_t kReleasePollMs = 500;
    static constexpr uint32_t kNoResponseLogMs = 2000;

    // Creates the two locks; a lock that cannot be made stops the process.
    explicit AbstractThread(uint32_t queueCapacity);

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;
    // Releases a thread that still has a task (the ended root, typically).
    ~AbstractThread() override;
    AbstractThread(const AbstractThread&) = delete;
    AbstractThread& operator=(const AbstractThread&) = delete;

    // Any task. The name is borrowed and must outlive the thread. 0x80000002 for a null or empty
    // name, 1 when already set up, 0x80000000 when a part cannot be made. Returns once the task
    // is started, before it reaches STOP.
    [[nodiscard]] virtual JLIB::JResult initialize(const char* name, int16_t priority, uint8_t startOrder,
                                                   uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                                   uint32_t timerPeriodMs, const ArgumentMap& arguments);
    // The same on a fixed task id (1..49); 0xFFFF: 0x80000002.
    [[nodiscard]] virtual JLIB::JResult initialize(uint16_t taskId, const char* name, int16_t priority,
                                                   uint8_t startOrder, uint32_t stackSize, uint32_t heapSize,
                                                   uint32_t logLines, uint32_t timerPeriodMs,
                                                   const ArgumentMap& arguments);
    // Another task only; blocks until the thread has ended, then takes it apart (it may be set up
    // again). 0x80000003 when asked by the thread itself.
    [[nodiscard]] virtual JLIB::JResult release();
    virtual bool isNull() const { return false; }
    // Another task only; block until the status is reached. 0x80000003 when asked by the thread
    // itself or when the thread ends first; pause: 0x80000008 unless the thread runs or pauses.
    [[nodiscard]] virtual JLIB::JResult start(const ArgumentMap& arguments);
    [[nodiscard]] virtual JLIB::JResult stop(const ArgumentMap& arguments);
    [[nodiscard]] virtual JLIB::JResult pause(const ArgumentMap& arguments);
    // Any task. 0x80000000 before set-up, 0x80000002 for 32 and above, 0x80000004 when it
    // cannot be signalled.
    [[nodiscard]] virtual JLIB::JResult sendEvent(uint32_t eventNumber);
    // Any task. A user message needs a running loop (0x80000000); a full queue: 0x80000008;
    // a message to oneself is handled at once by onReceiveMessage.
    [[nodiscard]] virtual JLIB::JResult sendMessage(const AbstractMessage& message);
    // Retries a busy send 100 times, 100 ms apart, then 0x80000003.
    [[nodiscard]] virtual JLIB::JResult sendMessageWithWaiting(const AbstractMessage& message);

protected:
    virtual JLIB::JResult onInitialize(const ArgumentMap& arguments);
    // Runs before the new status is stored.
    virtual JLIB::JResult onChangeStatus(uint32_t status, const ArgumentMap& arguments);
    virtual JLIB::JResult onChangeChildStatus();
    virtual JLIB::JResult onChangeSystemInfo();
    virtual JLIB::JResult onReceiveEvent(uint32_t eventNumber);
    virtual JLIB::JResult onReceiveMessage(const AbstractMessage& message);
    virtual JLIB::JResult onWakeup();
    virtual JLIB::JResult onFinalize();

public:
    // Tick task: raises the tick bit once the timer period has passed. 0x80000000 while the
    // thread is not valid, 0x80000004 when it cannot be signalled.
    virtual JLIB::JResult timerTrigger(uint32_t nowMs);
    // The thread's own task only.
    virtual JLIB::JResult loop();
    // Called by a parent for its child; the parent is borrowed until clearParent.
    virtual JLIB::JResult setParent(AbstractThread* parent);
    virtual JLIB::JResult clearParent();
    // Merges into the system information or its cache.
    virtual JLIB::JResult setSystemInfo(const SystemInfo& table);
    virtual JLIB::JResult setSystemInfo(const SystemInfoLocalData& pending);
    virtual JLIB::JResult setSystemInfoCache(const SystemInfo& table);
    virtual JLIB::JResult setSystemInfoCache(const SystemInfoLocalData& pending);
    virtual JLIB::JResult sendSystemInfoEvent();
    // The thread's own task only. 0x80000002 above 7; the current status changes nothing.
    virtual JLIB::JResult changeStatus(uint32_t status, const ArgumentMap& arguments);
    // Polls every 10 ms, logging every 2 s; 0 when reached, 0x80000003 when the thread ends first.
    virtual JLIB::JResult waitStatus(uint32_t status);
    // Into the log ring (and the device log); without a ring nothing is recorded.
    virtual JLIB::JResult outputLog(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Raises the child-status bit in the parent's word, or in the own word.
    virtual JLIB::JResult sendThreadStatus(bool toItself);

protected:
    virtual JLIB::JResult onReceiveSysMessage(const AbstractMessage& message);
    virtual JLIB::JResult onReceiveSystemInfoEvent();
    virtual JLIB::JResult onDestroyChildThread(AbstractThread& child);

public:
    const char* getThreadName() const { return m_pName; }
    uint16_t getTaskId() const { return m_taskId.load(); }
    uint32_t getStatus() const { return m_status.load(); }
    uint8_t getStartOrder() const { return m_startOrder; }
    bool isValid() const { return getStatus() > kStatusOpening; }
    static const char* getStatusString(uint32_t status);
    static uint32_t get1msCount();
    static JLIB::JResult waitMs(uint32_t milliseconds);
    JLIB::JResult setEndStatus(uint32_t endStatus);
    // Another task: polls every 500 ms until the thread has ended (DESTROY, or already taken
    // apart by another task's release) and gives the end status; asked by the thread itself
    // (or by a non-framework task of a thread never set up): 0x80000003 at once.
    uint32_t waitForRelease();
    ThreadLogger& logger() { return m_logger; }
    ThreadTimerManager& timers() { return m_timers; }
    // Loop passes since the previous call.
    uint32_t calcElapseCount();

    // The shared system parameters: reads of the own table, writes recorded until flushed.
    [[nodiscard]] JLIB::JResult getSysParam(JVariant& value, const char* name, uint32_t index) const;
    [[nodiscard]] JLIB::JResult getSysParamAttr(SystemInfoParamAttr& attr, const char* name) const;
    bool isSysParamChanged(const char* name, uint32_t index, bool clear);
    [[nodiscard]] JLIB::JResult clearSysParamDirty();
    [[nodiscard]] JLIB::JResult clearSysParamDirty(const char* name);
    [[nodiscard]] JLIB::JResult setSysParam(const char* name, uint32_t index, const JVariant& value);
    [[nodiscard]] JLIB::JResult setSysParam(const char* name, uint32_t index, const char* text);
    [[nodiscard]] JLIB::JResult setSysParamArray(const char* name, uint32_t first, const JVariant* values,
                                                 uint32_t count);
    [[nodiscard]] JLIB::JResult setSysParamArray(const char* name, uint32_t first, const JVariantArray& values);
    // Hands the recorded changes to the parent's cache (or the own one without a parent) and
    // signals it; the records are dropped either way. 0x80000000 when either step failed.
    [[nodiscard]] JLIB::JResult flushSysParam();

protected:
    // For the null thread: a fixed name without set-up.
    AbstractThread(uint32_t queueCapacity, const char* fixedName);

    SystemInfo& systemInfo() { return m_sysInfo; }
    SystemInfo& systemInfoCache() { return m_sysInfoCache; }
    AbstractThread* parent() const { return m_pParent.load(); }
    // Sets the status without hook or notification (a parent closing itself).
    void setStatusDirectly(uint32_t status) { m_status.store(status); }
    // The task id of the caller when it is a framework task, else 0xFFFF.
    static uint16_t callerTaskId();
    bool isCallerOwnTask() const;

private:
    JLIB::JResult setUp(bool fixedId, uint16_t taskId, const char* name, int16_t priority, uint8_t startOrder,
                        uint32_t stackSize, uint32_t heapSize, uint32_t logLines, uint32_t timerPeriodMs,
                        const ArgumentMap& arguments);
    // Sends a life-cycle request and waits for the status; `what` names it in the log lines.
    JLIB::JResult request(SysMessageId id, const ArgumentMap& arguments, uint32_t wanted, const char* what);
    void takeApart();
    void serveEvents();
    // False when the pass must end here (a message taken while paused).
    bool serveMessage(uint32_t bits);

    // Declared first so they are destroyed last, after every part that borrows them.
    TMSMutex m_msgLock;
    TMSMutex m_threadLock;
    const char* m_pName;  // borrowed from the caller of initialize
    std::atomic<uint32_t> m_timerPeriod;
    ArgumentMap m_arguments;
    std::atomic<uint32_t> m_lastTick;
    std::atomic<uint32_t> m_status;
    std::atomic<AbstractThread*> m_pParent;  // borrowed; set and cleared by the parent
    uint32_t m_queueCapacity;
    ThreadMessageStream m_queue;
    ThreadHeapManager m_heap;
    ThreadLogger m_logger;
    ThreadTimerManager m_timers;
    SystemInfo m_sysInfo;
    SystemInfo m_sysInfoCache;
    SystemInfoLocalData m_pending;  // own task only
    std::atomic<uint16_t> m_flagId;
    std::atomic<uint16_t> m_taskId;
    std::atomic<bool> m_taskStarted;  // the loop runs or has run on the task
    int16_t m_priority;
    uint8_t m_startOrder;
    std::atomic<uint32_t> m_passes;
    uint32_t m_passesAtLastCalc;
    std::atomic<uint32_t> m_endStatus;

    friend void _threadLauncher(void* thread);
};

// Entry of every thread's task: runs the loop of the thread given as start argument.
void _threadLauncher(void* thread);

}  // namespace TMS
