#pragma once
// Reads meter-channel datagrams (one OSC packet each, at most 1472 bytes) and hands each message
// to its handler. Owner task only.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"

namespace VCOM {
class IVCom;
}

namespace TPCP {

class IMeterNotificationProcessor;
class MeterNotificationCollection;

class MeterChannelReader {
public:
    MeterChannelReader();

    // Reads every datagram waiting on the socket. 0 when none is left, 0x80000000 on a read
    // failure. A datagram too long for the buffer is dropped by the socket and reading goes on.
    [[nodiscard]] JLIB::JResult onReceived(VCOM::IVCom& socket, const MeterNotificationCollection& handlers,
                                           IMeterNotificationProcessor& processor);

    // Decodes one datagram and dispatches its messages; messages without a handler are ignored.
    // 0 whatever the handlers answer, 0x80000000 for null bytes.
    [[nodiscard]] static JLIB::JResult decodeDatagram(const unsigned char* bytes, size_t length,
                                                      const MeterNotificationCollection& handlers,
                                                      IMeterNotificationProcessor& processor);

private:
    std::vector<unsigned char> m_datagram;
};

}  // namespace TPCP
