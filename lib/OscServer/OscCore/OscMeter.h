#pragma once
// Base of a meter provider: meter addresses (each known by a u32 index), their attributes and
// their current bytes. Every operation has a harmless default (result 0, outputs unchanged). Used
// on the OSC server's host thread.
#include <cstdint>
#include <string>

#include "OscServer/OscCore/OscMeterAttrib.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscMeter {
public:
    OscMeter() = default;
    OscMeter(const OscMeter&) = delete;
    OscMeter& operator=(const OscMeter&) = delete;
    virtual ~OscMeter();

    [[nodiscard]] virtual JLIB::JResult initialize();
    [[nodiscard]] virtual JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address);
    [[nodiscard]] virtual JLIB::JResult getAddress(std::string& address, uint32_t index);
    // The number of meter addresses; it sizes every session's meter list. Base: 0.
    virtual uint32_t getAddressNum();
    // The bytes stay the provider's and valid until the caller has copied them.
    [[nodiscard]] virtual JLIB::JResult getMeters(const uint8_t*& bytes, uint32_t& count, uint32_t index);
    [[nodiscard]] virtual JLIB::JResult getAttrib(OscMeterAttrib& attrib, uint32_t index);
};

}  // namespace JOSC
