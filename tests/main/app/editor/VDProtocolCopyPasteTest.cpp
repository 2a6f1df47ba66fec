// Range query and copy/paste of the executor against the shipped databases, every packet it
// sends captured.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_SnapshotFile.h"
#include "common/Lpc/LpcPDB.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"
#include "main/app/editor/CapturingExecutor.h"

using VDProtocol::ArgumentMap;
using EngineTest::CapturingExecutor;
using VDProtocol::PacketContainer;

namespace {

constexpr const char* kFader = "/OBA/Object/Fader/Level";
constexpr const char* kName = "/OBA/Label/Name";
const std::string kCurrent = "AudioCompo/#0";

ArgumentMap copyItem(const std::string& type, const std::string& address)
{
    ArgumentMap item;
    (void)item.insertString("type", type);
    (void)item.insertString("prmAddr", address);
    return item;
}

ArgumentMap pasteItem(const std::string& type, const std::string& address, const std::vector<uint8_t>& image)
{
    ArgumentMap item = copyItem(type, address);
    (void)item.insertBinary("d:data", image.data(), static_cast<unsigned int>(image.size()));
    return item;
}

class VDProtocolCopyPasteTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", m_databases.create()); }

    static int32_t fader(uint32_t x) { return LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kFader, x, 0).toInt32(); }
    static void setFader(uint32_t x, int32_t value)
    {
        PDB::IParameterDB& db = LPC::getLpcPDB();
        ASSERT_FALSE(JLIB::isFailure(db.setVariant(LPC::pdb_resolveAddress(LPC::CATEGORY_PDBTYPE_UZCURRENT, kFader),
                                                   x, 0, JVariant(value), 255)));
    }
    static std::string name(uint32_t x)
    {
        const JVariant value = LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kName, x, 0);
        return value.toString() ? value.toString() : "<none>";
    }

    // One request with the items as its list; the one reply sent.
    PacketContainer send(const char* cmd, const std::vector<ArgumentMap>& items)
    {
        PacketContainer packet;
        EXPECT_EQ(0u, packet.initialize("request", cmd, "ed", "dev01", "r9"));
        for (const ArgumentMap& item : items) EXPECT_EQ(0u, packet.addCmndListItem(item));
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        EXPECT_EQ(1u, m_executor.sent.size()) << cmd;
        return m_executor.sent.empty() ? PacketContainer() : m_executor.sent.back();
    }
    // The image of one copy item; empty when the copy failed.
    std::vector<uint8_t> copy(const std::string& type, const std::string& address)
    {
        const PacketContainer reply = send("getData_copy_paste", {copyItem(type, address)});
        EXPECT_EQ(0u, reply.resultCode()) << address;
        if (reply.cmndListNum() != 1) return {};
        const ArgumentMap& item = reply.cmndListItem(0);
        EXPECT_STREQ(type.c_str(), item.toString("type"));
        EXPECT_STREQ(address.c_str(), item.toString("prmAddr"));
        const unsigned char* bytes = item.toBinary("d:data");
        return bytes ? std::vector<uint8_t>(bytes, bytes + item.getBinaryLength("d:data")) : std::vector<uint8_t>();
    }

    LpcTest::ShippedDatabases m_databases;
    CapturingExecutor m_executor;
};

}  // namespace

TEST_F(VDProtocolCopyPasteTest, ComponentCopyThenChangeThenPasteRestoresTheValues)
{
    setFader(3, -1200);
    ASSERT_EQ(0u, LPC::pdb_setParamT<const char*>(LPC::CATEGORY_PDBTYPE_UZCURRENT, kName, 3, 0, "Lead"));
    const std::vector<uint8_t> image = copy("currentCpt", kCurrent);
    ASSERT_FALSE(image.empty());

    setFader(3, 500);
    setFader(100, 700);
    ASSERT_EQ(0u, LPC::pdb_setParamT<const char*>(LPC::CATEGORY_PDBTYPE_UZCURRENT, kName, 3, 0, "Other"));
    const PacketContainer reply = send("setData_copy_paste", {pasteItem("currentCpt", kCurrent, image)});
    EXPECT_EQ(0u, reply.resultCode());
    EXPECT_EQ("reply", reply.category());
    ASSERT_EQ(1u, reply.cmndListNum());  // the request's list, data included
    EXPECT_EQ(image.size(), reply.cmndListItem(0).getBinaryLength("d:data"));
    EXPECT_EQ(-1200, fader(3));
    EXPECT_EQ(fader(99), fader(100));  // back to what it was at the copy
    EXPECT_EQ("Lead", name(3));
}

TEST_F(VDProtocolCopyPasteTest, ElementImageLandsWhereItWasTakenWhateverThePasteNames)
{
    setFader(3, -300);
    const std::vector<uint8_t> image = copy("currentPrm", kCurrent + kFader + ":3:0");
    ASSERT_FALSE(image.empty());
    setFader(3, 10);
    setFader(5, 20);
    const PacketContainer reply =
        send("setData_copy_paste", {pasteItem("currentPrm", kCurrent + kFader + ":5:0", image)});
    EXPECT_EQ(0u, reply.resultCode());
    EXPECT_EQ(-300, fader(3));
    EXPECT_EQ(20, fader(5));
}

TEST_F(VDProtocolCopyPasteTest, ImageOfAnotherProductIsRefusedAndWritesNothing)
{
    PDB::SnapshotContentsList selection;
    ASSERT_EQ(0u, selection.addComponent(LPC::getLpcPDB(), PDB::UniqId(0)));
    PDB::SnapshotData other;
    ASSERT_EQ(0u, other.initialize("UZ_SCENE", 1, 1, selection, nullptr));
    setFader(3, -900);
    ASSERT_FALSE(JLIB::isFailure(other.update()));
    std::vector<uint8_t> image(other.exportBinarySize());
    ASSERT_FALSE(JLIB::isFailure(other.exportBinary(image.data(), static_cast<uint32_t>(image.size()))));

    setFader(3, 40);
    const PacketContainer reply = send("setData_copy_paste", {pasteItem("currentCpt", kCurrent, image)});
    EXPECT_TRUE(JLIB::isFailure(reply.resultCode()));
    EXPECT_EQ(40, fader(3));
}

TEST_F(VDProtocolCopyPasteTest, BadItemsEndTheWalkWithEarlierItemsDone)
{
    const std::string element = kCurrent + kFader + ":3:0";
    ArgumentMap noAddress;
    (void)noAddress.insertString("type", "currentCpt");
    ArgumentMap numberAddress = copyItem("currentCpt", kCurrent);
    ArgumentMap textData = copyItem("currentCpt", kCurrent);
    (void)textData.insertString("d:data", "not bytes");
    const struct {
        const char* what;
        ArgumentMap item;
    } cases[] = {
        {"other type", copyItem("currentAll", kCurrent)},
        {"no prmAddr", noAddress},
        {"unknown database", copyItem("currentCpt", "Nowhere/#0")},
        {"component address for an element", copyItem("currentPrm", kCurrent)},
        {"negative x is no wildcard", copyItem("currentPrm", kCurrent + kFader + ":-1:0")},
        {"negative y is no wildcard", copyItem("currentPrm", kCurrent + kFader + ":0:-1")},
        {"x beyond the parameter", copyItem("currentPrm", kCurrent + kFader + ":128:0")},
        {"unknown parameter", copyItem("currentPrm", kCurrent + "/No/Such:0:0")},
        {"unknown component", copyItem("currentCpt", "AudioCompo/#77")},
    };
    setFader(3, -300);
    const std::vector<uint8_t> image = copy("currentPrm", element);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // getData: the good item before the bad one keeps its image.
        PacketContainer reply = send("getData_copy_paste", {copyItem("currentPrm", element), c.item});
        EXPECT_TRUE(JLIB::isFailure(reply.resultCode()));
        EXPECT_EQ(1u, reply.cmndListNum());
        // setData: the good paste before the bad item stays pasted.
        setFader(3, 1);
        ArgumentMap bad = c.item;
        (void)bad.insertBinary("d:data", image.data(), static_cast<unsigned int>(image.size()));
        reply = send("setData_copy_paste", {pasteItem("currentPrm", element, image), bad});
        EXPECT_TRUE(JLIB::isFailure(reply.resultCode()));
        EXPECT_EQ(-300, fader(3));
    }
    // A paste item without data, or with a text where the bytes belong.
    for (const ArgumentMap& item : {numberAddress, textData}) {
        setFader(3, 1);
        const PacketContainer reply = send("setData_copy_paste", {item});
        EXPECT_TRUE(JLIB::isFailure(reply.resultCode()));
        EXPECT_EQ(1, fader(3));
    }
    // Empty lists answer "ok".
    for (const char* cmd : {"getData_copy_paste", "setData_copy_paste"}) {
        const PacketContainer reply = send(cmd, {});
        EXPECT_EQ(0u, reply.resultCode()) << cmd;
        EXPECT_EQ(0u, reply.cmndListNum());
    }
}

TEST_F(VDProtocolCopyPasteTest, RangeQueryNeedsAllFiveKeysAndReadsNothing)
{
    const char* keys[] = {"prmAddr", "startX", "startY", "endX", "endY"};
    for (int missing = -1; missing < 5; ++missing) {
        SCOPED_TRACE(missing);
        ArgumentMap info;
        for (int k = 0; k < 5; ++k) {
            if (k == missing) continue;
            (void)(k == 0 ? info.insertString(keys[k], "Nowhere/#0/Nothing:0:0") : info.insert(keys[k], 0));
        }
        PacketContainer packet;
        ASSERT_EQ(0u, packet.initialize("request", "get_range_prm", "ed", "dev01", "r1"));
        ASSERT_EQ(0u, packet.setCmndInfo(info));
        m_executor.sent.clear();
        (void)m_executor.received(packet);
        ASSERT_EQ(1u, m_executor.sent.size());
        const PacketContainer& reply = m_executor.sent.back();
        EXPECT_EQ(missing < 0 ? 0u : 0x80000000u, reply.resultCode());
        EXPECT_EQ(100u, reply.progress());
        EXPECT_EQ(info.size(), reply.cmndInfo().size());
        EXPECT_EQ(0u, reply.cmndListNum());
    }
}
