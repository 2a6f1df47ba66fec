#include "comctrl/OrderedNotify/SetOrderNotify.h"

#include "comctrl/OrderedNotify/internal/OrderedNotifyList.h"

namespace OrderedNotify {

using namespace internal;

SetOrderNotify::SetOrderNotify(void* info, uint32_t count, void* firstItem, uint16_t semaphoreId)
    : m_pInfo(static_cast<uint8_t*>(info)),
      m_count(count),
      m_pFirstItem(static_cast<uint8_t*>(firstItem)),
      m_semaphoreId(semaphoreId)
{
}

SetOrderNotify::~SetOrderNotify() = default;

void SetOrderNotify::release() { delete this; }

uint32_t SetOrderNotify::notify(uint32_t index)
{
    if (!m_pInfo || !m_pFirstItem || index >= m_count) return kFailed;
    SemaphoreHold hold(m_semaphoreId);
    if (!hold.ok()) return kFailed;

    uint8_t* item = m_pFirstItem + static_cast<uintptr_t>(index) * kItemSize;
    const int64_t x = offsetFrom(m_pInfo, item);
    const int64_t first = loadLink(m_pInfo + kInfoFirst);
    const int64_t last = loadLink(m_pInfo + kInfoLast);

    if (first == 0) {
        storeLink(item + kItemPrev, 0);
        storeLink(item + kItemNext, 0);
        storeLink(m_pInfo + kInfoFirst, x);
        storeLink(m_pInfo + kInfoLast, x);
        return JLIB::kOk;
    }
    if (last == 0) return kFailed;
    if (x == last) return JLIB::kOk;

    // A waiting item other than the last has a next link; the first one has no previous link.
    const int64_t prev = loadLink(item + kItemPrev);
    const int64_t next = loadLink(item + kItemNext);
    if (prev != 0 || next != 0 || first == x) {
        if (prev != 0) storeLink(atOffset(m_pInfo, prev) + kItemNext, next);
        if (next != 0) storeLink(atOffset(m_pInfo, next) + kItemPrev, prev);
        if (first == x) storeLink(m_pInfo + kInfoFirst, next);
    }
    storeLink(item + kItemPrev, last);
    storeLink(item + kItemNext, 0);
    storeLink(atOffset(m_pInfo, last) + kItemNext, x);
    storeLink(m_pInfo + kInfoLast, x);
    return JLIB::kOk;
}

}  // namespace OrderedNotify
