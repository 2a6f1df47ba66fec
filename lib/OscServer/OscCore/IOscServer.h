#pragma once
// The OSC control server as its host sees it: socket events of its own sockets, the providers'
// change callbacks, set-up, the periodic timer pass and the socket pass. Every call runs on the
// host thread that created the server.
#include <cstdint>

#include "OscServer/OscCore/IOscDeviceCallback.h"
#include "OscServer/OscCore/IOscParameterCallback.h"
#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscDeviceController;
class OscMeter;
class OscParameter;

// The number of the first index on the wire.
enum NetworkOrigin : uint32_t {
    kNetworkOrigin0 = 0,
    kNetworkOrigin1 = 1,
};

// Told of every parameter change a provider reports: the server's task id, origin, index, x, y.
using OscChangeFunction = uint32_t (*)(uint16_t taskId, uint8_t origin, uint32_t index, uint32_t x, uint32_t y);

class IOscServer : public VCOM::IVComCallback, public IOscParameterCallback, public IOscDeviceCallback {
public:
    ~IOscServer() override = default;
    // The wake-up function and the providers are the host's and outlive the server.
    [[nodiscard]] virtual JLIB::JResult initialize(uint8_t slotCount, const VCOM::VComSocketAddress& bindAddress,
                                                   uint16_t txPort, uint16_t rxPort,
                                                   VCOM::IVComWakeupFunction* wakeupFunction,
                                                   OscChangeFunction changeFunction,
                                                   OscDeviceController& deviceController, OscParameter& parameters,
                                                   OscMeter& meters, NetworkOrigin networkOrigin) = 0;
    virtual JLIB::JResult onTimer() = 0;
    virtual JLIB::JResult runSocketCallback() = 0;
};

}  // namespace JOSC
