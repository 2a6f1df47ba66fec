#pragma once
// TCP buffers and flow shared by client, server and session: a 10000-byte block and a 15000-byte
// stream per direction, one block in flight each way. Owner task only, except the handlers.
// The owner's thread moves the bytes itself while the kernel takes or holds them (writes a block
// the socket can take, reads what has arrived once woken for a received block); the socket task
// carries only what has to wait, so a block costs no hand-off between threads unless it waits.
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
    // One onSent per block the owner wrote itself; true when the connection was closed.
    bool deliverSentAtOnce(IVComCallback& callback, signed char sessionId);
    // Reads what has arrived behind a delivered block, each read delivered as one; 1 when the
    // socket task should arm the next receive, else the read's end (0 closed, or the failure).
    int32_t drainReceive(IVComCallback& callback, signed char sessionId);

    unsigned char* m_pReceiveBuff = nullptr;
    unsigned char* m_pSendBuff = nullptr;
    unsigned char* m_pSendPos = nullptr;
    uint32_t m_sendRemain = 0;
};

}  // namespace VCOM
