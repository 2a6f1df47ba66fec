#pragma once
// One token of a console command line as command handlers receive it: a borrowed text (or none)
// with case-insensitive comparison and number conversions. Copying copies the pointer only.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DBGC {

class StringElement {
public:
    StringElement() = default;
    // The text is borrowed and must outlive the token.
    StringElement(const char* text) : m_pText(text) {}
    StringElement(const StringElement& other) = default;
    virtual ~StringElement() = default;
    StringElement& operator=(const StringElement& other) = default;
    StringElement& operator=(const char* text)
    {
        m_pText = text;
        return *this;
    }

    operator const char*() const { return m_pText; }
    const char* c_str() const { return m_pText; }
    // The first character; 0 without a text.
    char operator*() const { return m_pText ? *m_pText : '\0'; }
    // Characters up to the NUL; 0 without a text.
    uint32_t length() const;

    // Parse the whole text in the given base; 0, or 0x80000000 without a text or when the parser
    // fails. *value receives the parsed value (0 without a text).
    JLIB::JResult toUInt(int base, uint32_t* value) const;
    JLIB::JResult toInt(int base, int32_t* value) const;

    // The value in base 16, 10 or 2, whatever the parse result.
    uint32_t hex2UInt() const;
    uint32_t dec2UInt() const;
    uint32_t bit2UInt() const;
    int32_t hex2Int() const;
    int32_t dec2Int() const;
    int32_t bit2Int() const;
    // As toUInt in base 10.
    JLIB::JResult dec2UInt(uint32_t* value) const;

    // False when either side has no text; otherwise equal length and characters, ignoring ASCII
    // case unless caseSensitive.
    bool isEqual(const char* text, bool caseSensitive) const;
    bool operator==(const char* text) const { return isEqual(text, false); }
    bool operator!=(const char* text) const { return !isEqual(text, false); }

private:
    const char* m_pText = nullptr;
};

}  // namespace DBGC
