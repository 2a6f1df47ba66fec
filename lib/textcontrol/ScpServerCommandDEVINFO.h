#pragma once
// "devinfo" reads a device information text by tag; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpServerCommandDeviceText.h"

namespace SCP {

class ScpServerCommandDEVINFO : public ScpServerCommandDeviceText {
public:
    ScpServerCommandDEVINFO() : ScpServerCommandDeviceText("devinfo", 65, false) {}
};

}  // namespace SCP
