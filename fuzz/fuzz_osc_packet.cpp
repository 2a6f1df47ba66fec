// Feeds arbitrary bytes to the OSC server as one datagram from one client, through the
// per-datagram handling without sockets: the packet and bundle walk, address parsing, the 33
// commands against the providers' defaults or the device's own providers over the device database
// built from the shipped definitions, and the replies queued. Input: one byte of options (bit 0
// keep-alive on, bit 1 network origin 0 instead of 1, bit 2 the device's providers), then the
// datagram, cut at 1472 bytes as the socket would. Every queued reply is then encoded; each datagram must fit 1472 bytes and
// read back as OSC.
#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscServer.h"
#include "OscServer/OscCore/internal/OscServerProbe.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/TMSystem.h"
#include "common/Lpc/LpcOscDeviceController.h"
#include "common/Lpc/LpcOscMeter.h"
#include "common/Lpc/LpcOscParameter.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "jlib/JHeap.h"
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

// The device database (instance 10) from the definition files shipped with the engine, and the
// protocol memory over it; the device's providers read and write it.
struct DeviceDatabase {
    DeviceDatabase()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        // This file lies in fuzz/; the files in main/app/editor/SystemData/Descriptor.
        const std::filesystem::path folder =
            std::filesystem::path(__FILE__).parent_path().parent_path() / "main/app/editor/SystemData/Descriptor";
        // Held here rather than made by the registry, so every block stays reachable for the
        // leak check.
        if (JLIB::isFailure(db.initialize(10, "AudioCompo", &lock)) || JLIB::isFailure(PDB::gPDBCollection.addPDB(db))) {
            __builtin_trap();
        }
        const char* const types[] = {"uzCurrent",   "uzSetup",        "uzVolatile",  "uzSceneStatus",
                                     "uzSceneList", "uzPresetStatus", "uzPresetList"};
        for (uint32_t uid = 0; uid < std::size(types); ++uid) {
            LPC::LpcUzParameterStrategyBase* strategy = nullptr;
            if (uid == 0) strategy = &LPC::gUzParameterStrategyCurrent;
            if (uid == 1) strategy = &LPC::gUzParameterStrategySetup;
            std::ifstream in(folder / (std::string(types[uid]) + "_1.json"), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.str().c_str());
            (void)info.setParameterStrategy(strategy);  // always 0
            if (PDB::getComponentInfoRepository().addComponentInfo(info) != 0 ||
                JLIB::isFailure(db.addComponent(PDB::UniqId(uid), types[uid], 1, 0, 0, 0)) ||
                (strategy && strategy->initialize(db) != 0) ||
                JLIB::isFailure(db.setDefault(db.getComponentIndex(PDB::UniqId(uid)), 255))) {
                __builtin_trap();
            }
        }
        // Settings at their defaults (no file in the working folder is needed for that).
        (void)LPC::LpcThreadCommon::getInstance().initialize();
        if (JLIB::isFailure(LPC::LpcUzProtoMemory::getInstance().initialize())) __builtin_trap();
    }

    PDB::SimpleReadWriteMutex lock;
    PDB::ParameterDB db;
};

// One server each for the whole run: building one per input would cost more than the input.
struct Fixture {
    TMS::TMSystem system;  // the command events address threads by name; none is there to take them
    NullWakeup wakeup;
    JOSC::OscDeviceController device;
    JOSC::OscParameter parameters;
    FuzzMeter meters;
    DeviceDatabase database;
    LPC::LpcOscDeviceController deviceController;
    LPC::LpcOscParameter deviceParameters;
    LPC::LpcOscMeter deviceMeters;
    JOSC::OscServer server[3];  // network origin 1 and 0 on the defaults; the device's providers

    Fixture()
    {
        (void)oswrap_init(nullptr, 0, 0);  // the sessions' timers need the OS layer's clock
        for (int i = 0; i < 2; ++i) {
            const JOSC::NetworkOrigin origin = i == 0 ? JOSC::kNetworkOrigin1 : JOSC::kNetworkOrigin0;
            if (JLIB::isFailure(OscServerProbe::setUp(server[i], 1, wakeup, device, parameters, meters, origin))) {
                __builtin_trap();
            }
        }
        if (JLIB::isFailure(OscServerProbe::setUp(server[2], 1, wakeup, deviceController, deviceParameters,
                                                  deviceMeters, JOSC::kNetworkOrigin1))) {
            __builtin_trap();
        }
    }

    // The slot as a new client finds it, keep-alive on when asked.
    OscServerProbe::Slot& freshSlot(JOSC::OscServer& s, JOSC::OscMeter& m, bool keepAlive)
    {
        OscServerProbe::Slot& slot = OscServerProbe::slot(s, 0);
        slot.queue.clear();
        slot.sendTimes.clear();
        (void)slot.session.stop();  // always 0
        for (uint32_t meter = 0; meter < m.getAddressNum(); ++meter) (void)slot.session.setMeterStop(meter);
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

    const bool deviceProviders = (options & 4) != 0;
    JOSC::OscServer& server = fixture->server[deviceProviders ? 2 : (options & 2) ? 1 : 0];
    JOSC::OscMeter& meters = deviceProviders ? static_cast<JOSC::OscMeter&>(fixture->deviceMeters) : fixture->meters;
    OscServerProbe::Slot& slot = fixture->freshSlot(server, meters, (options & 1) != 0);
    OscServerProbe::handlePacket(server, datagram.data(), length, slot);

    std::vector<char> out;
    for (int guard = 0; guard < 10000 && OscServerProbe::encodeDatagram(server, slot, out); ++guard) {
        if (out.empty() || out.size() > JOSC::OscServer::kDatagramSize || !readsBack(out)) __builtin_trap();
    }
    if (!slot.queue.empty()) __builtin_trap();
    return 0;
}
