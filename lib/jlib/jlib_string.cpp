#include "jlib/jlib_string.h"

uint32_t jlib_strlen(const char* text, uint32_t bound)
{
    if (!text) return 0;
    uint32_t n = 0;
    while (n < bound && text[n] != '\0') ++n;
    return n;
}

namespace {

// Looks for the NUL at positions below limit (64-bit so a bound of 0xFFFFFFFF plus one ends).
uint32_t findTerminator(const char* text, uint64_t limit, uint32_t bound, uint32_t* length)
{
    if (!length) return JLIB_STR_NULL;
    if (!text) {
        *length = 0;
        return JLIB_STR_NULL;
    }
    for (uint64_t i = 0; i < limit; ++i) {
        if (text[i] == '\0') {
            *length = static_cast<uint32_t>(i);
            return JLIB_STR_OK;
        }
    }
    *length = bound;
    return JLIB_STR_NOT_FOUND;
}

}  // namespace

uint32_t jlib_strnlen(const char* text, uint32_t bound, uint32_t* length)
{
    return findTerminator(text, uint64_t{bound} + 1, bound, length);
}

uint32_t jlib_strnlen_s(const char* text, uint32_t bound, uint32_t* length)
{
    return findTerminator(text, bound, bound, length);
}

uint32_t jlib_strncmp(const char* first, const char* second, uint32_t bound)
{
    if (!first || !second || bound == 0) return JLIB_STR_NULL;
    for (uint32_t i = 0; i < bound; ++i) {
        const auto a = static_cast<signed char>(first[i]);
        const auto b = static_cast<signed char>(second[i]);
        if (a > b) return JLIB_CMP_GREATER;
        if (a < b) return JLIB_CMP_SMALLER;
        if (a == 0) break;
    }
    return JLIB_CMP_EQUAL;
}

uint32_t jlib_strcpy(char* destination, uint32_t size, const char* source)
{
    if (!destination || !source || size == 0) return JLIB_STR_NULL;
    uint32_t i = 0;
    for (; i + 1 < size; ++i) {
        destination[i] = source[i];
        if (source[i] == '\0') return JLIB_STR_OK;
    }
    destination[i] = '\0';
    return source[i] == '\0' ? JLIB_STR_OK : JLIB_STR_CUT;
}

uint32_t jlib_strcpy_s(char* destination, uint32_t size, const char* source)
{
    return jlib_strcpy(destination, size, source);
}

uint32_t jlib_strncpy(char* destination, const char* source, uint32_t bound)
{
    if (!destination || !source || bound == 0) return JLIB_STR_NULL;
    for (uint32_t i = 0; i < bound; ++i) {
        destination[i] = source[i];
        if (source[i] == '\0') return JLIB_STR_OK;
    }
    destination[bound] = '\0';
    return JLIB_STR_BOUND_REACHED;
}

uint32_t jlib_strnchr(const char* text, char character, uint32_t bound, const char** found)
{
    if (!found) return JLIB_STR_NULL;
    *found = nullptr;
    if (!text || bound == 0) return JLIB_STR_NULL;
    for (uint64_t i = 0; i <= bound; ++i) {
        if (text[i] == character) {
            *found = text + i;
            return JLIB_STR_OK;
        }
        if (text[i] == '\0') break;
    }
    return JLIB_STR_NOT_FOUND;
}
