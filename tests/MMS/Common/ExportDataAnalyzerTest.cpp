#include "MMS/Common/mms_ExportDataAnalyzer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "MMS/Common/internal/mms_ImageParameterType.h"
#include "MMS/Common/mms_CommonFunction.h"

using MMS::ExportDataAnalyzer;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;

// A definition to write as an image: collections with their instance count, parameters with
// data class, element size and element count.
struct PrmDef {
    const char* name;
    uint8_t dataClass;
    uint16_t elementSize;
    uint16_t count;
};

struct ColDef {
    const char* name;
    uint32_t count;
    std::vector<PrmDef> parameters;
    std::vector<ColDef> children;
};

bool isBit(const PrmDef& p) { return p.dataClass == 2 && p.elementSize == 0; }

bool changesWithOrder(const PrmDef& p)
{
    return p.dataClass >= 1 && p.dataClass <= 3 && (p.elementSize == 2 || p.elementSize == 4 || p.elementSize == 8);
}

void put(Bytes& bytes, size_t at, uint64_t value, unsigned size, bool big)
{
    for (unsigned i = 0; i < size; ++i) bytes[at + (big ? size - 1 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
}

// Where one instance keeps its parameters and children, written from the format's rules: bit
// parameters share bytes from the least significant bit, anything else starts on a whole byte,
// children follow the parameters.
struct Layout {
    std::vector<uint32_t> parameterOffsets;
    std::vector<uint32_t> childOffsets;
    std::vector<uint32_t> childSizes;
    uint32_t size = 0;
};

Layout layoutOf(const ColDef& c)
{
    Layout layout;
    uint32_t offset = 0;
    uint32_t bit = 0;
    for (const PrmDef& p : c.parameters) {
        if (isBit(p)) {
            layout.parameterOffsets.push_back(offset);
            offset += (bit + p.count) / 8;
            bit = (bit + p.count) % 8;
            continue;
        }
        if (bit != 0) {
            ++offset;
            bit = 0;
        }
        layout.parameterOffsets.push_back(offset);
        offset += uint32_t{p.elementSize} * p.count;
    }
    if (bit != 0) ++offset;
    for (const ColDef& child : c.children) {
        const Layout inner = layoutOf(child);
        layout.childOffsets.push_back(offset);
        layout.childSizes.push_back(inner.size);
        offset += inner.size * child.count;
    }
    layout.size = offset;
    return layout;
}

uint32_t tagBytes(const ColDef& c)
{
    uint32_t size = 48 + 32 * static_cast<uint32_t>(c.parameters.size());
    for (const ColDef& child : c.children) size += tagBytes(child);
    return size;
}

void writeTags(Bytes& out, const ColDef& c, uint32_t offsetInParent, bool big)
{
    const Layout layout = layoutOf(c);
    const size_t head = out.size();
    out.resize(head + 48, 0);
    std::memcpy(&out[head], "COL", 3);
    out[head + 3] = 48;
    std::memcpy(&out[head + 4], c.name, std::strlen(c.name));
    uint32_t childTags = 0;
    for (const ColDef& child : c.children) childTags += tagBytes(child);
    put(out, head + 28, 32 * c.parameters.size(), 4, big);
    put(out, head + 32, childTags, 4, big);
    put(out, head + 36, offsetInParent, 4, big);
    put(out, head + 40, layout.size, 4, big);
    put(out, head + 44, c.count, 4, big);
    for (const PrmDef& p : c.parameters) {
        const size_t at = out.size();
        out.resize(at + 32, 0);
        std::memcpy(&out[at], "PR", 2);
        out[at + 2] = 32;
        out[at + 3] = p.dataClass;
        put(out, at + 4, p.elementSize, 2, big);
        put(out, at + 6, p.count, 2, big);
        std::memcpy(&out[at + 8], p.name, std::strlen(p.name));
    }
    for (size_t i = 0; i < c.children.size(); ++i) writeTags(out, c.children[i], layout.childOffsets[i], big);
}

// Writes the numbers that change with the byte order over a data area pre-filled with a pattern
// (which strings, Binaries, single bytes and bits keep in both orders).
void writeValues(Bytes& data, const ColDef& c, uint64_t base, bool big, uint64_t& counter)
{
    const Layout layout = layoutOf(c);
    if (layout.size == 0) return;  // nothing stored, however many instances
    for (uint32_t i = 0; i < c.count; ++i) {
        const uint64_t element = base + uint64_t{i} * layout.size;
        for (size_t n = 0; n < c.parameters.size(); ++n) {
            const PrmDef& p = c.parameters[n];
            if (!changesWithOrder(p)) continue;
            for (uint32_t k = 0; k < p.count; ++k) {
                const uint64_t value = 0x1122334455667788ull + 0x0102030405060709ull * ++counter;
                const uint64_t at = element + layout.parameterOffsets[n] + uint64_t{k} * p.elementSize;
                put(data, at, value, p.elementSize, big);
            }
        }
        for (size_t n = 0; n < c.children.size(); ++n) {
            writeValues(data, c.children[n], element + layout.childOffsets[n], big, counter);
        }
    }
}

struct ImageOptions {
    uint8_t headerLength = 88;
    size_t trailing = 0;  // bytes of the buffer after the image
};

Bytes buildImage(const ColDef& top, bool big, ImageOptions options = {})
{
    Bytes tags;
    writeTags(tags, top, 0, big);
    const uint32_t dataSize = layoutOf(top).size * top.count;
    Bytes data(dataSize);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    uint64_t counter = 0;
    writeValues(data, top, 0, big, counter);

    Bytes image(options.headerLength, 0);
    std::memcpy(&image[0], "MMS", 3);
    image[3] = options.headerLength;
    std::memcpy(&image[4], big ? "BIG" : "LIT", 4);
    std::memcpy(&image[8], "Studio", 6);
    std::memcpy(&image[32], "1.2", 3);
    std::memcpy(&image[44], "00112233445566778899aabbccddeeff", 32);
    put(image, 80, tags.size(), 4, big);
    put(image, 84, dataSize, 4, big);
    for (size_t i = 88; i < options.headerLength; ++i) image[i] = static_cast<uint8_t>(0xC0 + i);
    image.insert(image.end(), tags.begin(), tags.end());
    image.insert(image.end(), data.begin(), data.end());
    for (size_t i = 0; i < options.trailing; ++i) image.push_back(static_cast<uint8_t>(0xE0 + i));
    return image;
}

bool hostIsBig() { return MMS::CommonFunction::isBigEndian(); }

uint32_t convert(Bytes& image)
{
    return ExportDataAnalyzer::convertEndian(image.data(), static_cast<unsigned>(image.size()));
}

// A definition with every kind of element: bits sharing bytes, integers of 1, 2, 4 and 8 bytes,
// floats, strings, Binaries, and nested collections with several instances.
ColDef richDefinition()
{
    ColDef inner{"Band", 3, {{"On", 2, 0, 1}, {"Freq", 3, 4, 1}, {"Q", 1, 2, 2}}, {}};
    ColDef empty{"Spare", 4, {}, {}};
    ColDef channel{"Ch", 2,
                   {{"Mute", 2, 0, 3}, {"Solo", 2, 0, 6}, {"Pan", 1, 2, 2}, {"Name", 0, 8, 1}, {"Raw", 2, 6, 1},
                    {"Level", 3, 4, 2}, {"Big", 1, 8, 1}, {"Byte", 1, 1, 3}, {"Flags", 2, 0, 2}},
                   {inner, empty}};
    return ColDef{"Top", 1, {{"Gain", 1, 4, 1}, {"Id", 2, 2, 1}}, {channel}};
}

}  // namespace

TEST(ExportDataAnalyzerTest, ConvertsBetweenHandBuiltImagesOfBothOrders)
{
    const ColDef definition = richDefinition();
    const Bytes little = buildImage(definition, false);
    const Bytes big = buildImage(definition, true);
    ASSERT_NE(little, big);
    for (bool fromBig : {false, true}) {
        SCOPED_TRACE(fromBig ? "from BIG" : "from LIT");
        Bytes image = fromBig ? big : little;
        ASSERT_EQ(0u, convert(image));
        EXPECT_EQ(fromBig ? little : big, image);
        ASSERT_EQ(0u, convert(image));
        EXPECT_EQ(fromBig ? big : little, image);  // twice restores byte for byte
    }
}

TEST(ExportDataAnalyzerTest, BitsShareBytesAndTheNextParameterStartsOnAWholeByte)
{
    // Bits of 3, 6 and 2 elements, then two 16-bit elements: bytes 0 and 1 hold the bits, the
    // 16-bit elements lie at 2 and 4, one instance is 6 bytes. Written by hand as "LIT".
    Bytes image(88 + 48 + 4 * 32 + 6, 0);
    std::memcpy(&image[0], "MMS\x58LIT", 8);
    image[80] = 48 + 4 * 32;
    image[84] = 6;
    uint8_t* col = &image[88];
    std::memcpy(col, "COL\x30Top", 7);
    col[28] = 4 * 32;
    col[40] = 6;
    col[44] = 1;
    const struct { const char* name; uint8_t cls; uint8_t size; uint8_t count; } prms[] = {
        {"A", 2, 0, 3}, {"B", 2, 0, 6}, {"C", 2, 0, 2}, {"D", 1, 2, 2}};
    for (int i = 0; i < 4; ++i) {
        uint8_t* pr = col + 48 + 32 * i;
        std::memcpy(pr, "PR\x20", 3);
        pr[3] = prms[i].cls;
        pr[4] = prms[i].size;
        pr[6] = prms[i].count;
        std::memcpy(pr + 8, prms[i].name, 1);
    }
    const uint8_t data[6] = {0xA5, 0x07, 0x34, 0x12, 0x78, 0x56};
    std::memcpy(&image[image.size() - 6], data, 6);
    const Bytes original = image;

    ASSERT_EQ(0u, convert(image));
    const uint8_t swapped[6] = {0xA5, 0x07, 0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(0, std::memcmp(swapped, &image[image.size() - 6], 6));
    EXPECT_EQ(0, std::memcmp("BIG", &image[4], 4));
    EXPECT_EQ(0, image[80]);
    EXPECT_EQ(48 + 4 * 32, image[83]);
    EXPECT_EQ(6, image[87]);
    EXPECT_EQ(6, image[88 + 43]);             // element size of the collection, now big-endian
    EXPECT_EQ(2, image[88 + 48 + 3 * 32 + 5]);  // element size of D
    ASSERT_EQ(0u, convert(image));
    EXPECT_EQ(original, image);
}

TEST(ExportDataAnalyzerTest, OnlyIntegersAndFloatsOfTwoFourAndEightBytesChange)
{
    struct Case { uint8_t dataClass; uint16_t size; bool changes; };
    const Case cases[] = {
        {0, 2, false}, {0, 4, false}, {0, 8, false},  // strings
        {1, 1, false}, {1, 2, true}, {1, 4, true}, {1, 8, true},
        {2, 1, false}, {2, 2, true}, {2, 3, false}, {2, 4, true}, {2, 6, false}, {2, 8, true},
        {3, 2, true}, {3, 4, true}, {3, 8, true},
        {4, 4, false}, {9, 2, false},                 // no class: left alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("class " + std::to_string(c.dataClass) + " size " + std::to_string(c.size));
        const ColDef definition{"Top", 2, {{"P", c.dataClass, c.size, 2}}, {}};
        Bytes image = buildImage(definition, hostIsBig());
        const Bytes original = image;
        const size_t dataStart = 88 + 48 + 32;
        ASSERT_EQ(0u, convert(image));
        const bool dataChanged = !std::equal(image.begin() + dataStart, image.end(), original.begin() + dataStart);
        EXPECT_EQ(c.changes, dataChanged);
        if (c.changes) {
            for (size_t e = 0; e < 4; ++e) {  // each element reversed as a whole
                for (size_t b = 0; b < c.size; ++b) {
                    EXPECT_EQ(original[dataStart + e * c.size + b], image[dataStart + e * c.size + c.size - 1 - b]);
                }
            }
        }
        ASSERT_EQ(0u, convert(image));
        EXPECT_EQ(original, image);
    }
}

TEST(ExportDataAnalyzerTest, StringElementKeepsTextAndZeroFill)
{
    const ColDef definition{"Top", 1, {{"Name", 0, 8, 1}, {"V", 1, 2, 1}}, {}};
    Bytes image = buildImage(definition, hostIsBig());
    const size_t dataStart = 88 + 48 + 2 * 32;
    std::memcpy(&image[dataStart], "abc\0\0\0\0\0", 8);
    ASSERT_EQ(0u, convert(image));
    EXPECT_EQ(0, std::memcmp("abc\0\0\0\0\0", &image[dataStart], 8));
}

TEST(ExportDataAnalyzerTest, ReadsHeadersInHostOrderAndReportsTheImageOrder)
{
    const ColDef definition = richDefinition();
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "BIG" : "LIT");
        const Bytes image = buildImage(definition, big);
        MMS::T_EXPORT_TAG header;
        std::memset(&header, 0x5A, sizeof header);
        unsigned char order = 0x77;
        ASSERT_EQ(0u, ExportDataAnalyzer::readExportTagHeader(&header, &order, image.data(),
                                                              static_cast<unsigned>(image.size())));
        const uint8_t expectedOrder = big == hostIsBig() ? 0 : (big ? 2 : 1);
        EXPECT_EQ(expectedOrder, order);
        EXPECT_EQ(0, std::memcmp(hostIsBig() ? "BIG" : "LIT", header.byteOrder, 4));
        EXPECT_EQ(tagBytes(definition), header.tagSize);
        EXPECT_EQ(layoutOf(definition).size, header.dataSize);
        EXPECT_EQ(88, header.length);
        EXPECT_STREQ("Studio", header.projectName);
        EXPECT_STREQ("1.2", header.projectVersion);
        EXPECT_EQ(0, std::memcmp("00112233445566778899aabbccddeeff\0\0\0\0", header.uuid, 36));
    }
}

TEST(ExportDataAnalyzerTest, HeaderReaderRefusals)
{
    const Bytes good = buildImage(ColDef{"Top", 1, {{"V", 1, 4, 1}}, {}}, false);
    struct Case { const char* what; std::function<void(Bytes&)> spoil; unsigned size; uint32_t result; };
    const Case cases[] = {
        {"size 2", [](Bytes&) {}, 2, kBadArgument},
        {"size 3", [](Bytes&) {}, 3, kBadArgument},
        {"no magic", [](Bytes& b) { b[0] = 'N'; }, 0, kBadArgument},
        {"unknown order mark", [](Bytes& b) { std::memcpy(&b[4], "XYZ", 4); }, 0, kBadArgument},
        {"mark without zero", [](Bytes& b) { b[7] = 'X'; }, 0, kBadArgument},
        {"short header hides the mark", [](Bytes& b) { b[3] = 4; }, 0, kBadArgument},
        {"good", [](Bytes&) {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes image = good;
        c.spoil(image);
        MMS::T_EXPORT_TAG header;
        unsigned char order = 0;
        const unsigned size = c.size != 0 ? c.size : static_cast<unsigned>(image.size());
        EXPECT_EQ(c.result, ExportDataAnalyzer::readExportTagHeader(&header, &order, image.data(), size));
    }
    MMS::T_EXPORT_TAG header;
    unsigned char order = 0;
    const unsigned size = static_cast<unsigned>(good.size());
    EXPECT_EQ(kBadArgument, ExportDataAnalyzer::readExportTagHeader(nullptr, &order, good.data(), size));
    EXPECT_EQ(kBadArgument, ExportDataAnalyzer::readExportTagHeader(&header, nullptr, good.data(), size));
    EXPECT_EQ(kBadArgument, ExportDataAnalyzer::readExportTagHeader(&header, &order, nullptr, size));

    // A length byte of 8 copies the mark but not the sizes: the record holds zeros there.
    Bytes shortHeader = good;
    shortHeader[3] = 8;
    std::memset(&header, 0x5A, sizeof header);
    ASSERT_EQ(0u, ExportDataAnalyzer::readExportTagHeader(&header, &order, shortHeader.data(), size));
    EXPECT_EQ(0u, header.tagSize);
    EXPECT_EQ(0u, header.dataSize);
    EXPECT_EQ(0, header.projectName[0]);
}

TEST(ExportDataAnalyzerTest, RefusesCraftedImagesAndLeavesThemUnchanged)
{
    const ColDef definition{"Top", 2,
                            {{"Bits", 2, 0, 5}, {"Val", 1, 4, 2}},
                            {ColDef{"Sub", 2, {{"S", 1, 2, 1}}, {ColDef{"Leaf", 1, {{"L", 3, 4, 1}}, {}}}}}};
    // Offsets inside the image built from this definition.
    const size_t top = 88;
    const size_t bitsTag = top + 48;
    const size_t valTag = bitsTag + 32;
    const size_t sub = valTag + 32;
    const size_t subPrm = sub + 48;
    const size_t leaf = subPrm + 32;
    struct Case {
        const char* what;
        std::function<void(Bytes&, bool)> spoil;
    };
    const Case cases[] = {
        {"header length below 88", [](Bytes& b, bool) { b[3] = 80; }},
        {"tag area past the buffer", [](Bytes& b, bool big) { put(b, 80, b.size(), 4, big); }},
        {"data area past the buffer", [](Bytes& b, bool big) { put(b, 84, b.size(), 4, big); }},
        {"sizes that wrap 32 bits", [](Bytes& b, bool big) { put(b, 84, 0xFFFFFFF0u, 4, big); }},
        {"tag area shorter than a head", [](Bytes& b, bool big) { put(b, 80, 40, 4, big); }},
        {"no COL at the top", [=](Bytes& b, bool) { b[top] = 'X'; }},
        {"head length byte 0", [=](Bytes& b, bool) { b[top + 3] = 0; }},
        {"head length byte 47", [=](Bytes& b, bool) { b[top + 3] = 47; }},
        {"head length past the area", [=](Bytes& b, bool) { b[top + 3] = 255; }},
        {"parameter tags past the area", [=](Bytes& b, bool big) { put(b, top + 28, 0x10000, 4, big); }},
        {"child tags past the area", [=](Bytes& b, bool big) { put(b, top + 32, 0x10000, 4, big); }},
        {"parameter tags not a multiple of a tag", [=](Bytes& b, bool big) { put(b, top + 28, 48, 4, big); }},
        {"no PR where a parameter is due", [=](Bytes& b, bool) { b[valTag + 1] = 'X'; }},
        {"PR length byte 0", [=](Bytes& b, bool) { b[valTag + 2] = 0; }},
        {"PR length byte 31", [=](Bytes& b, bool) { b[valTag + 2] = 31; }},
        {"no COL for a child", [=](Bytes& b, bool) { b[sub] = 'X'; }},
        {"child head length byte 0", [=](Bytes& b, bool) { b[sub + 3] = 0; }},
        {"grandchild past its parent's tags", [=](Bytes& b, bool big) { put(b, leaf + 28, 64, 4, big); }},
        {"parameter past the data area", [=](Bytes& b, bool big) { put(b, valTag + 6, 0x4000, 2, big); }},
        {"bits past the element", [=](Bytes& b, bool big) { put(b, bitsTag + 6, 0xFFFF, 2, big); }},
        {"instances past the data area", [=](Bytes& b, bool big) { put(b, top + 44, 3, 4, big); }},
        {"top offset past the data area", [=](Bytes& b, bool big) { put(b, top + 36, 1, 4, big); }},
        {"child instances past the parent element", [=](Bytes& b, bool big) { put(b, sub + 44, 0x7FFFFFFF, 4, big); }},
        {"child offset past the parent element", [=](Bytes& b, bool big) { put(b, sub + 36, 0xFFFFFFF0u, 4, big); }},
        {"element size that wraps with the count", [=](Bytes& b, bool big) {
             put(b, sub + 40, 0x80000000u, 4, big);
             put(b, sub + 44, 2, 4, big);
         }},
        {"leaf parameter past its element", [=](Bytes& b, bool big) { put(b, leaf + 48 + 4, 8, 2, big); }},
    };
    for (bool big : {false, true}) {
        const Bytes good = buildImage(definition, big);
        {
            Bytes copy = good;
            ASSERT_EQ(0u, convert(copy)) << "the unspoilt image converts";
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (big ? " (BIG)" : " (LIT)"));
            Bytes image = good;
            c.spoil(image, big);
            const Bytes spoilt = image;
            EXPECT_EQ(kBadArgument, convert(image));
            EXPECT_EQ(spoilt, image);
        }
    }
}

TEST(ExportDataAnalyzerTest, RefusesElementsThatShareBytes)
{
    // Shared bytes would be reversed twice or in pieces, and a second conversion would not
    // restore the image.
    const ColDef definition{"Top", 1,
                            {{"Bits", 2, 0, 5}, {"Val", 1, 4, 2}},
                            {ColDef{"A", 2, {{"S", 1, 2, 1}}, {ColDef{"Leaf", 1, {{"L", 3, 4, 1}}, {}}}},
                             ColDef{"B", 1, {{"T", 1, 4, 1}}, {}}}};
    const size_t top = 88;
    const size_t a = top + 48 + 2 * 32;
    const size_t leaf = a + 48 + 32;
    const size_t b = leaf + 48 + 32;
    // Top element: bits in byte 0, Val at 1..8, A at 9..20 (two of 6 bytes), B at 21..24.
    struct Case { const char* what; size_t at; uint32_t offset; uint32_t result; };
    const Case cases[] = {
        {"child over the parameters", a + 36, 4, kBadArgument},
        {"child over the bit byte", a + 36, 0, kBadArgument},
        {"sibling over sibling", b + 36, 20, kBadArgument},
        {"sibling right after sibling", b + 36, 21, 0},
        {"grandchild over its parent's parameter", leaf + 36, 1, kBadArgument},
        {"grandchild right after it", leaf + 36, 2, 0},
    };
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (big ? " (BIG)" : " (LIT)"));
            Bytes image = buildImage(definition, big);
            put(image, c.at, c.offset, 4, big);
            const Bytes before = image;
            EXPECT_EQ(c.result, convert(image));
            if (c.result != 0) {
                EXPECT_EQ(before, image);
            } else {
                ASSERT_EQ(0u, convert(image));
                EXPECT_EQ(before, image);
            }
        }
    }
}

TEST(ExportDataAnalyzerTest, RefusesNestingDeeperThanSixLevels)
{
    const auto nest = [](int levels) {
        ColDef c{"L", 1, {{"V", 1, 2, 1}}, {}};
        for (int i = 1; i < levels; ++i) c = ColDef{"L", 1, {{"V", 1, 2, 1}}, {c}};
        return c;
    };
    for (bool big : {false, true}) {
        Bytes six = buildImage(nest(6), big);
        EXPECT_EQ(0u, convert(six));
        Bytes seven = buildImage(nest(7), big);
        const Bytes original = seven;
        EXPECT_EQ(kBadArgument, convert(seven));
        EXPECT_EQ(original, seven);
    }
}

TEST(ExportDataAnalyzerTest, LongerHeadersTagsInsideBiggerBuffersAndEmptyArrays)
{
    const ColDef definition = richDefinition();
    // A header longer than its record: the tags begin at its length; the extra bytes stay.
    ImageOptions longHeader;
    longHeader.headerLength = 100;
    longHeader.trailing = 5;  // the image sits in a bigger buffer
    const Bytes little = buildImage(definition, false, longHeader);
    const Bytes big = buildImage(definition, true, longHeader);
    Bytes image = hostIsBig() ? big : little;
    ASSERT_EQ(0u, convert(image));
    EXPECT_EQ(hostIsBig() ? little : big, image);
    ASSERT_EQ(0u, convert(image));
    EXPECT_EQ(hostIsBig() ? big : little, image);

    // Collections whose instances hold no bytes: billions of empty instances are no work.
    const ColDef deeper{"Deeper", 0xFFFFFFFFu, {}, {}};
    const ColDef empty{"Top", 1, {{"V", 1, 4, 1}}, {ColDef{"None", 0xFFFFFFFFu, {}, {deeper}}}};
    for (bool order : {false, true}) {
        Bytes hollow = buildImage(empty, order);
        const Bytes original = hollow;
        ASSERT_EQ(0u, convert(hollow));
        ASSERT_EQ(0u, convert(hollow));
        EXPECT_EQ(original, hollow);
    }

    // A top collection without instances converts its tags only.
    const ColDef none{"Top", 0, {{"V", 1, 4, 1}}, {}};
    Bytes tagsOnly = buildImage(none, hostIsBig());
    const Bytes original = tagsOnly;
    ASSERT_EQ(0u, convert(tagsOnly));
    EXPECT_EQ(buildImage(none, !hostIsBig()), tagsOnly);
    EXPECT_EQ(kBadArgument, ExportDataAnalyzer::convertEndian(nullptr, 100));
}

TEST(ExportDataAnalyzerTest, ParameterTypeFollowsClassAndElementSize)
{
    struct Case { uint8_t dataClass; uint32_t size; uint32_t type; };
    const Case cases[] = {
        {1, 1, 0x001}, {1, 2, 0x002}, {1, 4, 0x004}, {1, 0, 0}, {1, 3, 0}, {1, 8, 0},
        {2, 1, 0x101}, {2, 2, 0x102}, {2, 4, 0x104}, {2, 0, 0x100},  // size 0: a bit
        {2, 3, 0x101}, {2, 6, 0x101}, {2, 8, 0x101},                 // read as a Binary of that size
        {0, 0, 0x201}, {0, 8, 0x201}, {0, 300, 0x201},
        {3, 4, 0x304}, {3, 8, 0}, {3, 2, 0}, {4, 4, 0}, {255, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("class " + std::to_string(c.dataClass) + " size " + std::to_string(c.size));
        EXPECT_EQ(c.type, MMS::internal::imageParameterType(c.dataClass, c.size));
    }
}
