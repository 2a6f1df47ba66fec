#pragma once
// One character held as a one-byte code (0 to 0xFF), with the conversions of JUnicode; what
// cannot be held becomes a space (0x20), U+FFFD included. A plain value.
#include <cstdint>

#include "jlib/JUnicode.h"
#include "jlib/jlib_result.h"

namespace JLIB {

class JChar {
public:
    static constexpr uint8_t kReplacement = 0x20;

    JChar() = default;
    JChar(char latin1) { (void)fromLatin1(latin1); }   // always 0
    JChar(wchar_t unit) { (void)fromWChar(unit); }      // out of range leaves a space
    JChar(uint32_t code) { (void)set(code); }           // out of range leaves a space

    // From 0x100 up: a space with 0x80000007.
    JResult set(uint32_t code);
    uint32_t get() const { return m_code; }

    JResult fromAscii(char c);      // above 0x7F: a space with 0x80000003
    JResult fromLatin1(char c);
    JResult fromWChar(wchar_t unit);
    // A combined surrogate pair leaves a space (*used 2, result 6).
    JResult fromWChar(wchar_t first, wchar_t next, uint32_t* used = nullptr);
    JResult fromMBCS(const char* bytes, uint32_t length); // not provided: 0x80000008
    // As JUnicode; a decoded code point from 0x100 up leaves a space with 0x80000007.
    JResult fromUTF8(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);
    JResult fromUTF16BE(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);
    JResult fromUTF16LE(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);

    JResult toAscii(char& out, char replacement) const;
    JResult toLatin1(char& out, char replacement) const;
    JResult toMBCS(char* buffer, uint32_t length, uint32_t* written = nullptr) const; // 0x80000008
    JResult toWChar(wchar_t& out) const;
    JResult toWChar(wchar_t& first, wchar_t& second, uint32_t* count = nullptr) const;
    JResult toUTF8(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;
    JResult toUTF16BE(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;
    JResult toUTF16LE(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;

    bool isNull() const { return m_code == 0; }
    bool isBlank() const { return asUnicode().isBlank(); }
    bool isSpace() const { return asUnicode().isSpace(); }
    bool isPunct() const { return asUnicode().isPunct(); }
    bool isPrint() const { return asUnicode().isPrint(); }
    bool isDigit() const { return asUnicode().isDigit(); }
    bool isHexDigit() const { return asUnicode().isHexDigit(); }
    bool isAlNum() const { return asUnicode().isAlNum(); }
    bool isAlphabet() const { return asUnicode().isAlphabet(); }
    bool isUpper() const { return asUnicode().isUpper(); }
    bool isLower() const { return asUnicode().isLower(); }

    JResult toUpper();
    JResult toLower();
    uint32_t getUpperChar() const { return asUnicode().getUpperChar(); }
    uint32_t getLowerChar() const { return asUnicode().getLowerChar(); }

    static bool isHighSurrogate(uint16_t unit) { return JUnicode::isHighSurrogate(unit); }
    static bool isLowSurrogate(uint16_t unit) { return JUnicode::isLowSurrogate(unit); }
    static bool isSurrogate(uint16_t unit) { return JUnicode::isSurrogate(unit); }
    // A one-byte code is never a surrogate.
    bool isHighSurrogate() const { return false; }
    bool isLowSurrogate() const { return false; }
    bool isSurrogate() const { return false; }

    bool operator==(const JChar& other) const { return m_code == other.m_code; }
    bool operator!=(const JChar& other) const { return m_code != other.m_code; }
    bool operator<(const JChar& other) const { return m_code < other.m_code; }
    bool operator>(const JChar& other) const { return m_code > other.m_code; }

private:
    JUnicode asUnicode() const { return JUnicode(static_cast<uint32_t>(m_code)); }
    // Takes a decoded character: one from 0x100 up (U+FFFD included) becomes a space, and a
    // successful decode then reports 0x80000007.
    JResult takeDecoded(const JUnicode& decoded, JResult result);

    uint8_t m_code = 0;
};

}  // namespace JLIB
