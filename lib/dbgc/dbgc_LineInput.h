#pragma once
// The typing rules shared by the line consoles that run over a console transport: the debug
// console shell, the diagnostics console and the factory address writer.
#include <cstdint>
#include <cstring>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "dbgc/internal/dbgc_sendWhole.h"

namespace DBGC::LineInput {

constexpr uint8_t kBackspace = 0x08;
constexpr uint8_t kLineFeed = 0x0A;
constexpr uint8_t kCarriageReturn = 0x0D;
constexpr uint8_t kDelete = 0x7F;

// Sends a whole text: see detail::sendWhole.
using detail::sendWhole;

inline bool isErase(uint8_t byte) { return byte == kBackspace || byte == kDelete; }
inline bool isLineEnd(uint8_t byte) { return byte == kCarriageReturn || byte == kLineFeed; }
inline bool isPrintable(uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

// Echoes one typed byte: an erase wipes the last character on screen (only when the line has
// one), a carriage return starts a new line, anything else comes back as typed. A lost echo is
// not reported to anyone.
inline void echo(IDebugConsoleLowIO& lowIO, uint8_t byte, bool lineHasText)
{
    const char* bytes = reinterpret_cast<const char*>(&byte);
    uint32_t length = 1;
    if (isErase(byte)) {
        if (!lineHasText) return;
        bytes = "\b \b";
        length = 3;
    } else if (byte == kCarriageReturn) {
        bytes = "\r\n";
        length = 2;
    }
    uint32_t sent = 0;
    (void)lowIO.send(bytes, length, &sent);
    (void)lowIO.flush();
}

// Reads what lowIO holds a byte at a time into line (size bytes of room, length characters so
// far), showing each byte to onByte first. A carriage return or line feed ends the line: an empty
// one stops the reading and leaves the rest with the transport, which reports it again; otherwise
// the line is cut to size - 1 characters, ended with a NUL and handed to onLine, then cleared.
// An erase removes the last character; printable ASCII is kept while there is room; the rest is
// dropped. Stops when the transport has nothing more or fails.
template <typename OnByte, typename OnLine>
void readLines(IDebugConsoleLowIO& lowIO, char* line, uint32_t size, uint32_t& length, OnByte onByte, OnLine onLine)
{
    for (;;) {
        uint8_t byte = 0;
        uint32_t received = 0;
        if (JLIB::isFailure(lowIO.receive(&byte, 1, &received)) || received == 0) break;
        onByte(byte);
        if (isLineEnd(byte)) {
            if (length == 0) break;
            if (length > size - 1) length = size - 1;
            line[length] = '\0';
            onLine();
            std::memset(line, 0, size);
            length = 0;
        } else if (isErase(byte)) {
            if (length > 0) line[--length] = '\0';
        } else if (isPrintable(byte) && length < size) {
            line[length++] = static_cast<char>(byte);
        }
    }
}

}  // namespace DBGC::LineInput
