// Dump images of a whole field: writing with each byte order, the image ending where the buffer
// ends, reading back with unknown roots, failing roots, filter dumps and damaged headers.
#include "MMS/Common/mms_Base.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "BaseFixture.h"

namespace {

using MmsTest::FieldUnderTest;
using MmsTest::TestBase;
using Bytes = std::vector<unsigned char>;

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kPoison = 0xDEADBEEFu;

bool hostIsLittle()
{
    const uint32_t one = 1;
    unsigned char first = 0;
    memcpy(&first, &one, 1);
    return first == 1;
}

uint32_t readU32(const Bytes& image, size_t at, bool big)
{
    const unsigned char* p = image.data() + at;
    return big ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
               : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
}

void writeU32(Bytes& image, size_t at, uint32_t value, bool big)
{
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<unsigned char>(value >> (big ? 24 - 8 * i : 8 * i));
}

Bytes dumpOf(TestBase& field, uint8_t byteOrder = 0)
{
    uint32_t size = 0;
    EXPECT_EQ(0u, field.getDumpSizeFast(&size));
    Bytes image(size + 16, 0xAB);
    uint32_t written = kPoison;
    EXPECT_EQ(0u, field.getDumpFast(image.data(), &written, static_cast<uint32_t>(image.size()), 0, byteOrder, 0));
    EXPECT_EQ(size, written);
    image.resize(written);
    return image;
}

// Roots A and B of the standard tree with values apart from their defaults.
void changeValues(TestBase& field)
{
    ASSERT_EQ(0x100u, MmsTest::setGain(field, "A", -9, 1));
    ASSERT_EQ(0x100u, MmsTest::setLevel(field, "A", 77, 3));
    ASSERT_EQ(0x100u, MmsTest::setGain(field, "B", 8, 0));
}

uint32_t setDump(TestBase& field, Bytes& image, const Bytes* filter = nullptr, uint8_t notifyOptions = 0)
{
    return field.setDumpFast(image.data(), static_cast<uint32_t>(image.size()),
                             filter != nullptr ? filter->data() : nullptr,
                             filter != nullptr ? static_cast<uint32_t>(filter->size()) : 0, 3, 1, notifyOptions, 12,
                             nullptr, 0, nullptr);
}

TEST(BaseDumpTest, TwoRootDumpWrittenBigEndianReadsBackEqual)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A", "B"});
    changeValues(source.field);
    Bytes image = dumpOf(source.field, 2);

    EXPECT_EQ(0, memcmp(image.data(), "MDF\x30" "BIG", 8));
    EXPECT_EQ(2u, readU32(image, 44, true));
    EXPECT_EQ(0, memcmp(image.data() + 48, "MDR\x20" "A\0", 6));
    const uint32_t sizeA = readU32(image, 48 + 28, true);
    EXPECT_EQ(0, memcmp(image.data() + 48 + 32 + sizeA, "MDR\x20" "B\0", 6));
    const uint32_t sizeB = readU32(image, 48 + 32 + sizeA + 28, true);
    EXPECT_EQ(image.size(), 48u + 32 + sizeA + 32 + sizeB);

    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A", "B"});
    ASSERT_EQ(0u, target.field.subscribe(0, 5, 1, false));
    target.trigger.events.clear();
    EXPECT_EQ(0u, setDump(target.field, image));
    EXPECT_EQ(-9, MmsTest::gain(target.field, "A", 1));
    EXPECT_EQ(77u, MmsTest::level(target.field, "A", 3));
    EXPECT_EQ(8, MmsTest::gain(target.field, "B", 0));
    EXPECT_EQ(dumpOf(source.field), dumpOf(target.field));
    ASSERT_EQ(2u, target.trigger.events.size());
    EXPECT_EQ(1, target.trigger.events[0].kind);
    EXPECT_EQ(12u, target.trigger.events[0].value);
    EXPECT_EQ(std::vector<uint32_t>{5}, target.trigger.events[1].tasks);
}

TEST(BaseDumpTest, ByteOrderOptionSetsTagAndNumbers)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    const bool little = hostIsLittle();
    struct Case {
        uint8_t option;
        const char* tag;
        bool big;
    };
    const Case cases[] = {
        {0, little ? "LIT" : "BIG", !little},
        {1, "LIT", false},
        {2, "BIG", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const Bytes image = dumpOf(f.field, c.option);
        ASSERT_GE(image.size(), 80u);
        EXPECT_EQ(0, memcmp(image.data() + 4, c.tag, 4));
        EXPECT_EQ(1u, readU32(image, 44, c.big));
        EXPECT_EQ(image.size() - 80, readU32(image, 48 + 28, c.big));
    }

    Bytes buffer(4096);
    uint32_t written = kPoison;
    const uint32_t size = static_cast<uint32_t>(buffer.size());
    EXPECT_EQ(kBadArgument, f.field.getDumpFast(buffer.data(), &written, size, 0, 3, 0));
    EXPECT_EQ(kBadArgument, f.field.getDumpFast(nullptr, &written, size, 0, 0, 0));
    EXPECT_EQ(kBadArgument, f.field.getDumpFast(buffer.data(), nullptr, size, 0, 0, 0));
    EXPECT_EQ(kBadArgument, f.field.getDumpFast(buffer.data(), &written, 47, 0, 0, 0));
    EXPECT_EQ(kPoison, written);
    EXPECT_EQ(kBadArgument, f.field.getDumpSizeFast(nullptr));
    ASSERT_EQ(0u, f.field.startBuild());
    EXPECT_EQ(kWrongState, f.field.getDumpFast(buffer.data(), &written, size, 0, 0, 0));
}

TEST(BaseDumpTest, ImageEndsWhereTheNextRootHeaderNoLongerFits)
{
    FieldUnderTest empty;
    uint32_t size = kPoison;
    EXPECT_EQ(0u, empty.field.getDumpSizeFast(&size));
    EXPECT_EQ(0u, size);
    Bytes header(48, 0xAB);
    uint32_t written = kPoison;
    EXPECT_EQ(0u, empty.field.getDumpFast(header.data(), &written, 48, 0, 0, 0));
    EXPECT_EQ(48u, written);
    EXPECT_EQ(0u, readU32(header, 44, !hostIsLittle()));

    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A", "B"});
    const Bytes whole = dumpOf(f.field);
    const uint32_t sizeA = readU32(whole, 48 + 28, !hostIsLittle());
    const uint32_t oneRoot = 48 + 32 + sizeA;

    // Room for root A and 31 bytes more: the image holds A alone.
    Bytes buffer(oneRoot + 31, 0xAB);
    written = kPoison;
    EXPECT_EQ(0u, f.field.getDumpFast(buffer.data(), &written, static_cast<uint32_t>(buffer.size()), 0, 0, 0));
    EXPECT_EQ(oneRoot, written);
    EXPECT_EQ(1u, readU32(buffer, 44, !hostIsLittle()));
    EXPECT_EQ(0, memcmp(buffer.data(), whole.data(), 44));

    // Room for B's header but not its image: B's failure, and no field header.
    buffer.assign(oneRoot + 32 + 100, 0xAB);
    written = kPoison;
    const uint32_t result =
        f.field.getDumpFast(buffer.data(), &written, static_cast<uint32_t>(buffer.size()), 0, 0, 0);
    EXPECT_EQ(kBadArgument, result);
    EXPECT_EQ(kPoison, written);
    EXPECT_EQ(Bytes(48, 0xAB), Bytes(buffer.begin(), buffer.begin() + 48));
}

TEST(BaseDumpTest, DamagedHeadersAndOverrunsAreRefusedBeforeAnyImport)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A", "B"});
    changeValues(source.field);
    const Bytes good = dumpOf(source.field, 2);
    const uint32_t sizeA = readU32(good, 48 + 28, true);

    // untouched: refused at the first root, so nothing was imported or converted.
    struct Case {
        const char* name;
        void (*damage)(Bytes&, uint32_t sizeA);
        bool untouched;
    };
    const Case cases[] = {
        {"magic", [](Bytes& b, uint32_t) { b[0] = 'X'; }, true},
        {"tag", [](Bytes& b, uint32_t) { memcpy(b.data() + 4, "MID", 4); }, true},
        {"field header size inside the header", [](Bytes& b, uint32_t) { b[3] = 47; }, true},
        {"field header size zero", [](Bytes& b, uint32_t) { b[3] = 0; }, true},
        {"field header size past the image", [](Bytes& b, uint32_t) { b.resize(40); b[3] = 48; }, true},
        {"root header size inside the header", [](Bytes& b, uint32_t) { b[48 + 3] = 31; }, true},
        {"root header size zero", [](Bytes& b, uint32_t) { b[48 + 3] = 0; }, true},
        {"first root's data past the image", [](Bytes& b, uint32_t a) { writeU32(b, 48 + 28, a + 0x10000, true); },
         true},
        {"first root's data one byte past the image", [](Bytes& b, uint32_t a) { b.resize(48 + 32 + a - 1); }, true},
        {"last root's data one byte past the image", [](Bytes& b, uint32_t) { b.resize(b.size() - 1); }, false},
        {"more roots than present", [](Bytes& b, uint32_t) { writeU32(b, 44, 3, true); b.resize(b.size() + 2); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = good;
        c.damage(image, sizeA);
        const Bytes before = image;
        FieldUnderTest target;
        MmsTest::buildStandardField(target.field, {"A", "B"});
        EXPECT_EQ(kBadArgument, setDump(target.field, image));
        if (c.untouched) {
            EXPECT_EQ(before, image) << "nothing may be converted in place";
            EXPECT_EQ(3, MmsTest::gain(target.field, "A", 1));
        } else {
            EXPECT_EQ(-9, MmsTest::gain(target.field, "A", 1));  // the whole first root came in
        }
    }

    // The data size of the last root reaching exactly the end is whole.
    Bytes image = good;
    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A", "B"});
    EXPECT_EQ(0u, setDump(target.field, image));
    EXPECT_EQ(kBadArgument, target.field.setDumpFast(nullptr, 10, nullptr, 0, 0, 0, 0, 0, nullptr, 0, nullptr));
    image = good;
    EXPECT_EQ(kBadArgument, target.field.setDumpFast(image.data(), static_cast<uint32_t>(image.size()),
                                                     image.data(), 0, 0, 0, 0, 0, nullptr, 0, nullptr));
}

TEST(BaseDumpTest, UnknownRootsAndFailingImportsArePassedOver)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A", "Z", "B"});
    ASSERT_EQ(0x100u, MmsTest::setGain(source.field, "A", -9, 1));
    ASSERT_EQ(0x100u, MmsTest::setGain(source.field, "B", 8, 0));
    Bytes image = dumpOf(source.field);
    // Break A's export image: its import fails, B still comes in.
    image[48 + 32] = 'X';

    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A", "B"});
    ASSERT_EQ(0u, target.field.subscribe(0, 5, 1, false));
    target.trigger.events.clear();
    EXPECT_EQ(0u, setDump(target.field, image, nullptr, 0x02));
    EXPECT_EQ(3, MmsTest::gain(target.field, "A", 1));
    EXPECT_EQ(8, MmsTest::gain(target.field, "B", 0));
    ASSERT_EQ(1u, target.trigger.events.size());  // sent although option 0x02 is given
    EXPECT_EQ(std::vector<uint32_t>{5}, target.trigger.events[0].tasks);
}

TEST(BaseDumpTest, FilterDumpWithoutEntryImportsUnfilteredAndOverrunEntryIsRefused)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A"});
    ASSERT_EQ(0x100u, MmsTest::setGain(source.field, "A", -9, 1));
    const Bytes good = dumpOf(source.field);

    FieldUnderTest other;
    MmsTest::buildStandardField(other.field, {"Other"});
    const Bytes otherFilter = dumpOf(other.field);
    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A"});
    Bytes image = good;
    EXPECT_EQ(0u, setDump(target.field, image, &otherFilter));
    EXPECT_EQ(-9, MmsTest::gain(target.field, "A", 1));

    Bytes overrun = good;
    writeU32(overrun, 48 + 28, static_cast<uint32_t>(overrun.size()), !hostIsLittle());
    image = good;
    const Bytes before = image;
    FieldUnderTest fresh;
    MmsTest::buildStandardField(fresh.field, {"A"});
    EXPECT_EQ(kBadArgument, setDump(fresh.field, image, &overrun));
    EXPECT_EQ(before, image);
    EXPECT_EQ(3, MmsTest::gain(fresh.field, "A", 1));
}

TEST(BaseDumpTest, CopyingFormLeavesTheCallersImageAlone)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A", "B"});
    changeValues(source.field);
    const Bytes image = dumpOf(source.field, hostIsLittle() ? 2 : 1);  // the foreign order converts

    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A", "B"});
    EXPECT_EQ(0u, target.field.setDumpUsingMuchMemoryFast(image.data(), static_cast<uint32_t>(image.size()),
                                                          nullptr, 0, 3, 1, 0, 12, nullptr, 0, nullptr));
    EXPECT_EQ(dumpOf(source.field, hostIsLittle() ? 2 : 1), image);
    EXPECT_EQ(77u, MmsTest::level(target.field, "A", 3));
    EXPECT_EQ(kBadArgument, target.field.setDumpUsingMuchMemoryFast(nullptr, 0, nullptr, 0, 3, 1, 0, 12, nullptr,
                                                                    0, nullptr));
    ASSERT_EQ(0u, target.field.startBuild());
    EXPECT_EQ(kWrongState, target.field.setDumpUsingMuchMemoryFast(image.data(), static_cast<uint32_t>(image.size()),
                                                                   nullptr, 0, 3, 1, 0, 12, nullptr, 0, nullptr));
}

}  // namespace
