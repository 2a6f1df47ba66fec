#pragma once
// Unicode string of fixed capacity in characters, reserved once when it is built. Filled from
// ASCII, Latin-1 or wide text; written out as ASCII, Latin-1, wide text, UTF-8 or UTF-16.
// Its logical end is the first character of code 0, or the end of its elements.
// A value owned by one task at a time; sharing it needs the owner's own lock.
#include <cstdint>

#include "jlib/JAllocator.h"
#include "jlib/JUnicode.h"
#include "jlib/JVector.h"
#include "jlib/jlib_result.h"

namespace JLIB {

// 1 folds the case of ASCII letters; every other value compares code points exactly.
enum CompareMode : uint32_t {
    kCompareExact = 0,
    kCompareIgnoreCase = 1,
};

enum UTF16Type : uint32_t {
    kUTF16BigEndian = 0,           // no byte-order mark
    kUTF16BigEndianMarked = 1,     // preceded by FE FF
    kUTF16LittleEndianMarked = 2,  // preceded by FF FE
};

template <typename CharT>
class JString : public JVector<CharT> {
public:
    using typename JVector<CharT>::iterator;
    using typename JVector<CharT>::const_iterator;

    JString(uint32_t capacity, const JAllocator<CharT>& allocator) : JVector<CharT>(capacity, allocator) {}
    // As the vector: a copy takes the other's allocator and capacity; an assignment keeps this
    // string's capacity and silently keeps only the characters that fit.
    JString(const JString& other) = default;
    JString& operator=(const JString& other) = default;
    ~JString() override = default;

    // Replace the content with up to `maximum` units of the text, stopping at its NUL.
    // 0x80000005 for a null text (content unchanged); 0x80000002 when the capacity ran out
    // (the characters that fit stay). Characters that cannot be held become U+FFFD unreported.
    JResult fromAscii(const char* text, uint32_t maximum);
    JResult fromLatin1(const char* text, uint32_t maximum);
    JResult fromWChar(const wchar_t* text, uint32_t maximum);

    // Outputs write from the start position to the logical end and always terminate what they
    // wrote; *written counts units with the terminator. 0x80000002: cut short for lack of room.
    // 0x80000005: null buffer, no room for the terminator, or a start not below size() (so
    // every call on an empty string); the buffer is then untouched.
    // `size` counts bytes, for toWChar wide units. ASCII and Latin-1 write `replacement` for
    // what they cannot hold, without a report.
    virtual JResult toAscii(char* buffer, uint32_t size, uint32_t* written, char replacement) const;
    virtual JResult toLatin1(char* buffer, uint32_t size, uint32_t* written, char replacement) const;
    virtual JResult toWChar(wchar_t* buffer, uint32_t size, uint32_t* written) const;
    virtual JResult toUTF8(unsigned char* buffer, uint32_t size, uint32_t* written) const;
    // With a mark the written count includes its two bytes; a size of 3 or less is refused.
    virtual JResult toUTF16(unsigned char* buffer, uint32_t size, UTF16Type type, uint32_t* written) const;
    virtual JResult toUTF16BE(unsigned char* buffer, uint32_t size, uint32_t* written) const;
    virtual JResult toUTF16LE(unsigned char* buffer, uint32_t size, uint32_t* written) const;
    // True when both reach their logical ends together with equal characters. An empty string
    // equals nothing. The string form also needs other.size() equal to this size().
    virtual bool compare(const JString& other, CompareMode mode) const;
    virtual bool compare(const char* text, CompareMode mode) const;  // Latin-1 bytes
    virtual bool compare(const wchar_t* text, CompareMode mode) const;

    JResult toAscii(uint32_t start, char* buffer, uint32_t size, uint32_t* written, char replacement) const;
    JResult toLatin1(uint32_t start, char* buffer, uint32_t size, uint32_t* written, char replacement) const;
    JResult toWChar(uint32_t start, wchar_t* buffer, uint32_t size, uint32_t* written) const;
    JResult toUTF8(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const;
    JResult toUTF16(uint32_t start, unsigned char* buffer, uint32_t size, UTF16Type type, uint32_t* written) const;
    JResult toUTF16BE(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const;
    JResult toUTF16LE(uint32_t start, unsigned char* buffer, uint32_t size, uint32_t* written) const;
    // `other` must hold exactly `length` elements; this string is walked from `start`.
    bool compare(uint32_t start, uint32_t length, const JString& other, CompareMode mode) const;
    bool compare(uint32_t start, const char* text, CompareMode mode) const;
    bool compare(uint32_t start, const wchar_t* text, CompareMode mode) const;

    bool operator==(const char* text) const { return compare(text, kCompareExact); }

    // Position where `other` first occurs; the logical end when it does not, end() when the
    // other string is empty.
    const_iterator find(const JString& other) const { return findSub(other); }
    const_iterator findSub(const JString& other) const;
    bool isEnd(const_iterator position) const;

    // Map every character up to the logical end to its ASCII case; always 0.
    JResult toUpper();
    JResult toLower();
};

extern template class JString<JUnicode>;

}  // namespace JLIB
