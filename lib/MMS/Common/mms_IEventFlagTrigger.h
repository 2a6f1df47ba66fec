#pragma once
// The receiver of a field's change events, supplied by the field's owner (for example to wake
// every listed task). Called synchronously on the task that made the change, under the field's
// locks, after the change raised dirty flags; walk the list with getTaskItem (mms_MutexLock.h).
#include <cstdint>

#include "mms_DirtyFlagList.h"

namespace MMS {

class IEventFlagTrigger {
public:
    virtual ~IEventFlagTrigger() = default;
    // kind: the include-originator flag of the change (1 for build, subscription and copy events);
    // value: the originator's subscription id (0 when the field itself is the originator);
    // tasks: the subscribed tasks of the changed root, valid for the call only. The field core
    // passes the result back from its own event helper and otherwise ignores it.
    virtual uint32_t trigger(uint8_t kind, uint32_t value, T_TASK_LIST* tasks) = 0;
};

}  // namespace MMS
