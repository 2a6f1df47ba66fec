#pragma once
// What the two 64-character text fields share: storage, reading a token, setting from the
// three text forms and tracing. They differ only in how they print and hand the value out.
#include <cwchar>

#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementText : public ScpElement {
public:
    static constexpr uint32_t kCapacity = 64;

    void clear() override;
    // Appends the token's text (see the decoding of texts); never fails.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override;

    // Copies up to 64 characters. Returns 0.
    JLIB::JResult set(const ScpString& value);
    // 0x80000004 with the set flag off for a null text or one longer than 64 characters.
    [[nodiscard]] JLIB::JResult set(const char* latin1);
    [[nodiscard]] JLIB::JResult set(const wchar_t* text);
    const ScpString& get() const { return m_value; }
    JLIB::JResult toUpper() { return m_value.toUpper(); }
    JLIB::JResult toLower() { return m_value.toLower(); }
    void debugOutput() const;

protected:
    ScpElementText();
    ScpElementText(const char* tag, const ScpString& value);
    ScpElementText(const ScpElementText&) = default;
    ScpElementText& operator=(const ScpElementText&) = default;

    ScpString m_value;
};

}  // namespace SCP
