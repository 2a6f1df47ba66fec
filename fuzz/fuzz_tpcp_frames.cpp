// Feeds arbitrary bytes to the readers of the DSP player's bytes, with every handler attached:
// as one meter-channel datagram (cut at 1472 bytes as the socket would), and as the command
// stream, delivered over receive callbacks in pieces whose sizes the first byte picks. Every
// text and byte range that reaches a processor is read in full.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/tpcp/CommandStreamReader.h"
#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/INotificationProcessor.h"
#include "common/tpcp/MeterChannelReader.h"
#include "common/tpcp/MeterNotificationCollection.h"
#include "common/tpcp/NotificationCollection.h"
#include "VUviRido/Socket/IVCom.h"

namespace {

volatile uint32_t g_sink = 0;

void touch(const char* text)
{
    if (text) g_sink = g_sink + static_cast<uint32_t>(std::strlen(text));
}

void touch(const unsigned char* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) g_sink = g_sink + bytes[i];
}

class Processor : public TPCP::INotificationProcessor, public TPCP::IMeterNotificationProcessor {
public:
    JLIB::JResult processTCPConnectedNotification(const char* text) override
    {
        touch(text);
        return 0;
    }
    JLIB::JResult processErrorNotification(const char* text1, const char* text2) override
    {
        touch(text1);
        touch(text2);
        return 0x80000000u;
    }
    JLIB::JResult processMeterNotification(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t count,
                                           const unsigned char* bytes) override
    {
        touch(bytes, count);
        return 0;
    }
    JLIB::JResult processPlayerStatusNotification(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t count,
                                                  const TPCP::CoreInfo* cores) override
    {
        touch(cores ? cores->bytes : nullptr, count);
        return 0;
    }
};

// A connected stream socket that offers the bytes it is given, one piece per receive callback.
class PieceSocket : public VCOM::IVCom {
public:
    const uint8_t* data = nullptr;
    size_t left = 0;       // bytes offered in the current callback
    int disconnects = 0;

    JLIB::JResult start(uint32_t, VCOM::IVComWakeupFunction&) override { return 0; }
    JLIB::JResult stop() override { return 0; }
    uint32_t getUserId() const override { return 0; }
    uint32_t numOfConnection() override { return 1; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char id) override { return id == 0 ? this : nullptr; }
    uint32_t getRemainSendBuff() override { return 0; }
    bool isConnected() override { return disconnects == 0; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override
    {
        count = static_cast<uint32_t>(std::min<size_t>(size, left));
        std::memcpy(buffer, data, count);
        data += count;
        left -= count;
        return 0;
    }
    JLIB::JResult send(const void*, uint32_t, uint32_t& count) override
    {
        count = 0;
        return 0x80000000u;
    }
    JLIB::JResult disconnect() override
    {
        ++disconnects;
        return 0;
    }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TPCP::NotificationCollection* streamHandlers = [] {
        auto* c = new TPCP::NotificationCollection();
        (void)c->createNotificationMap();  // always 0
        return c;
    }();
    static TPCP::MeterNotificationCollection* meterHandlers = [] {
        auto* c = new TPCP::MeterNotificationCollection();
        (void)c->createMeterNotificationMap();  // always 0
        return c;
    }();
    if (size == 0) return 0;
    Processor processor;
    const size_t piece = 1 + data[0] % 61;
    ++data;
    --size;

    // The datagram in a buffer of its exact size, so a read past it is caught.
    const std::vector<unsigned char> datagram(data, data + std::min<size_t>(size, 1472));
    (void)TPCP::MeterChannelReader::decodeDatagram(datagram.data(), datagram.size(), *meterHandlers, processor);

    TPCP::CommandStreamReader reader;
    PieceSocket socket;
    socket.data = data;
    size_t remaining = size;
    while (remaining > 0 && socket.disconnects == 0) {
        socket.left = std::min(piece, remaining);
        remaining -= socket.left;
        if (JLIB::isFailure(reader.onReceived(socket, 0, *streamHandlers, processor))) break;
    }
    const std::vector<unsigned char> frame(data, data + size);
    (void)TPCP::CommandStreamReader::decodeFrame(frame.data(), frame.size(), *streamHandlers, processor);
    return 0;
}
