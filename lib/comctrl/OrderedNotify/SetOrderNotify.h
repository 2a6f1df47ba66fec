#pragma once
// A writer for one table: signals its items into the order that the info block keeps. Made by
// OrderedNotifyCore::setOrderNotifyFactory or OrderedNotifySub::setOrderNotifyFactory and given
// back with release(). Any task, under the semaphore it was given (0: one task only).
#include <cstdint>

#include "comctrl/OrderedNotify/ISetOrderedNotify.h"

namespace OrderedNotify {

class SetOrderNotify : public ISetOrderedNotify {
public:
    // info and firstItem are borrowed: the table's owner keeps them alive until release().
    SetOrderNotify(void* info, uint32_t count, void* firstItem, uint16_t semaphoreId);
    ~SetOrderNotify() override;
    SetOrderNotify(const SetOrderNotify&) = delete;
    SetOrderNotify& operator=(const SetOrderNotify&) = delete;

    void release() override;
    // 0; 0x80000000 without info block or items, for an index not below the count, when the list
    // is inconsistent (last 0 while first is set) or the semaphore cannot be taken.
    [[nodiscard]] uint32_t notify(uint32_t index) override;

private:
    uint8_t* m_pInfo;
    uint32_t m_count;
    uint8_t* m_pFirstItem;
    uint16_t m_semaphoreId;
};

}  // namespace OrderedNotify
