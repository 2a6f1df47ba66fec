#include "jlib/JChar.h"

namespace JLIB {

JResult JChar::set(uint32_t code)
{
    if (code < 0x100) {
        m_code = static_cast<uint8_t>(code);
        return kOk;
    }
    m_code = kReplacement;
    return kUnicodeOutOfRange;
}

JResult JChar::fromAscii(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) {
        m_code = kReplacement;
        return kUnicodeNotRepresentable;
    }
    m_code = b;
    return kOk;
}

JResult JChar::fromLatin1(char c)
{
    m_code = static_cast<unsigned char>(c);
    return kOk;
}

JResult JChar::fromWChar(wchar_t unit) { return set(static_cast<uint32_t>(unit)); }

JResult JChar::fromWChar(wchar_t first, wchar_t next, uint32_t* used)
{
    JUnicode decoded;
    const JResult r = decoded.fromWChar(first, next, used);
    if (r == kUnicodePair) {
        m_code = kReplacement; // a combined pair is always above 0xFF
        return r;
    }
    return set(static_cast<uint32_t>(first));
}

JResult JChar::fromMBCS(const char* bytes, uint32_t length) { return kUnicodeNoCodePage; }

JResult JChar::takeDecoded(const JUnicode& decoded, JResult result)
{
    if (decoded.get() < 0x100) {
        m_code = static_cast<uint8_t>(decoded.get());
        return result;
    }
    m_code = kReplacement;
    return isSuccess(result) ? kUnicodeOutOfRange : result;
}

JResult JChar::fromUTF8(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    JUnicode decoded;
    const JResult r = decoded.fromUTF8(bytes, length, used);
    if (r == kUnicodeNullBuffer) return r; // the character stays as it was
    return takeDecoded(decoded, r);
}

JResult JChar::fromUTF16BE(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    JUnicode decoded;
    const JResult r = decoded.fromUTF16BE(bytes, length, used);
    if (r == kUnicodeNullBuffer || r == kUnicodeTooShort) return r; // the character stays as it was
    return takeDecoded(decoded, r);
}

JResult JChar::fromUTF16LE(const unsigned char* bytes, uint32_t length, uint32_t* used)
{
    JUnicode decoded;
    const JResult r = decoded.fromUTF16LE(bytes, length, used);
    if (r == kUnicodeNullBuffer || r == kUnicodeTooShort) return r; // the character stays as it was
    return takeDecoded(decoded, r);
}

JResult JChar::toAscii(char& out, char replacement) const { return asUnicode().toAscii(out, replacement); }
JResult JChar::toLatin1(char& out, char replacement) const { return asUnicode().toLatin1(out, replacement); }

JResult JChar::toMBCS(char* buffer, uint32_t length, uint32_t* written) const
{
    return asUnicode().toMBCS(buffer, length, written);
}

JResult JChar::toWChar(wchar_t& out) const { return asUnicode().toWChar(out); }

JResult JChar::toWChar(wchar_t& first, wchar_t& second, uint32_t* count) const
{
    return asUnicode().toWChar(first, second, count);
}

JResult JChar::toUTF8(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    return asUnicode().toUTF8(buffer, length, written);
}

JResult JChar::toUTF16BE(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    return asUnicode().toUTF16BE(buffer, length, written);
}

JResult JChar::toUTF16LE(unsigned char* buffer, uint32_t length, uint32_t* written) const
{
    return asUnicode().toUTF16LE(buffer, length, written);
}

JResult JChar::toUpper()
{
    m_code = static_cast<uint8_t>(getUpperChar());
    return kOk;
}

JResult JChar::toLower()
{
    m_code = static_cast<uint8_t>(getLowerChar());
    return kOk;
}

}  // namespace JLIB
