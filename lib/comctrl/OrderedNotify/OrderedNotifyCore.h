#pragma once
// Owns the info block and the tables of ordered notifications and reads them oldest first. The
// blocks come from a shared memory provider when one is given, so that writers in other contexts
// can signal through OrderedNotifySub. Any task; with a semaphore id other than 0 every operation
// holds that semaphore, without one all callers must be on one task.
#include <cstdint>

#include "comctrl/OrderedNotify/IGetOrderedNotify.h"
#include "comctrl/OrderedNotify/OrderedNotifyTypes.h"

namespace MMS {
class ISharedMemory;
}

namespace OrderedNotify {

class SetOrderNotify;

class OrderedNotifyCore : public IGetOrderedNotify {
public:
    // Allocates and zeroes the 16-byte info block from sharedMemory (borrowed: the application
    // keeps it alive until this core is destroyed) or, when null, from the heap. Without an info
    // block every later operation fails.
    OrderedNotifyCore(uint16_t semaphoreId, MMS::ISharedMemory* sharedMemory);
    // Writers of this core must have been released before.
    ~OrderedNotifyCore() override;
    OrderedNotifyCore(const OrderedNotifyCore&) = delete;
    OrderedNotifyCore& operator=(const OrderedNotifyCore&) = delete;

    // A table of count items under a name of 1 to 23 characters: 0; 0x80000000 without info
    // block, for a null, empty, longer or existing name, a count of 0 or one whose item block
    // would not fit in 32 bits, or when memory is short.
    [[nodiscard]] uint32_t create(const char* name, uint32_t count);
    // A writer for the named table, given back with release(); null for an empty, longer or
    // unknown name, or when memory is short.
    [[nodiscard]] SetOrderNotify* setOrderNotifyFactory(const char* name);
    // name must hold 24 bytes. 0x80000000 for null arguments, without info block, or when the
    // oldest offset lies in no table (that item stops waiting all the same).
    [[nodiscard]] uint32_t getFirst(char* name, uint32_t* index) override;
    // The named table's item block and its size (count * 16 + 4) for an OrderedNotifySub of
    // another context: 0; 0x80000000 for null arguments, an unknown name or when the tables are
    // not in shared memory.
    [[nodiscard]] uint32_t getSharedList(const char* name, void** itemBlock, uint32_t* size);

private:
    uint8_t* allocateBlock(uint32_t size);
    void freeBlock(void* block);
    T_ORDERED_NOTIFY_NOTIFY_TABLE* findTable(const char* name, uint32_t length) const;

    T_ORDERED_NOTIFY_NOTIFY_TABLE* m_pTables = nullptr;  // owned, with their item blocks
    uint8_t* m_pInfo = nullptr;                          // owned
    MMS::ISharedMemory* m_pSharedMemory;
    uint16_t m_semaphoreId;
};

}  // namespace OrderedNotify
