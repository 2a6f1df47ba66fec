#include "jlib/jlib_ascii.h"

#include <gtest/gtest.h>

#include <cctype>

// Every class over every value a char or EOF can bring, against the C locale's answer.
TEST(jlib_asciiTest, ClassesMatchTheCLocaleForAsciiAndRejectEverythingElse)
{
    struct Case { const char* name; int (*mine)(int); int (*standard)(int); };
    const Case cases[] = {
        {"isblank", jlib_isblank, ::isblank}, {"isspace", jlib_isspace, ::isspace},
        {"isalnum", jlib_isalnum, ::isalnum}, {"isalpha", jlib_isalpha, ::isalpha},
        {"iscntrl", jlib_iscntrl, ::iscntrl}, {"isprint", jlib_isprint, ::isprint},
        {"isgraph", jlib_isgraph, ::isgraph}, {"ispunct", jlib_ispunct, ::ispunct},
        {"isdigit", jlib_isdigit, ::isdigit}, {"isxdigit", jlib_isxdigit, ::isxdigit},
        {"isupper", jlib_isupper, ::isupper}, {"islower", jlib_islower, ::islower},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int ch = -256; ch < 512; ++ch) {
            const int expected = (ch >= 0 && ch <= 127) ? (c.standard(ch) != 0) : 0;
            ASSERT_EQ(expected, c.mine(ch)) << ch;
        }
    }
}

TEST(jlib_asciiTest, CaseConversionTouchesOnlyAsciiLetters)
{
    for (int ch = -256; ch < 512; ++ch) {
        SCOPED_TRACE(ch);
        const bool lower = ch >= 'a' && ch <= 'z';
        const bool upper = ch >= 'A' && ch <= 'Z';
        EXPECT_EQ(lower ? ch - 32 : ch, jlib_toupper(ch));
        EXPECT_EQ(upper ? ch + 32 : ch, jlib_tolower(ch));
    }
    EXPECT_EQ(static_cast<int>(static_cast<signed char>('\xE4')), jlib_toupper(static_cast<signed char>('\xE4')));
}
