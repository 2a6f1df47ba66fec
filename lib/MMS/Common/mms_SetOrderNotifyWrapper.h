#pragma once
// Forwards the serial numbers of changed parameter elements to the ordered-notification writer
// attached to a root. Used under the locks of the field that owns the root.
#include <cstdint>

#include "mms_Platform.h"

namespace OrderedNotify {
class ISetOrderedNotify;
}

namespace MMS {

class SetOrderNotifyWrapper {
public:
    MMS_CLASS_ALLOCATORS

    SetOrderNotifyWrapper() = default;
    // Releases the attached writer.
    virtual ~SetOrderNotifyWrapper();

    SetOrderNotifyWrapper(const SetOrderNotifyWrapper&) = delete;
    SetOrderNotifyWrapper& operator=(const SetOrderNotifyWrapper&) = delete;

    // writer: an OrderedNotify::ISetOrderedNotify whose ownership passes to this wrapper (it calls
    // release on destruction). 0; 0x80000000 for null or when a writer is attached already (the
    // first one stays).
    [[nodiscard]] uint32_t attach(void* writer);
    // The writer's notify result for the serial number; 0 without a writer.
    [[nodiscard]] uint32_t set(uint32_t serial);

    bool isAttached() const { return m_pWriter != nullptr; }

private:
    OrderedNotify::ISetOrderedNotify* m_pWriter = nullptr;
};

}  // namespace MMS
