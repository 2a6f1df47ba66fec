#include "comctrl/OrderedNotify/OrderedNotifyCore.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "MMS/Common/mms_ISharedMemory.h"
#include "comctrl/OrderedNotify/SetOrderNotify.h"
#include "comctrl/OrderedNotify/internal/OrderedNotifyList.h"

namespace OrderedNotify {

using namespace internal;

namespace {

// The length of a usable table name, or 0 when it is null, empty or longer than 23 characters.
uint32_t tableNameLength(const char* name)
{
    if (!name) return 0;
    const size_t length = strnlen(name, kTableNameSize);
    return length <= kMaxTableNameLength ? static_cast<uint32_t>(length) : 0;
}

uint32_t itemCount(const uint8_t* itemBlock)
{
    uint32_t count = 0;
    std::memcpy(&count, itemBlock, sizeof(count));
    return count;
}

}  // namespace

OrderedNotifyCore::OrderedNotifyCore(uint16_t semaphoreId, MMS::ISharedMemory* sharedMemory)
    : m_pSharedMemory(sharedMemory), m_semaphoreId(semaphoreId)
{
    m_pInfo = allocateBlock(sizeof(T_ORDERED_NOTIFY_INFO));
    if (m_pInfo) std::memset(m_pInfo, 0, sizeof(T_ORDERED_NOTIFY_INFO));
}

OrderedNotifyCore::~OrderedNotifyCore()
{
    // A writer of another context may still be inside notify: wait for it; a refused id means
    // there is nobody to exclude.
    SemaphoreHold hold(m_semaphoreId);
    while (m_pTables) {
        T_ORDERED_NOTIFY_NOTIFY_TABLE* table = m_pTables;
        m_pTables = table->next;
        freeBlock(table->itemBlock);
        delete table;
    }
    freeBlock(m_pInfo);
    m_pInfo = nullptr;
}

uint8_t* OrderedNotifyCore::allocateBlock(uint32_t size)
{
    if (m_pSharedMemory) return static_cast<uint8_t*>(m_pSharedMemory->allocate(size));
    return static_cast<uint8_t*>(std::malloc(size));
}

void OrderedNotifyCore::freeBlock(void* block)
{
    if (!block) return;
    if (m_pSharedMemory) {
        m_pSharedMemory->deallocate(block);
        return;
    }
    std::free(block);
}

T_ORDERED_NOTIFY_NOTIFY_TABLE* OrderedNotifyCore::findTable(const char* name, uint32_t length) const
{
    for (T_ORDERED_NOTIFY_NOTIFY_TABLE* table = m_pTables; table; table = table->next) {
        if (strnlen(table->name, kTableNameSize) == length && std::memcmp(table->name, name, length) == 0) {
            return table;
        }
    }
    return nullptr;
}

uint32_t OrderedNotifyCore::create(const char* name, uint32_t count)
{
    SemaphoreHold hold(m_semaphoreId);
    const uint32_t length = tableNameLength(name);
    if (!hold.ok() || !m_pInfo || length == 0 || count == 0) return kFailed;
    // The block size is passed to the provider as 32 bits; a wrapped size would leave the items
    // outside the block.
    if (count > (UINT32_MAX - kItemBlockHeader) / kItemSize) return kFailed;
    if (findTable(name, length)) return kFailed;

    const uint32_t size = count * kItemSize + kItemBlockHeader;
    uint8_t* block = allocateBlock(size);
    if (!block) return kFailed;
    std::memset(block, 0, size);
    std::memcpy(block, &count, sizeof(count));

    auto* table = new (std::nothrow) T_ORDERED_NOTIFY_NOTIFY_TABLE{};
    if (!table) {
        freeBlock(block);
        return kFailed;
    }
    std::memcpy(table->name, name, length);
    table->itemBlock = block;
    table->firstItem = block + kItemBlockHeader;
    T_ORDERED_NOTIFY_NOTIFY_TABLE** end = &m_pTables;
    while (*end) end = &(*end)->next;
    *end = table;
    return JLIB::kOk;
}

SetOrderNotify* OrderedNotifyCore::setOrderNotifyFactory(const char* name)
{
    SemaphoreHold hold(m_semaphoreId);
    const uint32_t length = tableNameLength(name);
    if (!hold.ok() || !m_pInfo || length == 0) return nullptr;
    const T_ORDERED_NOTIFY_NOTIFY_TABLE* table = findTable(name, length);
    if (!table) return nullptr;
    return new (std::nothrow) SetOrderNotify(m_pInfo, itemCount(table->itemBlock), table->firstItem, m_semaphoreId);
}

uint32_t OrderedNotifyCore::getFirst(char* name, uint32_t* index)
{
    if (!name || !index) return kFailed;
    SemaphoreHold hold(m_semaphoreId);
    if (!hold.ok() || !m_pInfo) return kFailed;
    const int64_t first = loadLink(m_pInfo + kInfoFirst);
    if (first == 0) return 1;

    uint32_t result = kFailed;
    for (const T_ORDERED_NOTIFY_NOTIFY_TABLE* table = m_pTables; table; table = table->next) {
        const int64_t lowest = offsetFrom(m_pInfo, table->firstItem);
        const int64_t highest = lowest + (static_cast<int64_t>(itemCount(table->itemBlock)) - 1) * kItemSize;
        if (first < lowest || first > highest) continue;
        std::memcpy(name, table->name, kTableNameSize);
        *index = static_cast<uint32_t>((first - lowest) / kItemSize);
        result = JLIB::kOk;
        break;
    }

    // The item stops waiting even when it belongs to no table, so one stray signal cannot block
    // every later one.
    uint8_t* item = atOffset(m_pInfo, first);
    const int64_t next = loadLink(item + kItemNext);
    storeLink(m_pInfo + kInfoFirst, next);
    if (next == 0) {
        storeLink(m_pInfo + kInfoLast, 0);
    } else {
        storeLink(atOffset(m_pInfo, next) + kItemPrev, 0);
    }
    storeLink(item + kItemPrev, 0);
    storeLink(item + kItemNext, 0);
    return result;
}

uint32_t OrderedNotifyCore::getSharedList(const char* name, void** itemBlock, uint32_t* size)
{
    if (!itemBlock || !size) return kFailed;
    SemaphoreHold hold(m_semaphoreId);
    const uint32_t length = tableNameLength(name);
    if (!hold.ok() || !m_pInfo || !m_pSharedMemory || length == 0) return kFailed;
    const T_ORDERED_NOTIFY_NOTIFY_TABLE* table = findTable(name, length);
    if (!table) return kFailed;
    *itemBlock = table->itemBlock;
    *size = itemCount(table->itemBlock) * kItemSize + kItemBlockHeader;
    return JLIB::kOk;
}

}  // namespace OrderedNotify
