#pragma once
// The meter model a server owner supplies. Every operation answers 0 and leaves its outputs as
// they were by default. Called on the server's thread.
#include <cstdint>

#include "textcontrol/ScpMeterAttrib.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpMeter {
public:
    ScpMeter() = default;
    ScpMeter(const ScpMeter&) = delete;
    ScpMeter& operator=(const ScpMeter&) = delete;
    virtual ~ScpMeter();

    virtual uint32_t initialize();
    // A failure means an unknown address.
    virtual uint32_t getIndexFromAddress(uint32_t& index, const ScpString& address);
    virtual uint32_t getAddress(ScpString& address, uint32_t index);
    // A count: the server sizes each session's subscriptions with it.
    virtual uint32_t getAddressNum();
    // One byte per value; the pointer must reach at least the num that getAttrib reports and
    // stay valid until the next call. The count out is not read by the server.
    virtual uint32_t getMeters(const uint8_t*& meters, uint32_t& count, uint32_t index);
    virtual uint32_t getAttrib(ScpMeterAttrib& attrib, uint32_t index);
};

}  // namespace SCP
