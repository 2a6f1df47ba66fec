#pragma once
// Port multiplexer of the console link: cuts the core port's byte stream into frames (4-byte port
// name, 4-byte big-endian length, payload) for the named virtual ports and frames the components'
// messages into a send ring drained to the socket. No locks: every call, including the
// components' calls back into it, runs on the task that owns the link.
#include <cstdint>
#include <memory>

#include "comctrl_IPort.h"
#include "comctrl_IPortObserver.h"
#include "jlib/jlib_ringbuf.h"

namespace VCOM {
class IVCom;
}

namespace ComControl {

class ESP : public IPort {
public:
    static constexpr uint32_t kFrameHeaderSize = 8;
    static constexpr uint32_t kMaxBufferSize = 0x1000000;  // the ring buffer's limit
    static constexpr uint32_t kMaxChunk = 15000;           // bytes handed to the socket per drain

    // Results.
    static constexpr JLIB::JResult kHeld = 1;            // a received frame waits for a send pass
    static constexpr JLIB::JResult kTryAgain = 2;        // writeRequest: no room now, data kept
    static constexpr JLIB::JResult kDisconnected = 0x80000000u;
    static constexpr JLIB::JResult kBadSize = 0x80000001u;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kInternalError = 0x80000003u;

    struct T_VPORT {
        char name[5] = {};                      // up to 4 characters and a zero byte
        IPortObserver* pObserver = nullptr;     // borrowed; registered by the link unit
        bool opened = false;
    };

    // A table of portCount empty entries (none when it cannot be allocated) and buffers for
    // payloads of bufferSize bytes.
    ESP(uint32_t portCount, uint32_t bufferSize);
    ~ESP() override;
    ESP(const ESP&) = delete;
    ESP& operator=(const ESP&) = delete;

    // Only grows (a size not above the present capacity changes nothing and gives 0), keeping
    // queued frames and a partial received frame. 0x80000001 above 0x1000000, when the blocks
    // cannot be allocated, or while a component call is running (its buffers are in use); the
    // old buffers stay then.
    [[nodiscard]] JLIB::JResult expandBufferSize(uint32_t size) override;
    // 0 sent or queued; 2 no room now (the component keeps its data); 0x80000000 after the link
    // was ended; 0x80000003 internal error (an opened port without observer).
    [[nodiscard]] JLIB::JResult writeRequest(const char* portName) override;

    // observer is borrowed: the unit keeps it alive while registered. 0x80000002 for an index out
    // of range or a null name.
    [[nodiscard]] JLIB::JResult registerVPortObserver(uint32_t index, const char* name, IPortObserver* observer);
    // port is borrowed (the unit's socket). Discards queued and partial data, closes every port.
    JLIB::JResult setCorePort(VCOM::IVCom* port);
    [[nodiscard]] JLIB::JResult openPort(uint32_t index);
    [[nodiscard]] JLIB::JResult closePort(uint32_t index);
    bool isPortOpened(uint32_t index) const;
    [[nodiscard]] JLIB::JResult getPortName(uint32_t index, char* buffer, uint32_t size) const;

    // One receive pass when the socket reports data: 0 all read, 1 a frame is held,
    // 0x80000000 the link was ended, 0x80000003 internal error.
    JLIB::JResult onReceived();
    // One send pass when the socket's buffer drained; delivers a held frame and resumes reading.
    JLIB::JResult onSent();

    uint32_t getBufferSize() const { return m_bufferSize; }
    // Entries of the port table; 0 when it could not be allocated.
    uint32_t getPortCount() const { return m_portCount; }
    // Bytes waiting in the send ring.
    uint32_t queuedBytes() const;

private:
    uint32_t capacity() const { return m_bufferSize == 0 ? 0 : m_bufferSize - kFrameHeaderSize; }
    bool hasBuffers() const { return m_pRing != nullptr; }
    bool frameComplete() const
    {
        return m_headerCount == kFrameHeaderSize && m_recvFill - m_recvStart >= m_recvEnd;
    }
    const uint8_t* currentFrame() const { return m_pRecv.get() + m_recvStart; }
    void resetReceiveState();
    // Steps over the delivered frame to what was read behind it.
    void consumeFrame();
    // Moves the unfinished frame to the front of the receive block.
    void compactReceived();
    JLIB::JResult portNameToPortId(const char* name, uint32_t& index) const;
    JLIB::JResult copyToRingBuffer(const uint8_t* data, uint32_t length, const char* name);
    JLIB::JResult writeToVcom();
    JLIB::JResult callObserver(IPortObserver& observer, uint32_t* produced, const uint8_t* input,
                               uint32_t inputLength, uint8_t* flags, uint8_t*& output, uint32_t& outputCapacity);
    JLIB::JResult frameAnswer(const uint8_t* output, uint32_t outputCapacity, uint32_t produced, const char* name);
    JLIB::JResult sendEventAction(const char* name, uint8_t* flags);
    JLIB::JResult receiveEventAction(const char* name, uint8_t* flags);
    JLIB::JResult recvEvent();
    JLIB::JResult deliverHeld(const char* internalErrorLine, bool& delivered);
    void disconnectCore();

    VCOM::IVCom* m_pCorePort = nullptr;  // borrowed: the unit's socket, set while connected
    uint32_t m_bufferSize = 0;           // payload capacity + 8; 0 until buffers exist
    std::unique_ptr<uint8_t[]> m_pRing;
    std::unique_ptr<uint8_t[]> m_pStaging;
    std::unique_ptr<uint8_t[]> m_pRecv;
    // A component that calls writeRequest from inside its own call gets this block, so the
    // message it writes cannot overwrite the outer call's answer in the staging block.
    std::unique_ptr<uint8_t[]> m_pNestedStaging;
    T_JLIB_RINGBUF m_ring{};
    // The receive block holds the current frame at m_recvStart and whatever was read behind it:
    // taking all the socket holds at once spares a read and a second receive report per frame.
    uint32_t m_recvStart = 0;    // offset of the current frame
    uint32_t m_recvFill = 0;     // end of the bytes read
    uint32_t m_recvEnd = kFrameHeaderSize;  // the current frame's length with its header
    uint32_t m_headerCount = 0;  // 8 once the current frame's header was read, else 0
    std::unique_ptr<T_VPORT[]> m_pPorts;
    uint32_t m_portCount = 0;
    uint32_t m_callDepth = 0;    // component calls running
    uint8_t m_chunk[kMaxChunk];  // one drain's bytes on their way to the socket
};

}  // namespace ComControl
