#include "common/Lpc/LpcOscDeviceController.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcUzPDBParamOscEvent.h"
#include "main/app/common/Lpc/LpcOscTestSupport.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

using LPC::LpcOscDeviceController;
using LpcOscTest::MessageRecorder;

namespace {

JVariant str(const std::string& s) { return JVariant(s.c_str(), static_cast<unsigned int>(s.size())); }

bool has(const std::string& message, const std::string& pair)
{
    return (" " + message + " ").find(" " + pair + " ") != std::string::npos;
}

}  // namespace

TEST(LpcOscDeviceControllerTest, DeviceInformationComesFromTheFixedTableByWholeKey)
{
    LpcOscDeviceController controller;
    struct Case {
        const char* key;
        JLIB::JResult result;
        const char* value;
    };
    const Case cases[] = {
        {"productname", 0, "UZ"},        {"manufacturer", 0, "Jovrix Corporation"},
        {"protocolver", 0, "1.0.0"},     {"paramsetver", 0, "UZ:1.0.0"},
        {"version", 0, ""},              {"description", 0, ""},
        {"Version", 0x80000004u, ""},    {"productname ", 0x80000004u, ""},
        {"", 0x80000004u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::string value = "stale";
        EXPECT_EQ(c.result, controller.getDeviceInfo(value, c.key));
        EXPECT_EQ(c.value, value);
    }
}

TEST(LpcOscDeviceControllerTest, StatusModesListsAndIdentify)
{
    TMS::TMSystem system;
    LpcOscDeviceController controller;
    std::string value = "stale";
    // Not a thread of the tree: nothing to read the run mode from.
    EXPECT_EQ(0u, controller.getDeviceStatus(value, "runmode"));
    EXPECT_EQ("", value);
    value = "stale";
    EXPECT_EQ(0x80000004u, controller.getDeviceStatus(value, "RunMode"));
    EXPECT_EQ("", value);

    EXPECT_EQ(0u, controller.changeDeviceMode("normal")) << "without a server only the result";
    LpcOscTest::RecordingDeviceCallback callback;
    ASSERT_EQ(0u, controller.initialize(&callback));
    EXPECT_EQ(0x80000004u, controller.changeDeviceMode("booting"));
    EXPECT_EQ(0x80000004u, controller.changeDeviceMode("Normal"));
    EXPECT_TRUE(callback.calls.empty());
    EXPECT_EQ(0u, controller.changeDeviceMode("normal"));
    EXPECT_EQ(std::vector<std::string>{"runmode=normal"}, callback.calls);

    uint32_t count = 7, head = 8, tail = 9;
    EXPECT_EQ(0x80000006u, controller.getListItemNum("scenes", count, head, tail));
    EXPECT_EQ(7u + 8u + 9u, count + head + tail);
    JVariant item(5);
    bool flag = true;
    EXPECT_EQ(0x80000006u, controller.getListItem("scenes", 0, item, flag));
    EXPECT_EQ(5, item.toInt32());
    EXPECT_TRUE(flag);
    EXPECT_EQ(0x80000006u, controller.runIdentify(1000));
}

class LpcOscDeviceControllerEventTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_deviceControl.run("DeviceControl"));
        ASSERT_TRUE(m_sync.run("Sync"));
        ASSERT_TRUE(m_osc.run("OSCServer"));
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    MessageRecorder m_deviceControl;
    MessageRecorder m_sync;
    MessageRecorder m_osc;
    LpcOscDeviceController m_controller;
};

TEST_F(LpcOscDeviceControllerEventTest, EventsAreMatchedWholeCountedAndPostedWithTheClientAsFactor)
{
    struct Case {
        const char* event;
        LPC::JVariantList arguments;
        JLIB::JResult result;
        MessageRecorder* target;            // null: nothing may be posted
        std::vector<std::string> pairs;     // each must be in the posted message
    };
    MessageRecorder* const dc = &m_deviceControl;
    const Case cases[] = {
        {"uz:Command/Scene/Recall", {str("3")}, 0, dc,
         {"CommandName=UZScene", "Operation=Recall", "Status=Start", "Index=3", "Factor=#4"}},
        {"uz:Command/Scene/Recall", {str("3"), str("4")}, 0x80000004u, nullptr, {}},
        {"uz:Command/Scene/Recall", {}, 0x80000004u, nullptr, {}},
        {"uz:Command/Scene/Recall", {JVariant(3)}, 0x80000000u, nullptr, {}},
        {"uz:Command/scene/Recall", {str("3")}, 0x80000006u, nullptr, {}},
        {"uz:Command/Scene/Recall ", {str("3")}, 0x80000006u, nullptr, {}},
        {"uz:Command/showAllValues", {}, 0x80000004u, nullptr, {}},
        // "none": the arguments are not read, whatever their number.
        {"uz:Command/Scene/RecallUndo", {str("x"), JVariant(7)}, 0, dc, {"Operation=RecallUndo", "Factor=#4"}},
        {"uz:Command/Scene/Store", {str("12"), str("Title"), str("Note")}, 0, dc,
         {"Operation=Store", "Index=12", "Title=Title", "Comment=Note", "Factor=#4"}},
        {"uz:Command/Scene/Protect", {str("5"), JVariant(1u)}, 0, dc, {"SnapshotNo=5", "OnOff=u1", "Factor=#4"}},
        {"uz:Command/Preset/3DRev/Store", {JVariant(12), str("Hall")}, 0, dc,
         {"CommandName=UZPreset", "PresetType=3DRev", "PresetNo=u12", "Title=Hall"}},
        // A number given as text counts as 0.
        {"uz:Command/Preset/3DRev/Recall", {str("12")}, 0, dc, {"Operation=Recall", "PresetNo=u0"}},
        {"uz:Command/Project/Save", {str("show.uzp")}, 0, dc, {"CommandName=UZProject", "FilePath=show.uzp"}},
        // Paths outside the user folder are refused before anything is posted.
        {"uz:Command/Project/Save", {str("../show.uzp")}, 0x80000000u, nullptr, {}},
        {"uz:Command/Project/Load", {str("/tmp/show.uzp")}, 0x80000000u, nullptr, {}},
        {"uz:Command/SpeakerPosition/Export", {str("a\\b.csv")}, 0x80000000u, nullptr, {}},
        {"uz:Command/showAllValues", {str("..")}, 0x80000000u, nullptr, {}},
        {"uz:Command/Sync/GoOnline", {str("10.0.0.1"), str("10.0.0.2"), str("To")}, 0, &m_sync,
         {"CommandName=SetNetworkInfo&Sync", "Direction=To"}},
        {"uz:Command/Sync/GoOnline", {str("10.0.0.1"), str("10.0.0.2")}, 0x80000004u, nullptr, {}},
        {"uz:Command/Sync/GoOffline", {JVariant(1)}, 0, &m_sync, {"CommandName=Disconnect"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.event) + " with " + std::to_string(c.arguments.size()) + " arguments");
        EXPECT_EQ(c.result, m_controller.runEvent(4, c.event, c.arguments));
        if (c.target) {
            ASSERT_TRUE(c.target->waitForMessages(1));
            const std::vector<std::string> got = c.target->take();
            ASSERT_EQ(1u, got.size());
            for (const std::string& pair : c.pairs) EXPECT_TRUE(has(got[0], pair)) << got[0] << " lacks " << pair;
        }
        // The recall also tells "OSCServer"; everything else reaches only its target.
        if (c.target && std::string(c.event) == "uz:Command/Scene/Recall") {
            ASSERT_TRUE(m_osc.waitForMessages(1));
            (void)m_osc.take();
        }
        EXPECT_TRUE(m_deviceControl.take().empty());
        EXPECT_TRUE(m_sync.take().empty());
        EXPECT_TRUE(m_osc.take().empty());
    }
}

TEST(LpcOscDeviceControllerNoTargetTest, FailedCommandsMapToTheirEventResults)
{
    TMS::TMSystem system;
    LpcOscDeviceController controller;
    EXPECT_EQ(0x80000000u, controller.runEvent(1, "uz:Command/Scene/Delete", {JVariant(2)})) << "not a text";
    EXPECT_EQ(0x80000001u, controller.runEvent(1, "uz:Command/Shutdown", {})) << "no \"System\"";
    EXPECT_EQ(0u, controller.runEvent(1, "uz:Command/Sync/GoOffline", {})) << "always 0";
}

class LpcUzPDBParamOscEventTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        set(LPC::CATEGORY_PDBTYPE_UZSCENELIST, "/SceneList/Bank/Info/SceneNumber", 4, str("12"));
        set(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Title", 4, str("Stored title"));
        set(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Comment", 4, str("Stored comment"));
    }
    static void set(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, const JVariant& value)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParam(category, address, x, 0, value, 255))) << address;
    }
    static std::vector<std::string> texts(const LPC::JVariantList& values)
    {
        std::vector<std::string> out;
        for (const JVariant& v : values) out.push_back(v.toString() ? v.toString() : "<not a text>");
        return out;
    }

    LpcTest::ShippedDatabases m_databases;
};

TEST_F(LpcUzPDBParamOscEventTest, ATitleOrCommentWriteOfAFilledSlotStoresItsScene)
{
    const LPC::LpcUzPDBParamOscEvent events;
    struct Case {
        const char* address;
        uint32_t x;
        JLIB::JResult result;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"/SceneStatus/Bank/Info/Comment", 4, 0, {"12", "Stored title", "New"}},
        {"/SceneStatus/Bank/Info/Title", 4, 0, {"12", "New", "Stored comment"}},
        {"/SceneStatus/Bank/Info/Title", 5, 0x80000000u, {}},  // no scene in the slot
        {"/SceneStatus/Bank/Info/Protect", 4, 0x80000000u, {}},
        {"/OBA/Object/Fader/Level", 4, 0x80000000u, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " at " + std::to_string(c.x));
        std::string event = "untouched";
        LPC::JVariantList arguments;
        EXPECT_EQ(c.result, events.getAssociatedOscEvent(c.address, c.x, 0, 3, str("New"), event, arguments));
        EXPECT_EQ(c.result == 0 ? "uz:Command/Scene/Store" : "untouched", event);
        EXPECT_EQ(c.arguments, texts(arguments));
    }
}
