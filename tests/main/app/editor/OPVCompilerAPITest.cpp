#include "editor/OPVCompilerAPI.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

namespace {

using nlohmann::json;

}  // namespace

TEST(OPVCompilerAPITest, PrintsSortedWithTwoSpacesOrFailsWithoutThrowing)
{
    struct Case {
        const char* what;
        json document;
        JLIB::JResult result;
        const char* text;
    };
    const Case cases[] = {
        {"sorted by key bytes", json{{"b", 1u}, {"a", json::array()}, {"Z", false}}, 0,
         "{\n  \"Z\": false,\n  \"a\": [],\n  \"b\": 1\n}"},
        {"text outside ASCII as it is", json{{"name", "Gr\xC3\xBC\xC3\x9F"}}, 0,
         "{\n  \"name\": \"Gr\xC3\xBC\xC3\x9F\"\n}"},
        {"value not UTF-8", json{{"name", "Gain\xC3("}}, 0x80000000u, ""},
        {"key not UTF-8", json{{"\xFF", 1u}}, 0x80000000u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = "poison";
        EXPECT_EQ(c.result, OPVCompilerAPI::printJsonText(c.document, text));
        EXPECT_EQ(c.text, text);
    }
}
