#pragma once
// How a device controller reports a status change to the OSC server. Called on the server's host
// thread only.
#include <cstdint>

namespace JOSC {

class IOscDeviceCallback {
public:
    // Both texts plain and zero-terminated, owned by the caller.
    virtual uint32_t onDeviceStatusChanged(const char* key, const char* value) = 0;
    virtual ~IOscDeviceCallback() = default;
};

}  // namespace JOSC
