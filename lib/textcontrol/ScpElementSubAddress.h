#pragma once
// A sub-address: a number, or the word "all" in any case for every sub-address.
#include "textcontrol/ScpElementInteger.h"

namespace SCP {

class ScpElementSubAddress : public ScpElementInteger {
public:
    ScpElementSubAddress() = default;
    ScpElementSubAddress(const char* tag, int32_t value) : ScpElementInteger(tag, value) {}

    void clear() override;
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    // "all" bare in raw form and in double quotes in JSON when the all flag is on.
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    // Value 0, set flag and all flag on. Returns 0.
    JLIB::JResult setAll();
    bool isAll() const { return m_all; }
    void debugOutput() const;

private:
    bool m_all = false;
};

}  // namespace SCP
