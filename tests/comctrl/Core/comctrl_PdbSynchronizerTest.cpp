// Two synchronisers on two real databases of one process, their ports joined by a pump that
// carries each command to the other side as the link would; plus the codec and the helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "comctrl/Core/comctrl_FactorConverter.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_IPortObserver.h"
#include "comctrl/Core/comctrl_PdbParameterFlip.h"
#include "comctrl/Core/comctrl_PdbSynchronizer.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_cnp.h"
#include "jlib/JHeap.h"

namespace {

using namespace ComControl;
using P = PdbSynchronizerProtocol;
constexpr uint32_t kLevel = 0, kGain = 1, kLocal = 2, kName = 3;
constexpr uint32_t kFollow = 0x10000000u | 1u;

// "SyncTest" 1: /Level UINT16 following the component size, /Gain UINT8, /Name STRING: all
// synchronised; /Local UINT8 is not.
void registerType()
{
    static const bool done = [] {
        (void)JLIB::GetGlobalHeapManager();
        PDB::ComponentInfo t;
        const PDB::ParamAttr sync('T', PDB::ParamAttr::kRecallable | PDB::ParamAttr::kSyncable);
        const PDB::ParamAttr local('T', PDB::ParamAttr::kRecallable);
        EXPECT_EQ(0u, t.initialize("SyncTest", 1, 1, 1, 64, 64, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT16("/Level", kFollow, kFollow, "", "", 0, 60000, 1, 1, 1, 1, sync, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/Gain", 1, 1, "", "", 0, 100, 5, 5, 1, 1, sync, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/Local", 1, 1, "", "", 0, 100, 7, 7, 1, 1, local, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/Name", 1, 1, "", "", 16, "none", sync, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);
        return true;
    }();
    (void)done;
}

class Subscriber : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override { return 0; }
};

// A live database registered in gPDBCollection under its id for the test's life.
struct Db {
    Db(uint32_t id, const char* name, uint32_t sizeX = 2, uint32_t sizeY = 2) : id(id)
    {
        registerType();
        EXPECT_EQ(0u, db.initialize(id, name, &lock));
        EXPECT_EQ(0u, db.addComponent(PDB::UniqId(0x100), "SyncTest", 1, sizeX, sizeY, 0));
        EXPECT_EQ(0u, db.addDirtyFlag(kSubscriber, &subscriber, 0));
        EXPECT_EQ(0u, PDB::gPDBCollection.addPDB(db));
    }
    ~Db() { (void)PDB::gPDBCollection.removePDB(id); }
    uint32_t level(uint32_t x, uint32_t y) { return db.getUInt32(0, kLevel, x, y, nullptr); }

    static constexpr uint32_t kSubscriber = 0x5001;
    uint32_t id;
    PDB::SimpleReadWriteMutex lock;
    PDB::ParameterDB db;
    Subscriber subscriber;
};

class FakePort : public IPort {
public:
    JLIB::JResult expandBufferSize(uint32_t size) override
    {
        granted = size;
        return 0;
    }
    JLIB::JResult writeRequest(const char*) override
    {
        ++requests;
        return 0;
    }
    uint32_t granted = 0;
    int requests = 0;
};

// One end: a synchroniser, its port and the commands that arrived for it.
struct End {
    PdbSynchronizer sync;
    FakePort port;
    std::deque<std::vector<uint8_t>> inbox;
    std::vector<uint32_t> sentIds;
    uint32_t capacity = 1 << 20;
};

uint32_t commandId(const std::vector<uint8_t>& c)
{
    return (uint32_t{c[5]} << 16) | (uint32_t{c[6]} << 8) | c[7];
}

// Runs the send steps the port was asked for; false when a step fails.
bool sendPending(End& me, End& peer, std::vector<uint8_t>& buffer, bool& busy)
{
    buffer.assign(me.capacity, 0);
    while (me.port.requests > 0) {
        --me.port.requests;
        bool more = true;
        while (more) {
            uint32_t produced = 0;
            more = false;
            const JLIB::JResult r = me.sync.eventSend(buffer.data(), me.capacity, &produced, &more);
            if (r == 0x80000000u) break;  // nothing pending
            if ((r & 0xFFFFu) == 3 && JLIB::isFailure(r)) break;
            if (JLIB::isFailure(r)) return false;
            if (produced > 0) {
                peer.inbox.emplace_back(buffer.begin(), buffer.begin() + produced);
                me.sentIds.push_back(commandId(peer.inbox.back()));
            }
            busy = true;
        }
    }
    return true;
}

// Carries commands both ways until both ends are quiet, as the port does: a reply that asks for
// a send is followed by that send before the next command is read. false when a step fails.
bool pump(End& a, End& b)
{
    End* ends[2] = {&a, &b};
    std::vector<uint8_t> buffer;
    for (int round = 0; round < 100000; ++round) {
        bool busy = false;
        for (int i = 0; i < 2; ++i) {
            End& me = *ends[i];
            End& peer = *ends[1 - i];
            if (!sendPending(me, peer, buffer, busy)) return false;
            while (!me.inbox.empty()) {
                std::vector<uint8_t> command = std::move(me.inbox.front());
                me.inbox.pop_front();
                uint32_t produced = 0;
                uint8_t flags = 0;
                buffer.assign(me.capacity, 0);
                const JLIB::JResult r = me.sync.eventReceived(buffer.data(), me.capacity, &produced, command.data(),
                                                              uint32_t(command.size()), &flags);
                if (JLIB::isFailure(r) && (r & 0xFFFFu) != 3) return false;
                if (produced > 0) {
                    peer.inbox.emplace_back(buffer.begin(), buffer.begin() + produced);
                    me.sentIds.push_back(commandId(peer.inbox.back()));
                }
                if (flags & IPortObserver::kFlagMore) ++me.port.requests;
                if (!sendPending(me, peer, buffer, busy)) return false;
                busy = true;
            }
        }
        if (!busy) return true;
    }
    return false;
}

// Device end (isServer true in the synchroniser's sense) on db 6, console end on db 5.
struct Pair {
    Pair(uint32_t sizeX = 2, uint32_t sizeY = 2) : console(5, "Scene", sizeX, sizeY), device(6, "Scene", sizeX, sizeY)
    {
        (void)c.sync.initialize(false, nullptr);
        (void)d.sync.initialize(true, nullptr);
        (void)c.sync.setPort(&c.port);
        (void)d.sync.setPort(&d.port);
        EXPECT_EQ(0u, c.sync.setFacade(5, Db::kSubscriber, 0xF0));
        EXPECT_EQ(0u, d.sync.setFacade(6, Db::kSubscriber, 0x10));
    }
    bool associate(bool consoleTakesDevice)
    {
        if (JLIB::isFailure(c.sync.synchronize(consoleTakesDevice))) return false;
        return pump(c, d) && c.sync.syncStatus() == kPdbSyncAssociated && d.sync.syncStatus() == kPdbSyncAssociated;
    }
    Db console;
    Db device;
    End c;
    End d;
};

size_t count(const std::vector<uint32_t>& ids, uint32_t id)
{
    return size_t(std::count(ids.begin(), ids.end(), id));
}

}  // namespace

TEST(PdbSynchronizerTest, AssociationCopiesTheWinningImageOnlyWhenDigestsDiffer)
{
    struct Case {
        bool consoleTakesDevice;
        bool differ;
    };
    for (const Case& k : {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "fromTarget " << k.consoleTakesDevice << " differ " << k.differ);
        Pair p;
        if (k.differ) {
            ASSERT_EQ(0u, p.device.db.setUInt32(0, kLevel, 1, 1, 777, 0));
            ASSERT_EQ(0u, p.console.db.setUInt32(0, kLevel, 0, 1, 333, 0));
            ASSERT_EQ(0u, p.device.db.setUInt32(0, kLocal, 0, 0, 42, 0));
        }
        ASSERT_TRUE(p.associate(k.consoleTakesDevice));
        const End& winner = k.consoleTakesDevice ? p.d : p.c;
        const End& loser = k.consoleTakesDevice ? p.c : p.d;
        EXPECT_EQ(k.differ ? 1u : 0u, count(winner.sentIds, CNP_CMD_SET_PARAMETER_BLOCK));
        EXPECT_EQ(0u, count(loser.sentIds, CNP_CMD_SET_PARAMETER_BLOCK));
        if (!k.differ) continue;
        Db& taken = k.consoleTakesDevice ? p.console : p.device;
        const uint32_t expectLevel11 = k.consoleTakesDevice ? 777 : 1;
        EXPECT_EQ(expectLevel11, taken.level(1, 1));
        EXPECT_EQ(k.consoleTakesDevice ? 1u : 333u, taken.level(0, 1));
        // Not synchronised: each side keeps its own.
        EXPECT_EQ(7u, p.console.db.getUInt32(0, kLocal, 0, 0, nullptr));
        EXPECT_EQ(42u, p.device.db.getUInt32(0, kLocal, 0, 0, nullptr));
    }
}

TEST(PdbSynchronizerTest, ChangesTravelBothWaysWithoutEcho)
{
    Pair p;
    ASSERT_TRUE(p.associate(true));
    p.c.sentIds.clear();
    p.d.sentIds.clear();
    ASSERT_EQ(0u, p.console.db.setUInt32(0, kLevel, 0, 0, 11, 0x01));
    ASSERT_EQ(0u, p.console.db.setUInt32(0, kLevel, 1, 0, 12, 0x01));
    ASSERT_EQ(0u, p.console.db.setString(0, kName, 0, 0, "abc", 0x01));
    ASSERT_EQ(0u, p.console.db.setUInt32(0, kLocal, 0, 0, 9, 0x01));  // never sent
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_SET_PARAMETER, CNP_CMD_SET_PARAMETER, CNP_CMD_SET_PARAMETER,
                                     CNP_CMD_PARAMETER_FLIP}),
              p.c.sentIds);
    EXPECT_EQ(11u, p.device.level(0, 0));
    EXPECT_EQ(12u, p.device.level(1, 0));
    JVariant name;
    ASSERT_EQ(0u, p.device.db.getVariant(name, 0, kName, 0, 0, nullptr));
    EXPECT_STREQ("abc", name.toString());
    EXPECT_EQ(7u, p.device.db.getUInt32(0, kLocal, 0, 0, nullptr));

    // The device sends its change back with 0xA0 (the console's own factor is not its own, so 0xA1
    // for foreign values); the console writes it with 0xF0 and does not send it again.
    ASSERT_EQ(0u, p.device.db.setUInt32(0, kLevel, 1, 1, 99, 0x22));
    ASSERT_EQ(0u, p.d.sync.notify());
    p.c.sentIds.clear();
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(99u, p.console.level(1, 1));
    uint8_t factor = 0;
    (void)p.console.db.getUInt32(0, kLevel, 1, 1, &factor);
    EXPECT_EQ(0xF0, factor);
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_PARAMETER_FLIP}), p.c.sentIds);  // nothing echoed
}

TEST(PdbSynchronizerTest, AnElementThatDidNotFitIsSentFirstOnRetry)
{
    Pair p;
    ASSERT_TRUE(p.associate(true));
    ASSERT_EQ(0u, p.console.db.setUInt32(0, kLevel, 0, 0, 21, 0x01));
    ASSERT_EQ(0u, p.console.db.setUInt32(0, kLevel, 0, 1, 22, 0x01));
    p.c.capacity = 30;  // no SetParameter fits
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_TRUE(p.c.sync.sendRetryPending());
    EXPECT_EQ(1u, p.device.level(0, 0));
    p.c.capacity = 1 << 20;
    ASSERT_EQ(0u, p.c.sync.retrySend());  // what the unit's tick does
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(21u, p.device.level(0, 0));  // not lost
    EXPECT_EQ(22u, p.device.level(0, 1));
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
}

TEST(PdbSynchronizerTest, MalformedOrRefusedSetsAfterAssociation)
{
    Pair p;
    ASSERT_TRUE(p.associate(true));
    std::vector<uint8_t> buffer(512);
    uint32_t len = 0;
    const uint32_t address[2] = {0x100, kLevel};
    const uint32_t indexes[2] = {1, 0};
    const JVariant value(555u);
    struct Case {
        const char* what;
        const char* textAddress;
        uint32_t depth;
        uint32_t uniq;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"text address", "/Level", 2, 0x100, 0x80000004u},
        {"depth 1", nullptr, 1, 0x100, 0x80000004u},
        {"depth 3", nullptr, 3, 0x100, 0x80000004u},
        {"unknown component: logged, link stays", nullptr, 2, 0x999, 0u},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const uint32_t addr3[3] = {k.uniq, kLevel, 0};
        const uint32_t idx3[3] = {1, 0, 0};
        ASSERT_EQ(0u, P::Encode_SetParameter(buffer.data(), uint32_t(buffer.size()), &len, value, 0xA1, "Scene", nullptr,
                                             k.textAddress, addr3, idx3, k.depth));
        uint8_t out[64];
        uint32_t produced = 0;
        uint8_t flags = 0;
        EXPECT_EQ(k.result, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
    }
    // An out-of-range value the database vetoes is logged too, and the next set still lands.
    ASSERT_EQ(0u, P::Encode_SetParameter(buffer.data(), 512, &len, JVariant(70000u), 0xA1, "Scene", nullptr, nullptr,
                                         address, indexes, 2));
    uint8_t out[64];
    uint32_t produced = 0;
    uint8_t flags = 0;
    EXPECT_EQ(0u, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
    ASSERT_EQ(0u, P::Encode_SetParameter(buffer.data(), 512, &len, value, 0xA1, "Scene", nullptr, nullptr, address,
                                         indexes, 2));
    EXPECT_EQ(0u, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
    EXPECT_EQ(555u, p.console.level(1, 0));
    // 0xA0 is the console's own change coming back: ignored.
    ASSERT_EQ(0u, P::Encode_SetParameter(buffer.data(), 512, &len, JVariant(556u), 0xA0, "Scene", nullptr, nullptr,
                                         address, indexes, 2));
    EXPECT_EQ(0u, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
    EXPECT_EQ(555u, p.console.level(1, 0));
}

TEST(PdbSynchronizerTest, StatusAndRefusals)
{
    Pair p;
    EXPECT_EQ(0x80000000u, p.c.sync.notify());  // not associated
    EXPECT_EQ(0u, p.c.sync.asynchronize());     // idle: nothing sent
    EXPECT_EQ(0, p.c.port.requests);
    EXPECT_EQ(P::getMaxBufferSize(5), p.c.port.granted);
    EXPECT_EQ(p.console.db.exportBinarySize() + 190, P::getMaxBufferSize(5));
    EXPECT_EQ(0u, P::getMaxBufferSize(17));
    ASSERT_EQ(0u, p.c.sync.synchronize(true));
    EXPECT_EQ(kPdbSyncAssociating, p.c.sync.syncStatus());
    EXPECT_EQ(0u, p.c.sync.synchronize(false));  // pending: no change
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
    EXPECT_EQ(0x80000000u, p.c.sync.synchronize(true));
    EXPECT_EQ(0x80000000u, p.c.sync.setFacade(5, 1, 0xF0));
    ASSERT_EQ(0u, p.c.sync.asynchronize());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(kPdbSyncIdle, p.c.sync.syncStatus());
    EXPECT_EQ(kPdbSyncIdle, p.d.sync.syncStatus());
    ASSERT_TRUE(p.associate(false));
    (void)p.c.sync.setPort(nullptr);  // link lost
    EXPECT_EQ(kPdbSyncIdle, p.c.sync.syncStatus());
}

TEST(PdbSynchronizerProtocolTest, DecodersRefuseMalformedInput)
{
    std::vector<uint8_t> b(256);
    uint32_t len = 0;
    const char* name = nullptr;
    bool withTarget = false;
    for (const uint8_t role : {uint8_t{0x00}, uint8_t{0x80}, uint8_t{0x40}}) {
        ASSERT_EQ(0u, P::Encode_AssociationBeginRequest(b.data(), 256, &len, "Scene", true));
        b[len - 1] = role;
        EXPECT_EQ(role == 0x40 ? 0x80000004u : 0u, P::Decode_AssociationBeginRequest(b.data(), len, &name, &withTarget));
        if (role != 0x40) {
            EXPECT_STREQ("Scene", name);
            EXPECT_EQ(role == 0x80, withTarget);
        }
    }
    // A digest of 4 bytes instead of 16.
    uint32_t pos = 0;
    const uint8_t sub = 0, digest[4] = {};
    ASSERT_EQ(0u, cnpMakeHeaderAndCommand(b.data(), 256, &pos, CNP_CMD_ASSOCIATION_TELL_PARAMETER, 4));
    ASSERT_EQ(0u, cnpMakeAddPrmTypeAndData(b.data(), 256, &pos, kCnpTypeUInt8, &sub, 1));
    ASSERT_EQ(0u, cnpMakeAddPrmTypeAndData(b.data(), 256, &pos, kCnpTypeText, "", 1));
    ASSERT_EQ(0u, cnpMakeAddPrmTypeAndData(b.data(), 256, &pos, kCnpTypeUInt8, digest, 4));
    ASSERT_EQ(0u, cnpMakeAddPrmTypeAndData(b.data(), 256, &pos, kCnpTypeUInt8, digest, 4));
    ASSERT_EQ(0u, cnpMakeFinish(b.data(), pos));
    bool s = true, v = true;
    EXPECT_EQ(0x80000004u, P::Decode_AssociationTellParameter(b.data(), pos, 0, &name, &s, &v));
    // A value "abc" travels as a text of count 4 ending in NUL; a block that does not fit is 0x80000003.
    const uint32_t a[2] = {1, 2}, i[2] = {0, 0};
    ASSERT_EQ(0u, P::Encode_SetParameter(b.data(), 256, &len, JVariant("abc", 16), 0xA0, "Scene", nullptr, nullptr, a,
                                         i, 2));
    EXPECT_EQ(0x31, b[len - 9]);
    EXPECT_EQ(4u, b[len - 5]);
    EXPECT_EQ(0, b[len - 1]);
    EXPECT_EQ(0x80000000u, P::Encode_SetParameter(b.data(), 256, &len, JVariant(), 0xA0, "Scene", nullptr, nullptr,
                                                  a, i, 2));
    Db db(7, "Blk");
    uint32_t before = 12345;
    EXPECT_EQ(0x80000003u, P::Encode_AssociationSetParameter(b.data(), 64, &before, 7, nullptr, 0, 0xF0, "Blk", ""));
    EXPECT_EQ(12345u, before);
    EXPECT_EQ(0x80000000u, P::Encode_AssociationSetParameter(b.data(), 256, &len, 18, nullptr, 0, 0xF0, "Blk", ""));
}

TEST(FactorConverterTest, ConversionTable)
{
    FactorConverter::ConvertedInfoOnReceive r;
    (void)FactorConverter::commFactorToModelFactor(r, false, 0xF0, 0xA0);
    EXPECT_FALSE(r.apply);
    for (uint32_t comm : {0xA1u, 0xF0u}) {
        (void)FactorConverter::commFactorToModelFactor(r, false, 0xF0, comm);
        EXPECT_TRUE(r.apply);
        EXPECT_EQ(0xF0u, r.modelFactor);
    }
    (void)FactorConverter::commFactorToModelFactor(r, true, 0x123, 0xA0);
    EXPECT_TRUE(r.apply);
    EXPECT_EQ(0x23u, r.modelFactor);
    FactorConverter::ConvertedInfoOnSend s;
    (void)FactorConverter::modelFactorToCommFactor(s, true, 0x10, 0x10);
    EXPECT_EQ(0xA0u, s.commFactor);
    (void)FactorConverter::modelFactorToCommFactor(s, true, 0x10, 0x11);
    EXPECT_EQ(0xA1u, s.commFactor);
    (void)FactorConverter::modelFactorToCommFactor(s, false, 0x10, 0x11);
    EXPECT_EQ(0xA0u, s.commFactor);
    EXPECT_FALSE(FactorConverter::isSendback(false, 0xF0));
    EXPECT_TRUE(FactorConverter::isSendback(false, 0x01));
    EXPECT_TRUE(FactorConverter::isSendback(true, 0xF0));
}

TEST(PdbParameterFlipTest, GroupsMultiValueMembersInKeyOrder)
{
    Db db(8, "Flip");
    static std::vector<std::pair<uint32_t, size_t>> writes;  // first address index, value count
    writes.clear();
    PdbFlipHook hook;
    // /Gain, /Local, /Name count as three members of one element; /Level is plain.
    hook.isAtomicParameter = [](PDB::IParameterDB&, uint32_t, uint32_t ai, uint32_t* m, uint32_t* n) {
        if (ai == kLevel) return false;
        *m = ai - kGain;
        *n = 3;
        return true;
    };
    hook.setParamWithLink = [](PDB::IParameterDB& d, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                               const std::vector<JVariant>& values, uint8_t f) -> JLIB::JResult {
        writes.emplace_back(ai, values.size());
        for (uint32_t i = 0; i < values.size(); ++i) (void)d.setVariant(ci, ai + i, x, y, values[i], f);
        return 0;
    };
    PdbParameterFlip::installHook(hook);
    PdbParameterFlip& flip = PdbParameterFlip::getInstance();
    EXPECT_EQ(0u, flip.initialize(8));
    EXPECT_EQ(0u, flip.update());  // empty: nothing written
    EXPECT_TRUE(writes.empty());
    (void)flip.addParameter(0x100, kGain, 0, 0, JVariant(10u), 0x30);
    (void)flip.addParameter(0x100, kName, 0, 0, JVariant("zz", 16), 0x30);
    (void)flip.addParameter(0x100, kGain, 0, 0, JVariant(11u), 0x30);  // later wins
    (void)flip.addParameter(0x100, kLevel, 1, 1, JVariant(5u), 0x30);
    EXPECT_EQ(0u, flip.update());
    PdbParameterFlip::installHook(PdbFlipHook{});
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(std::make_pair(kLevel, size_t{1}), writes[0]);  // plain during the scan
    EXPECT_EQ(std::make_pair(kGain, size_t{3}), writes[1]);
    EXPECT_EQ(11u, db.db.getUInt32(0, kGain, 0, 0, nullptr));
    EXPECT_EQ(7u, db.db.getUInt32(0, kLocal, 0, 0, nullptr));  // completed from the database
    EXPECT_TRUE(flip.items().empty());
}
