#pragma once
// Link access and locking shared by the reader and the writers of the ordered notification
// tables. Not for other modules.
#include <cstdint>
#include <cstring>

#include "comctrl/OrderedNotify/OrderedNotifyTypes.h"
#include "jlib/jlib_result.h"
#include "oswrap/oswrap_semaphore.h"

namespace OrderedNotify::internal {

constexpr JLIB::JResult kFailed = 0x80000000u;

// Byte positions of the links inside the info block and inside an item.
constexpr uint32_t kInfoFirst = 0;
constexpr uint32_t kInfoLast = 8;
constexpr uint32_t kItemPrev = 0;
constexpr uint32_t kItemNext = 8;

// Items sit at 4 + 16 i and shared blocks come from any provider, so a link is never assumed to be
// aligned: memcpy keeps the layout and stays defined behaviour.
inline int64_t loadLink(const uint8_t* at)
{
    int64_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

inline void storeLink(uint8_t* at, int64_t value) { std::memcpy(at, &value, sizeof(value)); }

// The blocks are allocated separately, so their distance is taken between addresses as integers;
// subtracting unrelated pointers would be undefined.
inline int64_t offsetFrom(const uint8_t* info, const uint8_t* at)
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(at) - reinterpret_cast<intptr_t>(info));
}

inline uint8_t* atOffset(uint8_t* info, int64_t offset)
{
    return reinterpret_cast<uint8_t*>(reinterpret_cast<intptr_t>(info) + static_cast<intptr_t>(offset));
}

// Takes the semaphore for one operation when the id is not 0; ok() is false when the wait was
// refused (an id outside the semaphore range), and the operation then fails instead of running
// unprotected.
class SemaphoreHold {
public:
    explicit SemaphoreHold(uint16_t id) : m_id(id)
    {
        if (m_id != 0 && JLIB::isFailure(oswrap_WaiSem(m_id))) {
            m_ok = false;
            m_id = 0;
        }
    }
    ~SemaphoreHold()
    {
        if (m_id != 0) (void)oswrap_SigSem(m_id);  // an id that could be taken can be given back
    }
    SemaphoreHold(const SemaphoreHold&) = delete;
    SemaphoreHold& operator=(const SemaphoreHold&) = delete;

    bool ok() const { return m_ok; }

private:
    uint16_t m_id;
    bool m_ok = true;
};

}  // namespace OrderedNotify::internal
