#include "textcontrol/internal/scp_token.h"

#include "jlib/jlib_ascii.h"

namespace SCP::internal {

bool scp_tokenToAscii(const ScpString& token, char* buffer, uint32_t size)
{
    buffer[0] = '\0';
    uint32_t written = 0;
    // An empty token leaves the buffer empty (0x80000005); only a cut matters here.
    return token.toAscii(buffer, size, &written, ' ') == JLIB::kUnicodeNoRoom;
}

bool scp_onlySpaceAfter(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p) {
        if (!jlib_isspace(static_cast<unsigned char>(*p))) return false;
    }
    return true;
}

void scp_decodeText(ScpString& value, const ScpString& token)
{
    bool inQuotes = false;
    for (auto it = token.begin(); !token.isEnd(it); ++it) {
        if (it->get() == '"') {
            if (!inQuotes) (void)value.clear();  // keeps the storage: always 0
            inQuotes = !inQuotes;
            continue;
        }
        (void)value.push_back(*it);  // beyond the capacity the character is dropped on purpose
    }
}

}  // namespace SCP::internal
