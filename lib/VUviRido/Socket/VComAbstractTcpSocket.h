#pragma once
// TCP buffers and flow shared by client, server and session: a 10000-byte block and a 15000-byte
// stream per direction, one block in flight each way. Owner task only, except the handlers.
#include <cstdint>

#include "VUviRido/Socket/VComAbstractSocket.h"

namespace VCOM {

class VComAbstractTcpSocket : public VComAbstractSocket {
public:
    static constexpr uint32_t kBlockSize = 10000;
    static constexpr uint32_t kStreamSize = 15000;

    VComAbstractTcpSocket();
    ~VComAbstractTcpSocket() override;

    // count = bytes taken; 2 when some were taken and more wait (another onReceived follows).
    [[nodiscard]] JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override;
    // count = bytes that fitted into the send stream; 0x80000003 when not all did.
    [[nodiscard]] JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override;
    JLIB::JResult runCallbackSub(IVComCallback& callback, signed char sessionId,
                                 VComSocketCallbackParam& param) override;

protected:
    // Arms the receive of the next block: 1, or the conversion of the failure.
    JLIB::JResult requestReceive();
    // Sends the next block from the send stream when none is in flight: 1 sending, 0 nothing to
    // send, or the conversion of the failure (also recorded as a send report).
    JLIB::JResult requestSend();

private:
    // A failed receive restart; true when it closed the connection.
    bool handleReceiveError(IVComCallback& callback, signed char sessionId, JLIB::JResult code);
    // Flag 16; true when the connection was closed.
    bool deliverReceive(IVComCallback& callback, signed char sessionId, int32_t result);
    // Flag 32; true when the connection was closed.
    bool deliverSend(IVComCallback& callback, signed char sessionId, int32_t result);

    unsigned char* m_pReceiveBuff = nullptr;
    unsigned char* m_pSendBuff = nullptr;
    unsigned char* m_pSendPos = nullptr;
    uint32_t m_sendRemain = 0;
};

}  // namespace VCOM
