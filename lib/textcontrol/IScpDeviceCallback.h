#pragma once
// How a device controller reports a changed device status to the server. Server's thread only.
#include <cstdint>
#include <cwchar>

namespace SCP {

class IScpDeviceCallback {
public:
    virtual uint32_t onDeviceStatusChanged(const wchar_t* tag, const wchar_t* data) = 0;
    virtual ~IScpDeviceCallback() = default;
};

}  // namespace SCP
