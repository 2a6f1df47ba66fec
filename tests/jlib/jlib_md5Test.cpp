#include "jlib/jlib_md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string hex(const unsigned char digest[16])
{
    char text[33];
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", digest[i]);
    return text;
}

}  // namespace

TEST(jlib_md5Test, DigestsMatchRfc1321AndClearTheContext)
{
    struct Case { const char* text; const char* digest; };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    EXPECT_EQ(88u, sizeof(T_JLIB_MD5_CTX));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        T_JLIB_MD5_CTX context;
        unsigned char digest[16];
        jlib_MD5Init(&context);
        // Byte by byte, to cross the 64-byte block boundary in small steps.
        for (const char* p = c.text; *p; ++p) jlib_MD5Update(&context, p, 1);
        jlib_MD5Update(&context, nullptr, 0);
        jlib_MD5Final(digest, &context);
        EXPECT_EQ(c.digest, hex(digest));
        const T_JLIB_MD5_CTX zero{};
        EXPECT_EQ(0, std::memcmp(&zero, &context, sizeof context));
    }
}
