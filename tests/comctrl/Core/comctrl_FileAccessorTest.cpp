#include "comctrl/Core/comctrl_FileAccessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "FileCache/TempFolder.h"
#include "FileTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_FileInfoCache.h"
#include "oswrap/oswrap_semaphore.h"

using ComControl::FileAccessor;

namespace {

class FileAccessorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_tmp.file("root"));
        ASSERT_EQ(0u, m_accessor.initialize(1, m_tmp.file("root").c_str(), 256, '/', nullptr));
    }
    std::string root(const std::string& name) const { return m_tmp.file("root/" + name); }

    TempFolder m_tmp;
    FileAccessor m_accessor;
};

}  // namespace

TEST_F(FileAccessorTest, SlotsAreCheckedAndOpenOnlyOnce)
{
    m_tmp.write("root/a.txt", "hello");
    EXPECT_EQ(0x80000002u, m_accessor.open(1, "a.txt", 3));
    ASSERT_EQ(0u, m_accessor.open(0, "a.txt", 3));
    EXPECT_EQ(0x80000004u, m_accessor.open(0, "a.txt", 3));
    EXPECT_EQ(1u, m_accessor.isOpen(0));
    EXPECT_EQ(0u, m_accessor.close(0));
    EXPECT_EQ(0x80000004u, m_accessor.close(0));
    EXPECT_EQ(0u, m_accessor.isOpen(0));
    EXPECT_EQ(0x80000005u, m_accessor.open(0, "missing.txt", 3));
    EXPECT_EQ(0u, m_accessor.isOpen(0));
    EXPECT_EQ(0x80000003u, m_accessor.initialize(1, "/tmp", 256, '/', nullptr));
}

TEST_F(FileAccessorTest, ReadReportsTheEndOfTheFile)
{
    m_tmp.write("root/a.txt", "hello");
    ASSERT_EQ(0u, m_accessor.open(0, "a.txt", 3));
    char buffer[16] = {};
    uint32_t count = 99;
    EXPECT_EQ(0u, m_accessor.read(0, buffer, &count, 3));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(1u, m_accessor.read(0, buffer, &count, 16));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(1u, m_accessor.read(0, buffer, &count, 16));
    EXPECT_EQ(0u, count);
    uint32_t position = 0;
    ASSERT_EQ(0u, m_accessor.seek(0, 1, ComControl::FILESEEK_SET));
    ASSERT_EQ(0u, m_accessor.tell(0, &position));
    EXPECT_EQ(1u, position);
    EXPECT_EQ(0u, m_accessor.close(0));
}

TEST_F(FileAccessorTest, PathOperationsWorkBelowTheRoot)
{
    ASSERT_EQ(0u, m_accessor.makeDir(0, "d/e"));
    bool folder = false;
    EXPECT_EQ(0u, m_accessor.exists(0, "d", &folder));
    EXPECT_TRUE(folder);
    EXPECT_EQ(0x80000005u, m_accessor.exists(0, "nothing", &folder));
    m_tmp.write("root/d/a.txt", "12345");
    uint32_t size = 0;
    EXPECT_EQ(0u, m_accessor.size(0, "d/a.txt", &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0u, m_accessor.copy(0, "d/a.txt", "b.txt"));
    EXPECT_EQ(0u, m_accessor.rename(0, "b.txt", "d/e/c.txt"));
    EXPECT_EQ("12345", m_tmp.read("root/d/e/c.txt"));
    EXPECT_EQ(0x80000008u, m_accessor.remove(0, "d"));  // a folder is not removed as a file
    EXPECT_EQ(0u, m_accessor.remove(0, "d/a.txt"));
    EXPECT_EQ(0u, m_accessor.removeDir(0, "d"));
    EXPECT_FALSE(std::filesystem::exists(root("d")));
}

TEST_F(FileAccessorTest, PathsThatLeaveTheRootAreRefused)
{
    m_tmp.write("outside.txt", "keep");
    std::filesystem::create_directories(m_tmp.file("root/sub"));
    const char* const paths[] = {"../outside.txt", "sub/../../outside.txt", "/etc/passwd", "sub\\x", ".."};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        uint32_t size = 0;
        EXPECT_EQ(0x80000002u, m_accessor.open(0, path, 0));
        EXPECT_EQ(0x80000002u, m_accessor.remove(0, path));
        EXPECT_EQ(0x80000002u, m_accessor.size(0, path, &size));
        EXPECT_EQ(0x80000002u, m_accessor.makeDir(0, path));
        EXPECT_EQ(0x80000002u, m_accessor.rename(0, "sub", path));
    }
    EXPECT_EQ("keep", m_tmp.read("outside.txt"));
    EXPECT_EQ(0u, m_accessor.makeDir(0, "sub/..x/y"));  // only a whole ".." part climbs
}

TEST(FileAccessorRootTest, RootAndRelativePathMustFitTheCapacity)
{
    TempFolder tmp;
    FileAccessor tooLong;
    const std::string root254(254, 'r');
    EXPECT_EQ(0x80000002u, tooLong.initialize(1, root254.c_str(), 256, '/', nullptr));
    EXPECT_EQ(0x80000002u, tooLong.initialize(1, nullptr, 256, '/', nullptr));
    EXPECT_EQ(0x80000002u, tooLong.initialize(1, "/tmp", 0, '/', nullptr));

    // Root of 253 characters: only one-character names fit 256 bytes.
    std::string root = tmp.path() + "/";
    root += std::string(253 - root.size(), 'd');
    std::filesystem::create_directories(root);
    FileAccessor accessor;
    ASSERT_EQ(0u, accessor.initialize(1, root.c_str(), 256, '/', nullptr));
    EXPECT_EQ(0u, accessor.open(0, "a", 0));
    EXPECT_EQ(0u, accessor.close(0));
    EXPECT_EQ(0x80000007u, accessor.open(0, "ab", 0));
    EXPECT_FALSE(std::filesystem::exists(root + "/ab"));
}

TEST_F(FileAccessorTest, HashIsTheContainerIdentity)
{
    m_tmp.write("root/text.txt", "not a container at all, just some text");
    ASSERT_TRUE(comctrltest::writeContainer(root("c.mbdf"), 0x10));
    uint8_t buffer[32];
    uint32_t length = 77;

    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000003u, m_accessor.hash(0, "text.txt", buffer, sizeof(buffer), &length));
    EXPECT_EQ(0u, length);
    for (uint8_t b : buffer) EXPECT_EQ(0, b);

    ASSERT_EQ(0u, m_accessor.hash(0, "c.mbdf", buffer, sizeof(buffer), &length));
    ASSERT_EQ(16u, length);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0x10 + i, buffer[i]);
    EXPECT_EQ(0x8000000Eu, m_accessor.hash(0, "c.mbdf", buffer, 8, &length));
    EXPECT_EQ(0u, length);

    // The open file, and a path while the slot is busy.
    ASSERT_EQ(0u, m_accessor.open(0, "c.mbdf", 3));
    uint8_t skip[5];
    uint32_t count = 0;
    ASSERT_EQ(0u, m_accessor.read(0, skip, &count, sizeof(skip)));
    EXPECT_EQ(0x80000004u, m_accessor.hash(0, "c.mbdf", buffer, sizeof(buffer), &length));
    ASSERT_EQ(0u, m_accessor.hash(0, nullptr, buffer, sizeof(buffer), &length));
    EXPECT_EQ(16u, length);
    uint32_t position = 0;
    ASSERT_EQ(0u, m_accessor.tell(0, &position));
    EXPECT_EQ(5u, position);  // put back where it was
    EXPECT_EQ(0u, m_accessor.close(0));
    EXPECT_EQ(0x80000004u, m_accessor.hash(0, nullptr, buffer, sizeof(buffer), &length));
}

TEST(FileAccessorCacheTest, CacheDefersOpensAndFollowsRenames)
{
    TempFolder tmp;
    ComControl::FileInfoCache cache;
    FileAccessor accessor;
    ASSERT_EQ(0u, accessor.initialize(1, tmp.path().c_str(), 256, '/', &cache));
    EXPECT_EQ(0u, accessor.open(0, "missing", 3));  // not touched yet
    EXPECT_EQ(1u, accessor.isOpen(0));
    EXPECT_EQ(0u, accessor.close(0));
    ASSERT_EQ(0u, accessor.open(0, "missing", 3));
    char b[4];
    uint32_t n = 0;
    EXPECT_EQ(0x80000004u, accessor.read(0, b, &n, sizeof(b)));  // the deferred open failed
    EXPECT_EQ(0u, accessor.isOpen(0));

    ASSERT_TRUE(comctrltest::writeContainer(tmp.file("c.mbdf"), 0x40));
    uint8_t hash[32];
    uint32_t length = 0;
    ASSERT_EQ(0u, accessor.hash(0, "c.mbdf", hash, sizeof(hash), &length));
    ASSERT_EQ(0u, accessor.rename(0, "c.mbdf", "d.mbdf"));
    tmp.write("d.mbdf", "replaced in place keeps the cached identity");
    ASSERT_EQ(0u, accessor.hash(0, "d.mbdf", hash, sizeof(hash), &length));
    EXPECT_EQ(0x40, hash[0]);
    ASSERT_EQ(0u, accessor.remove(0, "d.mbdf"));
    EXPECT_EQ(0x80000000u, cache.getHash("d.mbdf", hash, sizeof(hash), &length));
}

TEST(FileInfoCacheTest, BoundsAndRenames)
{
    ComControl::FileInfoCache cache;
    uint8_t hash[33] = {1, 2, 3};
    uint8_t out[32];
    uint32_t length = 0;
    EXPECT_EQ(0x80000000u, cache.updateHash("a", hash, 33));
    EXPECT_EQ(0x80000000u, cache.getHash("a", out, sizeof(out), &length));
    ASSERT_EQ(0u, cache.updateHash("a", hash, 16));
    EXPECT_EQ(0x80000000u, cache.getHash("a", out, 31, &length));
    ASSERT_EQ(0u, cache.getHash("a", out, sizeof(out), &length));
    EXPECT_EQ(16u, length);
    ASSERT_EQ(0u, cache.updateHash("b", hash, 4));
    EXPECT_EQ(0x80000000u, cache.rename("x", "b"));  // no entry: the destination's goes too
    EXPECT_EQ(0x80000000u, cache.getHash("b", out, sizeof(out), &length));
    ASSERT_EQ(0u, cache.rename("a", "c"));
    EXPECT_EQ(0u, cache.getHash("c", out, sizeof(out), &length));
    EXPECT_EQ(0x80000000u, cache.getHash("a", out, sizeof(out), &length));
}

TEST(FileAccessorMappingTest, StorageResultsMapToAccessorResults)
{
    struct Case { JLIB::JResult in; JLIB::JResult out; };
    const Case fsw[] = {{0, 0}, {1, 1}, {0x10001, 1}, {0x80000001u, 0x80000005u}, {0x80000002u, 0x80000006u},
                        {0x80000003u, 0x80000008u}, {0x80000004u, 0x80000008u}, {0x80000005u, 0x80000009u},
                        {0x80000006u, 0x80000004u}, {0x80000013u, 0x80000004u}, {0x80000010u, 0x80000007u},
                        {0x80000011u, 0x8000000Au}, {0x80000012u, 0x8000000Bu}, {0x80000014u, 0x8000000Cu},
                        {0x80001001u, 0x8000000Du}, {0x8000F000u, 0x80000002u}, {0x80001000u, 0x80000000u}};
    for (const Case& c : fsw) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, FileAccessor::fromFswErr(c.in));
    }
    const Case mbdf[] = {{0x80000001u, 0x80000002u}, {0x80000002u, 0x80000003u}, {0x80000003u, 0x80000008u},
                         {0x80000004u, 0x80000009u}, {0x80000005u, 0x8000000Du}, {0x80000006u, 0x80000000u},
                         {0x80000007u, 0x80000005u}, {0x80000008u, 0x80000004u}, {0x8000000Au, 0x80000000u}};
    for (const Case& c : mbdf) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, FileAccessor::fromMbdfErr(c.in));
    }
}

namespace {

// The operations the shared accessor leaves open, forwarded under the same semaphore.
class SharedAccessor : public ComControl::ExclusiveAccessor {
public:
    JLIB::JResult isOpen(uint32_t slot) override { return accessor().isOpen(slot); }
    JLIB::JResult tell(uint32_t slot, uint32_t* position) override { return accessor().tell(slot, position); }
    JLIB::JResult rename(uint32_t slot, const char* a, const char* b) override { return accessor().rename(slot, a, b); }
    JLIB::JResult sync(uint32_t slot) override { return accessor().sync(slot); }
};

}  // namespace

TEST(ExclusiveAccessorTest, EachOperationWaitsForTheSemaphore)
{
    TempFolder tmp;
    uint16_t sem = 0;
    const T_OSW_CSEM csem{nullptr, 0, 1, "fileacc"};
    ASSERT_EQ(0u, oswrap_AcreSem(&sem, &csem));
    SharedAccessor shared;
    ASSERT_EQ(0u, shared.initialize(1, tmp.path().c_str(), 256, '/', sem));
    tmp.write("a.txt", "x");
    bool folder = true;
    ASSERT_EQ(0u, shared.exists(0, "a.txt", &folder));
    EXPECT_FALSE(folder);

    ASSERT_EQ(0u, oswrap_WaiSem(sem));  // another task holds it
    std::atomic<bool> done{false};
    std::thread other([&] {
        EXPECT_EQ(0u, shared.remove(0, "a.txt"));
        done = true;
    });
    EXPECT_FALSE(vsocktest::waitFor([&] { return done.load(); }, std::chrono::milliseconds(100)));
    EXPECT_TRUE(std::filesystem::exists(tmp.file("a.txt")));
    ASSERT_EQ(0u, oswrap_SigSem(sem));
    EXPECT_TRUE(vsocktest::waitFor([&] { return done.load(); }, std::chrono::seconds(5)));
    other.join();
    EXPECT_FALSE(std::filesystem::exists(tmp.file("a.txt")));
    EXPECT_EQ(0u, oswrap_DelSem(sem));
}
