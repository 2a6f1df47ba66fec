#include "jlib/JUnicode.h"

namespace JLIB {

namespace {

// Sequence length by lead byte - 0x80. 0xC0 and 0xC1 would only start overlong two-byte
// forms, so they are refused like stray continuation bytes.
constexpr uint8_t kUTF8Length[128] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x90
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xA0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xB0
    0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 0xC0
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 0xD0
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  // 0xE0
    4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 0, 0,  // 0xF0
};

// Bits of the lead byte that belong to the value, by sequence length 2 to 6.
constexpr uint8_t kUTF8LeadMask[7] = {0, 0, 0x1F, 0x0F, 0x07, 0x03, 0x01};

bool inAsciiRange(uint32_t c, uint32_t low, uint32_t high) { return c >= low && c <= high; }

// A wide unit is a surrogate only inside the 16-bit range: with 4-byte wide characters a
// plane-1 code point must not pass for one by its low 16 bits.
bool isHighSurrogateUnit(wchar_t unit)
{
    const auto u = static_cast<uint32_t>(unit);
    return u <= 0xFFFF && JUnicode::isHighSurrogate(static_cast<uint16_t>(u));
}

bool isLowSurrogateUnit(wchar_t unit)
{
    const auto u = static_cast<uint32_t>(unit);
    return u <= 0xFFFF && JUnicode::isLowSurrogate(static_cast<uint16_t>(u));
}

uint32_t combineSurrogates(uint32_t high, uint32_t low) { return 0x10000 + (((high & 0x3FF) << 10) | (low & 0x3FF)); }

void putUnit(unsigned char* out, uint16_t unit, bool bigEndian)
{
    const auto hi = static_cast<unsigned char>(unit >> 8);
    const auto lo = static_cast<unsigned char>(unit);
    out[0] = bigEndian ? hi : lo;
    out[1] = bigEndian ? lo : hi;
}

uint16_t getUnit(const unsigned char* in, bool bigEndian)
{
    return static_cast<uint16_t>(bigEndian ? (in[0] << 8) | in[1] : (in[1] << 8) | in[0]);
}

void setCount(uint32_t* count, uint32_t value)
{
    if (count) *count = value;
}

}  // namespace

JResult JUnicode::set(uint32_t code)
{
    if (code <= kMaxCode) {
        m_code = code;
        return kOk;
    }
    m_code = kReplacement;
    return kUnicodeOutOfRange;
}

JResult JUnicode::fromAscii(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) {
        m_code = kReplacement;
        return kUnicodeNotRepresentable;
    }
    m_code = b;
    return kOk;
}

JResult JUnicode::fromLatin1(char c)
{
    m_code = static_cast<unsigned char>(c);
    return kOk;
}

JResult JUnicode::fromWChar(wchar_t unit) { return set(static_cast<uint32_t>(unit)); }

JResult JUnicode::fromWChar(wchar_t first, wchar_t next, uint32_t* used)
{
    if (isHighSurrogateUnit(first) && isLowSurrogateUnit(next)) {
        m_code = combineSurrogates(static_cast<uint32_t>(first), static_cast<uint32_t>(next));
        setCount(used, 2);
        return kUnicodePair;
    }
    setCount(used, 1);
    return set(static_cast<uint32_t>(first));
}

JResult JUnicode::fromMBCS(const char* bytes, uint32_t length) { return kUnicodeNoCodePage; }

JResult JUnicode::fromUTF8(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    if (!bytes) {
        setCount(used, 0);
        return kUnicodeNullBuffer;
    }
    m_code = kReplacement; // every failure below leaves the replacement
    if (length == 0) {
        setCount(used, 0);
        return kUnicodeTooShort;
    }
    const uint8_t lead = bytes[0];
    if (lead < 0x80) {
        m_code = lead;
        setCount(used, 1);
        return kOk;
    }
    const uint32_t sequence = kUTF8Length[lead - 0x80];
    if (sequence == 0) {
        setCount(used, 1);
        return kUnicodeInvalid;
    }
    if (length < sequence) {
        setCount(used, 0);
        return kUnicodeTooShort;
    }
    uint32_t value = lead & kUTF8LeadMask[sequence];
    for (uint32_t i = 1; i < sequence; ++i) {
        // A NUL ends the text: never read or report past it.
        if (bytes[i] == 0) {
            setCount(used, 1);
            return kUnicodeInvalid;
        }
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    setCount(used, sequence);
    return set(value);
}

JResult JUnicode::fromUTF16BE(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    return fromUTF16(bytes, length, used, true);
}

JResult JUnicode::fromUTF16LE(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    return fromUTF16(bytes, length, used, false);
}

JResult JUnicode::fromUTF16(const unsigned char* bytes, uint32_t length, uint32_t* used, bool bigEndian)
{
    setCount(used, 0);
    if (!bytes) return kUnicodeNullBuffer;
    if (length < 2) return kUnicodeTooShort;
    const uint16_t first = getUnit(bytes, bigEndian);
    if (!isSurrogate(first)) {
        m_code = first;
        setCount(used, 2);
        return kOk;
    }
    if (isLowSurrogate(first)) {
        m_code = kReplacement;
        setCount(used, 2);
        return kUnicodeInvalid;
    }
    if (length < 4) return kUnicodeTooShort;
    m_code = combineSurrogates(first, getUnit(bytes + 2, bigEndian));
    setCount(used, 4);
    return kOk;
}

JResult JUnicode::toAscii(char& out, char replacement) const
{
    if (m_code < 0x80) {
        out = static_cast<char>(m_code);
        return kOk;
    }
    out = replacement;
    return kUnicodeNotRepresentable;
}

JResult JUnicode::toLatin1(char& out, char replacement) const
{
    if (m_code < 0x100) {
        out = static_cast<char>(static_cast<unsigned char>(m_code));
        return kOk;
    }
    out = replacement;
    return kUnicodeNotRepresentable;
}

JResult JUnicode::toMBCS(char* buffer, uint32_t length, uint32_t* written) const
{
    setCount(written, 0);
    return kUnicodeNoCodePage;
}

JResult JUnicode::toWChar(wchar_t& out) const
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (m_code >= 0x10000) {
            out = static_cast<wchar_t>(kReplacement);
            return kUnicodeNotRepresentable;
        }
    }
    out = static_cast<wchar_t>(m_code);
    return kOk;
}

JResult JUnicode::toWChar(wchar_t& first, wchar_t& second, uint32_t* count) const
{
    second = 0;
    if constexpr (sizeof(wchar_t) == 2) {
        if (m_code >= 0x10000) {
            const uint32_t v = m_code - 0x10000;
            first = static_cast<wchar_t>(0xD800 | ((v >> 10) & 0x3FF));
            second = static_cast<wchar_t>(0xDC00 | (v & 0x3FF));
            setCount(count, 2);
            return kUnicodePair;
        }
    }
    first = static_cast<wchar_t>(m_code);
    setCount(count, 1);
    return kOk;
}

JResult JUnicode::toUTF8(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    if (!buffer) return kUnicodeNullBuffer;
    uint32_t count = 4;
    if (m_code < 0x80) {
        count = 1;
    } else if (m_code <= 0x7FF) {
        count = 2;
    } else if (m_code <= 0xFFFF) {
        count = 3;
    }
    if (length < count) {
        setCount(written, 0);
        return kUnicodeNoRoom;
    }
    if (count == 1) {
        buffer[0] = static_cast<unsigned char>(m_code);
        setCount(written, 1);
        return kOk;
    }
    static constexpr uint8_t kLeadMark[5] = {0, 0, 0xC0, 0xE0, 0xF0};
    uint32_t rest = m_code;
    for (uint32_t i = count - 1; i > 0; --i) {
        buffer[i] = static_cast<unsigned char>(0x80 | (rest & 0x3F));
        rest >>= 6;
    }
    buffer[0] = static_cast<unsigned char>(kLeadMark[count] | rest);
    setCount(written, count);
    return kOk;
}

JResult JUnicode::toUTF16BE(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    return toUTF16(buffer, length, written, true);
}

JResult JUnicode::toUTF16LE(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    return toUTF16(buffer, length, written, false);
}

JResult JUnicode::toUTF16(unsigned char* buffer, uint32_t length, uint32_t* written, bool bigEndian) const
{
    if (!buffer) return kUnicodeNullBuffer;
    const uint32_t count = m_code >= 0x10000 ? 4 : 2;
    if (length < count) {
        setCount(written, 0);
        return kUnicodeNoRoom;
    }
    if (count == 4) {
        const uint32_t v = m_code - 0x10000;
        putUnit(buffer, static_cast<uint16_t>(0xD800 + (v >> 10)), bigEndian);
        putUnit(buffer + 2, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)), bigEndian);
    } else {
        putUnit(buffer, static_cast<uint16_t>(m_code), bigEndian);
    }
    setCount(written, count);
    return kOk;
}

bool JUnicode::isBlank() const { return m_code == ' ' || m_code == '\t'; }
bool JUnicode::isSpace() const { return m_code == ' ' || inAsciiRange(m_code, 0x09, 0x0D); }
bool JUnicode::isDigit() const { return inAsciiRange(m_code, '0', '9'); }
bool JUnicode::isHexDigit() const
{
    return isDigit() || inAsciiRange(m_code, 'A', 'F') || inAsciiRange(m_code, 'a', 'f');
}
bool JUnicode::isUpper() const { return inAsciiRange(m_code, 'A', 'Z'); }
bool JUnicode::isLower() const { return inAsciiRange(m_code, 'a', 'z'); }
bool JUnicode::isAlphabet() const { return isUpper() || isLower(); }
bool JUnicode::isAlNum() const { return isDigit() || isAlphabet(); }
bool JUnicode::isPrint() const { return inAsciiRange(m_code, 0x20, 0x7E) || m_code >= 0x80; }
bool JUnicode::isPunct() const { return inAsciiRange(m_code, 0x20, 0x7E) && !isSpace() && !isAlNum(); }

JResult JUnicode::toUpper()
{
    m_code = getUpperChar();
    return kOk;
}

JResult JUnicode::toLower()
{
    m_code = getLowerChar();
    return kOk;
}

uint32_t JUnicode::getUpperChar() const { return isLower() ? m_code - 0x20 : m_code; }
uint32_t JUnicode::getLowerChar() const { return isUpper() ? m_code + 0x20 : m_code; }

}  // namespace JLIB
