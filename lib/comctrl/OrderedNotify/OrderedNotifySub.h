#pragma once
// Makes writers for tables reached through shared memory (an item block from
// OrderedNotifyCore::getSharedList, mapped wherever this context maps it). Any task.
#include <cstdint>

namespace OrderedNotify {

class SetOrderNotify;

class OrderedNotifySub {
public:
    // info is the shared info block, borrowed for the life of this object and of its writers.
    OrderedNotifySub(uint16_t semaphoreId, void* info);
    virtual ~OrderedNotifySub();
    OrderedNotifySub(const OrderedNotifySub&) = delete;
    OrderedNotifySub& operator=(const OrderedNotifySub&) = delete;

    // A writer over itemBlock (its first 4 bytes give the count, the items follow), given back
    // with release(); null for a null block or info, or when memory is short.
    [[nodiscard]] SetOrderNotify* setOrderNotifyFactory(void* itemBlock);

private:
    void* m_pInfo;
    uint16_t m_semaphoreId;
};

}  // namespace OrderedNotify
