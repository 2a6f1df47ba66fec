#pragma once
// A decimal number, read without exponent and printed with six decimals.
#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementDecimal : public ScpElement {
public:
    ScpElementDecimal() = default;
    ScpElementDecimal(const char* tag, double value) : ScpElement(tag, true), m_value(value) {}

    void clear() override;
    // 1 only for a token cut at 19 characters; 0x80000002 when anything but white space follows.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    // At most 11 characters; a longer text is cut.
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    JLIB::JResult set(double value);
    double get() const { return m_value; }

private:
    double m_value = 0.0;
};

}  // namespace SCP
