#pragma once
// A fixed table of transfer commands: clients place commands through ICommunicator, the worker
// takes them in request order through IRepository. Any task: every operation except initialize
// holds the owner's mutex, and wakes the worker or a client through the owner's trigger.
#include <cstdint>
#include <memory>

#include "comctrl/TCM/ICommunicator.h"
#include "comctrl/TCM/IRepository.h"

namespace OrderedNotify {
class OrderedNotifyCore;
class SetOrderNotify;
}  // namespace OrderedNotify

namespace TCM {

class IMutex;
class ISearchCondition;
class ITrigger;

class CommandRepository : public ICommunicator, public IRepository {
public:
    CommandRepository();
    ~CommandRepository() override;
    CommandRepository(const CommandRepository&) = delete;
    CommandRepository& operator=(const CommandRepository&) = delete;

    // slotCount slots and the notification table "TCM". trigger and mutex are borrowed (either may
    // be null): the owner keeps them alive until the repository is destroyed. 0; 0x80000004 when
    // already initialised; 0x80000003 for a count of 0 or when something cannot be made. Not
    // serialised: call it before the repository is shared.
    [[nodiscard]] JLIB::JResult initialize(uint32_t slotCount, ITrigger* trigger, IMutex* mutex);

    [[nodiscard]] JLIB::JResult refer(const T_COMMAND_INFO** info, uint32_t index) override;

    // ICommunicator
    [[nodiscard]] JLIB::JResult takeContents(uint32_t* index, T_COMMAND_CONTENTS** contents,
                                             uint32_t clientId) override;
    [[nodiscard]] JLIB::JResult drive(CATEGORY_TCM_ACTION category, uint32_t index, uint32_t clientId,
                                      bool indexReported) override;
    [[nodiscard]] JLIB::JResult abort(uint32_t index, uint32_t clientId) override;
    [[nodiscard]] JLIB::JResult sendFile(uint32_t request, const char* path, uint32_t clientId, uint16_t targetId,
                                         uint32_t* index) override;
    [[nodiscard]] JLIB::JResult sendHash(uint32_t request, const char* path, uint32_t clientId, uint16_t targetId,
                                         uint32_t* index) override;
    [[nodiscard]] JLIB::JResult receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                            uint16_t targetId, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                            uint16_t targetId, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult sendFile(uint32_t request, const char* path, uint32_t clientId,
                                         const netc_addr& target, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult sendHash(uint32_t request, const char* path, uint32_t clientId,
                                         const netc_addr& target, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                            const netc_addr& target, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                            const netc_addr& target, uint32_t* index) override;
    [[nodiscard]] JLIB::JResult sendEvent(uint32_t request, const char* name, const char* text, uint32_t clientId,
                                          uint16_t targetId) override;
    [[nodiscard]] JLIB::JResult sendEvent(uint32_t request, const char* name, const char* text, uint32_t clientId,
                                          const netc_addr& target) override;
    [[nodiscard]] JLIB::JResult cancel(uint32_t index, uint32_t clientId) override;
    [[nodiscard]] JLIB::JResult search(uint32_t* index, uint32_t clientId) override;
    [[nodiscard]] JLIB::JResult watch(const T_COMMAND_PROGRESS** progress, uint32_t index) override;
    [[nodiscard]] JLIB::JResult release(uint32_t index, uint32_t clientId) override;

    // IRepository
    [[nodiscard]] JLIB::JResult next(uint32_t* index) override;
    [[nodiscard]] JLIB::JResult start(uint32_t index, uint32_t total) override;
    [[nodiscard]] JLIB::JResult update(uint32_t index, uint32_t bytes, const void* data, uint32_t length,
                                       bool last) override;
    [[nodiscard]] JLIB::JResult fail(uint32_t index, uint32_t error) override;
    [[nodiscard]] JLIB::JResult release(uint32_t index) override;

private:
    class Hold;
    struct Placement;
    struct WriterRelease {
        void operator()(OrderedNotify::SetOrderNotify* writer) const;
    };

    [[nodiscard]] JLIB::JResult place(const Placement& placement);
    [[nodiscard]] JLIB::JResult findFirst(const ISearchCondition& condition, uint32_t* index) const;
    void signal(uint32_t index);
    void wakeWorker(uint32_t clientId);
    [[nodiscard]] JLIB::JResult wakeClient(uint32_t clientId);

    bool m_initialized = false;
    ITrigger* m_pTrigger = nullptr;  // borrowed, may be null
    IMutex* m_pMutex = nullptr;      // borrowed, may be null
    uint32_t m_slotCount = 0;
    std::unique_ptr<T_REPOSITORY_ITEM[]> m_pSlots;
    std::unique_ptr<OrderedNotify::OrderedNotifyCore> m_pCore;
    std::unique_ptr<OrderedNotify::SetOrderNotify, WriterRelease> m_pWriter;
};

}  // namespace TCM
