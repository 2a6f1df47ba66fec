#pragma once
// The attributes of one meter address as a meter provider reports them. Plain value.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace JOSC {

class OscMeterAttrib {
public:
    // Words: "level", "hold", "gr", "vu".
    enum Type : int32_t {
        kTypeLevel = 0,
        kTypeHold = 1,
        kTypeGainReduction = 2,
        kTypeVu = 3,
    };

    OscMeterAttrib() { clear(); }

    // Empty address, count 0, type 0.
    void clear();
    // The type's word, "?" outside 0 to 3.
    const char* typeToString() const;
    // As OscAddressAttrib::stringToType.
    [[nodiscard]] static JLIB::JResult stringToType(Type& value, const char* text);

    std::string address;
    uint32_t count = 0;  // meter bytes the address delivers
    Type type = kTypeLevel;
};

}  // namespace JOSC
