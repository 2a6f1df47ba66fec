#pragma once
// The listening end's link unit for one connected console: a ServerService hands it an accepted
// session and forwards that session's socket events. Free (session -1) between consoles, keeping
// its registrations. Owner task only.
#include <cstdint>

#include "comctrl_AbstractUnit.h"

namespace VCOM {
class IVCom;
}

namespace ComControl {

class ClientUnit : public AbstractUnit {
public:
    ClientUnit();
    ~ClientUnit() override;

    bool isServerUnit() const override { return false; }

    // Takes the session (borrowed from the server socket until socketDisconnected) and attaches
    // the ports; connected follows. 0x80000003 before initialize or for a null session; the
    // attachment's failure (the observer is not told).
    [[nodiscard]] JLIB::JResult socketAccepted(uint16_t portId, VCOM::IVCom* session, signed char sessionId);
    // connectFailed, then socketDisconnected's result.
    JLIB::JResult socketConnectionFailed(uint16_t portId, int32_t error);
    JLIB::JResult socketCommunicationFailed(uint16_t portId, int32_t error);
    // Detaches the ports and frees the unit; disconnected follows. 0 or the detachment's failure.
    JLIB::JResult socketDisconnected(uint16_t portId);
    // The multiplexer's receive or send pass.
    JLIB::JResult socketReceived(uint16_t portId);
    JLIB::JResult socketSent(uint16_t portId);
    // Asks the session to close (socketDisconnected follows): the mapped socket result; 1 when no
    // session is held; 0x80000003 before initialize.
    [[nodiscard]] JLIB::JResult disconnect() override;
    bool isValidSession() const { return m_sessionId >= 0; }
    signed char sessionId() const { return m_sessionId; }

private:
    JLIB::JResult failed(uint16_t portId);

    signed char m_sessionId = -1;
    VCOM::IVCom* m_pSession = nullptr;  // the server socket's session object, owned by it
};

}  // namespace ComControl
