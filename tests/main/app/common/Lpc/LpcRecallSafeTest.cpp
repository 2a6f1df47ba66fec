#include "common/Lpc/LpcRecallSafe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "PDB/pdb_SnapshotFile.h"
#include "common/Lpc/LpcSceneList.h"
#include "main/app/common/Lpc/LpcSceneFixture.h"

namespace {

using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZSETUP;

constexpr uint32_t kObject = 5;
constexpr uint32_t kOther = 6;

// One held-back parameter with the value stored in the scene and the one live at the recall.
struct Held {
    uint32_t group;  // 0 Position, 1 Size, 2 AuxSend, 3 RevSend
    const char* address;
    JVariant stored;
    JVariant live;
};

const Held kHeld[] = {
    {0, "/OBA/Object/PhysicalPosition@xyz@x", JVariant(100), JVariant(-100)},
    {0, "/OBA/Object/PhysicalPosition@xyz@y", JVariant(200), JVariant(-200)},
    {0, "/OBA/Object/PhysicalPosition@xyz@z", JVariant(300), JVariant(-300)},
    {0, "/OBA/Object/LogicalPosition@xyz@x", JVariant(0.25f), JVariant(0.125f)},
    {0, "/OBA/Object/LogicalPosition@xyz@y", JVariant(0.5f), JVariant(0.375f)},
    {0, "/OBA/Object/LogicalPosition@xyz@z", JVariant(0.75f), JVariant(0.625f)},
    {1, "/OBA/Object/SizeH", JVariant(10), JVariant(30)},
    {1, "/OBA/Object/SizeV", JVariant(20), JVariant(40)},
    {2, "/OBA/Object/AuxSend/On", JVariant(1), JVariant(0)},
    {2, "/OBA/Object/AuxSend/Level", JVariant(-100), JVariant(-200)},
    {3, "/OBA/Object/RevSend/On", JVariant(1), JVariant(0)},
    {3, "/OBA/Object/RevSend/Level", JVariant(-300), JVariant(-400)},
};
const char* const kGroupSwitches[] = {"/OBA/Object/RecallSafe/Position", "/OBA/Object/RecallSafe/Size",
                                      "/OBA/Object/RecallSafe/AuxSend", "/OBA/Object/RecallSafe/RevSend"};
constexpr const char* kMaster = "/OBA/Object/RecallSafe/On";

class RecallSafeTest : public LpcTest::SceneFixture {
protected:
    static void setAll(uint32_t object, bool stored)
    {
        for (const Held& h : kHeld) set(CATEGORY_PDBTYPE_UZCURRENT, h.address, object, stored ? h.stored : h.live);
        LpcTest::SceneFixture::setFader(stored ? -10 : -20, object);
    }
    static void setSwitches(uint32_t object, int32_t master, uint32_t groups)
    {
        set(CATEGORY_PDBTYPE_UZSETUP, kMaster, object, JVariant(master));
        for (uint32_t g = 0; g < 4; ++g) {
            set(CATEGORY_PDBTYPE_UZSETUP, kGroupSwitches[g], object, JVariant((groups >> g) & 1 ? 1 : 0));
        }
    }
    static uint32_t switchesOf(uint32_t object)
    {
        uint32_t groups = 0;
        for (uint32_t g = 0; g < 4; ++g) {
            if (get(CATEGORY_PDBTYPE_UZSETUP, kGroupSwitches[g], object).toInt32() != 0) groups |= 1u << g;
        }
        return groups;
    }
};

TEST_F(RecallSafeTest, ARecallKeepsTheGroupsWhoseSwitchAndMasterSwitchAreOn)
{
    struct Case {
        const char* name;
        int32_t master;
        uint32_t groups;  // bit g: group g switched on
    };
    const Case cases[] = {
        {"master off, every group on", 0, 0xF},
        {"master on, no group", 1, 0},
        {"size only", 1, 0x2},
        {"position only", 1, 0x1},
        {"sends", 1, 0xC},
        {"every group", 1, 0xF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setSwitches(kObject, 1, 0xF);  // the switches at the store, which the scene does not keep
        setAll(kObject, true);
        setAll(kOther, true);
        ASSERT_TRUE(JLIB::isSuccess(m_list.store("S", "t", "c", false)));
        setAll(kObject, false);
        setAll(kOther, false);
        setSwitches(kObject, c.master, c.groups);
        setSwitches(kOther, 0, 0xF);

        ASSERT_TRUE(JLIB::isSuccess(m_list.recall("S", false, {})));
        for (const Held& h : kHeld) {
            SCOPED_TRACE(h.address);
            const bool kept = c.master != 0 && ((c.groups >> h.group) & 1) != 0;
            EXPECT_TRUE((kept ? h.live : h.stored) == get(CATEGORY_PDBTYPE_UZCURRENT, h.address, kObject));
            EXPECT_TRUE(h.stored == get(CATEGORY_PDBTYPE_UZCURRENT, h.address, kOther));
        }
        EXPECT_EQ(-10, fader(kObject));
        EXPECT_EQ(c.master, get(CATEGORY_PDBTYPE_UZSETUP, kMaster, kObject).toInt32());
        EXPECT_EQ(c.groups, switchesOf(kObject));
    }
}

TEST_F(RecallSafeTest, RecallUndoRestoresTheWholeSettingsAndKeepsNothingBack)
{
    setAll(kObject, true);
    ASSERT_TRUE(JLIB::isSuccess(m_list.store("S", "t", "c", false)));
    setAll(kObject, false);
    setSwitches(kObject, 1, 0x2);
    ASSERT_TRUE(JLIB::isSuccess(m_list.recall("S", false, {})));
    EXPECT_EQ(30, get(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeH", kObject).toInt32());
    set(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeH", kObject, JVariant(99));
    set(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/PhysicalPosition@xyz@x", kObject, JVariant(99));
    ASSERT_TRUE(JLIB::isSuccess(m_list.recallUndo(false, false)));
    EXPECT_EQ(30, get(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeH", kObject).toInt32());
    EXPECT_EQ(-100, get(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/PhysicalPosition@xyz@x", kObject).toInt32());
    EXPECT_EQ(-20, fader(kObject));
}

TEST_F(RecallSafeTest, SetRecallSafeSwitchesEveryObjectAndTheListFollows)
{
    LPC::RecallSafe recallSafe;
    ASSERT_EQ(0u, recallSafe.initialize());
    PDB::SnapshotContentsList list;
    ASSERT_EQ(0u, recallSafe.getRecallSafeList(list));
    EXPECT_EQ(0u, list.num());

    EXPECT_EQ(0u, LPC::setRecallSafe(1));
    for (uint32_t object : {0u, 64u, 127u}) {
        SCOPED_TRACE(object);
        EXPECT_EQ(1, get(CATEGORY_PDBTYPE_UZSETUP, kMaster, object).toInt32());
        EXPECT_EQ(0xFu, switchesOf(object));
    }
    ASSERT_EQ(0u, recallSafe.getRecallSafeList(list));
    ASSERT_EQ(128u * std::size(kHeld), list.num());
    EXPECT_EQ(3u, list.item(0).kind());  // one element each
    EXPECT_EQ("/OBA/Object/PhysicalPosition@xyz@x", list.item(0).address());
    EXPECT_EQ(0u, list.item(0).x());
    EXPECT_EQ("/OBA/Object/RevSend/Level", list.item(std::size(kHeld) - 1).address());
    EXPECT_EQ(127u, list.item(list.num() - 1).x());

    EXPECT_EQ(0u, LPC::setRecallSafe(0));
    EXPECT_EQ(0, get(CATEGORY_PDBTYPE_UZSETUP, kMaster, 127).toInt32());
    EXPECT_EQ(0u, switchesOf(0));
    PDB::SnapshotContentsList none;
    ASSERT_EQ(0u, recallSafe.getRecallSafeList(none));
    EXPECT_EQ(0u, none.num());
}

TEST_F(RecallSafeTest, TheTablesResolveInTheShippedDefinitions)
{
    LPC::RecallSafe recallSafe;
    ASSERT_EQ(0u, recallSafe.initialize());
    EXPECT_TRUE(LPC::gl_recallSafeOn.isCached());
    for (const LPC::T_RECALLSAFE_INFO& info : LPC::gl_recallSafeInfos) {
        SCOPED_TRACE(info.recallSafe.address);
        EXPECT_EQ(LPC::CATEGORY_PDBTYPE_UZSETUP, info.recallSafe.category);
        EXPECT_EQ(0u, LPC::pdb_addressCheck(info.recallSafe.id));
        for (const LPC::T_RECALLSAFE_PARAM& p : info.params) EXPECT_EQ(0u, LPC::pdb_addressCheck(p.id)) << p.address;
    }
}

}  // namespace
