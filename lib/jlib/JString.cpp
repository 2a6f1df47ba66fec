#include "jlib/JString.h"

namespace JLIB {

namespace {

void setCount(uint32_t* count, uint32_t value)
{
    if (count) *count = value;
}

bool sameChar(const JUnicode& a, const JUnicode& b, CompareMode mode)
{
    if (mode == kCompareIgnoreCase) return a.getLowerChar() == b.getLowerChar();
    return a == b;
}

// Shared walk of every output form. `encode` writes one character into at most `room` units
// and reports how many it wrote, or fails when it does not fit.
template <typename StringT, typename Unit, typename Encode>
JResult writeOut(const StringT& s, uint32_t start, Unit* buffer, uint32_t size, uint32_t terminatorUnits,
                 uint32_t* written, Encode encode)
{
    setCount(written, 0);
    if (!buffer || size < terminatorUnits) return kUnicodeInvalid;
    if (start >= s.size()) return kUnicodeInvalid;
    const uint32_t room = size - terminatorUnits;
    uint32_t used = 0;
    JResult result = kOk;
    for (auto it = s.begin() + start; !s.isEnd(it); ++it) {
        uint32_t n = 0;
        if (used >= room || isFailure(encode(*it, buffer + used, room - used, n))) {
            result = kUnicodeNoRoom;
            break;
        }
        used += n;
    }
    for (uint32_t i = 0; i < terminatorUnits; ++i) buffer[used + i] = 0;
    setCount(written, used + terminatorUnits);
    return result;
}

}  // namespace

template <typename CharT>
JResult JString<CharT>::fromAscii(const char* text, uint32_t maximum)
{
    if (!text) return kUnicodeInvalid;
    (void)this->clear(); // a failed re-reservation leaves capacity 0: the first append reports it
    for (uint32_t i = 0; i < maximum && text[i] != '\0'; ++i) {
        CharT c;
        (void)c.fromAscii(text[i]); // what ASCII cannot hold becomes the replacement, unreported
        if (isFailure(this->push_back(c))) return kUnicodeNoRoom;
    }
    return kOk;
}

template <typename CharT>
JResult JString<CharT>::fromLatin1(const char* text, uint32_t maximum)
{
    if (!text) return kUnicodeInvalid;
    (void)this->clear(); // a failed re-reservation leaves capacity 0: the first append reports it
    for (uint32_t i = 0; i < maximum && text[i] != '\0'; ++i) {
        CharT c;
        (void)c.fromLatin1(text[i]); // always 0
        if (isFailure(this->push_back(c))) return kUnicodeNoRoom;
    }
    return kOk;
}

template <typename CharT>
JResult JString<CharT>::fromWChar(const wchar_t* text, uint32_t maximum)
{
    if (!text) return kUnicodeInvalid;
    (void)this->clear(); // a failed re-reservation leaves capacity 0: the first append reports it
    uint32_t i = 0;
    while (i < maximum && text[i] != 0) {
        CharT c;
        uint32_t used = 1;
        // The last unit within the maximum is read alone: its successor is not ours to read.
        if (i + 1 == maximum) {
            (void)c.fromWChar(text[i]); // out of range becomes the replacement, unreported
        } else {
            (void)c.fromWChar(text[i], text[i + 1], &used); // likewise
        }
        if (isFailure(this->push_back(c))) return kUnicodeNoRoom;
        i += used;
    }
    return kOk;
}

template <typename CharT>
JResult JString<CharT>::toAscii(char* buffer, uint32_t size, uint32_t* written, char replacement) const
{
    return toAscii(0, buffer, size, written, replacement);
}

template <typename CharT>
JResult JString<CharT>::toAscii(uint32_t start, char* buffer, uint32_t size, uint32_t* written,
                                char replacement) const
{
    auto encode = [replacement](const CharT& c, char* out, uint32_t, uint32_t& n) {
        (void)c.toAscii(*out, replacement); // the replacement byte is written without a report
        n = 1;
        return kOk;
    };
    return writeOut(*this, start, buffer, size, 1, written, encode);
}

template <typename CharT>
JResult JString<CharT>::toLatin1(char* buffer, uint32_t size, uint32_t* written, char replacement) const
{
    return toLatin1(0, buffer, size, written, replacement);
}

template <typename CharT>
JResult JString<CharT>::toLatin1(uint32_t start, char* buffer, uint32_t size, uint32_t* written,
                                 char replacement) const
{
    auto encode = [replacement](const CharT& c, char* out, uint32_t, uint32_t& n) {
        (void)c.toLatin1(*out, replacement); // the replacement byte is written without a report
        n = 1;
        return kOk;
    };
    return writeOut(*this, start, buffer, size, 1, written, encode);
}

template <typename CharT>
JResult JString<CharT>::toWChar(wchar_t* buffer, uint32_t size, uint32_t* written) const
{
    return toWChar(0, buffer, size, written);
}

template <typename CharT>
JResult JString<CharT>::toWChar(uint32_t start, wchar_t* buffer, uint32_t size, uint32_t* written) const
{
    auto encode = [](const CharT& c, wchar_t* out, uint32_t room, uint32_t& n) {
        wchar_t first = 0;
        wchar_t second = 0;
        (void)c.toWChar(first, second, &n); // 0 or 6, both success
        if (n > room) return kUnicodeNoRoom;
        out[0] = first;
        if (n == 2) out[1] = second;
        return kOk;
    };
    return writeOut(*this, start, buffer, size, 1, written, encode);
}

template <typename CharT>
JResult JString<CharT>::toUTF8(unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    return toUTF8(0, buffer, size, written);
}

template <typename CharT>
JResult JString<CharT>::toUTF8(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    auto encode = [](const CharT& c, unsigned char* out, uint32_t room, uint32_t& n) {
        return c.toUTF8(out, room, &n);
    };
    return writeOut(*this, start, buffer, size, 1, written, encode);
}

template <typename CharT>
JResult JString<CharT>::toUTF16(unsigned char* buffer, uint32_t size, UTF16Type type, uint32_t* written) const
{
    return toUTF16(0, buffer, size, type, written);
}

template <typename CharT>
JResult JString<CharT>::toUTF16(uint32_t start, unsigned char* buffer, uint32_t size, UTF16Type type,
                                uint32_t* written) const
{
    setCount(written, 0);
    if (type == kUTF16BigEndian) return toUTF16BE(start, buffer, size, written);
    if (type != kUTF16BigEndianMarked && type != kUTF16LittleEndianMarked) return kUnicodeInvalid;
    // The mark and a terminator need four bytes; a null buffer has no room for the mark.
    if (!buffer || size <= 3) return kUnicodeInvalid;
    const bool big = type == kUTF16BigEndianMarked;
    buffer[0] = big ? 0xFE : 0xFF;
    buffer[1] = big ? 0xFF : 0xFE;
    uint32_t rest = 0;
    const JResult r = big ? toUTF16BE(start, buffer + 2, size - 2, &rest)
                          : toUTF16LE(start, buffer + 2, size - 2, &rest);
    setCount(written, rest + 2);
    return r;
}

template <typename CharT>
JResult JString<CharT>::toUTF16BE(unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    return toUTF16BE(0, buffer, size, written);
}

template <typename CharT>
JResult JString<CharT>::toUTF16BE(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    auto encode = [](const CharT& c, unsigned char* out, uint32_t room, uint32_t& n) {
        return c.toUTF16BE(out, room, &n);
    };
    return writeOut(*this, start, buffer, size, 2, written, encode);
}

template <typename CharT>
JResult JString<CharT>::toUTF16LE(unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    return toUTF16LE(0, buffer, size, written);
}

template <typename CharT>
JResult JString<CharT>::toUTF16LE(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const
{
    auto encode = [](const CharT& c, unsigned char* out, uint32_t room, uint32_t& n) {
        return c.toUTF16LE(out, room, &n);
    };
    return writeOut(*this, start, buffer, size, 2, written, encode);
}

template <typename CharT>
bool JString<CharT>::compare(const JString& other, CompareMode mode) const
{
    return compare(0, this->size(), other, mode);
}

template <typename CharT>
bool JString<CharT>::compare(uint32_t start, uint32_t length, const JString& other, CompareMode mode) const
{
    if (other.size() != length || start >= this->size()) return false;
    const_iterator a = this->begin() + start;
    const_iterator b = other.begin();
    while (!isEnd(a) && !other.isEnd(b)) {
        if (!sameChar(*a, *b, mode)) return false;
        ++a;
        ++b;
    }
    return isEnd(a) && other.isEnd(b);
}

template <typename CharT>
bool JString<CharT>::compare(const char* text, CompareMode mode) const
{
    return compare(0, text, mode);
}

template <typename CharT>
bool JString<CharT>::compare(uint32_t start, const char* text, CompareMode mode) const
{
    if (!text || start >= this->size()) return false;
    const_iterator a = this->begin() + start;
    uint32_t i = 0;
    while (text[i] != '\0' && !isEnd(a)) {
        CharT c;
        (void)c.fromLatin1(text[i]); // always 0
        if (!sameChar(*a, c, mode)) return false;
        ++a;
        ++i;
    }
    return text[i] == '\0' && isEnd(a);
}

template <typename CharT>
bool JString<CharT>::compare(const wchar_t* text, CompareMode mode) const
{
    return compare(0, text, mode);
}

template <typename CharT>
bool JString<CharT>::compare(uint32_t start, const wchar_t* text, CompareMode mode) const
{
    if (!text || start >= this->size()) return false;
    const_iterator a = this->begin() + start;
    uint32_t i = 0;
    while (text[i] != 0 && !isEnd(a)) {
        CharT c;
        uint32_t used = 1;
        if (text[i + 1] != 0) {
            (void)c.fromWChar(text[i], text[i + 1], &used); // out of range compares as the replacement
        } else {
            (void)c.fromWChar(text[i]); // likewise
        }
        if (!sameChar(*a, c, mode)) return false;
        ++a;
        i += used;
    }
    return text[i] == 0 && isEnd(a);
}

template <typename CharT>
typename JString<CharT>::const_iterator JString<CharT>::findSub(const JString& other) const
{
    const const_iterator last = this->end();
    const const_iterator first = other.begin();
    if (other.isEnd(first)) return last;
    for (const_iterator p = this->begin();; ++p) {
        if (isEnd(p)) return p;
        if (*p != *first) continue;
        const_iterator q = p + 1;
        const_iterator o = first + 1;
        while (true) {
            if (other.isEnd(o)) return p;
            if (q == last) return last; // too few characters left for a match
            if (*q != *o) break;
            ++q;
            ++o;
        }
    }
}

template <typename CharT>
bool JString<CharT>::isEnd(const_iterator position) const
{
    return position == this->end() || position->isNull();
}

template <typename CharT>
JResult JString<CharT>::toUpper()
{
    for (iterator it = this->begin(); !isEnd(it); ++it) (void)it->toUpper(); // always 0
    return kOk;
}

template <typename CharT>
JResult JString<CharT>::toLower()
{
    for (iterator it = this->begin(); !isEnd(it); ++it) (void)it->toLower(); // always 0
    return kOk;
}

template class JString<JUnicode>;

}  // namespace JLIB
