#include "jlib/jlib_base64.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(jlib_base64Test, EncodesRfc4648Vectors)
{
    struct Case { const char* data; const char* text; };
    const Case cases[] = {
        {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"}, {"a", "YQ=="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const uint32_t length = static_cast<uint32_t>(std::strlen(c.data));
        const uint32_t needed = jlib_getBase64EncodeLength(c.data, length);
        EXPECT_EQ(std::strlen(c.text) + 1, needed);
        char text[16];
        std::memset(text, 'Z', sizeof text);
        uint32_t used = 0xA5A5A5A5u;
        ASSERT_EQ(0u, jlib_encodeBase64(text, &used, needed, c.data, length));  // exactly the needed size
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(needed, used);
    }
}

TEST(jlib_base64Test, EncodeLengthAndRefusals)
{
    const unsigned char bytes[4] = {1, 2, 3, 4};
    struct Case { uint32_t length; uint32_t needed; };
    const Case lengths[] = {{1, 5}, {2, 5}, {3, 5}, {4, 9}, {0, 0}};
    for (const Case& c : lengths) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(c.needed, jlib_getBase64EncodeLength(bytes, c.length));
    }
    EXPECT_EQ(0u, jlib_getBase64EncodeLength(nullptr, 3));
    // A text of 4 GiB does not fit a 32-bit size: reported as 0, not wrapped.
    EXPECT_EQ(0u, jlib_getBase64EncodeLength(bytes, 0xFFFFFFFFu));

    char text[8] = "QQQQQQQ";
    uint32_t used = 0xA5A5A5A5u;
    EXPECT_EQ(0x80000001u, jlib_encodeBase64(nullptr, &used, 8, bytes, 3));
    EXPECT_EQ(0x80000001u, jlib_encodeBase64(text, &used, 0, bytes, 3));
    EXPECT_EQ(0x80000003u, jlib_encodeBase64(text, &used, 4, bytes, 3));
    EXPECT_EQ(0x80000003u, jlib_encodeBase64(text, &used, 8, bytes, 0xFFFFFFFFu));
    EXPECT_EQ(0xA5A5A5A5u, used);
    EXPECT_STREQ("QQQQQQQ", text);

    // Nothing to encode gives the empty text and a size of 0.
    EXPECT_EQ(0u, jlib_encodeBase64(text, &used, 8, nullptr, 3));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0u, used);
}

TEST(jlib_base64Test, DecodesUpToPadAndReportsBadInput)
{
    struct Case { const char* text; uint32_t size; uint32_t result; const char* bytes; uint32_t decoded; };
    const Case cases[] = {
        {"YWJj", 3, 0, "abc", 3},
        {"YQ==", 3, 0, "a", 1},
        {"YQ", 3, 0, "a", 1},           // padding is optional; left-over bits are dropped
        {"Zm9vYmE=", 8, 0, "fooba", 5},
        {"Zm8=garbage!", 8, 0, "fo", 2},  // "=" ends decoding, the rest is ignored
        {"", 1, 0, "", 0},
        {"YWJj", 2, 0x80000003u, "", 0},
        {"YW-j", 3, 0x80000002u, "", 0},
        {"YW j", 3, 0x80000002u, "", 0},
        {"YW\r\nj", 3, 0x80000002u, "", 0},
        {"+/+/", 3, 0, "\xfb\xff\xbf", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        unsigned char buffer[9] = {};  // one guard byte behind the largest size
        uint32_t decoded = 0xA5A5A5A5u;
        EXPECT_EQ(c.result, jlib_decodeBase64(buffer, &decoded, c.size, c.text,
                                              static_cast<uint32_t>(std::strlen(c.text))));
        EXPECT_EQ(c.decoded, decoded);
        if (c.result == 0) {
            EXPECT_EQ(0, std::memcmp(c.bytes, buffer, c.decoded));
        }
        EXPECT_EQ(0, buffer[c.size]);  // nothing past the size
    }

    unsigned char buffer[4] = {};
    uint32_t decoded = 0xA5A5A5A5u;
    EXPECT_EQ(0x80000001u, jlib_decodeBase64(buffer, &decoded, 4, nullptr, 4));
    EXPECT_EQ(0xA5A5A5A5u, decoded);
    EXPECT_EQ(0u, jlib_decodeBase64(buffer, &decoded, 4, nullptr, 0));
    EXPECT_EQ(0u, decoded);
    // The length bounds the text: a NUL inside it is outside the alphabet.
    EXPECT_EQ(0x80000002u, jlib_decodeBase64(buffer, &decoded, 4, "YQ\0A", 4));
}

TEST(jlib_base64Test, RoundTripsEveryByteValue)
{
    unsigned char data[256];
    for (int i = 0; i < 256; ++i) data[i] = static_cast<unsigned char>(i);
    for (uint32_t length : {1u, 2u, 3u, 254u, 255u, 256u}) {
        SCOPED_TRACE(length);
        std::string text(jlib_getBase64EncodeLength(data, length), '\0');
        uint32_t used = 0;
        ASSERT_EQ(0u, jlib_encodeBase64(text.data(), &used, static_cast<uint32_t>(text.size()), data, length));
        unsigned char back[256] = {};
        uint32_t decoded = 0;
        ASSERT_EQ(0u, jlib_decodeBase64(back, &decoded, length, text.c_str(), used - 1));
        EXPECT_EQ(length, decoded);
        EXPECT_EQ(0, std::memcmp(data, back, length));
    }
}
