#include "comctrl/OrderedNotify/OrderedNotifySub.h"

#include <cstring>
#include <new>

#include "comctrl/OrderedNotify/OrderedNotifyTypes.h"
#include "comctrl/OrderedNotify/SetOrderNotify.h"

namespace OrderedNotify {

OrderedNotifySub::OrderedNotifySub(uint16_t semaphoreId, void* info) : m_pInfo(info), m_semaphoreId(semaphoreId) {}

OrderedNotifySub::~OrderedNotifySub() = default;

SetOrderNotify* OrderedNotifySub::setOrderNotifyFactory(void* itemBlock)
{
    if (!itemBlock || !m_pInfo) return nullptr;
    uint32_t count = 0;
    std::memcpy(&count, itemBlock, sizeof(count));
    uint8_t* firstItem = static_cast<uint8_t*>(itemBlock) + kItemBlockHeader;
    return new (std::nothrow) SetOrderNotify(m_pInfo, count, firstItem, m_semaphoreId);
}

}  // namespace OrderedNotify
