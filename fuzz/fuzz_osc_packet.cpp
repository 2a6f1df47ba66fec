// Feeds arbitrary bytes to the OSC server as one datagram from one client, through the
// per-datagram handling without sockets: the packet and bundle walk, address parsing, the 33
// commands against the providers' defaults, and the replies queued. Input: one byte of options
// (bit 0 keep-alive on, bit 1 network origin 0 instead of 1), then the datagram, cut at 1472 bytes
// as the socket would. Every queued reply is then encoded; each datagram must fit 1472 bytes and
// read back as OSC.
#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscServer.h"
#include "OscServer/OscCore/internal/OscServerProbe.h"
#include "oswrap/oswrap.h"

namespace {

using JOSC::internal::OscServerProbe;

// Two meter addresses, so that meter settings can start and stop.
class FuzzMeter : public JOSC::OscMeter {
public:
    JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address) override
    {
        if (address == "uz:Current/A") index = 0;
        else if (address == "uz:Current/B") index = 1;
        else return 0x80000000u;
        return 0;
    }
    uint32_t getAddressNum() override { return 2; }
};

class NullWakeup : public VCOM::IVComWakeupFunction {
public:
    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override { return 0; }
};

// Walks a datagram the server wrote; false when the reader rejects any part of it.
bool readsBack(const std::vector<char>& datagram)
{
    try {
        const osc::ReceivedPacket packet(datagram.data(), datagram.size());
        if (!packet.IsBundle()) {
            const osc::ReceivedMessage message(packet);
            return message.AddressPattern()[0] == '/';
        }
        const osc::ReceivedBundle bundle(packet);
        for (auto it = bundle.ElementsBegin(); it != bundle.ElementsEnd(); ++it) {
            if (it->IsBundle()) return false;  // the server never nests
            const osc::ReceivedMessage message(*it);
            for (auto a = message.ArgumentsBegin(); a != message.ArgumentsEnd(); ++a) {
                if (std::string("ihsfb").find(a->TypeTag()) == std::string::npos) return false;
            }
        }
        return true;
    } catch (const osc::Exception&) {
        return false;
    }
}

// One server for the whole run: building one per input would cost more than the input.
struct Fixture {
    NullWakeup wakeup;
    JOSC::OscDeviceController device;
    JOSC::OscParameter parameters;
    FuzzMeter meters;
    JOSC::OscServer server[2];  // network origin 1 and 0

    Fixture()
    {
        (void)oswrap_init(nullptr, 0, 0);  // the sessions' timers need the OS layer's clock
        for (int i = 0; i < 2; ++i) {
            const JOSC::NetworkOrigin origin = i == 0 ? JOSC::kNetworkOrigin1 : JOSC::kNetworkOrigin0;
            if (JLIB::isFailure(OscServerProbe::setUp(server[i], 1, wakeup, device, parameters, meters, origin))) {
                __builtin_trap();
            }
        }
    }

    // The slot as a new client finds it, keep-alive on when asked.
    OscServerProbe::Slot& freshSlot(JOSC::OscServer& s, bool keepAlive)
    {
        OscServerProbe::Slot& slot = OscServerProbe::slot(s, 0);
        slot.queue.clear();
        slot.sendTimes.clear();
        (void)slot.session.stop();  // always 0
        for (uint32_t meter = 0; meter < meters.getAddressNum(); ++meter) (void)slot.session.setMeterStop(meter);
        if (keepAlive) {
            slot.session.setKeepAliveInterval(60000);
            (void)slot.session.startKeepAlive();  // always 0
        }
        return slot;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture* fixture = new Fixture;  // kept for the whole run
    if (size < 1) return 0;
    const uint8_t options = data[0];
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(size - 1, JOSC::OscServer::kDatagramSize));
    // A copy of exactly the datagram's length, so that a read past it is caught.
    const std::vector<char> datagram(data + 1, data + 1 + length);

    JOSC::OscServer& server = fixture->server[(options & 2) ? 1 : 0];
    OscServerProbe::Slot& slot = fixture->freshSlot(server, (options & 1) != 0);
    OscServerProbe::handlePacket(server, datagram.data(), length, slot);

    std::vector<char> out;
    for (int guard = 0; guard < 10000 && OscServerProbe::encodeDatagram(server, slot, out); ++guard) {
        if (out.empty() || out.size() > JOSC::OscServer::kDatagramSize || !readsBack(out)) __builtin_trap();
    }
    if (!slot.queue.empty()) __builtin_trap();
    return 0;
}
