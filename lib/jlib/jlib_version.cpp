#include "jlib_version.h"

#include "jlib/jlib_ascii.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_printf.h"

JLIB::JResult jlib_encodeVersion(uint32_t* word, uint32_t kind, int major, int minor, int sub, int letter)
{
    JLIB_ASSERT(word != nullptr);
    const int lower = jlib_tolower(letter);
    *word = 0;
    if (kind >= 2 || major < 0 || major > 255 || minor < 0 || minor > 9 || sub < 0 || sub > 9 || lower < 'a' ||
        lower > 'z') {
        return JLIB::kFailed;
    }
    const uint32_t top = kind == 1 ? 'V' : 'R';
    *word = (top << 24) | (static_cast<uint32_t>(major) << 16) | (static_cast<uint32_t>(minor * 10 + sub) << 8) |
            static_cast<uint32_t>(lower - 'a');
    return JLIB::kOk;
}

JLIB::JResult jlib_decodeVersion(uint32_t* kind, int* major, int* minor, int* sub, char* letter, uint32_t word)
{
    const uint32_t top = word >> 24;
    const uint32_t minorSub = (word >> 8) & 0xFF;
    const uint32_t letterIndex = word & 0xFF;
    if ((top != 'V' && top != 'R') || minorSub >= 100 || letterIndex >= 26) return JLIB::kFailed;
    if (kind) *kind = top == 'V' ? 1 : 0;
    if (major) *major = static_cast<int>((word >> 16) & 0xFF);
    if (minor) *minor = static_cast<int>(minorSub / 10);
    if (sub) *sub = static_cast<int>(minorSub % 10);
    if (letter) *letter = static_cast<char>('a' + letterIndex);
    return JLIB::kOk;
}

JLIB::JResult jlib_makeVersionString(char* buffer, uint32_t size, uint32_t word)
{
    uint32_t kind = 0;
    int major = 0;
    int minor = 0;
    int sub = 0;
    char letter = 'a';
    if (JLIB::isFailure(jlib_decodeVersion(&kind, &major, &minor, &sub, &letter, word))) {
        (void)jlib_snprintf(buffer, size, nullptr, "V?.???");  // a null buffer is refused there; nothing to add
        return JLIB::kFailed;
    }
    if (kind == 1) {
        if (letter == 'a') return jlib_snprintf(buffer, size, nullptr, "V%d.%d%d", major, minor, sub);
        return jlib_snprintf(buffer, size, nullptr, "V%d.%d%d%c", major, minor, sub, letter);
    }
    if (letter == 'a') return jlib_snprintf(buffer, size, nullptr, "R%d.%d%d", major, minor, sub);
    return jlib_snprintf(buffer, size, nullptr, "R%d.%d%d%c", major, minor, sub, letter);
}
