#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_Root.h"
#include "RootFixture.h"

namespace {

using MmsTest::RootMemories;
using Vec = std::vector<uint32_t>;

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoSuchItem = 0x80000006u;

uint32_t len(const char* text) { return static_cast<uint32_t>(std::strlen(text) + 1); }

TEST(RootAddressTest, TextAddressForms)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    struct Case {
        const char* text;
        uint32_t result;
        Vec nodes;
    };
    const Case cases[] = {
        {"/Top/Ch/Eq/Freq", 0, {2, 1, 0}},
        {"Ch/Eq/Freq", 0, {2, 1, 0}},
        {"//Top/Ch/Eq/Freq", 0, {2, 1, 0}},
        {"/Top/Gain", 0, {0}},
        {"Ch", 0, {2}},
        {"", 0, {}},
        {"/Top", 0, {}},
        {"/Other/Ch", kNoSuchItem, {}},
        {"/To/Ch", kNoSuchItem, {}},
        {"/TopX", kNoSuchItem, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t nodes[5] = {9, 9, 9, 9, 9};
        uint32_t depth = 99;
        const uint32_t result = root->cnvStrToFastAddr(nodes, &depth, 5, c.text, len(c.text));
        EXPECT_EQ(c.result, result);
        if (result != 0) continue;
        EXPECT_EQ(c.nodes, Vec(nodes, nodes + depth));
        // The string forms of the queries take the same addresses.
        uint32_t viaConvert[5] = {};
        uint32_t convertedDepth = 99;
        EXPECT_EQ(0u, root->convertAddress(viaConvert, &convertedDepth, c.text, len(c.text)));
        EXPECT_EQ(c.nodes, Vec(viaConvert, viaConvert + convertedDepth));
    }
    // A length of 0 with no text is the top.
    uint32_t depth = 99;
    EXPECT_EQ(0u, root->cnvStrToFastAddr(nullptr, &depth, 0, nullptr, 0));
    EXPECT_EQ(0u, depth);
    // The index-count form refuses an address deeper than the indexes the caller has.
    uint32_t nodes[5] = {};
    EXPECT_EQ(kNoSuchItem, root->convertAddress(nodes, &depth, "Ch/Eq", 6, 1));
    EXPECT_EQ(0u, root->convertAddress(nodes, &depth, "Ch/Eq", 6, 2));
}

TEST(RootAddressTest, ArgumentChecksComeBeforeTheStatus)
{
    RootMemories m;
    uint32_t result = 1;
    auto root = MmsTest::makeRoot(m, &result);  // building, not ready
    MmsTest::addStandardTree(*root);
    uint32_t nodes[5] = {};
    uint32_t depth = 0;
    uint32_t value = 0;
    EXPECT_EQ(kBadArgument, root->cnvStrToFastAddr(nodes, nullptr, 5, "Ch", 3));
    EXPECT_EQ(kBadArgument, root->cnvStrToFastAddr(nodes, &depth, 5, nullptr, 3));
    EXPECT_EQ(kBadArgument, root->cnvStrToFastAddr(nullptr, &depth, 5, "Ch", 3));
    EXPECT_EQ(kWrongState, root->cnvStrToFastAddr(nodes, &depth, 5, "Ch", 3));
    EXPECT_EQ(kBadArgument, root->cnvFastToScalarAddr(nullptr, nodes, 1));
    EXPECT_EQ(kBadArgument, root->cnvScalarToFastAddr(nodes, nullptr, 5, 0));
    EXPECT_EQ(kBadArgument, root->cnvPrmIndexToFastAddr(nodes, nullptr, &depth, 5, 0));
    EXPECT_EQ(kBadArgument, root->getStrAddrMaxSize(nullptr, 0));
    EXPECT_EQ(kWrongState, root->getStrAddrMaxSize(&value, 0));
    EXPECT_EQ(kBadArgument, root->getNumOfChildNodesFast(&value, nullptr, 1));
    EXPECT_EQ(kWrongState, root->getNumOfChildNodesFast(&value, nullptr, 0));
    EXPECT_EQ(kBadArgument, root->getNodeInfoFast(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 2, nullptr));
    EXPECT_EQ(kWrongState, root->getNodeAddrNum(&value, &value));
    EXPECT_EQ(kBadArgument, root->getDepth(nullptr));
    EXPECT_EQ(kWrongState, root->getPrmNum(&value));

    // The buffer is cleared even when the root then refuses.
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(kWrongState, root->cnvFastToStrAddr(buffer, sizeof buffer, nodes, 0, 1));
    EXPECT_EQ(std::string(16, '\0'), std::string(buffer, sizeof buffer));
    EXPECT_EQ(kBadArgument, root->cnvFastToStrAddr(buffer, 0, nodes, 0, 1));
    EXPECT_EQ(kBadArgument, root->cnvFastToStrAddr(buffer, sizeof buffer, nullptr, 1, 1));
}

TEST(RootAddressTest, FastToTextAndSizes)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    const uint32_t freq[] = {2, 1, 0};
    char buffer[64];
    EXPECT_EQ(0u, root->cnvFastToStrAddr(buffer, sizeof buffer, freq, 3, 1));
    EXPECT_STREQ("/Top/Ch/Eq/Freq", buffer);
    EXPECT_EQ(0u, root->cnvFastToStrAddr(buffer, sizeof buffer, freq, 3, 0));
    EXPECT_STREQ("Ch/Eq/Freq", buffer);
    uint32_t size = 0;
    EXPECT_EQ(0u, root->getStrAddrSize(&size, freq, 3, 1));
    EXPECT_EQ(len("/Top/Ch/Eq/Freq"), size);
    EXPECT_EQ(0u, root->getStrAddrSize(&size, freq, 3, 0));
    EXPECT_EQ(len("Ch/Eq/Freq"), size);
    EXPECT_EQ(0u, root->getStrAddrMaxSize(&size, 0));
    EXPECT_EQ(72u, size);
    EXPECT_EQ(0u, root->getStrAddrMaxSize(&size, 1));
    EXPECT_EQ(97u, size);
    const uint32_t unknown[] = {2, 7};
    EXPECT_EQ(kNoSuchItem, root->cnvFastToStrAddr(buffer, sizeof buffer, unknown, 2, 1));

    uint32_t depth = 0;
    EXPECT_EQ(0u, root->getDepth(&depth));
    EXPECT_EQ(3u, depth);
    uint32_t elements = 0;
    EXPECT_EQ(0u, root->getPrmNum(&elements));
    EXPECT_EQ(19u, elements);  // Gain 2 + Name 1 + 4 x (Level 1 + 3 x Freq 1)

    // Every parameter index names one distinct element, and its text goes back to the same nodes.
    std::set<std::pair<Vec, Vec>> seen;
    for (uint32_t index = 0; index < elements; ++index) {
        SCOPED_TRACE(index);
        char text[64];
        uint32_t indexes[5] = {};
        uint32_t found = 0;
        ASSERT_EQ(0u, root->cnvPrmIndexToStrAddr(text, sizeof text, indexes, &found, 5, index, 1));
        uint32_t nodes[5] = {};
        uint32_t nodeDepth = 0;
        ASSERT_EQ(0u, root->cnvStrToFastAddr(nodes, &nodeDepth, 5, text, len(text)));
        EXPECT_EQ(found, nodeDepth);
        uint32_t scalar = 0;
        EXPECT_EQ(0u, root->cnvFastToScalarAddr(&scalar, nodes, nodeDepth));
        uint32_t back[5] = {};
        uint32_t backDepth = 0;
        EXPECT_EQ(0u, root->cnvScalarToFastAddr(back, &backDepth, 5, scalar));
        EXPECT_EQ(Vec(nodes, nodes + nodeDepth), Vec(back, back + backDepth));
        seen.insert({Vec(nodes, nodes + nodeDepth), Vec(indexes, indexes + found)});
    }
    EXPECT_EQ(19u, seen.size());
}

TEST(RootAddressTest, NodeQueries)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    uint32_t count = 0;
    EXPECT_EQ(0u, root->getNumOfChildNodes(&count, "Ch", 3));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(0u, root->getNumOfChildNodes(&count, nullptr, 0));
    EXPECT_EQ(3u, count);
    char name[24] = {};
    EXPECT_EQ(0u, root->getNodeNameFast(name, nullptr, 0));
    EXPECT_STREQ("Top", name);
    EXPECT_EQ(0u, root->getChildNodeName(name, "/Top", 5, 2));
    EXPECT_STREQ("Ch", name);
    EXPECT_EQ(0u, root->getNodePrmNum(&count, "Ch", 3));
    EXPECT_EQ(4u, count);
    char unit[8] = {};
    EXPECT_EQ(0u, root->getPrmUnit(unit, "Gain", 5));
    EXPECT_STREQ("dB", unit);
    EXPECT_EQ(0u, root->getPrmUnitSize(&count, "Ch/Eq/Freq", 11));
    EXPECT_EQ(3u, count);
    char format[16] = {};
    EXPECT_EQ(0u, root->getPrmNameFormat(format, "Gain", 5));
    EXPECT_STREQ("Gain%d", format);
    uint32_t type = 0;
    EXPECT_EQ(0u, root->getPrmType(&type, "/Top/Ch/Level", 14));
    EXPECT_EQ(MMS::kMmsTypeUInt8, type);
    EXPECT_EQ(kNoSuchItem, root->getPrmType(&type, "/Other/Gain", 12));
    JVariant value;
    const uint32_t indexes[] = {1, 2, 0};
    EXPECT_EQ(0u, root->getPrmDef(&value, "Ch/Eq/Freq", 11, indexes, 3));
    EXPECT_FLOAT_EQ(1000.0f, value.toFloat());
    EXPECT_EQ(kBadArgument, root->getPrmDef(&value, "Ch/Eq/Freq", 11, indexes, 2));
    const uint32_t first[] = {0};
    // A string default is read back from the pool offset its node holds.
    EXPECT_EQ(0u, root->getPrmDef(&value, "Name", 5, first, 1));
    EXPECT_STREQ("abc", value.toString());
    EXPECT_EQ(0u, root->getPrmMax(&value, "Gain", 5));
    EXPECT_EQ(10, value.toInt32());
}

TEST(RootAddressTest, NodeInfo)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    uint8_t category = 9;
    uint32_t type = 9;
    uint32_t arraySize = 0;
    uint32_t maxIndices[5] = {9, 9, 9, 9, 9};
    uint32_t depth = 0;
    const uint32_t eq[] = {2, 1};
    EXPECT_EQ(0u, root->getNodeInfoFast(&category, &type, nullptr, &arraySize, maxIndices, &depth, 2, eq));
    EXPECT_EQ(0u, category);
    EXPECT_EQ(0u, type);  // a collection has no type
    EXPECT_EQ(3u, arraySize);
    EXPECT_EQ(Vec({3, 2}), Vec(maxIndices, maxIndices + 2));
    EXPECT_EQ(2u, depth);

    type = 0;
    EXPECT_EQ(0u, root->getNodeInfo(nullptr, &type, nullptr, nullptr, maxIndices, &depth, 3, "Ch/Eq/Freq", 11));
    EXPECT_EQ(MMS::kMmsTypeFloat, type);
    EXPECT_EQ(Vec({3, 2, 0}), Vec(maxIndices, maxIndices + 3));
    EXPECT_EQ(kBadArgument,
              root->getNodeInfo(nullptr, &type, nullptr, nullptr, maxIndices, &depth, 2, "Ch/Eq/Freq", 11));

    // A path that breaks off: the levels that resolve still report, the failure is the first met.
    const uint32_t broken[] = {2, 9};
    std::fill(std::begin(maxIndices), std::end(maxIndices), 9u);
    EXPECT_EQ(kNoSuchItem, root->getNodeInfoFast(&category, nullptr, nullptr, nullptr, maxIndices, &depth, 2, broken));
    EXPECT_EQ(Vec({3, 0}), Vec(maxIndices, maxIndices + 2));
}

TEST(RootAddressTest, NodeCountFromTagArea)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    uint32_t collections = 0;
    uint32_t parameters = 0;
    EXPECT_EQ(0u, root->getNodeAddrNum(&collections, &parameters));
    EXPECT_EQ(3u, collections);
    EXPECT_EQ(4u, parameters);
    EXPECT_EQ(0u, root->getNodeAddrNum(nullptr, nullptr));

    // Tag order: COL Top, PR Gain, PR Name, COL Ch, ... A length byte of 0 in a damaged area
    // ends the walk instead of looping on the same tag; the counts reached are kept.
    unsigned char* tags = root->getTagInfo().getTagInfoPointer();
    const uint32_t nameTag = 48 + 32;
    ASSERT_EQ(0, std::memcmp(tags + nameTag, "PR", 2));
    const unsigned char saved = tags[nameTag + 2];
    tags[nameTag + 2] = 0;
    EXPECT_EQ(kNoSuchItem, root->getNodeAddrNum(&collections, &parameters));
    EXPECT_EQ(1u, collections);
    EXPECT_EQ(2u, parameters);
    // A tag longer than what is left, and an unknown tag, end the walk the same way.
    tags[nameTag + 2] = 0xFF;
    EXPECT_EQ(kNoSuchItem, root->getNodeAddrNum(&collections, &parameters));
    tags[nameTag + 2] = saved;
    tags[nameTag] = 'Q';
    EXPECT_EQ(kNoSuchItem, root->getNodeAddrNum(&collections, &parameters));
    EXPECT_EQ(1u, collections);
    EXPECT_EQ(1u, parameters);
    tags[nameTag] = 'P';
    EXPECT_EQ(0u, root->getNodeAddrNum(&collections, &parameters));
}

}  // namespace
