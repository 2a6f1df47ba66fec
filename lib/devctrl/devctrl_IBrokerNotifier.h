#pragma once
// Told by the instance broker when its tree changes. Supplied by the application; called on the
// calling task while the broker's ctrl lock is held.
#include <cstdint>

namespace DeviceControl {

class IBrokerNotifier {
public:
    // Events: 0 an item was created or deleted (task id 0); 1 deletion was asked while the item
    // is in use (task id 0); 2 the last reference to such an item was released (task id: the
    // item's owner, which may now delete it).
    virtual void notify(uint16_t taskId, uint32_t event) = 0;
    virtual ~IBrokerNotifier() = default;
};

}  // namespace DeviceControl
