#pragma once
// Events of a socket object, implemented by its owner. Every call runs on the owner's thread inside
// the object's runCallback. Session 0 is the object itself, 1..n the sessions of a TCP server.
// The results are not looked at.
#include <cstdint>

#include "VUviRido/Socket/VComResult.h"

namespace VCOM {

class IVComCallback {
public:
    virtual JLIB::JResult onConnected(uint32_t userId, signed char sessionId) = 0;
    virtual JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, ConnectionError error) = 0;
    virtual JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) = 0;
    virtual JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) = 0;
    virtual JLIB::JResult onReceived(uint32_t userId, signed char sessionId) = 0;
    virtual JLIB::JResult onSent(uint32_t userId, signed char sessionId) = 0;
    virtual JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, CommError error) = 0;
    virtual ~IVComCallback() = default;
};

}  // namespace VCOM
