#include "jlib_base64.h"

namespace {

struct Base64Spec {
    const char* alphabet;
    char pad;                // 0: no padding
    uint32_t lineLength;     // 0: no line breaks; otherwise CR LF before a group once reached
};

const Base64Spec sBase64Specs[] = {
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", '=', 0},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", '=', 76},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_", 0, 0},
};

const Base64Spec& getBase64Spec(unsigned number)
{
    return number < sizeof sBase64Specs / sizeof sBase64Specs[0] ? sBase64Specs[number] : sBase64Specs[0];
}

// Needed size in 64 bits so that a length near 4 GiB cannot wrap it.
uint64_t encodedSize(const Base64Spec& spec, uint32_t length)
{
    const uint64_t groups = (uint64_t{length} + 2) / 3;
    uint64_t characters = groups * 4;
    if (!spec.pad) {
        const uint32_t rest = length % 3;
        if (rest) characters -= 3 - rest;
    }
    uint64_t breaks = 0;
    if (spec.lineLength && groups > 0) {
        // A break goes before each group once a line is full, never after the last one.
        const uint64_t groupsPerLine = (spec.lineLength + 3) / 4;
        breaks = (groups - 1) / groupsPerLine;
    }
    return characters + breaks * 2 + 1;
}

JLIB::JResult encode(const Base64Spec& spec, char* text, uint32_t* used, uint32_t size, const unsigned char* data,
                     uint32_t length)
{
    const uint64_t needed = (data && length) ? encodedSize(spec, length) : 0;
    if (!text || size == 0) return JLIB::kInvalidArgument;
    if (needed > size) return 0x80000003u;

    const char* a = spec.alphabet;
    char* out = text;
    uint32_t sinceBreak = 0;
    for (uint32_t i = 0; needed && i < length; i += 3) {
        if (spec.lineLength && sinceBreak >= spec.lineLength) {
            *out++ = '\r';
            *out++ = '\n';
            sinceBreak = 0;
        }
        const uint32_t take = length - i < 3 ? length - i : 3;
        const uint32_t b0 = data[i];
        const uint32_t b1 = take > 1 ? data[i + 1] : 0;
        const uint32_t b2 = take > 2 ? data[i + 2] : 0;
        const uint32_t bits = (b0 << 16) | (b1 << 8) | b2;
        *out++ = a[(bits >> 18) & 0x3F];
        *out++ = a[(bits >> 12) & 0x3F];
        if (take > 1) {
            *out++ = a[(bits >> 6) & 0x3F];
        } else if (spec.pad) {
            *out++ = spec.pad;
        }
        if (take > 2) {
            *out++ = a[bits & 0x3F];
        } else if (spec.pad) {
            *out++ = spec.pad;
        }
        sinceBreak += 4;
    }
    *out = '\0';
    if (used) *used = static_cast<uint32_t>(needed);
    return JLIB::kOk;
}

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

uint32_t jlib_getBase64EncodeLength(const void* data, uint32_t length)
{
    if (!data || length == 0) return 0;
    const uint64_t needed = encodedSize(getBase64Spec(0), length);
    return needed > 0xFFFFFFFFull ? 0 : static_cast<uint32_t>(needed);
}

JLIB::JResult jlib_encodeBase64(char* text, uint32_t* used, uint32_t size, const void* data, uint32_t length)
{
    return encode(getBase64Spec(0), text, used, size, static_cast<const unsigned char*>(data), length);
}

JLIB::JResult jlib_decodeBase64(unsigned char* buffer, uint32_t* decoded, uint32_t size, const char* text,
                                uint32_t length)
{
    if (!text && length != 0) return JLIB::kInvalidArgument;
    if (!buffer && size != 0) return JLIB::kInvalidArgument;
    if (decoded) *decoded = 0;

    uint32_t bits = 0;
    int pending = 0;  // bits collected towards the next byte
    uint32_t count = 0;
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] == '=') break;
        const int v = sextet(text[i]);
        if (v < 0) return 0x80000002u;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            if (count >= size) return 0x80000003u;
            buffer[count++] = static_cast<unsigned char>(bits >> pending);
            bits &= (1u << pending) - 1;
        }
    }
    if (decoded) *decoded = count;
    return JLIB::kOk;
}
