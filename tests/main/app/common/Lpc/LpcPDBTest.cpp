#include "common/Lpc/LpcPDB.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <tuple>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/PDBLink.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZPRESETLIST;
using LPC::CATEGORY_PDBTYPE_UZSETUP;
using LPC::CATEGORY_PDBTYPE_UZVOLATILE;
using LPC::JVariantList;

constexpr const char* kPosition = "/OBA/Object/PhysicalPosition";
constexpr const char* kFader = "/OBA/Object/Fader/Level";

class NoWake : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override { return 0; }
};

using Position = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;  // component, address, x, y

class LpcPDBTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", m_databases.create()); }
    void TearDown() override
    {
        (void)LPC::pdb_setLink(nullptr);
        m_databases.destroy();
    }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static uint32_t ai(uint32_t category, const std::string& address)
    {
        return db().getAddressIndex(PDB::UniqId(category), address.c_str());
    }
    static int32_t intAt(uint32_t category, const std::string& address, uint32_t x, uint32_t y = 0)
    {
        return db().getSInt32(category, ai(category, address), x, y, nullptr);
    }
    // Every change the subscriber of this slot has not seen yet, in the database's order.
    static std::vector<Position> drain(int32_t slot)
    {
        std::vector<Position> found;
        if (JLIB::isFailure(db().captureDirtyFlag(slot))) return found;
        uint32_t c = 0, a = 0, x = 0, y = 0;
        while (db().checkNextDirty(slot, c, a, x, y, false) == 0) found.emplace_back(c, a, x, y);
        return found;
    }

    LpcTest::ShippedDatabases m_databases;
};

TEST(LpcPostFixTest, MemberAddressesAreBuiltAndParsed)
{
    struct Build {
        const char* letters;
        uint32_t index;
        const char* address;
    };
    const Build builds[] = {
        {"xyz", 1, "/OBA/Object/PhysicalPosition@xyz@y"},
        {"xyz", 0, "/OBA/Object/PhysicalPosition@xyz@x"},
        {"xyz", 3, ""},
        {nullptr, 5, "/OBA/Object/PhysicalPosition"},
        {"", 0, "/OBA/Object/PhysicalPosition"},
    };
    for (const Build& b : builds) {
        SCOPED_TRACE(b.address);
        EXPECT_EQ(b.address, LPC::getPdbAddressWithPostFix(kPosition, b.letters, b.index));
    }

    struct Parse {
        const char* address;
        JLIB::JResult result;
        uint32_t index;
        uint32_t count;
    };
    const Parse parses[] = {
        {"/OBA/Space/Height@LMH@M", 1, 1, 3},
        {"/OBA/Space/Height@LMH@H", 1, 2, 3},
        {"/OBA/Space/Position@xy@x", 1, 0, 2},
        {"/OBA/Object/Fader/Level", 0, 0, 0},
        {"/OBA/Space/Height@LMH", 0x80000000u, 99, 99},
        {"/OBA/Space/Height@LMH@", 0x80000000u, 99, 99},
        {"/OBA/Space/Height@LMH@Q", 0x80000000u, 99, 99},
        {"/OBA/Space/Height@@L", 0x80000000u, 99, 99},
        {nullptr, 0x80000000u, 99, 99},
    };
    for (const Parse& p : parses) {
        SCOPED_TRACE(p.address ? p.address : "(null)");
        uint32_t index = 99, count = 99;  // shows whether the call wrote them
        EXPECT_EQ(p.result, LPC::getArgNoFromPdbAddressWithPostFix(p.address, index, count));
        EXPECT_EQ(p.index, index);
        EXPECT_EQ(p.count, count);
    }
    EXPECT_EQ(10u, LPC::getFirstAddressIndexOfAtomicParameter(0, 12, 2));
    EXPECT_EQ(14u, LPC::getAddressIndexOfAtomicParameter(0, 12, 2));
}

TEST_F(LpcPDBTest, MembersOfTheShippedDefinitionsAreRecognised)
{
    struct Case {
        uint32_t ci;
        uint32_t ai;
        bool member;
        uint32_t index;
        uint32_t count;
    };
    const uint32_t y = ai(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/PhysicalPosition@xyz@y");
    const uint32_t high = ai(CATEGORY_PDBTYPE_UZSETUP, "/OBA/Space/Height@LMH@H");
    const Case cases[] = {
        {0, y, true, 1, 3},
        {1, high, true, 2, 3},
        {0, ai(CATEGORY_PDBTYPE_UZCURRENT, kFader), false, 77, 77},
        {99, 0, false, 77, 77},  // no such component: its address text is no member
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ci) + "/" + std::to_string(c.ai));
        bool member = !c.member;
        uint32_t index = 77, count = 77;
        EXPECT_EQ(0u, LPC::isAtomicParameter(db(), c.ci, c.ai, member, index, count));
        EXPECT_EQ(c.member, member);
        EXPECT_EQ(c.index, index);
        EXPECT_EQ(c.count, count);
    }
}

TEST_F(LpcPDBTest, TextAddressedValuesRoundTrip)
{
    ASSERT_EQ(0u, LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, kFader, 5, 0, JVariant(-1200), 3));
    ASSERT_EQ(0u, LPC::pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 2, 0, "Vocal"));
    ASSERT_EQ(0u, LPC::pdb_setParamTChar(CATEGORY_PDBTYPE_UZSETUP, "/ToSpeaker/Label/Name", 63, 0, "Top"));
    ASSERT_EQ(0u, LPC::pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/Solo/On", 127, 0, 1u));

    JVariant fader;
    EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, kFader, 5, 0, fader)));
    EXPECT_EQ(-1200, fader.toInt32());
    EXPECT_EQ(3u, db().getFactor(0, ai(0, kFader), 5, 0));  // the caller's attribute
    EXPECT_STREQ("Vocal", LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 2, 0).toString());
    EXPECT_EQ(255u, db().getFactor(0, ai(0, "/OBA/Label/Name"), 2, 0));
    EXPECT_STREQ("Top", LPC::pdb_getParam(CATEGORY_PDBTYPE_UZSETUP, "/ToSpeaker/Label/Name", 63, 0).toString());
    EXPECT_EQ(1, LPC::pdb_getParam(CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/Solo/On", 127, 0).toInt32());
    EXPECT_FALSE(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, kFader, 128, 0).isValid());  // past the array
}

TEST_F(LpcPDBTest, NullAndUndeclaredAddressesAreRefused)
{
    JVariant value(7);
    JVariantList values;
    EXPECT_EQ(0x80000000u, LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, nullptr, 0, 0, JVariant(1), 255));
    EXPECT_EQ(0x80000000u, LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, nullptr, 0, 0, value));
    EXPECT_EQ(7, value.toInt32());
    EXPECT_FALSE(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, nullptr, 0, 0).isValid());
    EXPECT_EQ(0x80000000u, LPC::pdb_setParams(CATEGORY_PDBTYPE_UZCURRENT, nullptr, "xyz", 0, 0, 0, values, 255));
    EXPECT_EQ(0x80000000u, LPC::pdb_getParams(CATEGORY_PDBTYPE_UZCURRENT, nullptr, "xyz", 3, 0, 0, values));
    EXPECT_EQ(0x80000000u, LPC::setParamAll(CATEGORY_PDBTYPE_UZCURRENT, nullptr, JVariant(1), 255));
    EXPECT_EQ(0x80000000u, LPC::pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 0, 0, nullptr));
    EXPECT_EQ(0x80000000u, LPC::pdb_setParamTChar(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 0, 0, nullptr));

    // Not declared: the database's own refusal, for writes as for reads.
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, "/No/Such", 0, 0, JVariant(1), 255)));
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, "/No/Such", 0, 0, value)));
    EXPECT_FALSE(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, "/No/Such", 0, 0).isValid());
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_setParam(CATEGORY_PDBTYPE_UZSETUP, kFader, 0, 0, JVariant(1), 255)));
}

TEST_F(LpcPDBTest, GroupWritesCarryEveryMemberOrNothing)
{
    // A handler on member x sees the whole group arrive as one write.
    LPC::PDBLink link;
    LPC::LinkMap links;
    std::vector<size_t> offered;
    LPC::T_LINK_PRM entry;
    entry.category = CATEGORY_PDBTYPE_UZCURRENT;
    entry.address = "/OBA/Object/PhysicalPosition@xyz@x";
    entry.link = [&](const LPC::LinkMap&, const LPC::LinkEntry&, const PDB::AddressId&, uint32_t, uint32_t,
                     const JVariantList& v, uint8_t) {
        offered.push_back(v.size());
        return 0u;
    };
    links[LPC::CATEGORY_OF_LinkPrm(11)] = entry;
    ASSERT_EQ(0u, link.setLinks(links));
    ASSERT_EQ(0u, link.initialize());
    ASSERT_EQ(0u, LPC::pdb_setLink(&link));

    const JVariantList two = {JVariant(100), JVariant(200)};
    EXPECT_EQ(0x80000000u, LPC::pdb_setParams(CATEGORY_PDBTYPE_UZCURRENT, kPosition, "xyz", 3, 9, 0, two, 255));
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(0, intAt(0, "/OBA/Object/PhysicalPosition@xyz@x", 9));

    const JVariantList three = {JVariant(100), JVariant(-200), JVariant(300)};
    EXPECT_EQ(0u, LPC::pdb_setParams(CATEGORY_PDBTYPE_UZCURRENT, kPosition, "xyz", 3, 9, 0, three, 255));
    EXPECT_EQ(std::vector<size_t>{3}, offered);
    JVariantList read = {JVariant(1)};
    EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParams(CATEGORY_PDBTYPE_UZCURRENT, kPosition, "xyz", 3, 9, 0, read)));
    ASSERT_EQ(3u, read.size());
    EXPECT_EQ(100, read[0].toInt32());
    EXPECT_EQ(-200, read[1].toInt32());
    EXPECT_EQ(300, read[2].toInt32());
    EXPECT_EQ(0, intAt(0, "/OBA/Object/PhysicalPosition@xyz@y", 8));  // only (9, 0)
}

TEST_F(LpcPDBTest, GroupReadsKeepOnlyTheValuesBeforeTheFirstFailure)
{
    ASSERT_EQ(0u, LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeV", 4, 0, JVariant(321), 255));
    // The address after "/OBA/Object/SizeV" holds one value: reading it at x 4 fails.
    JVariantList read = {JVariant(1), JVariant(2), JVariant(3), JVariant(4)};
    const JLIB::JResult result =
        LPC::pdb_getParams(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeV", nullptr, 3, 4, 0, read);
    EXPECT_TRUE(JLIB::isFailure(result));
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ(321, read[0].toInt32());
}

TEST_F(LpcPDBTest, SetParamAllWritesEveryChannel)
{
    EXPECT_EQ(0u, LPC::setParamAll(CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/Solo/On", JVariant(1), 255));
    for (uint32_t x : {0u, 64u, 127u}) EXPECT_EQ(1, intAt(CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/Solo/On", x)) << x;
    EXPECT_EQ(0, intAt(CATEGORY_PDBTYPE_UZVOLATILE, "/AuxIn/Solo/On", 0));
}

TEST_F(LpcPDBTest, AtomicWriteSkipsUnchangedValuesAndAnnouncesTheWholeGroup)
{
    NoWake callback;
    ASSERT_EQ(0u, db().addDirtyFlag(0x7777, &callback, PDB::SubscribeAttr()));
    const int32_t slot = db().getDirtyFlagSet(0x7777);
    ASSERT_GE(slot, 0);
    (void)drain(slot);
    (void)drain(slot);

    const uint32_t x = ai(0, "/OBA/Object/PhysicalPosition@xyz@x");
    const uint32_t fader = ai(0, kFader);
    EXPECT_EQ(0u, LPC::lpcpdb_setVariantWithAtomic(0, x + 1, 7, 0, JVariant(1500), 9));
    EXPECT_EQ((std::vector<Position>{{0, x, 7, 0}, {0, x + 1, 7, 0}, {0, x + 2, 7, 0}}), drain(slot));
    EXPECT_EQ(1500, intAt(0, "/OBA/Object/PhysicalPosition@xyz@y", 7));
    EXPECT_EQ(9u, db().getFactor(0, x + 1, 7, 0));

    // Unchanged (the UInt32 compares equal to the stored Int32): the read's success, nothing written.
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantWithAtomic(0, fader, 3, 0, JVariant(0), 9)));
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantWithAtomic(0, fader, 3, 0, JVariant(0u), 9)));
    EXPECT_TRUE(drain(slot).empty());
    EXPECT_EQ(255u, db().getFactor(0, fader, 3, 0));

    const PDB::AddressId id = LPC::pdb_resolveAddress(CATEGORY_PDBTYPE_UZCURRENT, kFader);
    EXPECT_EQ(0u, LPC::lpcpdb_setVariantWithAtomic(id, 3, 0, JVariant(-600), 9));
    EXPECT_EQ((std::vector<Position>{{0, fader, 3, 0}}), drain(slot));
    EXPECT_TRUE(JLIB::isFailure(LPC::lpcpdb_setVariantWithAtomic(0, fader, 128, 0, JVariant(1), 9)));
}

TEST_F(LpcPDBTest, GroupWriteStoresChangedMembersAndAnnouncesEachGroupWhole)
{
    NoWake callback;
    ASSERT_EQ(0u, db().addDirtyFlag(0x7778, &callback, PDB::SubscribeAttr()));
    const int32_t slot = db().getDirtyFlagSet(0x7778);
    ASSERT_GE(slot, 0);
    (void)drain(slot);
    (void)drain(slot);
    const uint32_t x = ai(0, "/OBA/Object/PhysicalPosition@xyz@x");

    // Member 1 unchanged: still announced, with the write's factor like the stored ones.
    const JVariant position[3] = {JVariant(10), JVariant(0), JVariant(30)};
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantsWithAtomic(0, x, 4, 0, position, 3, 9)));
    EXPECT_EQ((std::vector<Position>{{0, x, 4, 0}, {0, x + 1, 4, 0}, {0, x + 2, 4, 0}}), drain(slot));
    for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(9u, db().getFactor(0, x + k, 4, 0)) << k;
    EXPECT_EQ(30, intAt(0, "/OBA/Object/PhysicalPosition@xyz@z", 4));

    // Only member 2 of the group written: the whole group is announced.
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantsWithAtomic(0, x + 2, 4, 0, position, 1, 8)));
    EXPECT_EQ((std::vector<Position>{{0, x, 4, 0}, {0, x + 1, 4, 0}, {0, x + 2, 4, 0}}), drain(slot));
    EXPECT_EQ(10, intAt(0, "/OBA/Object/PhysicalPosition@xyz@z", 4));

    // Nothing changed: nothing announced. A clamped value is announced like a stored one.
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantsWithAtomic(0, x + 2, 4, 0, position, 1, 8)));
    EXPECT_TRUE(drain(slot).empty());
    const JVariant beyond[1] = {JVariant(900000)};
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantsWithAtomic(0, x + 1, 4, 0, beyond, 1, 8)));
    EXPECT_EQ((std::vector<Position>{{0, x, 4, 0}, {0, x + 1, 4, 0}, {0, x + 2, 4, 0}}), drain(slot));
    EXPECT_EQ(50000, intAt(0, "/OBA/Object/PhysicalPosition@xyz@y", 4));

    // Every value is tried; a failure is reported after the others were stored.
    EXPECT_TRUE(JLIB::isFailure(LPC::lpcpdb_setVariantsWithAtomic(0, x, 128, 0, position, 3, 9)));
    const uint32_t fader = ai(0, kFader);
    const JVariant levels[1] = {JVariant(-700)};
    EXPECT_TRUE(JLIB::isSuccess(LPC::lpcpdb_setVariantsWithAtomic(0, fader, 5, 0, levels, 1, 9)));
    EXPECT_EQ((std::vector<Position>{{0, fader, 5, 0}}), drain(slot));
}

TEST_F(LpcPDBTest, AnUnresolvedAddressIsReportedNotFatal)
{
    testing::internal::CaptureStdout();
    const JLIB::JResult unresolved = LPC::pdb_addressCheck(LPC::pdb_resolveAddress(CATEGORY_PDBTYPE_UZSETUP, "/No/Such"));
    const JLIB::JResult resolved = LPC::pdb_addressCheck(LPC::pdb_resolveAddress(CATEGORY_PDBTYPE_UZSETUP, "/3DRev/PEQ/F"));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0x80000000u, unresolved);
    EXPECT_EQ(0u, resolved);
    EXPECT_EQ("[E] LPC::pdb_addressCheck - unresolved address \"/No/Such\"\n", log);
    EXPECT_EQ(0x80000000u, LPC::pdb_addressCheck(PDB::AddressId()));
}

size_t openDescriptors()
{
    size_t count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

TEST_F(LpcPDBTest, DatabaseImageFilesRestoreTheValuesAndReportEveryFailure)
{
    TempFolder folder;
    const std::string image = folder.file("device.img");
    ASSERT_EQ(0u, LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, kFader, 1, 0, JVariant(-300), 255));
    ASSERT_EQ(0u, LPC::pdb_save(image.c_str()));
    ASSERT_EQ(0u, LPC::pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, kFader, 1, 0, JVariant(500), 255));
    EXPECT_EQ(0u, LPC::pdb_load(image.c_str()));
    EXPECT_EQ(-300, intAt(0, kFader, 1));

    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_save(folder.file("missing/device.img").c_str())));
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_save("/dev/full")));  // opens, but the bytes never land
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_load(folder.file("absent.img").c_str())));
    folder.write("garbage.img", std::string(64, 'x'));
    EXPECT_TRUE(JLIB::isFailure(LPC::pdb_load(folder.file("garbage.img").c_str())));  // the import's refusal counts
    EXPECT_EQ(-300, intAt(0, kFader, 1));

    // A folder opens for reading but cannot be read: the file must still be closed.
    const size_t before = openDescriptors();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(JLIB::isFailure(LPC::pdb_load(folder.path().c_str())));
    EXPECT_EQ(before, openDescriptors());
}

}  // namespace
