#pragma once
// A thread that owns child threads: once it runs it starts them stage by stage in ascending start
// order; released, it releases them stage by stage in descending order and then closes itself.
// As the root (no parent) it keeps the master copy of the shared system parameters and hands
// every change down. Staged work runs on its own task; release may be called from any task.
#include <atomic>
#include <cstdint>
#include <vector>

#include "TMS/AbstractThread.h"
#include "TMS/TMSMutex.h"

namespace TMS {

struct SystemInfoNodeStruct;

class SystemThread : public AbstractThread {
public:
    enum Phase : uint32_t { kPhaseStarting = 0, kPhaseAllStarted = 1, kPhaseReleasing = 2, kPhaseReleased = 3 };

    static constexpr JLIB::JResult kAlreadyChild = 0x80000003u;

    explicit SystemThread(uint32_t queueCapacity);
    // Releases (the phase tells whether anything is left to do) before the base takes the task apart.
    ~SystemThread() override;

    // A fresh set-up starts with the starting phase again.
    [[nodiscard]] JLIB::JResult initialize(const char* name, int16_t priority, uint8_t startOrder, uint32_t stackSize,
                                           uint32_t heapSize, uint32_t logLines, uint32_t timerPeriodMs,
                                           const ArgumentMap& arguments) override;
    [[nodiscard]] JLIB::JResult initialize(uint16_t taskId, const char* name, int16_t priority, uint8_t startOrder,
                                           uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                           uint32_t timerPeriodMs, const ArgumentMap& arguments) override;
    // Any task. A framework thread gets 0 at once and the release goes on in this thread's loop;
    // another caller waits until the children are released and then releases this thread.
    // 0 when already released.
    [[nodiscard]] JLIB::JResult release() override;

    // The child must be set up (registered): else 0x80000000; listed already: 0x80000003. The
    // child is borrowed until its release takes it off the list.
    [[nodiscard]] JLIB::JResult addThread(AbstractThread& child);
    // Declares rows in both tables and hands them round at once on the calling task.
    [[nodiscard]] JLIB::JResult addSystemInfo(const SystemInfoNodeStruct* rows, uint32_t count);
    // Own task: start or release the children of one stage; 0x80000000 when one failed.
    [[nodiscard]] JLIB::JResult startChildThreads(uint8_t stage);
    [[nodiscard]] JLIB::JResult releaseChildThreads(uint8_t stage);
    bool isChildThreadsStarted(uint8_t stage) const;
    bool isAllChildThreadsStarted() const;
    bool isChildThreadsReleased(uint8_t stage) const;
    bool isAllChildThreadsReleased() const;

    uint32_t getPhase() const { return m_phase.load(); }
    uint8_t getStage() const { return m_stage.load(); }

protected:
    JLIB::JResult onInitialize(const ArgumentMap& arguments) override;
    JLIB::JResult onChangeStatus(uint32_t status, const ArgumentMap& arguments) override;
    JLIB::JResult onChangeChildStatus() override;
    JLIB::JResult onReceiveSystemInfoEvent() override;
    // The child's clearParent, then off the list; 0x80000003 when not listed.
    JLIB::JResult onDestroyChildThread(AbstractThread& child) override;

private:
    std::vector<AbstractThread*> copyChildren() const;
    // Whether every child whose start order passes the test has a status that passes the other.
    template <typename OrderTest, typename StatusTest>
    bool allChildren(OrderTest order, StatusTest status) const;

    std::atomic<uint32_t> m_phase;
    std::atomic<uint8_t> m_stage;
    std::vector<AbstractThread*> m_children;  // borrowed; each leaves the list in its release
    TMSMutex m_childLock;
};

}  // namespace TMS
