// The extra information of a heard announcement, as the listener decodes it: arbitrary bytes into
// length-prefixed texts. Every text must lie inside the input and be re-encodable to a prefix of it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/KavoriJSDPAbstract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> texts;
    const uint32_t length = static_cast<uint32_t>(size);
    const JLIB::JResult result = KAVORI::KavoriJSDPAbstract::getExInfo(texts, size ? data : nullptr, length);
    if (size == 0) {
        if (result != 0x80000000u || !texts.empty()) std::abort();
        return 0;
    }
    if (result != 0) std::abort();
    size_t at = 0;
    for (const std::string& text : texts) {
        if (at + 1 + text.size() > size || data[at] != text.size()) std::abort();
        if (text.compare(0, text.size(), reinterpret_cast<const char*>(data + at + 1), text.size()) != 0) std::abort();
        at += 1 + text.size();
    }
    // What is left is one text cut short, or nothing.
    if (at < size && size - at - 1 >= data[at]) std::abort();
    return 0;
}
