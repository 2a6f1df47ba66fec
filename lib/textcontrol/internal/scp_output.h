#pragma once
// Writing element texts into a reply stream. Texts inside double quotes are escaped with the
// decoder's own escapes, and bare texts lose their control characters, so no value can end a
// line or an object early and forge a message in a client's stream.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP::internal {

using ScpStream = JLIB::JDataStream<unsigned char>;

// 0x80000006 once a byte does not fit (the bytes before it stay written).
constexpr JLIB::JResult kStreamFull = 0x80000006u;

[[nodiscard]] JLIB::JResult scp_writeBytes(ScpStream& stream, const char* bytes, uint32_t count);
[[nodiscard]] JLIB::JResult scp_writeText(ScpStream& stream, const char* text);
// The characters in double quotes, escaped; above 0x7F as UTF-8 or, in ASCII, as "?".
[[nodiscard]] JLIB::JResult scp_writeQuoted(ScpStream& stream, const ScpString& text, ScpEncoding encoding);
// The characters bare; control characters become "?".
[[nodiscard]] JLIB::JResult scp_writeBare(ScpStream& stream, const ScpString& text, ScpEncoding encoding);
// NUL-terminated bytes in double quotes, escaped; bytes above 0x7F as they are.
[[nodiscard]] JLIB::JResult scp_writeQuotedBytes(ScpStream& stream, const char* text);

}  // namespace SCP::internal
