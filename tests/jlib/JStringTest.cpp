#include "jlib/JString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jlib/TestHeapManager.h"

namespace {

using String = JLIB::JString<JLIB::JUnicode>;
constexpr uint32_t kPoison = 0xA5A5A5A5u;

String make(uint32_t capacity, const char* latin1 = nullptr)
{
    String s(capacity, JLIB::JAllocator<JLIB::JUnicode>(0, "UnicodeString"));
    if (latin1) {
        EXPECT_EQ(0u, s.fromLatin1(latin1, 100));
    }
    return s;
}

std::vector<uint32_t> codes(const String& s)
{
    std::vector<uint32_t> out;
    for (const JLIB::JUnicode& c : s) out.push_back(c.get());
    return out;
}

std::vector<unsigned char> bytes(const void* p, uint32_t n)
{
    const auto* b = static_cast<const unsigned char*>(p);
    return std::vector<unsigned char>(b, b + n);
}

}  // namespace

TEST(JStringTest, FillsFromNarrowTextUpToCapacity)
{
    struct Case {
        const char* name;
        bool ascii;
        const char* text;
        uint32_t maximum;
        JLIB::JResult result;
        std::vector<uint32_t> held;
    };
    const Case cases[] = {
        {"cut by capacity", true, "abcd", 10, 0x80000002u, {'a', 'b', 'c'}},
        {"fits", true, "ab", 10, 0, {'a', 'b'}},
        {"cut by maximum", true, "abcd", 2, 0, {'a', 'b'}},
        {"stops at NUL", true, "a\0bc", 4, 0, {'a'}},
        {"ascii replaces high byte", true, "a\xE9", 10, 0, {'a', 0xFFFD}},
        {"latin1 keeps high byte", false, "a\xE9", 10, 0, {'a', 0xE9}},
        {"empty text empties", true, "", 10, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        String s = make(3, "xyz");
        EXPECT_EQ(c.result, c.ascii ? s.fromAscii(c.text, c.maximum) : s.fromLatin1(c.text, c.maximum));
        EXPECT_EQ(c.held, codes(s));
    }
    String s = make(3, "xy");
    EXPECT_EQ(0x80000005u, s.fromAscii(nullptr, 10));
    EXPECT_EQ(0x80000005u, s.fromLatin1(nullptr, 10));
    EXPECT_EQ((std::vector<uint32_t>{'x', 'y'}), codes(s));
}

TEST(JStringTest, FillsFromWideTextCombiningPairsWithinTheMaximum)
{
    const wchar_t pair[] = {L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'b', 0};
    struct Case {
        const char* name;
        uint32_t capacity;
        uint32_t maximum;
        JLIB::JResult result;
        std::vector<uint32_t> held;
    };
    const Case cases[] = {
        {"whole", 8, 10, 0, {'a', 0x1F600, 'b'}},
        {"maximum splits the pair", 8, 2, 0, {'a', 0xD83D}},
        {"capacity", 2, 10, 0x80000002u, {'a', 0x1F600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        String s = make(c.capacity);
        EXPECT_EQ(c.result, s.fromWChar(pair, c.maximum));
        EXPECT_EQ(c.held, codes(s));
    }
    String s = make(2, "q");
    EXPECT_EQ(0x80000005u, s.fromWChar(nullptr, 4));
    EXPECT_EQ((std::vector<uint32_t>{'q'}), codes(s));
}

TEST(JStringTest, NarrowOutputsCutAndAlwaysTerminate)
{
    struct Case {
        const char* name;
        const char* text;
        uint32_t start;
        uint32_t size;
        bool latin1;
        JLIB::JResult result;
        uint32_t written;
        std::string out;
    };
    const Case cases[] = {
        {"cut", "abc", 0, 3, false, 0x80000002u, 3, "ab"},
        {"fits", "abc", 0, 4, false, 0, 4, "abc"},
        {"replacement unreported", "a\xE9", 0, 4, false, 0, 3, "a?"},
        {"latin1 keeps", "a\xE9", 0, 4, true, 0, 3, "a\xE9"},
        {"only terminator", "abc", 0, 1, false, 0x80000002u, 1, ""},
        {"from start", "abc", 1, 10, false, 0, 3, "bc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const String s = make(8, c.text);
        char buffer[16];
        std::memset(buffer, 'Z', sizeof(buffer));
        uint32_t written = kPoison;
        const JLIB::JResult r = c.latin1 ? s.toLatin1(c.start, buffer, c.size, &written, '?')
                                         : s.toAscii(c.start, buffer, c.size, &written, '?');
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.written, written);
        EXPECT_EQ(c.out, std::string(buffer));
        EXPECT_EQ('Z', buffer[c.size]);
    }
}

TEST(JStringTest, NothingToWriteLeavesBufferUntouched)
{
    const String empty = make(4);
    const String abc = make(4, "abc");
    struct Case { const char* name; const String* s; uint32_t start; uint32_t size; bool nullBuffer; };
    const Case cases[] = {
        {"empty string", &empty, 0, 8, false},
        {"start at count", &abc, 3, 8, false},
        {"size 0", &abc, 0, 0, false},
        {"null buffer", &abc, 0, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned char buffer[8];
        std::memset(buffer, 0xEE, sizeof(buffer));
        wchar_t wide[8];
        std::fill(wide, wide + 8, L'Z');
        unsigned char* b = c.nullBuffer ? nullptr : buffer;
        char* text = reinterpret_cast<char*>(b);
        uint32_t written = kPoison;
        EXPECT_EQ(0x80000005u, c.s->toAscii(c.start, text, c.size, &written, '?'));
        EXPECT_EQ(0u, written);
        EXPECT_EQ(0x80000005u, c.s->toLatin1(c.start, text, c.size, &written, '?'));
        EXPECT_EQ(0x80000005u, c.s->toUTF8(c.start, b, c.size, &written));
        EXPECT_EQ(0x80000005u, c.s->toUTF16BE(c.start, b, c.size, &written));
        EXPECT_EQ(0x80000005u, c.s->toUTF16LE(c.start, b, c.size, &written));
        EXPECT_EQ(0x80000005u, c.s->toWChar(c.start, c.nullBuffer ? nullptr : wide, c.size, &written));
        EXPECT_EQ(std::vector<unsigned char>(8, 0xEE), bytes(buffer, 8));
        EXPECT_EQ(L'Z', wide[0]);
    }
    unsigned char buffer[2] = {0xEE, 0xEE};
    uint32_t written = kPoison;
    EXPECT_EQ(0x80000005u, abc.toUTF16BE(buffer, 1, &written)); // no room for the 2-byte terminator
    EXPECT_EQ(0xEE, buffer[0]);
    EXPECT_FALSE(empty == "");
    EXPECT_FALSE(empty.compare("", JLIB::kCompareExact));
}

TEST(JStringTest, WritesUtf8Utf16AndWideText)
{
    String s = make(4);
    ASSERT_EQ(0u, s.fromLatin1("a\xE9", 10));

    unsigned char buffer[16];
    uint32_t written = kPoison;
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000002u, s.toUTF8(buffer, 3, &written)); // U+00E9 needs 2 bytes, 1 is left
    EXPECT_EQ(2u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x61, 0x00, 0xEE}), bytes(buffer, 3));
    EXPECT_EQ(0u, s.toUTF8(buffer, 4, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x61, 0xC3, 0xA9, 0x00}), bytes(buffer, 4));

    const wchar_t smile[] = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), 0};
    String e = make(2);
    ASSERT_EQ(0u, e.fromWChar(smile, 10));
    EXPECT_EQ(0u, e.toUTF16LE(buffer, 6, &written));
    EXPECT_EQ(6u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x3D, 0xD8, 0x00, 0xDE, 0x00, 0x00}), bytes(buffer, 6));
    EXPECT_EQ(0x80000002u, e.toUTF16BE(buffer, 5, &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x00, 0x00}), bytes(buffer, 2));

    const String abc = make(4, "abc");
    wchar_t wide[10];
    EXPECT_EQ(0u, abc.toWChar(wide, 10, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ(std::wstring(L"abc"), std::wstring(wide));
    EXPECT_EQ(0x80000002u, abc.toWChar(wide, 3, &written));
    EXPECT_EQ(3u, written);
    EXPECT_EQ(std::wstring(L"ab"), std::wstring(wide));
}

TEST(JStringTest, Utf16WithByteOrderMarks)
{
    const String a = make(2, "A");
    struct Case {
        const char* name;
        uint32_t type;
        uint32_t size;
        JLIB::JResult result;
        uint32_t written;
        std::vector<unsigned char> out;
    };
    const Case cases[] = {
        {"BE marked", 1, 6, 0, 6, {0xFE, 0xFF, 0x00, 0x41, 0x00, 0x00}},
        {"LE marked", 2, 6, 0, 6, {0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00}},
        {"plain BE", 0, 4, 0, 4, {0x00, 0x41, 0x00, 0x00}},
        {"marked too small", 1, 3, 0x80000005u, 0, {0xEE, 0xEE, 0xEE}},
        {"marked, room for mark only", 2, 4, 0x80000002u, 4, {0xFF, 0xFE, 0x00, 0x00}},
        {"unknown type", 3, 6, 0x80000005u, 0, {0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned char buffer[8];
        std::memset(buffer, 0xEE, sizeof(buffer));
        uint32_t written = kPoison;
        EXPECT_EQ(c.result, a.toUTF16(buffer, c.size, static_cast<JLIB::UTF16Type>(c.type), &written));
        EXPECT_EQ(c.written, written);
        EXPECT_EQ(c.out, bytes(buffer, static_cast<uint32_t>(c.out.size())));
    }
    // The mark is counted even when nothing follows it.
    const String empty = make(2);
    unsigned char buffer[8];
    uint32_t written = kPoison;
    EXPECT_EQ(0x80000005u, empty.toUTF16(buffer, 8, JLIB::kUTF16BigEndianMarked, &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ(0x80000005u, a.toUTF16(nullptr, 8, JLIB::kUTF16LittleEndianMarked, &written));
    EXPECT_EQ(0u, written);
}

TEST(JStringTest, ComparesExactlyOrFoldingAsciiCase)
{
    const String upper = make(4, "ABC");
    const String lower = make(4, "abc");
    const String longer = make(4, "abcd");
    const String accented = make(4, "\xC9");
    struct Case { const char* name; const String* a; const String* b; uint32_t mode; bool equal; };
    const Case cases[] = {
        {"same", &lower, &lower, 0, true},
        {"case differs", &upper, &lower, 0, false},
        {"case folded", &upper, &lower, 1, true},
        {"other mode is exact", &upper, &lower, 7, false},
        {"lengths differ", &lower, &longer, 0, false},
        {"only ascii folds", &accented, &accented, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.equal, c.a->compare(*c.b, static_cast<JLIB::CompareMode>(c.mode)));
    }
    const String e9 = make(4, "\xE9");
    EXPECT_FALSE(accented.compare(e9, JLIB::kCompareIgnoreCase));
    EXPECT_FALSE(accented.compare("\xE9", JLIB::kCompareIgnoreCase));

    EXPECT_TRUE(upper == "ABC");
    EXPECT_FALSE(upper == "AB");
    EXPECT_FALSE(upper == "ABCD");
    EXPECT_TRUE(upper.compare("abc", JLIB::kCompareIgnoreCase));
    EXPECT_TRUE(longer.compare(1, "bcd", JLIB::kCompareExact));
    EXPECT_FALSE(longer.compare(4, "", JLIB::kCompareExact));
    EXPECT_FALSE(upper.compare(static_cast<const char*>(nullptr), JLIB::kCompareExact));

    const String bcd = make(3, "bcd");
    EXPECT_TRUE(longer.compare(1, 3, bcd, JLIB::kCompareExact));
    EXPECT_FALSE(longer.compare(1, 2, bcd, JLIB::kCompareExact));

    const wchar_t smileWide[] = {L'x', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), 0};
    String smile = make(4);
    ASSERT_EQ(0u, smile.fromWChar(smileWide, 10));
    EXPECT_TRUE(smile.compare(smileWide, JLIB::kCompareExact));
    EXPECT_TRUE(upper.compare(L"abc", JLIB::kCompareIgnoreCase));
    EXPECT_FALSE(upper.compare(L"ab", JLIB::kCompareExact));
}

TEST(JStringTest, FindsSubstrings)
{
    const String hello = make(8, "hello");
    struct Case { const char* needle; long position; };
    const Case cases[] = {{"lo", 3}, {"hell", 0}, {"xyz", 5}, {"", 5}, {"lox", 5}, {"llo", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.needle);
        const String needle = make(4, c.needle);
        EXPECT_EQ(c.position, hello.findSub(needle) - hello.begin());
        EXPECT_EQ(c.position, hello.find(needle) - hello.begin());
    }

    // A character of code 0 is the logical end: the search stops there.
    String withNul = make(8);
    ASSERT_EQ(0u, withNul.push_back(JLIB::JUnicode('a')));
    ASSERT_EQ(0u, withNul.push_back(JLIB::JUnicode()));
    ASSERT_EQ(0u, withNul.push_back(JLIB::JUnicode('b')));
    const String b = make(2, "b");
    EXPECT_EQ(1, withNul.findSub(b) - withNul.begin());
    EXPECT_TRUE(withNul.isEnd(withNul.begin() + 1));
    EXPECT_TRUE(withNul.isEnd(withNul.end()));
    EXPECT_FALSE(withNul.isEnd(withNul.begin()));
    char out[8];
    uint32_t written = 0;
    EXPECT_EQ(0u, withNul.toAscii(out, 8, &written, '?'));
    EXPECT_EQ(2u, written);
}

TEST(JStringTest, MapsCaseAndCopiesWithinCapacity)
{
    String s = make(8, "Mixed 1\xE9");
    EXPECT_EQ(0u, s.toUpper());
    EXPECT_TRUE(s == "MIXED 1\xE9");
    EXPECT_EQ(0u, s.toLower());
    EXPECT_TRUE(s == "mixed 1\xE9");

    testheap::TestHeapManager& heap = testheap::heap();
    String small(3, JLIB::JAllocator<JLIB::JUnicode>(testheap::kTestHeap, "UnicodeString"));
    EXPECT_EQ("UnicodeString", heap.lastTag);
    small = s;
    EXPECT_TRUE(small == "mix");
    EXPECT_EQ(3u, small.capacity());
    String copy(s);
    EXPECT_EQ(8u, copy.capacity());
    EXPECT_TRUE(copy == "mixed 1\xE9");
}
