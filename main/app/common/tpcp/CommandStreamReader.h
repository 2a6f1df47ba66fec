#pragma once
// Reassembles length-framed OSC packets from the command stream and hands each message to its
// handler. A frame may arrive over any number of receive callbacks and is decoded once, when
// complete. Owner task only (the task that runs the socket's callbacks).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"

namespace VCOM {
class IVCom;
}

namespace TPCP {

class INotificationProcessor;
class NotificationCollection;

class CommandStreamReader {
public:
    CommandStreamReader();

    // Reads what the session holds (call on every receive callback). 0 when the data is used up,
    // 0x80000000 for an unknown session, a read failure, or a frame above 65792 bytes: the stream
    // cannot be brought back into step, so the session is disconnected.
    [[nodiscard]] JLIB::JResult onReceived(VCOM::IVCom& socket, signed char sessionId,
                                           const NotificationCollection& handlers, INotificationProcessor& processor);
    // Forgets a frame under way; call when a new connection starts.
    void reset();
    // Whether part of a frame (or of its length word) is held.
    bool hasPartialFrame() const { return m_received != 0; }

    // Decodes one whole frame (length word first) and dispatches its messages; messages without
    // a handler are ignored. 0x80000000 when the frame holds fewer bytes than its length word
    // says, else 0 whatever the handlers answer.
    [[nodiscard]] static JLIB::JResult decodeFrame(const unsigned char* frame, size_t size,
                                                   const NotificationCollection& handlers,
                                                   INotificationProcessor& processor);

private:
    [[nodiscard]] JLIB::JResult readSome(VCOM::IVCom& session, uint32_t wanted, uint32_t& count);

    std::vector<unsigned char> m_frame;
    uint32_t m_received = 0;  // bytes of the current frame held, length word included
    uint32_t m_frameEnd = 0;  // 0 while the length word is incomplete
};

}  // namespace TPCP
