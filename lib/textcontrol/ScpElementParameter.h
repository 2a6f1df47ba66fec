#pragma once
// A parameter value: an Int32 or UInt32 read from a number, or a String read from a double-quoted
// text of fewer than 64 characters.
#include "jlib/JVariant.h"
#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementParameter : public ScpElement {
public:
    static constexpr uint32_t kTextCapacity = 64;

    ScpElementParameter();
    ScpElementParameter(const char* tag, const JVariant& value);

    // Set flag off and the value invalid.
    void clear() override;
    // 0x80000004 empty token; 0x80000002 no closing quote or trailing characters after a number;
    // 0x80000006 a text of 64 characters or more; else the number's status.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    // 0x80000000 and nothing written for a value other than Int32, UInt32 or String.
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    // Int32, UInt32 and String are taken; anything else leaves the value invalid and unset. Returns 0.
    JLIB::JResult set(const JVariant& value);
    // 0, or 0x80000000 with the target invalid when the value is of none of those types.
    JLIB::JResult get(JVariant& out) const;
    const JVariant& get() const { return m_value; }

private:
    JLIB::JResult decodeText(const ScpString& token);

    JVariant m_value;
};

}  // namespace SCP
