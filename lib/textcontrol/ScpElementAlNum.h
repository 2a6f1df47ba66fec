#pragma once
// A text of at most 64 characters, printed bare in raw form and in double quotes in JSON.
#include <cwchar>

#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementAlNum : public ScpElement {
public:
    static constexpr uint32_t kCapacity = 64;

    ScpElementAlNum();
    ScpElementAlNum(const char* tag, const ScpString& value);
    ScpElementAlNum(const ScpElementAlNum&) = default;
    ScpElementAlNum& operator=(const ScpElementAlNum&) = default;

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
    // The value as NUL-terminated Latin-1, characters above 0xFF as blanks: 3 when it was cut,
    // 0x80000004 for a null buffer or size 0.
    JLIB::JResult get(char* buffer, uint32_t size) const;
    JLIB::JResult toUpper() { return m_value.toUpper(); }
    JLIB::JResult toLower() { return m_value.toLower(); }
    void debugOutput() const;

private:
    ScpString m_value;
};

}  // namespace SCP
