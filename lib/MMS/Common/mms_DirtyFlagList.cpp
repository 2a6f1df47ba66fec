#include "mms_DirtyFlagList.h"

#include <cstring>
#include <limits>
#include <new>

#include "mms_CommonFunction.h"
#include "mms_Result.h"
#include "mms_SharedMemWrapper.h"

namespace MMS {

namespace {

// Marks go into the setting area (see setDirtyFlags); readers read the getting area.
class GetFlagSelector : public TaskItemList::IFlagSelector {
public:
    GetFlagSelector() : IFlagSelector(false) {}
    int64_t get(const TaskItemList::_T_APP_INFO& item) const override { return item.gettingArea; }
};

// Bytes on the list's books are 32-bit sizes; a product beyond them would be cut short.
constexpr uint64_t kMaxBlock = 0xFFFFFFFFu;

// A 16-bit reference count must not wrap into a negative one.
constexpr int16_t kMaxReferences = std::numeric_limits<int16_t>::max();

}  // namespace

TaskItemList::~TaskItemList()
{
    (void)deleteDummyMemory();  // always 0
}

uint8_t* TaskItemList::bytesAt(int64_t offset) const
{
    if (m_pOrigin == nullptr || offset == 0) return nullptr;
    return static_cast<uint8_t*>(getAbsolute(offset));
}

TaskItemList::_T_APP_INFO* TaskItemList::itemAt(int64_t offset) const
{
    return reinterpret_cast<_T_APP_INFO*>(bytesAt(offset));
}

T_TASK_ITEM* TaskItemList::taskItemAt(int64_t offset) const
{
    return reinterpret_cast<T_TASK_ITEM*>(bytesAt(offset));
}

void* TaskItemList::getAbsolute(int64_t offset) const
{
    if (m_pOrigin == nullptr) return nullptr;
    return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(m_pOrigin) + static_cast<uintptr_t>(offset));
}

int64_t TaskItemList::getRelative(const void* address) const
{
    if (m_pOrigin == nullptr || address == nullptr) return 0;
    return static_cast<int64_t>(reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(m_pOrigin));
}

uint32_t TaskItemList::createMemoryArea(SharedMemWrapper* wrapper)
{
    if (wrapper == nullptr) return kMmsMissing;
    if (m_pOrigin != nullptr) {
        const uint32_t cleared = clear(wrapper);
        if (mmsIsFailure(cleared)) return cleared;
    }
    void* cell = wrapper->malloc(sizeof(int64_t));
    if (cell == nullptr) return kMmsNoMemory;
    m_pOrigin = new (cell) int64_t(0);
    m_ownsOrigin = 1;
    return kMmsOk;
}

uint32_t TaskItemList::clear(SharedMemWrapper* wrapper)
{
    if (m_pOrigin == nullptr) return kMmsOk;
    // Unlinking without a way to free would lose the blocks for good.
    if (wrapper == nullptr && (m_ownsOrigin != 0 || *m_pOrigin != 0)) return kMmsMissing;
    while (*m_pOrigin != 0) {
        const T_TASK_ITEM* task = taskItemAt(front()->taskItem);
        // Without its task item the first item cannot be found by id, so it would never go away.
        if (task == nullptr) return kMmsMissing;
        (void)eraseItem(wrapper, task->taskId);  // always 0; removes the first item
    }
    if (m_ownsOrigin != 0) (void)wrapper->free(m_pOrigin);  // always 0
    m_pOrigin = nullptr;
    m_ownsOrigin = 0;
    return kMmsOk;
}

uint32_t TaskItemList::joint(const int64_t* origin)
{
    if (origin == nullptr || m_pOrigin != nullptr) return kMmsBadArgument;
    // The cell lies in memory shared with the root that made it; marks and appends write to it.
    m_pOrigin = const_cast<int64_t*>(origin);
    return kMmsOk;
}

uint32_t TaskItemList::setDirtySize(uint32_t size)
{
    if (m_dirtySize != 0) return kMmsBadArgument;
    if (size == 0) return kMmsOk;
    auto* dummy = new (std::nothrow) uint8_t[size];
    if (dummy == nullptr) return kMmsNoMemory;
    std::memset(dummy, 0, size);
    delete[] m_pDummyMemory;
    m_pDummyMemory = dummy;
    m_dirtySize = size;
    return kMmsOk;
}

uint32_t TaskItemList::deleteDummyMemory()
{
    delete[] m_pDummyMemory;
    m_pDummyMemory = nullptr;
    m_dirtySize = 0;
    return kMmsOk;
}

uint32_t TaskItemList::setImportFlagSize(uint32_t size)
{
    if (m_importFlagSize != 0) return kMmsBadArgument;
    m_importFlagSize = size;
    return kMmsOk;
}

uint32_t TaskItemList::append(SharedMemWrapper* wrapper, uint32_t mode, uint32_t taskId, uint32_t areas,
                              uint32_t settingIndex, uint32_t gettingIndex)
{
    if (_T_APP_INFO* item = find(taskId)) {
        if (item->referenceCount >= kMaxReferences) return kMmsLimit;
        ++item->referenceCount;
        return kMmsOk;
    }
    return appendItem(wrapper, mode, taskId, areas, settingIndex, gettingIndex);
}

uint32_t TaskItemList::appendItem(SharedMemWrapper* wrapper, uint32_t mode, uint32_t taskId, uint32_t areas,
                                  uint32_t settingIndex, uint32_t gettingIndex)
{
    if (wrapper == nullptr) return kMmsMissing;
    if (m_pOrigin == nullptr || areas == 0 || settingIndex >= areas || gettingIndex >= areas) return kMmsBadArgument;
    const uint64_t dirtyBytes = static_cast<uint64_t>(areas) * m_dirtySize;
    if (dirtyBytes > kMaxBlock) return kMmsBadArgument;

    void* itemBlock = wrapper->malloc(sizeof(_T_APP_INFO));
    void* taskBlock = wrapper->malloc(sizeof(T_TASK_ITEM));
    if (itemBlock == nullptr || taskBlock == nullptr) {
        (void)wrapper->free(itemBlock);  // null is ignored
        (void)wrapper->free(taskBlock);
        return kMmsNoMemory;
    }
    auto* dirty = static_cast<uint8_t*>(wrapper->malloc(static_cast<uint32_t>(dirtyBytes)));
    if (dirty == nullptr) {
        (void)wrapper->free(itemBlock);
        (void)wrapper->free(taskBlock);
        return kMmsNoMemory;
    }
    if (dirtyBytes != 0) std::memset(dirty, 0, dirtyBytes);

    auto* task = new (taskBlock) T_TASK_ITEM{};
    auto* item = new (itemBlock) _T_APP_INFO{};
    task->taskId = taskId;
    item->dirtyMemory = getRelative(dirty);
    item->areaCount = areas;
    item->settingArea = item->dirtyMemory + static_cast<int64_t>(m_dirtySize) * settingIndex;
    item->gettingArea = item->dirtyMemory + static_cast<int64_t>(m_dirtySize) * gettingIndex;
    item->taskItem = getRelative(task);
    item->subscribeMode = mode;
    item->referenceCount = 1;
    item->rootAdditionFlag = 0;

    // The import memories are optional: an item without them simply gets no import marks.
    if (m_importFlagSize != 0) {
        if (void* flags = wrapper->malloc(m_importFlagSize)) {
            std::memset(flags, 0, m_importFlagSize);
            item->importFlags = getRelative(flags);
        }
        if (void* searchers = wrapper->malloc(m_importFlagSize)) {
            std::memset(searchers, 0, m_importFlagSize);
            item->importSearchers = getRelative(searchers);
        }
    }

    _T_APP_INFO* last = front();
    if (last == nullptr) {
        *m_pOrigin = getRelative(item);
        return kMmsOk;
    }
    while (_T_APP_INFO* next = itemAt(last->next)) last = next;
    item->previous = getRelative(last);
    last->next = getRelative(item);
    if (T_TASK_ITEM* lastTask = taskItemAt(last->taskItem)) lastTask->next = item->taskItem;
    return kMmsOk;
}

uint32_t TaskItemList::erase(SharedMemWrapper* wrapper, uint32_t taskId)
{
    if (wrapper == nullptr) return kMmsOk;
    _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsOk;
    --item->referenceCount;
    if (item->referenceCount < 1) (void)eraseItem(wrapper, taskId);  // always 0
    return kMmsOk;
}

uint32_t TaskItemList::eraseItem(SharedMemWrapper* wrapper, uint32_t taskId)
{
    if (wrapper == nullptr) return kMmsOk;
    _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsOk;
    const T_TASK_ITEM* task = taskItemAt(item->taskItem);
    if (_T_APP_INFO* previous = itemAt(item->previous)) {
        previous->next = item->next;
        if (T_TASK_ITEM* previousTask = taskItemAt(previous->taskItem)) previousTask->next = task->next;
    } else {
        *m_pOrigin = item->next;
    }
    if (_T_APP_INFO* next = itemAt(item->next)) next->previous = item->previous;
    return removeAppInfo(wrapper, item);
}

uint32_t TaskItemList::removeAppInfo(SharedMemWrapper* wrapper, _T_APP_INFO* item)
{
    if (wrapper == nullptr || item == nullptr) return kMmsOk;
    (void)wrapper->free(bytesAt(item->dirtyMemory));  // free always gives 0; null is ignored
    item->dirtyMemory = 0;
    item->settingArea = 0;
    item->gettingArea = 0;
    (void)wrapper->free(bytesAt(item->importFlags));
    item->importFlags = 0;
    (void)wrapper->free(bytesAt(item->importSearchers));
    item->importSearchers = 0;
    (void)wrapper->free(bytesAt(item->taskItem));
    item->taskItem = 0;
    (void)wrapper->free(item);
    return kMmsOk;
}

TaskItemList::_T_APP_INFO* TaskItemList::front() const
{
    if (m_pOrigin == nullptr) return nullptr;
    return itemAt(*m_pOrigin);
}

TaskItemList::_T_APP_INFO* TaskItemList::find(uint32_t taskId) const
{
    for (_T_APP_INFO* item = front(); item != nullptr; item = itemAt(item->next)) {
        const T_TASK_ITEM* task = taskItemAt(item->taskItem);
        if (task != nullptr && task->taskId == taskId) return item;
    }
    return nullptr;
}

int16_t TaskItemList::getReferenceCount(uint32_t taskId) const
{
    const _T_APP_INFO* item = find(taskId);
    return item == nullptr ? 0 : item->referenceCount;
}

int64_t TaskItemList::getFrontTaskItem() const
{
    const _T_APP_INFO* item = front();
    return item == nullptr ? 0 : item->taskItem;
}

uint32_t TaskItemList::setSettingDirtyArea(uint32_t taskId, uint32_t index)
{
    _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsNotFound;
    return setDirtyArea(item->settingArea, item->dirtyMemory, item->areaCount, index);
}

uint32_t TaskItemList::setGettingDirtyArea(uint32_t taskId, uint32_t index)
{
    _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsNotFound;
    return setDirtyArea(item->gettingArea, item->dirtyMemory, item->areaCount, index);
}

uint32_t TaskItemList::setDirtyArea(int64_t& area, int64_t base, uint32_t n, uint32_t index) const
{
    if (n == 0) {
        area = base;
        return kMmsFailed;
    }
    area = base + static_cast<int64_t>(m_dirtySize) * (index % n);
    return kMmsOk;
}

uint8_t* TaskItemList::getTaskFlag(uint32_t taskId, const IFlagSelector& selector) const
{
    const _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return nullptr;
    return bytesAt(selector.get(*item));
}

uint8_t* TaskItemList::getTaskDirtyMem(uint32_t taskId) const
{
    return getTaskFlag(taskId, GetFlagSelector());
}

uint8_t* TaskItemList::getTaskImportFlagMem(uint32_t taskId) const
{
    return getTaskFlag(taskId, ImportFlagSelector());
}

uint8_t* TaskItemList::getTaskImportSearcherMem(uint32_t taskId) const
{
    return getTaskFlag(taskId, ImportSearcherSelector());
}

uint32_t TaskItemList::getTransactionDirty(uint8_t* out, uint32_t taskId) const
{
    if (out == nullptr) return kMmsBadArgument;
    const uint8_t* searchers = getTaskImportSearcherMem(taskId);
    if (searchers == nullptr) return kMmsBadArgument;
    bool dirty = CommonFunction::isDirty(searchers, 0);
    if (!dirty) {
        const uint8_t* flags = getTaskImportFlagMem(taskId);
        if (flags == nullptr) return kMmsBadArgument;
        dirty = CommonFunction::isDirty(flags, 0);
    }
    *out = dirty ? 1 : 0;
    return kMmsOk;
}

uint32_t TaskItemList::setDirtyFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn, uint8_t local)
{
    return setDirtyFlags(mode, &bit, 1, taskId, markOwn, local);
}

uint32_t TaskItemList::setImportFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn)
{
    return setTaskFlag(mode, bit, taskId, markOwn, 0, ImportFlagSelector());
}

uint32_t TaskItemList::setImportSearcher(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn)
{
    return setTaskFlag(mode, bit, taskId, markOwn, 0, ImportSearcherSelector());
}

uint32_t TaskItemList::setTaskFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn, uint8_t local,
                                   const IFlagSelector& selector)
{
    return setTaskFlags(mode, &bit, 1, taskId, markOwn, local, selector);
}

uint32_t TaskItemList::setDirtyFlags(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId,
                                     uint8_t markOwn, uint8_t local)
{
    // The setting area is read straight from the item: this runs for every changed value.
    markEach(mode, bits, count, taskId, markOwn, local, m_dirtySize,
             [](const _T_APP_INFO& item) { return item.settingArea; });
    return kMmsOk;
}

uint32_t TaskItemList::setTaskFlags(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId,
                                    uint8_t markOwn, uint8_t local, const IFlagSelector& selector)
{
    const uint32_t bytes = selector.isImportMemory() ? m_importFlagSize : m_dirtySize;
    markEach(mode, bits, count, taskId, markOwn, local, bytes,
             [&selector](const _T_APP_INFO& item) { return selector.get(item); });
    return kMmsOk;
}

template <typename Memory>
void TaskItemList::markEach(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId, uint8_t markOwn,
                           uint8_t local, uint32_t bytes, Memory memoryOf)
{
    if (bits == nullptr || count == 0) return;
    // A bit beyond a memory would write past it: such bits mark nothing anywhere. The dummy memory
    // is always of the dirty size.
    const auto mark = [bits, count](uint8_t* memory, uint32_t size) {
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t bit = bits[i];
            if (bit / 8 < size) memory[bit / 8] |= bitShiftTable[bit % 8];
        }
    };
    if (local != 0 && m_pDummyMemory != nullptr) mark(m_pDummyMemory, m_dirtySize);
    if (m_pOrigin == nullptr) return;
    // Offsets count from the origin; each item's memory is resolved once for all the bits.
    auto* origin = reinterpret_cast<uint8_t*>(m_pOrigin);
    for (int64_t at = *m_pOrigin; at != 0;) {
        const auto* item = reinterpret_cast<const _T_APP_INFO*>(origin + at);
        at = item->next;
        if (item->taskItem == 0) continue;
        const auto* task = reinterpret_cast<const T_TASK_ITEM*>(origin + item->taskItem);
        if (task->taskId == taskId && markOwn == 0) continue;
        if ((item->subscribeMode & mode) != 0) continue;
        const int64_t memory = memoryOf(*item);
        if (memory != 0) mark(origin + memory, bytes);
    }
}

uint32_t TaskItemList::fillArea0(uint32_t taskId, uint8_t value)
{
    const _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsBadArgument;
    uint8_t* area = bytesAt(item->dirtyMemory);
    if (area != nullptr && m_dirtySize != 0) std::memset(area, value, m_dirtySize);
    return kMmsOk;
}

uint32_t TaskItemList::setDirtyFlag(uint32_t taskId)
{
    return fillArea0(taskId, 0xFF);
}

uint32_t TaskItemList::resetDirtyFlag(uint32_t taskId)
{
    return fillArea0(taskId, 0x00);
}

uint32_t TaskItemList::setRootAdditionFlag(uint8_t flag, uint32_t taskId)
{
    if (_T_APP_INFO* item = find(taskId)) item->rootAdditionFlag = flag != 0 ? 1 : 0;
    return kMmsOk;
}

uint32_t TaskItemList::getRootAdditionFlag(uint32_t taskId) const
{
    const _T_APP_INFO* item = find(taskId);
    if (item == nullptr) return kMmsNotFound;
    return item->rootAdditionFlag;
}

uint32_t DirtyFlagHolder::deferMarks(uint8_t on)
{
    if (on == 0) (void)flush();  // always 0
    m_defer = on != 0 ? 1 : 0;
    return kMmsOk;
}

uint32_t DirtyFlagHolder::flush()
{
    if (m_keptCount == 0 || m_pList == nullptr) return kMmsOk;
    const uint32_t count = m_keptCount;
    m_keptCount = 0;
    return m_pList->setDirtyFlags(m_subscribeMode, m_kept, count, m_taskId, m_markOwn, m_localFlagMode);
}

uint32_t DirtyFlagHolder::changeSubscribeMode(uint32_t mode)
{
    (void)flush();  // kept bits belong to the mode they were set under; always 0
    m_subscribeMode = mode;
    return kMmsOk;
}

uint32_t DirtyFlagHolder::changeLocalFlagMode(uint8_t on)
{
    (void)flush();  // always 0
    m_localFlagMode = on != 0 ? 1 : 0;
    return kMmsOk;
}

uint32_t DirtyFlagHolder::set(uint32_t bit)
{
    if (m_pList == nullptr) return kMmsBadArgument;
    if (m_defer == 0) return m_pList->setDirtyFlag(m_subscribeMode, bit, m_taskId, m_markOwn, m_localFlagMode);
    if (m_keptCount == kDeferredBits) (void)flush();  // always 0
    m_kept[m_keptCount++] = bit;
    return kMmsOk;
}

uint32_t DirtyFlagHolder::setImportFlag(uint32_t bit)
{
    if (m_pList == nullptr) return kMmsBadArgument;
    return m_pList->setImportFlag(m_subscribeMode, bit, m_taskId, m_markOwn);
}

uint32_t DirtyFlagHolder::setImportSearcher(uint32_t bit)
{
    if (m_pList == nullptr) return kMmsBadArgument;
    return m_pList->setImportSearcher(m_subscribeMode, bit, m_taskId, m_markOwn);
}

}  // namespace MMS
