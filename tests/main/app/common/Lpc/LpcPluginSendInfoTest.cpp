#include "common/Lpc/LpcPluginSendInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FileCache/TempFolder.h"
#include "common/Lpc/LpcModuleTables.h"
#include "common/Lpc/ModuleParam.h"
#include "common/Lpc/ModuleParamCatalogue.h"

using LPC::IteratorAll;
using LPC::IteratorSingleParam;
using LPC::Module;
using LPC::ModuleParam;
using LPC::ModuleParamList;
using LPC::ParamKind;
using LPC::PluginSendInfoList;

namespace {

constexpr Module kFive[5] = {{"five-0", "//t/Five/#0"}, {"five-1", "//t/Five/#1"}, {"five-2", "//t/Five/#2"},
                             {"five-3", "//t/Five/#3"}, {"five-4", "//t/Five/#4"}};
constexpr Module kTwo[2] = {{"two-0", "//t/Two/#0"}, {"two-1", "//t/Two/#1"}};

// Element i: module i / 2, parameter 10 + i % 2.
constexpr ModuleParam<Module, ParamKind<10, 2>, IteratorAll> kPlain{kFive, 10, false, false};
// Element i: parameter 7 + i % 4 in every module.
constexpr ModuleParam<Module, ParamKind<7, 4>, IteratorAll> kAllModules{kFive, 4, false, true};
// One value for parameters 20 to 22 of both modules.
constexpr ModuleParam<Module, ParamKind<20, 3>, IteratorAll> kAllParams{kTwo, 6, true, false};
// One value for parameters 30 and 31, to be sent to both modules.
constexpr ModuleParam<Module, ParamKind<30, 2>, IteratorAll> kAllParamsAllModules{kTwo, 2, true, true};
// A total beyond the table: element 2 names module 2, which does not exist.
constexpr ModuleParam<Module, ParamKind<40, 1>, IteratorAll> kBeyond{kTwo, 3, false, false};
constexpr ModuleParam<Module, ParamKind<50, 1, 1, true>, IteratorAll> kInverted{kTwo, 2, false, false};

// "module/parameter", with "!" for an inverted target; the GUID must belong to the module.
std::vector<std::string> describe(const PluginSendInfoList& targets)
{
    std::vector<std::string> out;
    for (const LPC::PluginSendInfo& t : targets) {
        std::string name = t.moduleName;
        const std::string guid = t.guid;
        EXPECT_EQ(name.back(), guid.back()) << name << " with " << guid;
        out.push_back(name + "/" + std::to_string(t.paramNo) + (t.isInvert ? "!" : ""));
    }
    return out;
}

}  // namespace

TEST(LpcPluginSendInfoTest, ListsTargetsByTheEntryFlagsAndOnlyAppends)
{
    struct Case {
        const char* name;
        ModuleParamList entries;
        uint64_t index;
        JLIB::JResult result;
        std::vector<std::string> targets;
    };
    const std::string f = "//t/Five/#";
    const std::string t = "//t/Two/#";
    const Case cases[] = {
        {"empty list", {}, 0, 0x80000000u, {}},
        {"null first entry", {nullptr, &kPlain}, 0, 0x80000000u, {}},
        {"index at the first entry's total", {&kPlain}, 10, 0x80000000u, {}},
        {"index one below the total", {&kPlain}, 9, 0, {f + "4/11"}},
        {"plain entries in order, null skipped", {&kPlain, nullptr, &kInverted}, 1, 0, {f + "0/11", t + "1/50!"}},
        {"all modules: one parameter everywhere", {&kAllModules}, 2, 0,
         {f + "0/9", f + "1/9", f + "2/9", f + "3/9", f + "4/9"}},
        {"all params with index 0", {&kAllParams}, 0, 0,
         {t + "0/20", t + "0/21", t + "0/22", t + "1/20", t + "1/21", t + "1/22"}},
        {"all params with index 1", {&kAllParams}, 1, 0, {}},
        {"all params stops later entries", {&kPlain, &kAllParams, &kAllModules}, 1, 0, {f + "0/11"}},
        {"all params and modules with index 0", {&kAllParamsAllModules}, 0, 0,
         {t + "0/30", t + "0/31", t + "1/30", t + "1/31"}},
        {"all params and modules with index 1", {&kAllParamsAllModules}, 1, 0, {}},
        {"module beyond the table", {&kBeyond}, 2, 0, {}},
        {"module inside the table", {&kBeyond}, 1, 0, {t + "1/40"}},
        {"only the first entry's total counts", {&kInverted, &kBeyond}, 1, 0, {t + "1/50!", t + "1/40"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PluginSendInfoList out;
        out.emplace_back("kept", 99, "kept", false);  // listing appends behind what is there
        EXPECT_EQ(c.result, LPC::listUpPluginSendInfo(c.entries, c.index, out));
        ASSERT_FALSE(out.empty());
        EXPECT_STREQ("kept", out.front().guid);
        EXPECT_EQ(c.targets, describe(PluginSendInfoList(out.begin() + 1, out.end())));
    }
}

TEST(LpcPluginSendInfoTest, CatalogueEntriesExpandAsTheirTablesSay)
{
    PluginSendInfoList master;
    ASSERT_EQ(0u, LPC::listUpPluginSendInfo({&LPC::ThreeDRevMasterFaderLevel}, 0, master));
    std::set<std::pair<std::string, uint64_t>> distinct;
    std::set<std::string> modules;
    for (const LPC::PluginSendInfo& t : master) {
        distinct.insert({t.moduleName, t.paramNo});
        modules.insert(t.moduleName);
    }
    EXPECT_EQ(256u, master.size());
    EXPECT_EQ(256u, distinct.size());
    EXPECT_EQ(16u, modules.size());

    PluginSendInfoList speaker;
    ASSERT_EQ(0u, LPC::listUpPluginSendInfo({&LPC::OBASpeakerPositionX_1of4}, 5, speaker));
    ASSERT_EQ(8u, speaker.size());
    std::set<std::string> speakerModules;
    for (const LPC::PluginSendInfo& t : speaker) {
        EXPECT_EQ(speaker.front().paramNo, t.paramNo);
        speakerModules.insert(t.moduleName);
    }
    EXPECT_EQ(8u, speakerModules.size());

    struct Case {
        const LPC::ModuleParamBase* entry;
        uint64_t index;
        JLIB::JResult result;
        size_t targets;
    };
    const Case cases[] = {
        {&LPC::AuxInSoloOn, 95, 0, 1},
        {&LPC::AuxInSoloOn, 96, 0x80000000u, 0},
        {&LPC::ThreeDRevPattern_2of4, 6, 0, 1},
        {&LPC::ThreeDRevPattern_2of4, 7, 0x80000000u, 0},
        {&LPC::BinauralSurroundFaderLevel, 0, 0, 12},
        {&LPC::BinauralSurroundFaderLevel, 12, 0x80000000u, 0},
        {&LPC::ThreeDRevPEQQ<3>, 4, 0, 3},  // all three modules
        {&LPC::ThreeDRevPEQQ<3>, 5, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index << " of total " << c.entry->getTotalParamSize());
        PluginSendInfoList out;
        EXPECT_EQ(c.result, LPC::listUpPluginSendInfo({c.entry}, c.index, out));
        EXPECT_EQ(c.targets, out.size());
    }
}

TEST(LpcPluginSendInfoTest, OnlyThePeqSwitchOfTheTableIsInverted)
{
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        for (const ModuleParamList& list : item.pluginParams) {
            PluginSendInfoList out;
            ASSERT_EQ(0u, LPC::listUpPluginSendInfo(list, 0, out)) << item.index;
            for (const LPC::PluginSendInfo& t : out) {
                EXPECT_EQ(item.index == 113, t.isInvert) << item.index << " " << t.moduleName;
            }
        }
    }
}

TEST(LpcPluginSendInfoTest, ShowMarksAParameterClaimedByASecondElement)
{
    // Element 0 and 1 both go to parameter 60 of both modules.
    static constexpr Module kDup[2] = {{"dup-0", "//t/Dup/#0"}, {"dup-1", "//t/Dup/#1"}};
    static constexpr ModuleParam<Module, ParamKind<60, 1>, IteratorSingleParam<0>> kShared{kDup, 2, false, true};
    std::ostringstream out;
    LPC::show(out, "uz:Test/Dup", {&kShared});
    EXPECT_EQ("uz:Test/Dup, 0, , dup-0, 60, //t/Dup/#0\n"
              "uz:Test/Dup, 0, , dup-1, 60, //t/Dup/#1\n"
              "uz:Test/Dup, 1, , dup-0, 60, //t/Dup/#0Caution: (uz:Test/Dup 1)  alreadyHad at uz:Test/Dup 0\n"
              "uz:Test/Dup, 1, , dup-1, 60, //t/Dup/#1Caution: (uz:Test/Dup 1)  alreadyHad at uz:Test/Dup 0\n",
              out.str());

    std::ostringstream inverted;
    static constexpr Module kInv[1] = {{"inv-0", "//t/Inv/#0"}};
    static constexpr ModuleParam<Module, ParamKind<3, 1, 1, true>, IteratorAll> kInvertedOne{kInv, 1, false, false};
    LPC::show(inverted, "uz:Test/Inv", {&kInvertedOne});
    EXPECT_EQ("uz:Test/Inv, 0,  Invert, inv-0, 3, //t/Inv/#0\n", inverted.str());

    std::ostringstream nothing;
    LPC::show(nothing, "uz:Test/None", {});
    LPC::show(nothing, "uz:Test/None", {nullptr, &kShared});
    EXPECT_EQ("", nothing.str());
}

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool hasLineStartingWith(const std::vector<std::string>& all, const std::string& prefix)
{
    for (const std::string& line : all) {
        if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

}  // namespace

// The whole table into the working folder twice: the second dump finds every parameter claimed.
TEST(LpcPluginSendInfoTest, DumpListsEveryTargetAndASecondDumpMarksEveryLine)
{
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());

    ASSERT_EQ(0u, LPC::showPluginParameters());
    const std::vector<std::string> first = lines(folder.read("pluginParameters.txt"));
    ASSERT_EQ(0u, LPC::showPluginParameters());
    const std::vector<std::string> second = lines(folder.read("pluginParameters.txt"));
    std::filesystem::current_path(previous);

    ASSERT_FALSE(first.empty());
    EXPECT_EQ("JOSC, X, Invert, PluginGuid, PluginPrmNo, ModuleName, ", first.front());
    size_t expected = 1;
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        for (const ModuleParamList& list : item.pluginParams) {
            for (uint64_t x = 0; x < list.front()->getTotalParamSize(); ++x) {
                PluginSendInfoList out;
                if (JLIB::isSuccess(LPC::listUpPluginSendInfo(list, x, out))) expected += out.size();
            }
        }
    }
    EXPECT_EQ(expected, first.size());

    PluginSendInfoList patch;
    ASSERT_EQ(0u, LPC::listUpPluginSendInfo({&LPC::AuxInPatchSource}, 0, patch));
    ASSERT_EQ(1u, patch.size());
    EXPECT_TRUE(hasLineStartingWith(first, "uz:AuxIn/Patch/Source, 0, , " + std::string(patch[0].guid) + ", " +
                                               std::to_string(patch[0].paramNo) + ", " + patch[0].moduleName));
    EXPECT_TRUE(hasLineStartingWith(first, "uz:3DRev/PEQ/On, 0,  Invert, "));
    for (const char* member : {"/x, ", "/y, ", "/z, "}) {
        EXPECT_TRUE(hasLineStartingWith(first, std::string("uz:Binaural/Listener/Position") + member)) << member;
    }
    EXPECT_FALSE(hasLineStartingWith(first, "uz:Binaural/Listener/Position, "));

    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(first.front(), second.front());
    for (size_t i = 1; i < first.size(); ++i) {
        SCOPED_TRACE(first[i]);
        if (first[i].find("Caution: (") != std::string::npos) {
            EXPECT_EQ(first[i], second[i]);  // the register keeps the first claimant
            continue;
        }
        // name, x, invert, GUID, number, module: the line claims for itself in the first dump.
        const size_t nameEnd = first[i].find(", ");
        const size_t xEnd = first[i].find(", ", nameEnd + 2);
        const std::string claimant =
            first[i].substr(0, nameEnd) + " " + first[i].substr(nameEnd + 2, xEnd - nameEnd - 2);
        EXPECT_EQ(first[i] + "Caution: (" + claimant + ")  alreadyHad at " + claimant, second[i]);
    }
}
