#pragma once
// What the editor-link client unit reports to its owner: connection events and every packet
// decoded from a received line. Every call runs on the owner's thread, inside the unit's
// runCallback.
#include "editor/PacketContainer.h"

namespace VDProtocol {

class IVDProtocolConnectObserver {
public:
    virtual void connected() = 0;
    // The connection attempt failed; disconnected() follows at once.
    virtual void connectFailed() = 0;
    virtual void disconnected() = 0;
    virtual void received(const PacketContainer& packet) = 0;
    virtual ~IVDProtocolConnectObserver() = default;
};

}  // namespace VDProtocol
