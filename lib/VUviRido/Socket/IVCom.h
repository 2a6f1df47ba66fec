#pragma once
// A socket object: TCP client, TCP server or UDP socket owned by one thread. Every operation is
// "owner task only": the object is opened, used and delivered on the thread that owns it.
#include <cstdint>

#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"

namespace VCOM {

class IVCom {
public:
    // Resets the object and stores the user id and the wake-up target (kept by the caller while
    // the object is started); 0. Meant for an idle object.
    virtual JLIB::JResult start(uint32_t userId, IVComWakeupFunction& wakeup) = 0;
    // Closes the socket, resets the object and forgets user id and target; 0.
    virtual JLIB::JResult stop() = 0;
    virtual uint32_t getUserId() const = 0;
    virtual uint32_t numOfConnection() = 0;
    virtual uint32_t capacityOfConnection() = 0;
    // The object for a session id; null when there is none.
    virtual IVCom* getSession(signed char sessionId) = 0;
    virtual uint32_t getRemainSendBuff() = 0;
    virtual bool isConnected() = 0;
    [[nodiscard]] virtual JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) = 0;
    [[nodiscard]] virtual JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) = 0;
    // The socket is closed in the owner's next runCallback.
    virtual JLIB::JResult disconnect() = 0;
    // Delivers the recorded events to callback on the calling (owner) thread.
    virtual JLIB::JResult runCallback(IVComCallback& callback) = 0;
    virtual ~IVCom() = default;
};

}  // namespace VCOM
