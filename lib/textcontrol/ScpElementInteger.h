#pragma once
// A signed 32-bit argument or field, read in decimal and printed with "%d".
#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementInteger : public ScpElement {
public:
    ScpElementInteger() = default;
    ScpElementInteger(const char* tag, int32_t value) : ScpElement(tag, true), m_value(value) {}

    void clear() override;
    // 1 when the token was cut at 19 characters or the number clamped; 0x80000002 when anything
    // but white space follows the number.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    JLIB::JResult set(int32_t value);
    int32_t get() const { return m_value; }

protected:
    // The shared number steps in the given base; writes the value, returns the status.
    JLIB::JResult decodeNumber(const ScpString& token, int base);

    int32_t m_value = 0;
};

}  // namespace SCP
