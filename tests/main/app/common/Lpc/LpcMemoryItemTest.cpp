#include "common/Lpc/LpcMemoryItem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/Lpc/IValueConverter.h"
#include "common/Lpc/ModuleParamCatalogue.h"
#include "common/Lpc/MurValueConverters.h"

using LPC::MemoryItem;
using LPC::sMemoryItemTable;

namespace {

template <typename Pred>
std::vector<int> rowsWhere(Pred pred)
{
    std::vector<int> rows;
    for (const MemoryItem& item : sMemoryItemTable) {
        if (pred(item)) rows.push_back(item.index);
    }
    return rows;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> rows;
    for (int i = first; i <= last; ++i) rows.push_back(i);
    return rows;
}

}  // namespace

TEST(LpcMemoryItemTest, RowsKeepTheTableRules)
{
    ASSERT_EQ(145u, std::size(sMemoryItemTable));
    for (int i = 0; i < 145; ++i) {
        const MemoryItem& item = sMemoryItemTable[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(i, item.index);
        ASSERT_NE(nullptr, item.postFix);
        const size_t letters = std::strlen(item.postFix);
        EXPECT_TRUE(item.argNum >= 1 && item.argNum <= 3);
        EXPECT_EQ(item.argNum == 1 ? 0u : item.argNum, letters);
        EXPECT_EQ(nullptr, item.sendFunction);
        EXPECT_TRUE(item.addressIds.empty());  // filled only by the protocol memory
        if (item.pluginParams.empty()) continue;
        EXPECT_EQ(item.argNum, item.pluginParams.size());
        EXPECT_NE(nullptr, item.converter);
        for (const LPC::ModuleParamList& list : item.pluginParams) {
            EXPECT_FALSE(list.empty());
            for (const LPC::ModuleParamBase* entry : list) EXPECT_NE(nullptr, entry);
        }
    }
}

TEST(LpcMemoryItemTest, CountsOfPluginListsFlagsAndCategories)
{
    size_t lists = 0;
    size_t occurrences = 0;
    std::set<const LPC::ModuleParamBase*> distinct;
    for (const MemoryItem& item : sMemoryItemTable) {
        lists += item.pluginParams.size();
        for (const LPC::ModuleParamList& list : item.pluginParams) {
            occurrences += list.size();
            distinct.insert(list.begin(), list.end());
        }
    }
    EXPECT_EQ(84u, rowsWhere([](const MemoryItem& m) { return !m.pluginParams.empty(); }).size());
    EXPECT_EQ(94u, lists);
    EXPECT_EQ(137u, distinct.size());
    EXPECT_EQ(occurrences, distinct.size());  // no entry is listed twice

    std::vector<int> protectedRows = {119, 122, 123};
    for (int i : range(128, 143)) protectedRows.push_back(i);
    EXPECT_EQ(protectedRows, rowsWhere([](const MemoryItem& m) { return m.isProtected; }));

    std::vector<int> pairRows = {44};
    for (int i : range(46, 54)) pairRows.push_back(i);
    for (int i : range(74, 83)) pairRows.push_back(i);
    EXPECT_EQ(pairRows, rowsWhere([](const MemoryItem& m) { return m.isPair; }));

    EXPECT_EQ((std::vector<int>{2, 7, 8, 35, 36, 44, 61, 62, 66, 67, 68, 92, 94}),
              rowsWhere([](const MemoryItem& m) { return m.converter && m.pluginParams.empty(); }));

    const size_t perCategory[] = {16, 88, 30, 4, 2, 4, 1};
    for (uint32_t c = 0; c < 7; ++c) {
        EXPECT_EQ(perCategory[c], rowsWhere([c](const MemoryItem& m) { return m.category == c; }).size())
            << "category " << c;
    }
}

TEST(LpcMemoryItemTest, ConvertersAreUsedAsListed)
{
    struct Case {
        const char* name;
        const LPC::IValueConverter* converter;
        size_t rows;
    };
    const Case cases[] = {
        {"Def", &LPC::sMurDefaultConverter, 31},
        {"OnOff", &LPC::sMurOnOffConverter, 30},
        {"Vol", &LPC::sMurVolumeConverter, 19},
        {"Dly", &LPC::sMurDelayConverter, 5},
        {"D128", &LPC::sMurPatchDante128Converter, 4},
        {"Log", &LPC::sMurLogConverter, 3},
        {"O256", &LPC::sMurPatchUzOutput256Converter, 1},
        {"Room", &LPC::sMurRoomIDConverter, 1},
        {"Azi", &LPC::sMurAzimuthConverter, 1},
        {"WGen", &LPC::sMurWGenIntervalConverter, 1},
        {"Inv", &LPC::sMurOnOffInvertConverter, 1},
        {"DefFloat", &LPC::sMurDefaultFloatConverter, 0},
        {"none", nullptr, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.rows, rowsWhere([&](const MemoryItem& m) { return m.converter == c.converter; }).size());
    }
}

TEST(LpcMemoryItemTest, SampleRowsCarryTheirEntriesInOrder)
{
    using List = LPC::ModuleParamList;
    struct Case {
        int row;
        std::vector<List> lists;
        const LPC::IValueConverter* converter;
    };
    const Case cases[] = {
        {0, {}, nullptr},
        {2, {}, &LPC::sMurOnOffConverter},
        {22,
         {{&LPC::BinauralListenerPositionX}, {&LPC::BinauralListenerPositionY}, {&LPC::BinauralListenerPositionZ}},
         &LPC::sMurDefaultConverter},
        {53, {{&LPC::OBAObjectXYmode_1of2, &LPC::OBAObjectXYmode_2of2}}, &LPC::sMurDefaultConverter},
        {98, {{&LPC::ThreeDRevPattern_1of4, &LPC::ThreeDRevPattern_3of4}}, &LPC::sMurRoomIDConverter},
        {99, {{&LPC::ThreeDRevPattern_2of4}}, &LPC::sMurDefaultConverter},
        {100, {{&LPC::ThreeDRevPattern_4of4}}, &LPC::sMurDefaultConverter},
        {113, {{&LPC::ThreeDRevPEQOn}}, &LPC::sMurOnOffInvertConverter},
        {116,
         {{&LPC::ThreeDRevPEQF<0>, &LPC::ThreeDRevPEQF<1>, &LPC::ThreeDRevPEQF<2>, &LPC::ThreeDRevPEQF<3>}},
         &LPC::sMurLogConverter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(c.lists, sMemoryItemTable[c.row].pluginParams);
        EXPECT_EQ(c.converter, sMemoryItemTable[c.row].converter);
    }
    EXPECT_STREQ("LMH", sMemoryItemTable[68].postFix);
    EXPECT_EQ(LPC::CATEGORY_PDBTYPE_UZSETUP, sMemoryItemTable[68].category);
    EXPECT_EQ(3u, sMemoryItemTable[70].pluginParams.size());
}
