#pragma once
// Key of a message's data map and of a thread's argument map. The maps keep the key's pointer,
// never a copy of the text, so a key can only be made from a character array known when
// compiling (a string literal or a static array): a key that could dangle does not compile.
#include <cstddef>
#include <map>

#include "TMS/cmp_str.h"
#include "jlib/JVariant.h"

namespace TMS {

class MessageKey {
public:
    // Only for arrays with static storage; a local buffer is refused when compiling.
    template <size_t N>
    consteval MessageKey(const char (&text)[N]) : m_pText(text)  // NOLINT: implicit on purpose
    {
    }

    const char* text() const { return m_pText; }
    operator const char*() const { return m_pText; }  // NOLINT: reads like the text it names

private:
    const char* m_pText;
};

// Orders keys by their text (cmp_str); lookups may use any text without making a key.
struct MessageKeyLess : cmp_str {
    using is_transparent = void;
};

using ArgumentMap = std::map<MessageKey, JVariant, MessageKeyLess>;

}  // namespace TMS
