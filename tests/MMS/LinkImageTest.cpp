// The link image: its bytes behind a whole-root export, and its readers on hand-made and damaged
// images.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LinkFieldFixture.h"
#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/mms_LinkHeaderInfo.h"

namespace MmsTreeTest {
namespace {

uint32_t be32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]; }
uint32_t le32(const uint8_t* p) { return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0]; }

class LinkImageTest : public LinkFieldTest {
public:
    // The whole root exported in that byte order, sized by the size operation of depth 0.
    std::vector<uint8_t> exportRoot(uint8_t order)
    {
        uint32_t size = 0;
        EXPECT_EQ(0u, field->getExportDataSizeFast(&size, "R", nullptr, 0, 0));
        std::vector<uint8_t> image(size, 0xEE);
        uint32_t written = 0;
        EXPECT_EQ(0u, field->exportDataFast(image.data(), &written, size, "R", nullptr, nullptr, 0, 0, 0, order, 0,
                                            0, nullptr));
        EXPECT_EQ(size, written);
        image.resize(written);
        return image;
    }
    uint32_t baseSize()
    {
        uint32_t size = 0;
        EXPECT_EQ(0u, field->MMS::Base::getExportDataSizeFast(&size, "R", nullptr, 0, 0));
        return size;
    }
};

TEST_F(LinkImageTest, WholeRootExportAppendsLinkImageOfHeaderLinkTagsAndMemberTags)
{
    open();
    makeLink({{kJ, 0}});
    makeLink({{kI, 0}, {kI, 2}, {kI, 3}});
    const uint32_t base = baseSize();

    for (uint8_t order : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
        SCOPED_TRACE(order);
        const std::vector<uint8_t> image = exportRoot(order);
        ASSERT_EQ(base + 252u, image.size());
        const uint8_t* links = image.data() + base;
        const bool big = order == 2;
        auto num = [big](const uint8_t* p) { return big ? be32(p) : le32(p); };
        EXPECT_EQ(0, std::memcmp(links, "MLH", 3));
        EXPECT_EQ(12, links[3]);
        EXPECT_EQ(240u, num(links + 4));
        EXPECT_EQ(5u, num(links + 8));
        const uint8_t expected[2][4] = {{0xF0, 0, 0, 0}, {0, 0, 0, 0xF0}};
        EXPECT_EQ(0, std::memcmp(links + 4, expected[big ? 1 : 0], 4));
        // Link 1: tag, one member; link 2: tag, three members in address order.
        const uint8_t* first = links + 12;
        EXPECT_EQ(0, std::memcmp(first, "MLC", 3));
        EXPECT_EQ(16, first[3]);
        EXPECT_EQ(1u, num(first + 4));
        EXPECT_EQ(52u, num(first + 12));
        const uint8_t* second = first + 16 + 52;
        EXPECT_EQ(2u, num(second + 4));
        EXPECT_EQ(156u, num(second + 12));
        const uint8_t* member = second + 16 + 52 * 2;  // the third member: I[3]
        EXPECT_EQ(0, std::memcmp(member, "MLI", 3));
        EXPECT_EQ(52, member[3]);
        EXPECT_EQ(1u, num(member + 4));                 // depth
        EXPECT_EQ(10u, num(member + 8));                // remembered value
        EXPECT_EQ(0u, num(member + 12));                // node index of I
        EXPECT_EQ(3u, num(member + 32));                // array index
        for (int slot = 1; slot < 5; ++slot) EXPECT_EQ(0u, num(member + 12 + 4 * slot) | num(member + 32 + 4 * slot));
    }
}

TEST_F(LinkImageTest, RootWithoutLinksAndPartialExportsCarryNoLinkImage)
{
    EXPECT_EQ(baseSize(), exportRoot(0).size());

    open();
    makeLink({{kI, 0}, {kI, 1}});
    uint32_t size = 0;
    uint32_t baseOnly = 0;
    const uint32_t index[1] = {0};
    ASSERT_EQ(0u, field->getExportDataSizeFast(&size, "R", kC, 1, 0));
    ASSERT_EQ(0u, field->MMS::Base::getExportDataSizeFast(&baseOnly, "R", kC, 1, 0));
    EXPECT_EQ(baseOnly, size);
    std::vector<uint8_t> image(size + 64);
    uint32_t written = 0;
    ASSERT_EQ(0u, field->exportDataFast(image.data(), &written, size + 64, "R", kC, index, 1, 0, 0, 0, 0, 0,
                                        nullptr));
    EXPECT_EQ(size, written);
}

TEST_F(LinkImageTest, FloatMemberValueIsWrittenAsSinglePrecisionBytes)
{
    open();
    put(kF, 0, JVariant(1.5f));
    makeLink({{kF, 0}, {kF, 1}});
    const std::vector<uint8_t> image = exportRoot(2);
    const uint8_t* member = image.data() + baseSize() + 12 + 16;
    EXPECT_EQ(0, std::memcmp(member + 8, "\x3F\xC0\x00\x00", 4));
}

TEST_F(LinkImageTest, SizeByIndexCountRefusesCountsBeyondFiveLevels)
{
    open();
    makeLink({{kI, 0}, {kI, 1}});
    const uint32_t first[5] = {};
    const uint32_t last[5] = {};
    uint32_t size = 0x5A5A5A5A;
    EXPECT_EQ(0x80000002u, field->getExportArraySize(&size, "R", "I", 1, first, last, 6, 0));
    EXPECT_EQ(0x80000002u, field->getExportArraySize(&size, "R", "I", 1, first, last, 100, 0));
    // A count of 0 sizes the whole root, links included, whatever depth the text has.
    ASSERT_EQ(0u, field->getExportArraySize(&size, "R", "I", 1, first, last, 0, 0));
    uint32_t whole = 0;
    ASSERT_EQ(0u, field->getExportArraySizeFast(&whole, "R", nullptr, first, last, 0, 0));
    EXPECT_EQ(whole, size);
}

// ---- Readers ----

std::vector<uint8_t> header(uint32_t body, uint32_t slots, uint8_t length = 12)
{
    std::vector<uint8_t> out = {'M', 'L', 'H', length};
    for (uint32_t v : {body, slots}) for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

TEST(LinkHeaderInfoTest, HeaderSearchSkipsFramedForeignTagsAndStaysInsideTheArea)
{
    std::vector<uint8_t> foreign = {'X', 'Y', 'Z', 8, 4, 0, 0, 0, 1, 2, 3, 4};  // 8 + 4 bytes
    struct Case {
        const char* name;
        std::vector<uint8_t> area;
        uint32_t result;
        bool found;
        uint32_t offset;  // of the body
        uint32_t body;
    };
    std::vector<uint8_t> both = foreign;
    for (uint8_t b : header(4, 5)) both.push_back(b);
    both.insert(both.end(), {1, 2, 3, 4});
    std::vector<uint8_t> exact = header(0, 5);
    std::vector<uint8_t> tooLong = header(5, 5);
    tooLong.insert(tooLong.end(), {1, 2, 3, 4});
    std::vector<uint8_t> shortHeader = header(0, 5, 4);
    std::vector<uint8_t> runaway = {'X', 'Y', 'Z', 8, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0};
    std::vector<uint8_t> stuck = {'X', 'Y', 'Z', 0, 0, 0, 0, 0, 'M', 'L', 'H', 12};
    std::vector<uint8_t> truncated = {'M', 'L', 'H', 12, 0, 0, 0, 0, 5, 0};
    const Case cases[] = {
        {"foreign tag, then header", both, 0, true, 24, 4},
        {"empty body", exact, 0, true, 12, 0},
        {"body beyond the area", tooLong, 0x80000002u, false, 0, 0},
        {"header length below 12", shortHeader, 0x80000002u, false, 0, 0},
        {"foreign tag past the end", runaway, 0, false, 0, 0},
        {"foreign tag that does not advance", stuck, 0, false, 0, 0},
        {"header cut short", truncated, 0x80000002u, false, 0, 0},
        {"foreign tag only", foreign, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> area = c.area;  // exactly as long as it is: ASan sees any read past it
        const unsigned char* body = reinterpret_cast<const unsigned char*>(0x1);
        uint32_t bodyLength = 77;
        uint32_t slots = 77;
        EXPECT_EQ(c.result, MMS::LinkHeaderInfo::linkHeaderCheck(&body, &bodyLength, &slots, area.data(),
                                                                 static_cast<uint32_t>(area.size()), 0));
        if (c.found) {
            EXPECT_EQ(area.data() + c.offset, body);
            EXPECT_EQ(c.body, bodyLength);
            EXPECT_EQ(5u, slots);
        } else if (c.result == 0) {
            EXPECT_EQ(77u, bodyLength);  // untouched: no link image
        }
    }
}

// A member tag of `slots` address slots, little-endian.
std::vector<uint8_t> itemTag(uint32_t slots, uint32_t depth, const std::vector<uint32_t>& nodes,
                             const std::vector<uint32_t>& indices, uint32_t value, int length = -1)
{
    std::vector<uint8_t> out(12 + 8 * slots, 0);
    std::memcpy(out.data(), "MLI", 3);
    out[3] = static_cast<uint8_t>(length >= 0 ? length : 12 + 8 * slots);
    std::memcpy(out.data() + 4, &depth, 4);
    std::memcpy(out.data() + 8, &value, 4);
    for (size_t i = 0; i < nodes.size() && i < slots; ++i) std::memcpy(out.data() + 12 + 4 * i, &nodes[i], 4);
    for (size_t i = 0; i < indices.size() && i < slots; ++i) {
        std::memcpy(out.data() + 12 + 4 * slots + 4 * i, &indices[i], 4);
    }
    return out;
}

TEST(LinkHeaderInfoTest, MemberTagsOfAnySlotCountReadIntoTheSameMember)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> tag;
        uint32_t slots;
        uint32_t result;
    };
    const Case cases[] = {
        {"five slots", itemTag(5, 2, {6, 0}, {1, 1}, 7), 5, 0},
        {"three slots", itemTag(3, 2, {6, 0}, {1, 1}, 7), 3, 0},
        {"seven slots", itemTag(7, 2, {6, 0}, {1, 1}, 7), 7, 0},
        {"depth beyond three slots", itemTag(3, 4, {6, 0, 0, 0}, {1, 1, 0, 0}, 7), 3, 0x80000006u},
        {"depth beyond five", itemTag(5, 6, {}, {}, 7), 5, 0x80000006u},
        {"tag shorter than its slots", itemTag(5, 2, {6, 0}, {1, 1}, 7, 40), 5, 0x80000002u},
        {"tag longer than the data", itemTag(3, 2, {6, 0}, {1, 1}, 7, 60), 3, 0x80000002u},
        {"slot count that overflows", itemTag(1, 1, {6}, {1}, 7), 0x40000000u, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MMS::T_LINK_ITEM member;
        member.depth = 99;
        uint32_t tagLength = 0;
        EXPECT_EQ(c.result, MMS::LinkHeaderInfo::readLinkItemData(&member, &tagLength, c.tag.data(),
                                                                  static_cast<uint32_t>(c.tag.size()), c.slots, 0));
        if (c.result != 0) continue;
        EXPECT_EQ(c.tag.size(), tagLength);
        EXPECT_EQ(2u, member.depth);
        EXPECT_EQ(6u, member.nodeIndexes[0]);
        EXPECT_EQ(0u, member.nodeIndexes[1]);
        EXPECT_EQ(1u, member.arrayIndexes[0]);
        EXPECT_EQ(1u, member.arrayIndexes[1]);
        EXPECT_EQ(0u, member.nodeIndexes[2] | member.arrayIndexes[2] | member.nodeIndexes[4]);
        EXPECT_EQ(7, member.value.asInt());
    }
    std::vector<uint8_t> wrong = itemTag(5, 1, {0}, {0}, 0);
    wrong[2] = 'X';
    MMS::T_LINK_ITEM member;
    uint32_t tagLength = 0;
    EXPECT_EQ(0x80000002u, MMS::LinkHeaderInfo::readLinkItemData(&member, &tagLength, wrong.data(), 52, 5, 0));
}

TEST(LinkHeaderInfoTest, LinkTagMustCoverItselfAndItsMembers)
{
    auto tag = [](uint8_t length, uint32_t items) {
        std::vector<uint8_t> out(16, 0);
        std::memcpy(out.data(), "MLC", 3);
        out[3] = length;
        out[4] = 3;     // id
        out[8] = 0;     // type
        out[10] = 1;    // on
        std::memcpy(out.data() + 12, &items, 4);
        return out;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        uint32_t result;
    };
    std::vector<uint8_t> withItem = tag(16, 52);
    withItem.resize(16 + 52);
    std::vector<uint8_t> cut = tag(16, 0);
    cut.pop_back();
    const Case cases[] = {
        {"tag and member", withItem, 0},
        {"members beyond the data", tag(16, 52), 0x80000002u},
        {"length byte below 16", tag(4, 0), 0x80000002u},
        {"length byte beyond the data", tag(20, 0), 0x80000002u},
        {"cut short", cut, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MMS::T_LINK_COLLECTION link;
        uint32_t tagLength = 0;
        uint32_t itemLength = 0;
        EXPECT_EQ(c.result, MMS::LinkHeaderInfo::readLinkCollectionData(&link, &tagLength, &itemLength, c.data.data(),
                                                                        static_cast<uint32_t>(c.data.size()), 0));
        if (c.result == 0) {
            EXPECT_EQ(3u, link.linkId);
            EXPECT_EQ(1u, link.onOff);
            EXPECT_EQ(16u, tagLength);
            EXPECT_EQ(52u, itemLength);
        }
    }
}

// An export image of a host-order header and a tag area nesting collections of 24-character names
// down to a parameter at `depth` levels (every name fills its whole field, as a foreign writer may).
std::vector<uint8_t> deepImage(uint32_t depth)
{
    std::vector<uint8_t> tags;
    const uint32_t collections = depth;  // the top and depth - 1 below it
    std::vector<size_t> at;
    for (uint32_t level = 0; level < collections; ++level) {
        at.push_back(tags.size());
        MMS::T_COLLECTION_TAG tag{};
        std::memcpy(tag.magic, "COL", 3);
        tag.length = 48;
        std::memset(tag.name, 'a' + level, 24);
        tag.parameterTagsSize = level + 1 == collections ? 32 : 0;
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&tag);
        tags.insert(tags.end(), bytes, bytes + sizeof tag);
    }
    MMS::T_PARAMETER_TAG parameter{};
    std::memcpy(parameter.magic, "PR", 2);
    parameter.length = 32;
    parameter.dataClass = 1;
    parameter.elementSize = 4;
    parameter.arraySize = 1;
    std::memset(parameter.name, 'x', 24);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&parameter);
    tags.insert(tags.end(), bytes, bytes + sizeof parameter);
    // Each collection's child area holds everything behind it.
    for (uint32_t level = 0; level + 1 < collections; ++level) {
        const uint32_t child = static_cast<uint32_t>(tags.size() - at[level] - 48);
        std::memcpy(tags.data() + at[level] + offsetof(MMS::T_COLLECTION_TAG, childTagsSize), &child, 4);
    }
    MMS::T_EXPORT_TAG head{};
    std::memcpy(head.magic, "MMS", 3);
    head.length = 88;
    std::memcpy(head.byteOrder, MMS::CollectionTagInfo::isHostBigEndian() ? "BIG" : "LIT", 4);
    head.tagSize = static_cast<uint32_t>(tags.size());
    head.dataSize = 0;
    std::vector<uint8_t> image(88 + tags.size());
    std::memcpy(image.data(), &head, 88);
    std::memcpy(image.data() + 88, tags.data(), tags.size());
    return image;
}

TEST(LinkHeaderInfoTest, MemberTextsAreBoundedToTheirBuffer)
{
    struct Case {
        uint32_t depth;
        uint32_t result;
        size_t length;
    };
    // Depth d: d - 1 collections of 24 characters below the top, then "/" and the parameter.
    const Case cases[] = {
        {1, 0, 25},             // "/xxx..."
        {4, 0, 24 * 3 + 2 + 25},
        {5, 0x80000006u, 0},    // 125 characters do not fit in 120 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        const std::vector<uint8_t> image = deepImage(c.depth);
        const uint32_t nodes[5] = {0, 0, 0, 0, 0};
        std::vector<char> text(MMS::kLinkTextSize, '#');  // exactly the buffer: ASan sees an overrun
        uint8_t named = 9;
        EXPECT_EQ(c.result, MMS::LinkHeaderInfo::cnvLinkPrmAddrRoot(text.data(), &named, nodes, c.depth, image.data(),
                                                                    static_cast<uint32_t>(image.size())));
        if (c.result != 0) continue;
        EXPECT_EQ(1, named);
        EXPECT_EQ(c.length, std::strlen(text.data()));
        EXPECT_EQ(std::string(24, 'x'), std::string(text.data() + c.length - 24));
    }
}

TEST_F(LinkImageTest, MemberTextsNameThePathByTheExportImage)
{
    const std::vector<uint8_t> image = exportRoot(0);
    struct Case {
        std::vector<uint32_t> nodes;
        uint32_t result;
        const char* text;
    };
    const Case cases[] = {
        {{0}, 0, "/I"},
        {{6, 0}, 0, "C/K"},
        {{6}, 0x80000002u, ""},       // a collection where a parameter is needed
        {{0, 0}, 0x80000002u, ""},    // a parameter where a collection is needed
        {{7}, 0x80000006u, ""},       // no such child
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char text[MMS::kLinkTextSize];
        uint8_t named = 0;
        EXPECT_EQ(c.result, MMS::LinkHeaderInfo::cnvLinkPrmAddrRoot(text, &named, c.nodes.data(),
                                                                    static_cast<uint32_t>(c.nodes.size()),
                                                                    image.data(), static_cast<uint32_t>(image.size())));
        if (c.result == 0) {
            EXPECT_STREQ(c.text, text);
        }
    }
}

}  // namespace
}  // namespace MmsTreeTest
