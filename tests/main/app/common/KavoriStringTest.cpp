#include "common/KavoriString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KavoriStringTest, SplitsAtEveryDelimiterKeepingOrSkippingEmptyPieces)
{
    using Pieces = std::vector<std::string>;
    struct Case {
        const char* text;
        const char* delimiter;
        bool skipEmpty;
        Pieces pieces;
    };
    const Case cases[] = {
        {"BootLoaderVersion Emulation  GW V0.00", " ", true, {"BootLoaderVersion", "Emulation", "GW", "V0.00"}},
        {"a  b", " ", false, {"a", "", "b"}},
        {"=a==b=", "=", true, {"a", "b"}},
        {"=a==b=", "=", false, {"", "a", "", "b", ""}},
        {"a::b", "::", true, {"a", "b"}},
        {"", "=", true, {}},
        {"", "=", false, {""}},
        {"abc", "", true, {"abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.delimiter);
        Pieces out = {"kept"};  // the pieces are appended
        EXPECT_EQ(0u, KAVORI::splitString(out, c.text, c.delimiter, c.skipEmpty));
        Pieces expected = {"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(expected, out);
    }
}

TEST(KavoriStringTest, UpperCasesAsciiLettersOnly)
{
    std::string text = "Editor_1.x\xC3\xA9";
    EXPECT_EQ(0u, KAVORI::_toUpper(text));
    EXPECT_EQ("EDITOR_1.X\xC3\xA9", text);
}
