#include "comctrl_evtp.h"

#include "jlib/jlib_printf.h"

namespace ComControl {

const T_ESC_CNV gl_escCnvTbl[kEscCnvCount] = {
    {':', ':'}, {' ', ' '}, {'\\', '\\'}, {'\t', 't'}, {'\n', 'n'}, {'\r', 'r'},
};

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isKeyCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

const T_ESC_CNV* escapeOf(char plain)
{
    for (const T_ESC_CNV& e : gl_escCnvTbl) {
        if (e.plain == plain) return &e;
    }
    return nullptr;
}

char unescape(char written)
{
    switch (written) {
    case 't': return '\t';
    case 'n': return '\n';
    case 'r': return '\r';
    default: return written;
    }
}

void report(uint32_t* length, uint32_t value)
{
    if (length) *length = value;
}

// A bounded scan: n characters, or up to the terminating zero when n is 0.
struct Scan {
    const char* text;
    uint32_t n;
    bool atLimit(uint32_t pos) const { return n != 0 && pos >= n; }
    bool atEnd(uint32_t pos) const { return atLimit(pos) || text[pos] == '\0'; }
};

// Key item, then a value writer into the rest; the item must stay below capacity - 1.
template <typename WriteValue>
JLIB::JResult encodeItem(char* buffer, uint32_t capacity, uint32_t* length, const char* key, WriteValue writeValue)
{
    uint32_t keyLength = 0;
    const JLIB::JResult k = evtpEncodeKey(buffer, capacity, &keyLength, key);
    if (JLIB::isFailure(k)) {
        report(length, keyLength);
        return k;
    }
    uint32_t valueLength = 0;
    const JLIB::JResult v = writeValue(buffer + keyLength, capacity - keyLength, valueLength);
    const uint32_t total = keyLength + valueLength;
    report(length, total);
    if (JLIB::isFailure(v)) return v;
    return total < capacity - 1 ? JLIB::kOk : kEvtpNoRoom;
}

}  // namespace

JLIB::JResult checkIllegalKey(const char* key)
{
    if (!key) return kEvtpBadArgument;
    if (*key == '\0') return kEvtpIllegal;
    for (const char* c = key; *c != '\0'; ++c) {
        if (!isKeyCharacter(*c)) return kEvtpIllegal;
    }
    return JLIB::kOk;
}

JLIB::JResult evtpEncodeKey(char* buffer, uint32_t capacity, uint32_t* length, const char* key)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !key) return kEvtpBadArgument;
    JLIB_RETURN_IF_FAILED(checkIllegalKey(key));
    uint32_t n = 0;
    while (key[n] != '\0') {
        if (n + 1 > capacity - 1) return kEvtpNoRoom;  // the key and its colon
        ++n;
    }
    if (n + 1 > capacity - 1) return kEvtpNoRoom;
    for (uint32_t i = 0; i < n; ++i) buffer[i] = key[i];
    buffer[n] = ':';
    report(length, n + 1);
    return JLIB::kOk;
}

JLIB::JResult evtpAttachEscapeSequence(char* buffer, uint32_t capacity, uint32_t* length, const char* value,
                                       uint32_t valueLength)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !value) return kEvtpBadArgument;
    const Scan in{value, valueLength};
    uint32_t out = 0;
    for (uint32_t i = 0; !in.atEnd(i); ++i) {
        const T_ESC_CNV* escape = escapeOf(value[i]);
        const uint32_t need = escape ? 2 : 1;
        if (out + need >= capacity) {
            report(length, out);
            return kEvtpNoRoom;
        }
        if (escape) {
            buffer[out++] = '\\';
            buffer[out++] = escape->written;
        } else {
            buffer[out++] = value[i];
        }
    }
    report(length, out);
    return JLIB::kOk;
}

JLIB::JResult evtpEncodeStringEx(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                 const char* value, uint32_t valueLength)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !key || !value) return kEvtpBadArgument;
    return encodeItem(buffer, capacity, length, key, [&](char* at, uint32_t room, uint32_t& written) {
        return evtpAttachEscapeSequence(at, room, &written, value, valueLength);
    });
}

JLIB::JResult evtpEncodeString(char* buffer, uint32_t capacity, uint32_t* length, const char* key, const char* value)
{
    return evtpEncodeStringEx(buffer, capacity, length, key, value, 0);
}

JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key, int32_t number)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !key) return kEvtpBadArgument;
    return encodeItem(buffer, capacity, length, key, [&](char* at, uint32_t room, uint32_t& written) {
        char digits[16];
        uint32_t n = 0;
        (void)jlib_snprintf(digits, sizeof(digits), &n, "%d", static_cast<int>(number));  // 11 characters at most
        written = 0;
        if (n > room) return kEvtpNoRoom;
        for (uint32_t i = 0; i < n; ++i) at[i] = digits[i];
        written = n;
        return JLIB::kOk;
    });
}

JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key, uint32_t number)
{
    return evtpEncodeNumber(buffer, capacity, length, key, static_cast<int32_t>(number));
}

JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key, uint16_t number)
{
    return evtpEncodeNumber(buffer, capacity, length, key, static_cast<int32_t>(number));
}

JLIB::JResult evtpEncodeStream(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                               const uint8_t* bytes, uint32_t count)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !key || (!bytes && count > 0)) return kEvtpBadArgument;
    return encodeItem(buffer, capacity, length, key, [&](char* at, uint32_t room, uint32_t& written) {
        static const char kHex[] = "0123456789ABCDEF";
        written = 0;
        for (uint32_t i = 0; i < count; ++i) {
            if (written + 2 > room) return kEvtpNoRoom;
            at[written++] = kHex[bytes[i] >> 4];
            at[written++] = kHex[bytes[i] & 0x0F];
        }
        return JLIB::kOk;
    });
}

JLIB::JResult evtpParseCommand(const char* text, uint32_t textLength, const char** key, uint32_t* keyLength,
                               const char** value, uint32_t* valueLength, uint32_t* consumed)
{
    if (!text || !key || !keyLength || !value || !valueLength || !consumed) return kEvtpBadArgument;
    const Scan in{text, textLength};
    uint32_t pos = 0;
    const auto stop = [&](JLIB::JResult r) {
        *consumed = pos;
        return r;
    };
    while (!in.atLimit(pos) && isBlank(text[pos])) ++pos;
    if (in.atLimit(pos)) return stop(kEvtpNoRoom);

    const uint32_t keyStart = pos;
    bool blankInKey = false;
    while (!in.atEnd(pos) && text[pos] != ':') {
        blankInKey = blankInKey || isBlank(text[pos]);
        ++pos;
    }
    *key = text + keyStart;
    *keyLength = pos - keyStart;
    if (in.atEnd(pos) || blankInKey) return stop(kEvtpSyntax);
    ++pos;  // the colon
    if (in.atLimit(pos)) return stop(kEvtpSyntax);

    const uint32_t valueStart = pos;
    bool escaped = false;
    for (; !in.atEnd(pos); ++pos) {
        const char c = text[pos];
        if (escaped) {
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (isBlank(c)) {
            break;
        }
    }
    if (escaped) return stop(kEvtpIllegal);
    *value = text + valueStart;
    *valueLength = pos - valueStart;
    while (!in.atLimit(pos) && isBlank(text[pos])) ++pos;
    return stop(JLIB::kOk);
}

JLIB::JResult evtpRemoveEscapeSequence(char* buffer, uint32_t capacity, uint32_t* length, const char* escaped,
                                       uint32_t escapedLength)
{
    report(length, 0);
    if (!buffer || capacity == 0 || !escaped) return kEvtpBadArgument;
    const Scan in{escaped, escapedLength};
    uint32_t out = 0;
    bool inEscape = false;
    for (uint32_t i = 0; !in.atEnd(i); ++i) {
        char c = escaped[i];
        if (!inEscape && c == '\\') {
            inEscape = true;
            continue;
        }
        if (inEscape) c = unescape(c);
        inEscape = false;
        if (out + 1 >= capacity) {
            report(length, out);
            return kEvtpNoRoom;
        }
        buffer[out++] = c;
    }
    report(length, out);
    return JLIB::kOk;
}

}  // namespace ComControl
