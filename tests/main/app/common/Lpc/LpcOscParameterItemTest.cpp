#include "common/Lpc/LpcOscParameterItem.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/Lpc/LpcExpression.h"

using LPC::MemoryIndex;
using LPC::sParameterItemTable;

TEST(LpcOscParameterItemTest, RowsKeepTheTableRules)
{
    ASSERT_EQ(145u, std::size(sParameterItemTable));
    std::set<std::string> addresses;
    std::vector<int> hidden;
    size_t onOff = 0, level = 0, delay = 0, none = 0;
    for (int i = 0; i < 145; ++i) {
        const LPC::OscParameterItem& item = sParameterItemTable[i];
        SCOPED_TRACE(item.address);
        EXPECT_EQ(i, item.memoryIndex);
        EXPECT_EQ(0u, item.address.rfind("uz:", 0));
        EXPECT_EQ(std::string::npos, item.address.find('@'));
        EXPECT_TRUE(addresses.insert(item.address).second) << "address twice";
        if (!item.isExposed) hidden.push_back(i);
        onOff += item.expression == &LPC::uzExpression_OnOff;
        level += item.expression == &LPC::uzExpression_Level;
        delay += item.expression == &LPC::uzExpression_DelayTime;
        none += item.expression == nullptr;
    }
    EXPECT_EQ((std::vector<int>{3, 34, 45, 57, 58, 72, 73, 76, 90, 93, 99, 100, 118, 122, 124, 128}), hidden);
    EXPECT_EQ(32u, onOff);
    EXPECT_EQ(17u, level);
    EXPECT_EQ(4u, delay);
    EXPECT_EQ(92u, none);
}

TEST(LpcOscParameterItemTest, AddressLookupIsExactAndCaseSensitive)
{
    struct Case {
        const char* address;
        JLIB::JResult result;
        int index;
    };
    const Case cases[] = {
        {"uz:AuxIn/Label/Name", 0, 0},
        {"uz:AuxIn/Solo/On", 0, 2},
        {"uz:AuxIn/Solo/On_Internal", 0, 3},
        {"uz:OBA/Space/Height", 0, 68},
        {"uz:Show/On", 0, 144},
        {"uz:AuxIn/Solo", 0x80000000u, -1},       // a prefix
        {"uz:AuxIn/Solo/On/", 0x80000000u, -1},   // longer
        {"uz:auxin/solo/on", 0x80000000u, -1},    // other case
        {"UZ:AuxIn/Solo/On", 0x80000000u, -1},
        {"/AuxIn/Solo/On", 0x80000000u, -1},      // the device address
        {"uz:OBA/Space/Height@LMH@M", 0x80000000u, -1},
        {"", 0x80000000u, -1},
        {nullptr, 0x80000000u, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address ? c.address : "(null)");
        MemoryIndex index = static_cast<MemoryIndex>(-1);  // untouched on failure
        EXPECT_EQ(c.result, LPC::getMemoryIndexFromOscAddress(index, c.address));
        EXPECT_EQ(c.index, index);
    }
    for (const LPC::OscParameterItem& item : sParameterItemTable) {
        MemoryIndex index = LPC::MEMORY_INDEX_NUM;
        ASSERT_EQ(0u, LPC::getMemoryIndexFromOscAddress(index, item.address.c_str()));
        EXPECT_EQ(item.memoryIndex, index);
    }
}

TEST(LpcOscParameterItemTest, RowLookupsEndAtRow144)
{
    ASSERT_NE(nullptr, LPC::getParameterItem(144));
    EXPECT_EQ("uz:Show/On", LPC::getParameterItem(144)->address);
    EXPECT_EQ(nullptr, LPC::getParameterItem(145));
    EXPECT_EQ(nullptr, LPC::getParameterItem(0xFFFFFFFFu));
    EXPECT_EQ("uz:AuxIn/Label/Name", LPC::getParameterName(LPC::MEMORY_INDEX_FIRST));
    EXPECT_EQ("uz:Show/On", LPC::getParameterName(LPC::MEMORY_INDEX_LAST));
    EXPECT_EQ("", LPC::getParameterName(LPC::MEMORY_INDEX_NUM));
    EXPECT_EQ("", LPC::getParameterName(static_cast<MemoryIndex>(-1)));
}
