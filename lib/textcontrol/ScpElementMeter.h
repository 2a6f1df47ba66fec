#pragma once
// One meter byte, read in hexadecimal without a "0x" prefix and printed as two lower-case digits.
#include "textcontrol/ScpElementInteger.h"

namespace SCP {

class ScpElementMeter : public ScpElementInteger {
public:
    ScpElementMeter() = default;
    ScpElementMeter(const char* tag, uint8_t value) : ScpElementInteger(tag, value) {}

    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;
    void debugOutput() const;
};

}  // namespace SCP
