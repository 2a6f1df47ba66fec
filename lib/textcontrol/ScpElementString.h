#pragma once
// A text of at most 64 characters, printed in double quotes in both forms.
#include <cwchar>

#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementString : public ScpElement {
public:
    static constexpr uint32_t kCapacity = 64;

    ScpElementString();
    ScpElementString(const char* tag, const ScpString& value);
    ScpElementString(const ScpElementString&) = default;
    ScpElementString& operator=(const ScpElementString&) = default;

    void clear() override;
    // Appends the token's text (see the decoding of texts); never fails.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;
    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    // Copies up to 64 characters. Returns 0.
    JLIB::JResult set(const ScpString& value);
    // 0x80000004 with the set flag off for a null text or one longer than 64 characters.
    [[nodiscard]] JLIB::JResult set(const char* latin1);
    [[nodiscard]] JLIB::JResult set(const wchar_t* text);
    const ScpString& get() const { return m_value; }
    JLIB::JResult get(ScpString& out) const;
    JLIB::JResult toUpper() { return m_value.toUpper(); }
    JLIB::JResult toLower() { return m_value.toLower(); }
    void debugOutput() const;

private:
    ScpString m_value;
};

}  // namespace SCP
