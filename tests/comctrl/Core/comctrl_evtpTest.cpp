#include "comctrl/Core/comctrl_evtp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ComControl;

namespace {

constexpr uint32_t kPoison = 0x5A5A5A5A;

std::string escaped(const std::string& value, uint32_t capacity, JLIB::JResult* result = nullptr)
{
    std::vector<char> out(capacity + 1, '#');
    uint32_t length = kPoison;
    const JLIB::JResult r = evtpAttachEscapeSequence(out.data(), capacity, &length, value.c_str(),
                                                     static_cast<uint32_t>(value.size()));
    if (result) *result = r;
    return std::string(out.data(), length == kPoison ? 0 : length);
}

std::string plain(const std::string& value, uint32_t capacity, JLIB::JResult* result = nullptr)
{
    std::vector<char> out(capacity + 1, '#');
    uint32_t length = kPoison;
    const JLIB::JResult r = evtpRemoveEscapeSequence(out.data(), capacity, &length, value.c_str(), 0);
    if (result) *result = r;
    return std::string(out.data(), length == kPoison ? 0 : length);
}

struct Item {
    JLIB::JResult result;
    std::string key;
    std::string value;
    uint32_t consumed;
};

Item parse(const char* text, uint32_t limit = 0)
{
    const char* key = nullptr;
    const char* value = nullptr;
    uint32_t keyLength = kPoison;
    uint32_t valueLength = kPoison;
    uint32_t consumed = kPoison;
    Item item{evtpParseCommand(text, limit, &key, &keyLength, &value, &valueLength, &consumed), "", "", consumed};
    if (key && keyLength != kPoison) item.key.assign(key, keyLength);
    if (value && valueLength != kPoison) item.value.assign(value, valueLength);
    return item;
}

}  // namespace

TEST(evtpTest, EscapesEverySpecialCharacterAndReadsItBack)
{
    struct Case {
        std::string value;
        std::string written;
    };
    const Case cases[] = {
        {"a:b c\\d", "a\\:b\\ c\\\\d"},
        {"x\ty", "x\\ty"},
        {"1\n2\r3", "1\\n2\\r3"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        JLIB::JResult r = kPoison;
        EXPECT_EQ(c.written, escaped(c.value, 64, &r));
        EXPECT_EQ(0u, r);
        EXPECT_EQ(c.value, plain(c.written, 64, &r));
        EXPECT_EQ(0u, r);
    }
    EXPECT_EQ(6u, kEscCnvCount);
    EXPECT_EQ("x", plain("\\x", 8));   // any other character stands for itself
    EXPECT_EQ("ab", plain("ab\\", 8));  // a lone trailing backslash is dropped
}

TEST(evtpTest, AFullOutputIsNoRoomEvenWhenTheValueEndsThere)
{
    JLIB::JResult r = 0;
    EXPECT_EQ("abc", escaped("abc", 4, &r));
    EXPECT_EQ(0u, r);
    EXPECT_EQ("ab", escaped("abc", 3, &r));
    EXPECT_EQ(kEvtpNoRoom, r);
    EXPECT_EQ("a", escaped("a:", 3, &r));  // the escape pair needs two places
    EXPECT_EQ(kEvtpNoRoom, r);
    EXPECT_EQ("ab", plain("a\\b", 3, &r));
    EXPECT_EQ(0u, r);
    EXPECT_EQ("a", plain("a\\b", 2, &r));
    EXPECT_EQ(kEvtpNoRoom, r);

    char out[8];
    EXPECT_EQ(kEvtpBadArgument, evtpAttachEscapeSequence(nullptr, 8, nullptr, "a", 0));
    EXPECT_EQ(kEvtpBadArgument, evtpAttachEscapeSequence(out, 0, nullptr, "a", 0));
    EXPECT_EQ(kEvtpBadArgument, evtpRemoveEscapeSequence(out, 8, nullptr, nullptr, 0));
}

TEST(evtpTest, ParsesItemsOneAfterAnother)
{
    const char* text = "  TYPE:Editor   SYNCDIR:1";
    Item first = parse(text);
    EXPECT_EQ(0u, first.result);
    EXPECT_EQ("TYPE", first.key);
    EXPECT_EQ("Editor", first.value);
    EXPECT_EQ(std::string(text).find("SYNCDIR"), first.consumed);
    Item second = parse(text + first.consumed);
    EXPECT_EQ(0u, second.result);
    EXPECT_EQ("SYNCDIR", second.key);
    EXPECT_EQ("1", second.value);
    EXPECT_EQ(kEvtpSyntax, parse(text + first.consumed + second.consumed).result);

    const Item escapedValue = parse("MESSAGE:a\\ b\\:c next:1");
    EXPECT_EQ("a\\ b\\:c", escapedValue.value);  // escapes stay in place
    EXPECT_EQ(16u, escapedValue.consumed);
}

TEST(evtpTest, ParseResultsAtTheEdges)
{
    struct Case {
        const char* text;
        uint32_t limit;
        JLIB::JResult result;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"KEY:", 0, 0, "KEY", ""},                  // ends right after its colon
        {":value", 0, 0, "", "value"},              // starts with the colon
        {"K EY:v", 0, kEvtpSyntax, "K EY", ""},     // blank inside the key
        {"KEY:ab\\", 0, kEvtpIllegal, "KEY", ""},   // unpaired backslash
        {"KEY:ab\\\\", 0, 0, "KEY", "ab\\\\"},      // paired
        {"", 0, kEvtpSyntax, "", ""},
        {"   ", 0, kEvtpSyntax, "", ""},
        {"   ", 3, kEvtpNoRoom, "", ""},            // only blanks before the limit
        {"KEY", 0, kEvtpSyntax, "KEY", ""},         // no colon
        {"KEY:abc", 4, kEvtpSyntax, "KEY", ""},     // the colon at the limit
        {"KEY:abc", 6, 0, "KEY", "ab"},             // the value cut by the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " limit " + std::to_string(c.limit));
        const Item item = parse(c.text, c.limit);
        EXPECT_EQ(c.result, item.result);
        EXPECT_EQ(c.key, item.key);
        EXPECT_EQ(c.value, item.value);
        EXPECT_NE(kPoison, item.consumed);
    }
    const char* key = nullptr;
    uint32_t n = 0;
    EXPECT_EQ(kEvtpBadArgument, evtpParseCommand(nullptr, 0, &key, &n, &key, &n, &n));
    EXPECT_EQ(kEvtpBadArgument, evtpParseCommand("A:1", 0, &key, &n, &key, &n, nullptr));
}

TEST(evtpTest, EncodesKeysTextsNumbersAndStreams)
{
    char out[64];
    uint32_t length = kPoison;
    const auto written = [&] { return std::string(out, length); };

    ASSERT_EQ(0u, evtpEncodeString(out, sizeof(out), &length, "MESSAGE", "a b"));
    EXPECT_EQ("MESSAGE:a\\ b", written());
    ASSERT_EQ(0u, evtpEncodeStringEx(out, sizeof(out), &length, "ID", "abcdef", 3));
    EXPECT_EQ("ID:abc", written());
    ASSERT_EQ(0u, evtpEncodeNumber(out, sizeof(out), &length, "CYCLE", 4294967295u));
    EXPECT_EQ("CYCLE:-1", written());
    ASSERT_EQ(0u, evtpEncodeNumber(out, sizeof(out), &length, "UDPPORT", uint16_t{65535}));
    EXPECT_EQ("UDPPORT:65535", written());
    ASSERT_EQ(0u, evtpEncodeNumber(out, sizeof(out), &length, "N", -7));
    EXPECT_EQ("N:-7", written());
    const uint8_t bytes[] = {0x0A, 0xFF};
    ASSERT_EQ(0u, evtpEncodeStream(out, sizeof(out), &length, "HASH", bytes, 2));
    EXPECT_EQ("HASH:0AFF", written());
    ASSERT_EQ(0u, evtpEncodeStream(out, sizeof(out), &length, "HASH", nullptr, 0));
    EXPECT_EQ("HASH:", written());
}

TEST(evtpTest, RefusesIllegalKeysAndItemsThatDoNotFit)
{
    struct Case {
        const char* key;
        JLIB::JResult result;
    };
    const Case keys[] = {{"Key09", 0}, {"A-B", kEvtpIllegal}, {"A B", kEvtpIllegal}, {"", kEvtpIllegal},
                         {"\xC3\xA4", kEvtpIllegal}, {nullptr, kEvtpBadArgument}};
    for (const Case& c : keys) {
        SCOPED_TRACE(c.key ? c.key : "(null)");
        EXPECT_EQ(c.result, checkIllegalKey(c.key));
    }
    char out[16];
    uint32_t length = kPoison;
    EXPECT_EQ(kEvtpIllegal, evtpEncodeString(out, sizeof(out), &length, "A:B", "x"));
    // The key and its colon must fit in capacity - 1 bytes; a whole item must stay below it.
    EXPECT_EQ(0u, evtpEncodeKey(out, 5, &length, "KEY"));
    EXPECT_EQ(4u, length);
    EXPECT_EQ(kEvtpNoRoom, evtpEncodeKey(out, 4, &length, "KEY"));
    EXPECT_EQ(0u, evtpEncodeNumber(out, 6, &length, "K", 12));
    EXPECT_EQ(kEvtpNoRoom, evtpEncodeNumber(out, 5, &length, "K", 12));
    const uint8_t bytes[] = {1, 2};
    EXPECT_EQ(0u, evtpEncodeStream(out, 8, &length, "K", bytes, 2));
    EXPECT_EQ(kEvtpNoRoom, evtpEncodeStream(out, 7, &length, "K", bytes, 2));
    EXPECT_EQ(0u, evtpEncodeString(out, 6, &length, "K", "ab"));
    EXPECT_EQ(kEvtpNoRoom, evtpEncodeString(out, 5, &length, "K", "ab"));
    EXPECT_EQ(kEvtpBadArgument, evtpEncodeString(nullptr, 8, &length, "K", "v"));
    EXPECT_EQ(kEvtpBadArgument, evtpEncodeString(out, 8, &length, "K", nullptr));
    EXPECT_EQ(kEvtpBadArgument, evtpEncodeStream(out, 8, &length, "K", nullptr, 1));
}
