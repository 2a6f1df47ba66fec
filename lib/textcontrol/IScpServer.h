#pragma once
// What an owner sees of a text control server: the socket events, the model callbacks, setup and
// the periodic work. Owner's thread only, except onParameterChanged.
#include <cstdint>

#include "VUviRido/Socket/IVCom.h"
#include "jlib/JHeap.h"
#include "textcontrol/IScpDeviceCallback.h"
#include "textcontrol/IScpParameterCallback.h"
#include "textcontrol/ScpDeviceController.h"
#include "textcontrol/ScpMeter.h"
#include "textcontrol/ScpParameter.h"

namespace SCP {

using ScpNotifyFunction = uint32_t (*)(uint16_t taskId, uint8_t session, uint32_t, uint32_t, uint32_t);

class IScpServer : public VCOM::IVComCallback, public IScpParameterCallback, public IScpDeviceCallback {
public:
    ~IScpServer() override = default;
    virtual uint32_t initialize(ScpNotifyFunction notify, VCOM::IVCom& socket, ScpDeviceController& controller,
                                ScpParameter& parameters, ScpMeter& meters) = 0;
    virtual uint32_t onTimer() = 0;
};

// Sets the SCP heap, then a server on it; null when the heap is exhausted.
IScpServer* createScpServer(JLIB::HeapId heap);
// 0, or 0x80000000 for null.
uint32_t destroyScpServer(IScpServer* server);

}  // namespace SCP
