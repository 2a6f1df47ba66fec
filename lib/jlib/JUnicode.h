#pragma once
// One character held as a Unicode code point (0 to 0x10FFFF; U+FFFD for what cannot be held),
// with conversions from and to ASCII, Latin-1, wide characters, UTF-8 and UTF-16, and ASCII
// classes and case. A plain value: any task may use its own copy.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace JLIB {

// Results of the character and string conversions.
constexpr JResult kUnicodePair = 6;                     // two wide units combined or produced
constexpr JResult kUnicodeNullBuffer = 0x80000001u;
constexpr JResult kUnicodeNoRoom = 0x80000002u;
constexpr JResult kUnicodeNotRepresentable = 0x80000003u;
constexpr JResult kUnicodeTooShort = 0x80000004u;
constexpr JResult kUnicodeInvalid = 0x80000005u;       // bad sequence; at string level nothing to do
constexpr JResult kUnicodeOutOfRange = 0x80000007u;
constexpr JResult kUnicodeNoCodePage = 0x80000008u;

class JUnicode {
public:
    static constexpr uint32_t kReplacement = 0xFFFD;
    static constexpr uint32_t kMaxCode = 0x10FFFF;

    JUnicode() = default;
    JUnicode(char latin1) { (void)fromLatin1(latin1); }   // always 0
    JUnicode(wchar_t unit) { (void)fromWChar(unit); }      // out of range leaves U+FFFD
    JUnicode(uint32_t code) { (void)set(code); }           // out of range leaves U+FFFD

    // Out of range: U+FFFD with 0x80000007.
    JResult set(uint32_t code);
    uint32_t get() const { return m_code; }

    JResult fromAscii(char c);      // above 0x7F: U+FFFD with 0x80000003
    JResult fromLatin1(char c);
    JResult fromWChar(wchar_t unit);
    // Combines a high and a low surrogate into one character (*used 2, result 6); otherwise
    // takes `first` alone (*used 1).
    JResult fromWChar(wchar_t first, wchar_t next, uint32_t* used = nullptr);
    JResult fromMBCS(const char* bytes, uint32_t length); // not provided: 0x80000008
    // Decode one character from at most `length` bytes; *used tells how many were consumed.
    // Failures leave U+FFFD, except a null buffer, which changes nothing.
    JResult fromUTF8(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);
    // Failures leave U+FFFD, except a null buffer or too few bytes, which change nothing.
    JResult fromUTF16BE(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);
    JResult fromUTF16LE(const unsigned char* bytes, uint32_t length, uint32_t* used = nullptr);

    JResult toAscii(char& out, char replacement) const;   // 0x80000003 when replaced
    JResult toLatin1(char& out, char replacement) const;  // 0x80000003 when replaced
    JResult toMBCS(char* buffer, uint32_t length, uint32_t* written = nullptr) const; // 0x80000008
    // A 2-byte wide character cannot hold a code point from 0x10000 up: U+FFFD, 0x80000003.
    JResult toWChar(wchar_t& out) const;
    // With a 2-byte wide character a code point from 0x10000 up becomes a surrogate pair
    // (*count 2, result 6); otherwise one unit (*count 1).
    JResult toWChar(wchar_t& first, wchar_t& second, uint32_t* count = nullptr) const;
    // Encode into at most `length` bytes: 0x80000002 with *written 0 when it does not fit.
    JResult toUTF8(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;
    JResult toUTF16BE(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;
    JResult toUTF16LE(unsigned char* buffer, uint32_t length, uint32_t* written = nullptr) const;

    bool isNull() const { return m_code == 0; }
    // ASCII classes; every code from 0x80 up counts as printable.
    bool isBlank() const;
    bool isSpace() const;
    bool isPunct() const;
    bool isPrint() const;
    bool isDigit() const;
    bool isHexDigit() const;
    bool isAlNum() const;
    bool isAlphabet() const;
    bool isUpper() const;
    bool isLower() const;

    // Only ASCII letters change case.
    JResult toUpper();
    JResult toLower();
    uint32_t getUpperChar() const;
    uint32_t getLowerChar() const;

    static bool isHighSurrogate(uint16_t unit) { return (unit & 0xFC00) == 0xD800; }
    static bool isLowSurrogate(uint16_t unit) { return (unit & 0xFC00) == 0xDC00; }
    static bool isSurrogate(uint16_t unit) { return (unit & 0xF800) == 0xD800; }
    bool isHighSurrogate() const { return m_code < 0x10000 && isHighSurrogate(static_cast<uint16_t>(m_code)); }
    bool isLowSurrogate() const { return m_code < 0x10000 && isLowSurrogate(static_cast<uint16_t>(m_code)); }
    bool isSurrogate() const { return m_code < 0x10000 && isSurrogate(static_cast<uint16_t>(m_code)); }

    bool operator==(const JUnicode& other) const { return m_code == other.m_code; }
    bool operator!=(const JUnicode& other) const { return m_code != other.m_code; }
    bool operator<(const JUnicode& other) const { return m_code < other.m_code; }
    bool operator>(const JUnicode& other) const { return m_code > other.m_code; }

private:
    JResult fromUTF16(const unsigned char* bytes, uint32_t length, uint32_t* used, bool bigEndian);
    JResult toUTF16(unsigned char* buffer, uint32_t length, uint32_t* written, bool bigEndian) const;

    uint32_t m_code = 0;
};

}  // namespace JLIB
