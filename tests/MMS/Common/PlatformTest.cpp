#include "MMS/Common/mms_Platform.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "MmsTestHeap.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JHeap.h"

namespace {

using namespace MMS;

// Records what the debug print writes.
class RecordingOutput : public DBGC::IDebugConsoleLowIO {
public:
    JLIB::JResult initialize(DBGC::IDebugConsoleLowIOCallback&) override { return 0; }
    JLIB::JResult finalize() override { return 0; }
    JLIB::JResult pollChar() override { return 0; }
    JLIB::JResult receive(void*, uint32_t, uint32_t* received) override
    {
        *received = 0;
        return 0;
    }
    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        text.append(static_cast<const char*>(data), size);
        *sent = size;
        return 0;
    }
    JLIB::JResult flush() override { return 0; }
    JLIB::JResult runCallback() override { return 0; }
    std::string text;
};

RecordingOutput& debugOutput()
{
    static RecordingOutput output;
    static const bool added = dbgAddLowIO(output) == 0;
    (void)added;
    output.text.clear();
    return output;
}

// A folder under the system's temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/mms_platform_XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made != nullptr) m_path = made;
    }
    ~TempFolder()
    {
        for (const std::string& file : m_files) std::remove(file.c_str());
        if (!m_path.empty()) rmdir(m_path.c_str());
    }
    std::string write(const char* name, const std::string& content)
    {
        const std::string path = m_path + "/" + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(content.data(), 1, content.size(), f);
            std::fclose(f);
        }
        m_files.push_back(path);
        return path;
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

TEST(PlatformTest, MallocWithoutHeapManagerGivesNull)
{
    if (JLIB::GetHeapManager(kMmsHeapId) != nullptr) GTEST_SKIP() << "heap 1 was registered earlier in this process";
    EXPECT_EQ(nullptr, mmsMalloc(16));
    EXPECT_EQ(0u, mmsFree(reinterpret_cast<void*>(0x10)));  // ignored: there is no manager to give it to
    T_MMS_FILE* file = reinterpret_cast<T_MMS_FILE*>(0x1);
    EXPECT_EQ(0x80000000u, mmsFileOpen(&file, "/dev/null", 1));
    EXPECT_EQ(nullptr, file);
}

TEST(PlatformTest, MallocTakesTaggedBlocksFromHeapOneWithItsTraceFlag)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;

    EXPECT_EQ(nullptr, mmsMalloc(0));
    EXPECT_EQ(0, heap.allocations);  // size 0 never reaches the heap

    void* block = mmsMalloc(24);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    EXPECT_EQ(24u, heap.lastSize);
    EXPECT_FALSE(heap.lastDebug);
    EXPECT_EQ(0u, mmsFree(block));
    EXPECT_EQ(live, heap.live);

    ASSERT_EQ(0u, JLIB::SetHeapDebugOutput(kMmsHeapId, true));
    block = mmsMalloc(8);
    EXPECT_TRUE(heap.lastDebug);
    heap.lastDebug = false;
    EXPECT_EQ(0u, mmsFree(block));
    EXPECT_TRUE(heap.lastDebug);
    ASSERT_EQ(0u, JLIB::SetHeapDebugOutput(kMmsHeapId, false));

    const int frees = heap.frees;
    EXPECT_EQ(0u, mmsFree(nullptr));
    EXPECT_EQ(frees, heap.frees);

    heap.refuse = true;
    EXPECT_EQ(nullptr, mmsMalloc(8));
}

TEST(PlatformTest, MemoryPrimitivesAnswerTheirCodes)
{
    unsigned char a[4] = {1, 2, 3, 4};
    unsigned char b[4] = {1, 2, 9, 0};
    EXPECT_EQ(0u, mmsMemcmp(a, a, 4));
    EXPECT_EQ(2u, mmsMemcmp(a, b, 4));  // a smaller at byte 2
    EXPECT_EQ(1u, mmsMemcmp(b, a, 4));
    EXPECT_EQ(0u, mmsMemcmp(a, b, 2));
    EXPECT_EQ(0x80000003u, mmsMemcmp(nullptr, b, 4));

    EXPECT_EQ(0u, mmsMemcpy(b, a, 4));
    EXPECT_EQ(0, std::memcmp(a, b, 4));
    EXPECT_EQ(0x80000003u, mmsMemcpy(nullptr, a, 4));

    EXPECT_EQ(0u, mmsMemset(a, 0xEE, 3));
    EXPECT_EQ(0xEE, a[2]);
    EXPECT_EQ(4, a[3]);
    EXPECT_EQ(0x80000003u, mmsMemset(a, 0, 0));
    EXPECT_EQ(0x80000003u, mmsMemset(nullptr, 0, 4));
}

TEST(PlatformTest, StringLengthAndSearchStayWithinTheirBounds)
{
    struct LengthCase {
        const char* text;
        uint32_t n;
        uint32_t length;
    };
    const LengthCase lengths[] = {{"abc", 2, 2}, {"abc", 3, 3}, {"abc", 10, 3}, {nullptr, 5, 0}, {"", 5, 0}};
    for (const LengthCase& c : lengths) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(c.length, mmsStrnlen(c.text, c.n));
    }

    struct SearchCase {
        const char* text;
        char c;
        uint32_t start;
        uint32_t size;
        uint32_t result;
    };
    const char withNul[] = {'a', '\0', '/', 'b'};
    const SearchCase searches[] = {
        {"a/b", '/', 0, 3, 1},
        {"a/b", '/', 2, 3, 0x80000004u},
        {"a/b", '/', 3, 3, 0x80000003u},
        {"a/b", '/', 0, 0, 0x80000003u},
        {nullptr, '/', 0, 3, 0x80000003u},
        {"a/b/c", '/', 2, 5, 3},
        {"a/b", 'b', 0, 2, 0x80000004u},  // the size ends the search before the b
        {withNul, '/', 0, 4, 0x80000004u},  // and so does a NUL
    };
    for (const SearchCase& c : searches) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " size " << c.size);
        EXPECT_EQ(c.result, mmsStrchr(c.text, c.c, c.start, c.size));
    }
}

TEST(PlatformTest, StringCompareAndCopyAnswerTheirCodes)
{
    EXPECT_EQ(0u, mmsStrncmp("abc", "abd", 2));
    EXPECT_EQ(2u, mmsStrncmp("abc", "abd", 3));
    EXPECT_EQ(1u, mmsStrncmp("abd", "abc", 3));
    EXPECT_EQ(0x80000003u, mmsStrncmp("a", nullptr, 1));
    EXPECT_EQ(0x80000003u, mmsStrncmp("a", "a", 0));

    char out[8];
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(0u, mmsStrncpy(out, "ab", 4));
    EXPECT_STREQ("ab", out);
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(5u, mmsStrncpy(out, "abcdef", 4));
    EXPECT_STREQ("abcd", out);  // the NUL goes after the n characters
    EXPECT_EQ('x', out[5]);
    EXPECT_EQ(0x80000003u, mmsStrncpy(out, "ab", 0));
    EXPECT_EQ(0x80000003u, mmsStrncpy(nullptr, "ab", 4));
}

TEST(PlatformTest, FmodTruncatesWithinIntegerRangeAndFallsBackBeyondIt)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float a;
        float b;
        float result;
    };
    const Case cases[] = {
        {7.5f, 2.0f, 1.5f},
        {-7.5f, 2.0f, -1.5f},  // truncation toward zero
        {7.5f, -2.0f, 1.5f},
        {0.75f, 0.25f, 0.0f},
        {1073741824.0f, 1.0f, 0.0f},  // 2^30: still the formula
        // Quotients beyond the 32-bit range or not finite: the standard remainder.
        {1e10f, 3.0f, std::fmod(1e10f, 3.0f)},
        {-1e12f, 7.0f, std::fmod(-1e12f, 7.0f)},
        {3e38f, 1e-3f, std::fmod(3e38f, 1e-3f)},
        {5.0f, 0.0f, nan},
        {inf, 2.0f, nan},
        {0.0f, 0.0f, nan},
        {5.0f, inf, 5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " fmod " << c.b);
        const float r = mmsFmod(c.a, c.b);
        if (std::isnan(c.result)) {
            EXPECT_TRUE(std::isnan(r)) << r;
        } else {
            EXPECT_FLOAT_EQ(c.result, r);
        }
    }
}

TEST(PlatformTest, DirtyMemorySizeRoundsBitsUpToBytes)
{
    const uint32_t cases[][2] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {16, 2}, {17, 3}, {0xFFFFFFFFu, 0x20000000u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(c[1], mmsLinkDirtyMemorySize(c[0]));
    }
}

TEST(PlatformTest, CalcMD5WritesThirtyTwoLowerCaseHexCharactersWithoutTerminator)
{
    struct Case {
        std::string data;
        const char* md5;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        char out[34];
        std::memset(out, '#', sizeof(out));
        EXPECT_EQ(0u, mmsCalcMD5(out, reinterpret_cast<const unsigned char*>(c.data.data()),
                                 static_cast<uint32_t>(c.data.size())));
        EXPECT_EQ(std::string(c.md5), std::string(out, 32));
        EXPECT_EQ('#', out[32]);
    }
    EXPECT_EQ(0x80000002u, mmsCalcMD5(nullptr, reinterpret_cast<const unsigned char*>("a"), 1));
}

TEST(PlatformTest, AssertOutputPrintsOneLineWithoutReadingPercentAgain)
{
    RecordingOutput& output = debugOutput();
    EXPECT_EQ(0u, mmsAssertOutput("[ %s ] %d%%\n", "%s%d%n", 50));
    EXPECT_EQ("[ %s%d%n ] 50%\n", output.text);

    output.text.clear();
    const std::string longText(300, 'y');
    EXPECT_EQ(0u, mmsAssertOutput("%s", longText.c_str()));
    EXPECT_EQ(std::string(255, 'y'), output.text);
}

TEST(PlatformTest, FileOpensReadOnlyForModesOneAndThreeAndReadsToTheEnd)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    std::string content(300, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    const std::string path = folder.write("definition.xml", content);

    for (uint32_t mode : {1u, 3u}) {
        SCOPED_TRACE(mode);
        const int live = heap.live;
        T_MMS_FILE* file = nullptr;
        ASSERT_EQ(0u, mmsFileOpen(&file, path.c_str(), mode));
        ASSERT_NE(nullptr, file);
        EXPECT_EQ(live + 1, heap.live);
        EXPECT_EQ("MMS Wrap", heap.lastTag);
        EXPECT_EQ(8u, heap.lastSize);

        std::string read;
        unsigned char chunk[256];
        uint32_t count = 0;
        do {
            ASSERT_EQ(0u, mmsFileRead(chunk, &count, sizeof(chunk), file));
            read.append(reinterpret_cast<const char*>(chunk), count);
        } while (count == sizeof(chunk));
        EXPECT_EQ(content, read);
        ASSERT_EQ(0u, mmsFileRead(chunk, &count, sizeof(chunk), file));
        EXPECT_EQ(0u, count);

        EXPECT_EQ(0u, mmsFileClose(file));
        EXPECT_EQ(live, heap.live);
    }
}

TEST(PlatformTest, FileOpenFailuresAllocateNothingAndLeaveNoHandle)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    TempFolder folder;
    const std::string path = folder.write("present.xml", "<function/>");
    const std::string missing = folder.path() + "/missing.xml";
    struct Case {
        const char* path;
        uint32_t mode;
        bool refuseHeap;
        int allocations;
    };
    const Case cases[] = {
        {path.c_str(), 0, false, 0},
        {path.c_str(), 2, false, 0},  // the existing-file flag alone opens nothing
        {missing.c_str(), 1, false, 1},
        {missing.c_str(), 3, false, 1},
        {nullptr, 1, false, 1},
        {path.c_str(), 1, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.path ? c.path : "(null)") << " mode " << c.mode);
        heap.reset();
        heap.refuse = c.refuseHeap;
        const int live = heap.live;
        T_MMS_FILE* file = reinterpret_cast<T_MMS_FILE*>(0x1);
        EXPECT_EQ(0x80000000u, mmsFileOpen(&file, c.path, c.mode));
        EXPECT_EQ(nullptr, file);
        EXPECT_EQ(c.allocations, heap.allocations);
        EXPECT_EQ(live, heap.live);
    }
    heap.refuse = false;
    EXPECT_EQ(0x80000000u, mmsFileOpen(nullptr, path.c_str(), 1));
    uint32_t count = 0;
    char buffer[4];
    EXPECT_EQ(0x80000000u, mmsFileRead(buffer, &count, sizeof(buffer), nullptr));
    EXPECT_EQ(0x80000000u, mmsFileClose(nullptr));
}

// A tree class with the library's class allocators.
struct Node {
    MMS_CLASS_ALLOCATORS
    Node() : value(7) {}
    virtual ~Node() { value = 0; }
    int value;
};

TEST(PlatformTest, ClassAllocatorsUseHeapOneAndGiveNullInsteadOfThrowing)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;

    Node* one = new Node;
    ASSERT_NE(nullptr, one);
    EXPECT_EQ(7, one->value);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    Node* many = new Node[3];
    ASSERT_NE(nullptr, many);
    EXPECT_EQ(7, many[2].value);
    Node* quiet = new (std::nothrow) Node;
    Node* quietMany = new (std::nothrow) Node[2];
    ASSERT_NE(nullptr, quiet);
    ASSERT_NE(nullptr, quietMany);
    EXPECT_EQ(live + 4, heap.live);
    delete one;
    delete[] many;
    delete quiet;
    delete[] quietMany;
    EXPECT_EQ(live, heap.live);
    Node::operator delete(nullptr, std::nothrow);
    Node::operator delete[](nullptr, std::nothrow);

    heap.refuse = true;
    EXPECT_EQ(nullptr, new Node);
    EXPECT_EQ(nullptr, new Node[3]);
    EXPECT_EQ(nullptr, new (std::nothrow) Node);
    EXPECT_EQ(nullptr, new (std::nothrow) Node[2]);
    EXPECT_EQ(live, heap.live);
}

}  // namespace
