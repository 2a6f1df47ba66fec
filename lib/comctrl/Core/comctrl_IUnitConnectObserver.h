#pragma once
// The owner's view of a link unit: connection changes and component state changes, each with the
// unit id. Called on the owner task of the unit, inside its runCallback.
#include <cstdint>

namespace ComControl {

class IUnitConnectObserver {
public:
    virtual void connected(int32_t unitId) = 0;
    // A connection attempt or a live connection failed; disconnected follows.
    virtual void connectFailed(int32_t unitId) = 0;
    virtual void disconnected(int32_t unitId) = 0;
    virtual void unitStateChanged(int32_t unitId) = 0;
    virtual ~IUnitConnectObserver() = default;
};

}  // namespace ComControl
