#pragma once
// "devstatus" reads a device status text by tag; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpServerCommandDeviceText.h"

namespace SCP {

class ScpServerCommandDEVSTATUS : public ScpServerCommandDeviceText {
public:
    ScpServerCommandDEVSTATUS() : ScpServerCommandDeviceText("devstatus", 201, true) {}
};

}  // namespace SCP
