#include "textcontrol/internal/scp_output.h"

#include <cstring>

namespace SCP::internal {

namespace {

bool isControl(uint32_t c) { return c < 0x20 || c == 0x7F; }

// The escape a decoder turns back into the character, or null.
const char* escapeOf(uint32_t c)
{
    switch (c) {
    case '\\': return "\\\\";
    case '"': return "\\\"";
    case 0x08: return "\\b";
    case 0x0C: return "\\f";
    case 0x0A: return "\\n";
    case 0x0D: return "\\r";
    case 0x09: return "\\t";
    default: return nullptr;
    }
}

JLIB::JResult writeByte(ScpStream& stream, unsigned char b)
{
    return JLIB::isFailure(stream.push(b)) ? kStreamFull : JLIB::kOk;
}

// One character of a text; `quoted` selects escaping over replacing.
JLIB::JResult writeChar(ScpStream& stream, uint32_t c, ScpEncoding encoding, bool quoted)
{
    if (quoted) {
        if (const char* escape = escapeOf(c)) return scp_writeText(stream, escape);
    }
    if (isControl(c)) return writeByte(stream, '?');
    if (c < 0x80) return writeByte(stream, static_cast<unsigned char>(c));
    if (encoding != kScpEncodingUtf8) return writeByte(stream, '?');
    unsigned char utf8[6];
    uint32_t written = 0;
    if (JLIB::isFailure(JLIB::JUnicode(c).toUTF8(utf8, sizeof utf8, &written))) return writeByte(stream, '?');
    return scp_writeBytes(stream, reinterpret_cast<const char*>(utf8), written);
}

JLIB::JResult writeChars(ScpStream& stream, const ScpString& text, ScpEncoding encoding, bool quoted)
{
    for (auto it = text.begin(); !text.isEnd(it); ++it) JLIB_RETURN_IF_FAILED(writeChar(stream, it->get(), encoding, quoted));
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult scp_writeBytes(ScpStream& stream, const char* bytes, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) JLIB_RETURN_IF_FAILED(writeByte(stream, static_cast<unsigned char>(bytes[i])));
    return JLIB::kOk;
}

JLIB::JResult scp_writeText(ScpStream& stream, const char* text)
{
    return scp_writeBytes(stream, text, static_cast<uint32_t>(std::strlen(text)));
}

JLIB::JResult scp_writeQuoted(ScpStream& stream, const ScpString& text, ScpEncoding encoding)
{
    JLIB_RETURN_IF_FAILED(writeByte(stream, '"'));
    JLIB_RETURN_IF_FAILED(writeChars(stream, text, encoding, true));
    return writeByte(stream, '"');
}

JLIB::JResult scp_writeBare(ScpStream& stream, const ScpString& text, ScpEncoding encoding)
{
    return writeChars(stream, text, encoding, false);
}

JLIB::JResult scp_writeQuotedBytes(ScpStream& stream, const char* text)
{
    JLIB_RETURN_IF_FAILED(writeByte(stream, '"'));
    for (const char* p = text; *p != '\0'; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (const char* escape = escapeOf(b)) {
            JLIB_RETURN_IF_FAILED(scp_writeText(stream, escape));
        } else {
            JLIB_RETURN_IF_FAILED(writeByte(stream, isControl(b) ? '?' : b));
        }
    }
    return writeByte(stream, '"');
}

}  // namespace SCP::internal
