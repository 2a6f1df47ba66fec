#include "textcontrol/internal/scp_words.h"

#include <cstring>

namespace SCP::internal {

const char* scp_wordOf(const char* const* words, uint32_t count, int32_t value)
{
    if (value < 0 || static_cast<uint32_t>(value) >= count) return "?";
    return words[value];
}

JLIB::JResult scp_indexOf(const char* const* words, uint32_t count, const char* text, int32_t& index)
{
    index = 0;
    if (!text) return JLIB::kFailed;
    for (uint32_t i = 0; i < count; ++i) {
        if (std::strcmp(words[i], text) == 0) {
            index = static_cast<int32_t>(i);
            return JLIB::kOk;
        }
    }
    return JLIB::kFailed;
}

}  // namespace SCP::internal
