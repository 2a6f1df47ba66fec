#include "editor/VDProtocolLineBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using VDProtocol::VDProtocolLineBuffer;

namespace {

class VDProtocolLineBufferTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, m_buffer.initialize()); }

    // Feeds the bytes in reads of at most the given size, as the socket hands them over.
    void feed(const std::string& bytes, size_t readSize = 1024)
    {
        for (size_t at = 0; at < bytes.size(); at += readSize) {
            const std::string piece = bytes.substr(at, readSize);
            m_buffer.append(piece.data(), static_cast<uint32_t>(piece.size()),
                            [this](std::string_view line) { m_lines.emplace_back(line); });
        }
    }

    VDProtocolLineBuffer m_buffer;
    std::vector<std::string> m_lines;
};

}  // namespace

TEST_F(VDProtocolLineBufferTest, LineSplitOverReadsCompletesOnceAtItsLineFeed)
{
    feed("{\"request\":");
    feed("{\"cmd\":\"set_a\"}");
    EXPECT_TRUE(m_lines.empty());
    EXPECT_EQ(26u, m_buffer.usedLength());
    feed("}\n");
    EXPECT_EQ(std::vector<std::string>{"{\"request\":{\"cmd\":\"set_a\"}}\n"}, m_lines);
    EXPECT_EQ(0u, m_buffer.usedLength());
}

TEST_F(VDProtocolLineBufferTest, SeveralLinesInOneReadComeInOrderAndTheRestWaits)
{
    feed("one\ntwo\r\n\nthree");
    EXPECT_EQ((std::vector<std::string>{"one\n", "two\r\n", "\n"}), m_lines);
    EXPECT_EQ(5u, m_buffer.usedLength());
    feed("\n");
    EXPECT_EQ("three\n", m_lines.back());
}

TEST_F(VDProtocolLineBufferTest, LineIsTakenUpToItsFirstZeroByte)
{
    feed(std::string("abc\0def\n", 8));
    feed("next\n");
    EXPECT_EQ((std::vector<std::string>{"abc", "next\n"}), m_lines);  // no stale bytes after a cut line
}

TEST_F(VDProtocolLineBufferTest, LineThatFillsTheBufferExactlyIsKept)
{
    const std::string line = std::string(VDProtocolLineBuffer::kCapacity - 1, 'x') + "\n";
    feed(line, 65536);
    ASSERT_EQ(1u, m_lines.size());
    EXPECT_EQ(line.size(), m_lines[0].size());
}

TEST_F(VDProtocolLineBufferTest, OverLongLineIsDroppedUpToItsLineFeed)
{
    feed("first\n");
    // 6 MiB without a line feed: never written past the buffer's end (the sanitizer build
    // watches), and nothing of it is handed on.
    feed(std::string(6 * 1024 * 1024, 'x'), 65536);
    EXPECT_TRUE(m_buffer.isDropping());
    EXPECT_EQ(0u, m_buffer.usedLength());
    feed("tail of the long line\nsecond\n");
    EXPECT_EQ((std::vector<std::string>{"first\n", "second\n"}), m_lines);
    EXPECT_FALSE(m_buffer.isDropping());

    // One byte over the buffer: dropped as well, even when its line feed comes in the same read.
    feed(std::string(VDProtocolLineBuffer::kCapacity, 'y') + "\nthird\n", 65536);
    EXPECT_EQ("third\n", m_lines.back());
    EXPECT_EQ(3u, m_lines.size());
}

TEST(VDProtocolLineBufferInitTest, NothingHappensBeforeInitializeAndInitializeOnlyOnce)
{
    VDProtocolLineBuffer buffer;
    int calls = 0;
    buffer.append("a\n", 2, [&](std::string_view) { ++calls; });
    EXPECT_EQ(0, calls);
    EXPECT_EQ(0u, buffer.initialize());
    EXPECT_EQ(0x80000003u, buffer.initialize());
}
