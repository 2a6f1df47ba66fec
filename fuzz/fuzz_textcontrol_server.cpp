// Byte chunks from the input run through a text control server's decoding, dispatch and replies
// with the models' default behaviour; a stand-in socket holds the received bytes and, steered by
// the input, has too little send room, so held-back replies are exercised too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "VUviRido/Socket/IVCom.h"
#include "textcontrol/ScpServer.h"

namespace {

class FakeConnection : public VCOM::IVCom {
public:
    std::vector<unsigned char> input;
    uint32_t room = 15000;
    uint32_t capacity = 2;

    JLIB::JResult start(uint32_t, VCOM::IVComWakeupFunction&) override { return 0; }
    JLIB::JResult stop() override { return 0; }
    uint32_t getUserId() const override { return 1; }
    uint32_t numOfConnection() override { return 1; }
    uint32_t capacityOfConnection() override { return capacity; }
    IVCom* getSession(signed char id) override { return id == 1 || id == 0 ? this : nullptr; }
    uint32_t getRemainSendBuff() override { return room; }
    bool isConnected() override { return true; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override
    {
        count = static_cast<uint32_t>(input.size() < size ? input.size() : size);
        if (count) std::memcpy(buffer, input.data(), count);
        input.erase(input.begin(), input.begin() + count);
        return input.empty() ? 0 : 2;
    }
    JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override
    {
        if (!data || length == 0 || length > room) __builtin_trap();  // never a part of a message
        count = length;
        return 1;
    }
    JLIB::JResult disconnect() override { return 0; }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FakeConnection socket;
    SCP::ScpDeviceController controller;
    SCP::ScpParameter parameters;
    SCP::ScpMeter meters;
    SCP::IScpServer* server = SCP::createScpServer(0);
    if (!server) return 0;
    (void)server->initialize(nullptr, socket, controller, parameters, meters);
    (void)server->onAccepted(1, 0, 1);
    // Each chunk: one control byte (length in the low 6 bits, bit 6 short send room, bit 7 a
    // timer tick), then that many bytes of input.
    size_t pos = 0;
    while (pos < size) {
        const uint8_t control = data[pos++];
        const size_t length = control & 0x3F;
        const size_t take = length < size - pos ? length : size - pos;
        socket.input.insert(socket.input.end(), data + pos, data + pos + take);
        pos += take;
        socket.room = (control & 0x40) ? 20 : 15000;
        (void)server->onReceived(1, 1);
        (void)server->onSent(1, 1);
        if (control & 0x80) {
            (void)server->onTimer();
            (void)server->onFoundDirty(1, 0, 0, 0);
        }
    }
    socket.room = 15000;
    (void)server->onSent(1, 1);
    (void)server->onDisconnected(1, 1);
    (void)SCP::destroyScpServer(server);
    return 0;
}
