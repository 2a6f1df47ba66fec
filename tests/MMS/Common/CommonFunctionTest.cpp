#include "MMS/Common/mms_CommonFunction.h"
#include "MMS/Common/mms_Types.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using MMS::CommonFunction;

namespace {

constexpr uint32_t kChanged = 0x100;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kOutOfRange = 0x80000006u;
constexpr uint32_t kCarry = 0x80000008u;

bool bitAt(const std::vector<uint8_t>& bytes, uint32_t bit)
{
    return (bytes[bit / 8] & (0x80u >> (bit % 8))) != 0;
}

// A pattern whose bits differ from their neighbours often enough to show a shifted copy.
std::vector<uint8_t> pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed * 37u + i * 101u + 0x5Bu);
    return bytes;
}

}  // namespace

TEST(CommonFunctionTest, BitShiftTableNumbersBitsFromTheMostSignificant)
{
    const uint8_t expected[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(expected[i], MMS::bitShiftTable[i]);
    uint8_t bitmap[2] = {0, 0};
    EXPECT_EQ(kChanged, CommonFunction::dirtyFlagController(bitmap, 9, 1));
    EXPECT_EQ(0x00, bitmap[0]);
    EXPECT_EQ(0x40, bitmap[1]);
}

TEST(CommonFunctionTest, DirtyFlagControllerAnswersChangedForEverySetButOnlyRealClears)
{
    struct Case { uint8_t before; uint32_t bit; uint8_t set; uint32_t result; uint8_t after; };
    const Case cases[] = {
        {0x00, 0, 1, kChanged, 0x80},
        {0x80, 0, 1, kChanged, 0x80},  // already set: still 0x100
        {0x80, 0, 0, kChanged, 0x00},
        {0x00, 7, 0, 0, 0x00},         // already clear: 0
        {0xFF, 7, 0, kChanged, 0xFE},
        {0x00, 3, 5, kChanged, 0x10},  // any non-zero set sets
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("bit " + std::to_string(c.bit) + " set " + std::to_string(c.set));
        uint8_t byte = c.before;
        EXPECT_EQ(c.result, CommonFunction::dirtyFlagController(&byte, c.bit, c.set));
        EXPECT_EQ(c.after, byte);
        const bool set = (c.after & MMS::bitShiftTable[c.bit % 8]) != 0;
        EXPECT_EQ(set, CommonFunction::isDirty(&byte, c.bit));
    }
    EXPECT_EQ(0u, CommonFunction::dirtyFlagController(nullptr, 3, 1));
    EXPECT_FALSE(CommonFunction::isDirty(nullptr, 3));
}

TEST(CommonFunctionTest, RangeControllerChangesExactlyTheRangeAcrossBoundaries)
{
    struct Case { uint32_t first; uint32_t count; };
    const Case cases[] = {
        {0, 1}, {3, 2}, {0, 8}, {5, 3}, {6, 4}, {7, 2}, {3, 13}, {1, 30}, {0, 40}, {9, 0}, {0, 0}, {39, 1},
    };
    for (uint8_t set : {uint8_t{1}, uint8_t{0}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("first " + std::to_string(c.first) + " count " + std::to_string(c.count) + " set " +
                         std::to_string(set));
            const uint8_t background = set ? 0x00 : 0xFF;
            std::vector<uint8_t> bytes(5, background);
            const uint32_t result = CommonFunction::dirtyFlagRengeController(bytes.data(), c.first, c.count, set);
            EXPECT_EQ(c.count == 0 ? 0u : kChanged, result);
            for (uint32_t bit = 0; bit < 40; ++bit) {
                const bool inside = bit >= c.first && bit < c.first + c.count;
                EXPECT_EQ(inside ? set != 0 : set == 0, bitAt(bytes, bit)) << "bit " << bit;
            }
            // Doing it again changes nothing and says so.
            EXPECT_EQ(0u, CommonFunction::dirtyFlagRengeController(bytes.data(), c.first, c.count, set));
        }
    }
    EXPECT_EQ(0u, CommonFunction::dirtyFlagRengeController(nullptr, 0, 8, 1));
}

TEST(CommonFunctionTest, RangeCopyMatchesBitByBitCopyForEveryAlignment)
{
    const std::vector<uint8_t> source = pattern(8, 1);
    for (uint32_t sourceFirst = 0; sourceFirst < 16; ++sourceFirst) {
        for (uint32_t destinationFirst = 0; destinationFirst < 16; ++destinationFirst) {
            for (uint32_t count = 0; count <= 40; ++count) {
                std::vector<uint8_t> destination = pattern(8, 2);
                std::vector<uint8_t> expected = destination;
                for (uint32_t i = 0; i < count; ++i) {
                    const uint32_t to = destinationFirst + i;
                    const uint8_t mask = static_cast<uint8_t>(0x80u >> (to % 8));
                    if (bitAt(source, sourceFirst + i)) expected[to / 8] |= mask;
                    else expected[to / 8] &= static_cast<uint8_t>(~mask);
                }
                ASSERT_EQ(0u, CommonFunction::dirtyFlagRangeCopy(destination.data(), destinationFirst, source.data(),
                                                                 sourceFirst, count));
                ASSERT_EQ(expected, destination)
                    << "source bit " << sourceFirst << " destination bit " << destinationFirst << " count " << count;
            }
        }
    }
}

TEST(CommonFunctionTest, AnyDirtySeesExactlyTheBitsOfItsRange)
{
    // One set bit at every position of a 40-byte map, against every range around it: the word-wise
    // middle, the partial end bytes and a range of one byte must all tell inside from outside.
    constexpr uint32_t kBits = 40 * 8;
    for (uint32_t set = 0; set < kBits; set += 7) {
        std::vector<uint8_t> bytes(40, 0);
        bytes[set / 8] = static_cast<uint8_t>(0x80u >> (set % 8));
        for (uint32_t first = 0; first < kBits; first += 5) {
            for (uint32_t count = 0; first + count <= kBits; count += count < 20 ? 1 : 13) {
                const bool inside = set >= first && set < first + count;
                ASSERT_EQ(inside, CommonFunction::isAnyDirty(bytes.data(), first, count))
                    << "bit " << set << " range " << first << "+" << count;
            }
        }
    }
    // The map ends where the range ends: the sanitizer build would see a read beyond it.
    const std::vector<uint8_t> last = {0x00, 0x01};
    EXPECT_TRUE(CommonFunction::isAnyDirty(last.data(), 15, 1));
    EXPECT_FALSE(CommonFunction::isAnyDirty(last.data(), 0, 15));
    EXPECT_FALSE(CommonFunction::isAnyDirty(nullptr, 0, 8));
}

TEST(CommonFunctionTest, RangeCopyReadsNoSourceByteBeyondTheRange)
{
    // The source ends exactly at the range's last bit; the sanitizer build would see an overrun.
    const std::vector<uint8_t> source = {0xA5};
    std::vector<uint8_t> destination(2, 0);
    ASSERT_EQ(0u, CommonFunction::dirtyFlagRangeCopy(destination.data(), 5, source.data(), 3, 5));
    EXPECT_EQ(0x01, destination[0]);  // bits 3..7 of 0xA5 are 0,0,1,0,1 -> bits 5..9
    EXPECT_EQ(0x40, destination[1]);
}

TEST(CommonFunctionTest, RangeCopyWithoutSourceClearsAndWithoutDestinationFails)
{
    std::vector<uint8_t> bytes(3, 0xFF);
    EXPECT_EQ(kChanged, CommonFunction::dirtyFlagRangeCopy(bytes.data(), 4, nullptr, 0, 10));
    EXPECT_EQ((std::vector<uint8_t>{0xF0, 0x03, 0xFF}), bytes);
    EXPECT_EQ(0u, CommonFunction::dirtyFlagRangeCopy(bytes.data(), 4, nullptr, 0, 10));
    EXPECT_EQ(0u, CommonFunction::dirtyFlagRangeCopy(bytes.data(), 4, nullptr, 0, 0));
    const uint8_t source = 0;
    EXPECT_EQ(kBadArgument, CommonFunction::dirtyFlagRangeCopy(nullptr, 0, &source, 0, 1));
}

TEST(CommonFunctionTest, OffsetsUseThirtyTwoBitArithmetic)
{
    MMS::T_ADDR_INFO info;
    info.offset = 16;
    info.unit = 6;
    EXPECT_EQ(16u + 3u * 6u, CommonFunction::offsetCalculation(info, 3));
    EXPECT_EQ(10u + 20u + 4u * 5u, CommonFunction::offsetCalculation(10, 20, 5, 4));
    EXPECT_EQ(0xFFFFFFFFu + 2u, CommonFunction::offsetCalculation(0xFFFFFFFFu, 0, 1, 2));
}

TEST(CommonFunctionTest, SwapEndianReversesOnlyTwoFourAndEightBytes)
{
    const std::array<uint8_t, 8> original = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case { uint16_t size; std::array<uint8_t, 8> after; };
    const Case cases[] = {
        {2, {2, 1, 3, 4, 5, 6, 7, 8}}, {4, {4, 3, 2, 1, 5, 6, 7, 8}}, {8, {8, 7, 6, 5, 4, 3, 2, 1}},
        {0, original}, {1, original}, {3, original}, {6, original}, {16, original},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::array<uint8_t, 8> value = original;
        EXPECT_EQ(0u, CommonFunction::swapEndian(value.data(), c.size));
        EXPECT_EQ(c.after, value);
    }
    EXPECT_EQ(0u, CommonFunction::swapEndian(nullptr, 4));
}

TEST(CommonFunctionTest, IsBigEndianMatchesTheHost)
{
    const uint16_t probe = 0x0102;
    uint8_t first = 0;
    std::memcpy(&first, &probe, 1);
    EXPECT_EQ(first == 0x01, CommonFunction::isBigEndian());
}

TEST(CommonFunctionTest, IncrementDigitStepsCarriesAndRefuses)
{
    struct Case { uint32_t digit; uint32_t lower; uint32_t upper; uint32_t result; uint32_t after; };
    const Case cases[] = {
        {0, 0, 2, 0, 1}, {1, 1, 5, 0, 2}, {2, 0, 2, kCarry, 2}, {3, 3, 3, kCarry, 3},
        {0, 1, 3, kOutOfRange, 0}, {4, 1, 3, kOutOfRange, 4}, {2, 3, 1, kBadArgument, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.digit) + " in " + std::to_string(c.lower) + ".." + std::to_string(c.upper));
        uint32_t digit = c.digit;
        EXPECT_EQ(c.result, CommonFunction::incrementDigit(&digit, c.lower, c.upper));
        EXPECT_EQ(c.after, digit);
    }
    EXPECT_EQ(kBadArgument, CommonFunction::incrementDigit(nullptr, 0, 1));
}

TEST(CommonFunctionTest, IncrementVectorWalksLikeAnOdometerAndMarksTheEnd)
{
    const uint32_t lower[2] = {0, 0};
    const uint32_t upper[2] = {1, 2};
    struct Case { std::array<uint32_t, 2> from; uint32_t result; std::array<uint32_t, 2> to; };
    const Case cases[] = {
        {{0, 0}, 0, {0, 1}},
        {{0, 2}, 0, {1, 0}},
        {{1, 2}, 8, {0, 0}},                       // every level wrapped: positive end marker
        {{0, 3}, kOutOfRange, {0, 3}},
        {{2, 2}, kOutOfRange, {2, 0}},             // inner level carried before the outer one failed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from[0]) + "," + std::to_string(c.from[1]));
        std::array<uint32_t, 2> vector = c.from;
        EXPECT_EQ(c.result, CommonFunction::incrementVector(vector.data(), lower, upper, 2));
        EXPECT_EQ(c.to, vector);
    }

    // A full walk visits every combination once and ends back at the lower bounds.
    const uint32_t low3[3] = {1, 0, 2};
    const uint32_t high3[3] = {2, 2, 4};
    uint32_t vector[3] = {1, 0, 2};
    int steps = 1;
    uint32_t result = 0;
    while ((result = CommonFunction::incrementVector(vector, low3, high3, 3)) == 0) ++steps;
    EXPECT_EQ(8u, result);
    EXPECT_EQ(2 * 3 * 3, steps);
    EXPECT_EQ(1u, vector[0]);
    EXPECT_EQ(0u, vector[1]);
    EXPECT_EQ(2u, vector[2]);

    const uint32_t reversed[1] = {0};
    const uint32_t bounds[1] = {1};
    uint32_t one[1] = {0};
    EXPECT_EQ(kBadArgument, CommonFunction::incrementVector(one, bounds, reversed, 1));
    EXPECT_EQ(0u, CommonFunction::incrementVector(one, lower, upper, 0));
    EXPECT_EQ(0u, one[0]);
    EXPECT_EQ(kBadArgument, CommonFunction::incrementVector(nullptr, lower, upper, 2));
    EXPECT_EQ(kBadArgument, CommonFunction::incrementVector(one, nullptr, upper, 1));
    EXPECT_EQ(kBadArgument, CommonFunction::incrementVector(one, lower, nullptr, 1));
}
