#include "comctrl/TCM/CommandRepository.h"

#include <cstring>
#include <new>

#include "comctrl/OrderedNotify/OrderedNotifyCore.h"
#include "comctrl/OrderedNotify/SetOrderNotify.h"
#include "comctrl/TCM/IMutex.h"
#include "comctrl/TCM/ISearchCondition.h"
#include "comctrl/TCM/ITrigger.h"
#include "jlib/jlib_string.h"

namespace TCM {

namespace {

constexpr char kTableName[] = "TCM";
// Error codes at or above this are not the repository's to keep; they are recorded as 3.
constexpr uint32_t kFirstForeignError = 23;
constexpr uint32_t kForeignError = 3;

bool isRequestCategory(CATEGORY_TCM_ACTION category)
{
    return category >= TCM_ACTION_SEND_FILE && category <= TCM_ACTION_CANCEL;
}

bool isTransferCategory(CATEGORY_TCM_ACTION category)
{
    return category >= TCM_ACTION_SEND_FILE && category <= TCM_ACTION_RECEIVE_HASH;
}

// A finished (completed or failed) command of one client.
class FinishedCondition : public ISearchCondition {
public:
    explicit FinishedCondition(uint32_t clientId) : m_clientId(clientId) {}
    bool match(const T_REPOSITORY_ITEM& slot) const override
    {
        return slot.clientId == m_clientId &&
               (slot.progress.state == kStateCompleted || slot.progress.state == kStateFailed);
    }

private:
    uint32_t m_clientId;
};

void clearSlot(T_REPOSITORY_ITEM& slot) { std::memset(&slot, 0, sizeof(slot)); }

}  // namespace

// Holds the owner's mutex for one operation, once the repository is initialised and has one.
class CommandRepository::Hold {
public:
    explicit Hold(const CommandRepository& repository)
        : m_pMutex(repository.m_initialized ? repository.m_pMutex : nullptr)
    {
        if (m_pMutex) m_pMutex->lock();
    }
    ~Hold()
    {
        if (m_pMutex) m_pMutex->unlock();
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    IMutex* m_pMutex;
};

struct CommandRepository::Placement {
    uint32_t request;
    const char* name;  // may be null
    const char* path;
    uint32_t clientId;
    uint16_t targetId;
    const netc_addr* target;  // null when a target id is given
    CATEGORY_TCM_ACTION category;
    uint32_t* index;  // may be null
};

void CommandRepository::WriterRelease::operator()(OrderedNotify::SetOrderNotify* writer) const
{
    writer->release();
}

CommandRepository::CommandRepository() = default;

CommandRepository::~CommandRepository() = default;

JLIB::JResult CommandRepository::initialize(uint32_t slotCount, ITrigger* trigger, IMutex* mutex)
{
    if (m_initialized) return kNotInitialized;
    if (slotCount == 0) return kNoResource;
    std::unique_ptr<T_REPOSITORY_ITEM[]> slots(new (std::nothrow) T_REPOSITORY_ITEM[slotCount]());
    std::unique_ptr<OrderedNotify::OrderedNotifyCore> core(new (std::nothrow)
                                                               OrderedNotify::OrderedNotifyCore(0, nullptr));
    if (!slots || !core) return kNoResource;
    if (JLIB::isFailure(core->create(kTableName, slotCount))) return kNoResource;
    std::unique_ptr<OrderedNotify::SetOrderNotify, WriterRelease> writer(core->setOrderNotifyFactory(kTableName));
    if (!writer) return kNoResource;

    m_pTrigger = trigger;
    m_pMutex = mutex;
    m_slotCount = slotCount;
    m_pSlots = std::move(slots);
    m_pWriter = std::move(writer);
    m_pCore = std::move(core);
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::findFirst(const ISearchCondition& condition, uint32_t* index) const
{
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (condition.match(m_pSlots[i])) {
            *index = i;
            return JLIB::kOk;
        }
    }
    return kNoSlot;
}

void CommandRepository::signal(uint32_t index)
{
    // The table has one item per slot and callers checked the index, so this cannot fail.
    (void)m_pWriter->notify(index);
}

void CommandRepository::wakeWorker(uint32_t clientId)
{
    if (m_pTrigger) (void)m_pTrigger->wakeWorker(clientId);  // the caller's command stands either way
}

JLIB::JResult CommandRepository::wakeClient(uint32_t clientId)
{
    if (clientId == 0) return kBadArgument;
    if (m_pTrigger) (void)m_pTrigger->wakeClient(clientId);  // the outcome is kept in the slot either way
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::place(const Placement& p)
{
    if (!p.path) return kBadArgument;
    Hold hold(*this);
    if (!m_initialized || !m_pWriter) return kNotInitialized;
    if (p.clientId == 0) return kBadArgument;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(findFirst(EmptyCondition(), &index));

    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    T_COMMAND_CONTENTS& contents = slot.info.contents;
    // A text that does not fit is refused rather than cut: a cut path would name another file.
    if ((p.name && JLIB::isFailure(jlib_strcpy(contents.eventName, kEventNameSize, p.name))) ||
        JLIB::isFailure(jlib_strcpy(contents.path, kPathSize, p.path))) {
        std::memset(&contents, 0, sizeof(contents));
        return kCopyFailed;
    }
    slot.info.targetId = p.targetId;
    if (p.target) {
        std::memcpy(&slot.info.targetAddress, p.target, sizeof(netc_addr));
    }
    slot.clientId = p.clientId;
    slot.info.category = p.category;
    slot.info.indexReported = p.index != nullptr;
    contents.request = p.request;
    slot.progress = T_COMMAND_PROGRESS{kStateRequested, 0, 0, 0};

    signal(index);
    if (p.index) *p.index = index;
    wakeWorker(p.clientId);
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::sendFile(uint32_t request, const char* path, uint32_t clientId, uint16_t targetId,
                                          uint32_t* index)
{
    return place({request, nullptr, path, clientId, targetId, nullptr, TCM_ACTION_SEND_FILE, index});
}

JLIB::JResult CommandRepository::sendHash(uint32_t request, const char* path, uint32_t clientId, uint16_t targetId,
                                          uint32_t* index)
{
    return place({request, nullptr, path, clientId, targetId, nullptr, TCM_ACTION_SEND_HASH, index});
}

JLIB::JResult CommandRepository::receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                             uint16_t targetId, uint32_t* index)
{
    return place({request, nullptr, path, clientId, targetId, nullptr, TCM_ACTION_RECEIVE_FILE, index});
}

JLIB::JResult CommandRepository::receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                             uint16_t targetId, uint32_t* index)
{
    return place({request, nullptr, path, clientId, targetId, nullptr, TCM_ACTION_RECEIVE_HASH, index});
}

JLIB::JResult CommandRepository::sendFile(uint32_t request, const char* path, uint32_t clientId,
                                          const netc_addr& target, uint32_t* index)
{
    return place({request, nullptr, path, clientId, 0, &target, TCM_ACTION_SEND_FILE, index});
}

JLIB::JResult CommandRepository::sendHash(uint32_t request, const char* path, uint32_t clientId,
                                          const netc_addr& target, uint32_t* index)
{
    return place({request, nullptr, path, clientId, 0, &target, TCM_ACTION_SEND_HASH, index});
}

JLIB::JResult CommandRepository::receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                             const netc_addr& target, uint32_t* index)
{
    return place({request, nullptr, path, clientId, 0, &target, TCM_ACTION_RECEIVE_FILE, index});
}

JLIB::JResult CommandRepository::receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                             const netc_addr& target, uint32_t* index)
{
    return place({request, nullptr, path, clientId, 0, &target, TCM_ACTION_RECEIVE_HASH, index});
}

JLIB::JResult CommandRepository::sendEvent(uint32_t request, const char* name, const char* text, uint32_t clientId,
                                           uint16_t targetId)
{
    return place({request, name, text, clientId, targetId, nullptr, TCM_ACTION_SEND_FILE, nullptr});
}

JLIB::JResult CommandRepository::sendEvent(uint32_t request, const char* name, const char* text, uint32_t clientId,
                                           const netc_addr& target)
{
    return place({request, name, text, clientId, 0, &target, TCM_ACTION_SEND_FILE, nullptr});
}

JLIB::JResult CommandRepository::refer(const T_COMMAND_INFO** info, uint32_t index)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!info || index >= m_slotCount) return kBadArgument;
    *info = &m_pSlots[index].info;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::watch(const T_COMMAND_PROGRESS** progress, uint32_t index)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!progress || index >= m_slotCount) return kBadArgument;
    *progress = &m_pSlots[index].progress;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::takeContents(uint32_t* index, T_COMMAND_CONTENTS** contents, uint32_t clientId)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!index || !contents || clientId == 0) return kBadArgument;
    uint32_t found = 0;
    JLIB_RETURN_IF_FAILED(findFirst(EmptyCondition(), &found));
    T_REPOSITORY_ITEM& slot = m_pSlots[found];
    slot.clientId = clientId;
    slot.progress.state = kStateReserved;
    *index = found;
    *contents = &slot.info.contents;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::drive(CATEGORY_TCM_ACTION category, uint32_t index, uint32_t clientId,
                                       bool indexReported)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!isRequestCategory(category) || clientId == 0 || index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    if (slot.clientId != clientId || slot.progress.state != kStateReserved) return kWrongState;
    slot.info.category = category;
    slot.info.indexReported = indexReported;
    slot.progress = T_COMMAND_PROGRESS{kStateRequested, 0, 0, 0};
    signal(index);
    wakeWorker(clientId);
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::abort(uint32_t index, uint32_t clientId)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (clientId == 0 || index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    if (slot.clientId != clientId || slot.progress.state != kStateReserved) return kWrongState;
    clearSlot(slot);
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::cancel(uint32_t index, uint32_t clientId)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (clientId == 0 || index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    const uint32_t state = slot.progress.state;
    if (slot.clientId != clientId || !isTransferCategory(slot.info.category) ||
        (state != kStateRequested && state != kStateRunning)) {
        return kWrongState;
    }
    slot.info.category = TCM_ACTION_CANCEL;
    slot.progress.state = kStateRequested;
    slot.progress.error = 0;
    signal(index);
    wakeWorker(clientId);
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::search(uint32_t* index, uint32_t clientId)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!index || clientId == 0) return kBadArgument;
    return findFirst(FinishedCondition(clientId), index);
}

JLIB::JResult CommandRepository::release(uint32_t index, uint32_t clientId)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (clientId == 0 || index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    if (FinishedCondition(clientId).match(slot)) clearSlot(slot);
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::next(uint32_t* index)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (!index) return kBadArgument;
    char name[OrderedNotify::kTableNameSize] = {};
    uint32_t signalled = 0;
    const uint32_t result = m_pCore->getFirst(name, &signalled);
    if (result == 1) return kNoSlot;
    if (JLIB::isFailure(result) || std::strncmp(name, kTableName, sizeof(name)) != 0 || signalled >= m_slotCount ||
        m_pSlots[signalled].progress.state != kStateRequested) {
        return kWrongState;
    }
    m_pSlots[signalled].progress.state = kStateRunning;
    *index = signalled;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::start(uint32_t index, uint32_t total)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (index >= m_slotCount) return kBadArgument;
    T_COMMAND_PROGRESS& progress = m_pSlots[index].progress;
    if (progress.state != kStateRunning || progress.total != 0) return kWrongState;
    progress.total = total;
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::update(uint32_t index, uint32_t bytes, const void*, uint32_t, bool last)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    T_COMMAND_PROGRESS& progress = slot.progress;
    if (progress.state != kStateRunning) return kWrongState;
    // The count stops at its top instead of wrapping round, which would keep the command from ever
    // reaching its total.
    progress.transferred = bytes > UINT32_MAX - progress.transferred ? UINT32_MAX : progress.transferred + bytes;
    if (!last || progress.transferred < progress.total) return JLIB::kOk;
    progress.state = kStateCompleted;
    progress.error = 0;
    (void)wakeClient(slot.clientId);  // a placed command always has a client
    return kCompleted;
}

JLIB::JResult CommandRepository::fail(uint32_t index, uint32_t error)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    const uint32_t state = slot.progress.state;
    if (state == kStateFree || state == kStateCompleted || state > kStateFailed) return kWrongState;
    slot.progress.state = kStateFailed;
    slot.progress.error = error < kFirstForeignError ? error : kForeignError;
    (void)wakeClient(slot.clientId);  // a reserved or placed command always has a client
    return JLIB::kOk;
}

JLIB::JResult CommandRepository::release(uint32_t index)
{
    Hold hold(*this);
    if (!m_initialized) return kNotInitialized;
    if (index >= m_slotCount) return kBadArgument;
    T_REPOSITORY_ITEM& slot = m_pSlots[index];
    if (slot.progress.state != kStateRunning) return kWrongState;
    clearSlot(slot);
    return JLIB::kOk;
}

}  // namespace TCM
