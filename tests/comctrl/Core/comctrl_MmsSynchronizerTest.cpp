// Two tree synchronisers of one process, each over its own test tree, their ports joined by a
// pump that carries each command to the other side as the link would; plus the root table, the
// digests and the receive checks.
#include "comctrl/Core/comctrl_MmsSynchronizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "MMS/Common/DataAccessorTestImages.h"
#include "TreeFacadeSupport.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_IPortObserver.h"
#include "comctrl/Core/comctrl_MmsSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_cnp.h"
#include "jlib/jlib_md5.h"

namespace {

using namespace ComControl;
using namespace comctrltest;
using M = MmsSynchronizerProtocol;
using P = PdbSynchronizerProtocol;

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
        if (now) now();
        return 0;
    }
    uint32_t granted = 0;
    int requests = 0;
    std::function<void()> now;  // runs the send steps at once, as the multiplexer does
};

uint32_t commandId(const std::vector<uint8_t>& c)
{
    return (uint32_t{c[5]} << 16) | (uint32_t{c[6]} << 8) | c[7];
}

// One end: a synchroniser over its tree, its port, and the commands that arrived for it.
struct End {
    TreeFacade tree;
    MmsSynchronizer sync;
    FakePort port;
    std::deque<std::vector<uint8_t>> inbox;
    std::vector<std::vector<uint8_t>> sent;
    uint32_t capacity = 1 << 16;

    std::vector<uint32_t> sentIds() const
    {
        std::vector<uint32_t> ids;
        for (const auto& c : sent) ids.push_back(commandId(c));
        return ids;
    }
    size_t sentCount(uint32_t id) const
    {
        const auto ids = sentIds();
        return size_t(std::count(ids.begin(), ids.end(), id));
    }
};

void post(End& me, End& peer, const std::vector<uint8_t>& buffer, uint32_t produced)
{
    if (produced == 0) return;
    peer.inbox.emplace_back(buffer.begin(), buffer.begin() + produced);
    me.sent.push_back(peer.inbox.back());
}

// Runs the send steps the port was asked for; false when a step fails.
bool sendPending(End& me, End& peer, std::vector<uint8_t>& buffer, bool& busy)
{
    while (me.port.requests > 0) {
        --me.port.requests;
        bool more = true;
        while (more) {
            buffer.assign(me.capacity, 0);
            uint32_t produced = 0;
            more = false;
            const JLIB::JResult r = me.sync.eventSend(buffer.data(), me.capacity, &produced, &more);
            if (r == 0x80000000u) break;  // nothing pending
            if (JLIB::isFailure(r) && (r & 0xFFFFu) == 3) break;
            if (JLIB::isFailure(r)) return false;
            post(me, peer, buffer, produced);
            busy = true;
        }
    }
    return true;
}

// Carries commands both ways until both ends are quiet; false when a step fails.
bool pump(End& a, End& b)
{
    End* ends[2] = {&a, &b};
    std::vector<uint8_t> buffer;
    for (int round = 0; round < 10000; ++round) {
        bool busy = false;
        for (int i = 0; i < 2; ++i) {
            End& me = *ends[i];
            End& peer = *ends[1 - i];
            if (!sendPending(me, peer, buffer, busy)) return false;
            while (!me.inbox.empty()) {
                std::vector<uint8_t> command = std::move(me.inbox.front());
                me.inbox.pop_front();
                buffer.assign(me.capacity, 0);
                uint32_t produced = 0;
                uint8_t flags = 0;
                const JLIB::JResult r = me.sync.eventReceived(buffer.data(), me.capacity, &produced, command.data(),
                                                              uint32_t(command.size()), &flags);
                if (JLIB::isFailure(r) && (r & 0xFFFFu) != 3) return false;
                post(me, peer, buffer, produced);
                if (flags & IPortObserver::kFlagMore) ++me.port.requests;
                if (!sendPending(me, peer, buffer, busy)) return false;
                busy = true;
            }
        }
        if (!busy) return true;
    }
    return false;
}

// The console end (isServer false) and the device end, both named "Tree".
struct Pair {
    Pair(std::vector<TreeRoot> consoleRoots, std::vector<TreeRoot> deviceRoots)
    {
        c.tree.roots = std::move(consoleRoots);
        d.tree.roots = std::move(deviceRoots);
        (void)c.sync.initialize(false, nullptr);
        (void)d.sync.initialize(true, nullptr);
        (void)c.sync.setPort(&c.port);
        (void)d.sync.setPort(&d.port);
        EXPECT_EQ(0u, c.sync.setFacade("Tree", &c.tree, nullptr, 0, 0xF0));
        EXPECT_EQ(0u, d.sync.setFacade("Tree", &d.tree, nullptr, 0, 0x10));
    }
    bool associate(bool consoleTakesDevice)
    {
        if (JLIB::isFailure(c.sync.synchronize(consoleTakesDevice))) return false;
        return pump(c, d) && c.sync.syncStatus() == kPdbSyncAssociated && d.sync.syncStatus() == kPdbSyncAssociated;
    }
    void clearSent()
    {
        c.sent.clear();
        d.sent.clear();
    }
    End c;
    End d;
};

// The sub-name (root) and address text of a received set or block.
struct Decoded {
    std::string root;
    std::string text;
    std::vector<uint32_t> numbers;
    uint32_t factor = 0;
    JVariant value;
};

Decoded decodeSet(const std::vector<uint8_t>& command)
{
    Decoded out;
    uint32_t numbers[5] = {}, indexes[5] = {};
    P::Address a;
    a.numbers = numbers;
    a.indexes = indexes;
    JLIB::JResult r = 0;
    if (commandId(command) == CNP_CMD_SET_PARAMETER) {
        r = P::Decode_SetParameter(command.data(), uint32_t(command.size()), 5, &out.value, &out.factor, &a);
    } else {
        const uint8_t* image = nullptr;
        const uint8_t* filter = nullptr;
        uint32_t imageSize = 0, filterSize = 0;
        r = P::Decode_SetParameterBlock(command.data(), uint32_t(command.size()), 5, &image, &imageSize, &filter,
                                        &filterSize, &out.factor, &a);
    }
    EXPECT_EQ(0u, r);
    if (a.subName) out.root = a.subName;
    if (a.textAddress) out.text = a.textAddress;
    out.numbers.assign(numbers, numbers + a.numberCount);
    return out;
}

std::vector<TreeRoot> threeRoots(const std::string& secondValues = "b", unsigned thirdStructure = 3)
{
    return {treeRoot("Scene", 1, "a"), treeRoot("Mixer", 2, secondValues), treeRoot("Patch", thirdStructure, "c")};
}

}  // namespace

TEST(MmsSynchronizerTest, AssociationTellsEveryRootAndSendsOnlyRootsWhoseValuesDiffer)
{
    struct Case {
        const char* what;
        bool consoleTakesDevice;
        std::string deviceMixer;
        unsigned devicePatchStructure;
        std::vector<std::string> blocks;  // roots sent whole, in order
    };
    const Case cases[] = {
        {"equal trees", true, "b", 3, {}},
        {"Mixer values differ, device wins", true, "B", 3, {"Mixer"}},
        {"Mixer values differ, console wins", false, "B", 3, {"Mixer"}},
        // A structure digest is part of the export, so its values differ too.
        {"Patch structure and Mixer values differ", true, "B", 9, {"Mixer", "Patch"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Pair p(threeRoots(), threeRoots(k.deviceMixer, k.devicePatchStructure));
        ASSERT_TRUE(p.associate(k.consoleTakesDevice));
        const End& winner = k.consoleTakesDevice ? p.d : p.c;
        const End& loser = k.consoleTakesDevice ? p.c : p.d;
        // One tell-parameter per root, then the tell-complete, from both sides.
        EXPECT_EQ(3u, p.c.sentCount(CNP_CMD_ASSOCIATION_TELL_PARAMETER));
        EXPECT_EQ(3u, p.d.sentCount(CNP_CMD_ASSOCIATION_TELL_PARAMETER));
        EXPECT_EQ(1u, p.c.sentCount(CNP_CMD_ASSOCIATION_TELL_COMPLETE));
        EXPECT_EQ(0u, loser.sentCount(CNP_CMD_SET_PARAMETER_BLOCK));
        std::vector<std::string> blocks;
        for (const auto& c : winner.sent) {
            if (commandId(c) != CNP_CMD_SET_PARAMETER_BLOCK) continue;
            const Decoded block = decodeSet(c);
            blocks.push_back(block.root);
            EXPECT_EQ(0xF0u, block.factor);
            EXPECT_EQ(kCnpTypeUInt8, c[9]);  // the tree's first parameter is one byte
        }
        EXPECT_EQ(k.blocks, blocks);
        EXPECT_EQ(0x80000000u, p.c.sync.setFacade("Tree", &p.c.tree, nullptr, 0, 0xF0));  // associated
        for (const End* e : {&p.c, &p.d}) {
            EXPECT_EQ(5u, e->sync.rootTableSize());
            EXPECT_EQ(0x60, e->sync.rootState("Scene"));
            EXPECT_EQ(0x60, e->sync.rootState("Mixer"));
            EXPECT_EQ(k.devicePatchStructure == 3 ? 0x60 : 0x61, e->sync.rootState("Patch"));
        }
    }
}

TEST(MmsSynchronizerTest, RootsOnlyThePeerHasKeepOneEntryEach)
{
    std::vector<TreeRoot> device = threeRoots();
    for (const char* id : {"Extra1", "Extra2", "Extra3", "Extra4"}) device.push_back(treeRoot(id, 7, id));
    Pair p({treeRoot("Scene", 1, "a")}, device);
    ASSERT_TRUE(p.associate(true));
    // Two spare entries after the rebuild, then the table grows by three: none is forgotten.
    for (const char* id : {"Mixer", "Patch", "Extra1", "Extra2", "Extra3", "Extra4"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(0x20, p.c.sync.rootState(id));
    }
    EXPECT_EQ(0x60, p.c.sync.rootState("Scene"));
    EXPECT_EQ(0, p.c.sync.rootState("Unknown"));
    EXPECT_EQ(0, p.c.sync.rootState(""));
    EXPECT_EQ(0x60, p.d.sync.rootState("Scene"));
    EXPECT_EQ(0x40, p.d.sync.rootState("Mixer"));  // the console does not have it
    // Telling a root again reuses its entry.
    const uint32_t size = p.c.sync.rootTableSize();
    EXPECT_EQ(0u, p.c.sync.setRootState("Extra4", false));
    EXPECT_EQ(size, p.c.sync.rootTableSize());
}

TEST(MmsSynchronizerTest, AnalysisStopsAtTheFirstDifferingRootAndAMatchAssociatesWithoutDigests)
{
    struct Case {
        const char* what;
        std::vector<TreeRoot> device;
        bool matched;
        size_t tells;
    };
    const Case cases[] = {
        {"equal", threeRoots(), true, 3},
        {"second root's values differ", threeRoots("X"), false, 2},
        {"first root missing at the peer",
         {treeRoot("Mixer", 2, "b"), treeRoot("Patch", 3, "c")},
         false,
         1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Pair p(threeRoots(), k.device);
        ASSERT_EQ(0u, p.c.sync.analyze());
        ASSERT_TRUE(pump(p.c, p.d));
        EXPECT_EQ(kPdbSyncAnalyzed, p.c.sync.syncStatus());
        EXPECT_EQ(k.matched, p.c.sync.isTargetMatched());
        EXPECT_EQ(k.tells, p.c.sentCount(CNP_CMD_ASSOCIATION_TELL_PARAMETER));
        EXPECT_EQ(k.tells, p.d.sentCount(CNP_CMD_ASSOCIATION_TELL_PARAMETER_ANSWER));
        EXPECT_EQ(kPdbSyncIdle, p.d.sync.syncStatus());  // the peer only answered
        if (!k.matched) continue;
        p.clearSent();
        ASSERT_EQ(0u, p.c.sync.synchronizeWithoutDump());
        ASSERT_TRUE(pump(p.c, p.d));
        EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
        EXPECT_EQ(kPdbSyncAssociated, p.d.sync.syncStatus());
        EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_ASSOCIATION_TELL_COMPLETE}), p.c.sentIds());
        EXPECT_EQ(0x60, p.d.sync.rootState("Patch"));
    }
}

TEST(MmsSynchronizerTest, ATreeWithoutRootsAssociatesAndMatchesAtOnce)
{
    Pair p({}, {});
    ASSERT_EQ(0u, p.c.sync.analyze());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(kPdbSyncAnalyzed, p.c.sync.syncStatus());
    EXPECT_TRUE(p.c.sync.isTargetMatched());
    EXPECT_TRUE(p.c.sent.empty());
    ASSERT_EQ(0u, p.c.sync.synchronize(true));
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
    EXPECT_EQ(kPdbSyncAssociated, p.d.sync.syncStatus());
    EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_ASSOCIATION_BEGIN_REQUEST, CNP_CMD_ASSOCIATION_TELL_COMPLETE,
                                     CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER}),
              p.c.sentIds());
}

TEST(MmsSynchronizerTest, ChangesGoOutAsWholeDirtyRootsOrSingleSetsWithTextAddressesWhereStructuresDiffer)
{
    Pair p(threeRoots(), threeRoots("b", 9));  // Patch differs in structure
    ASSERT_TRUE(p.associate(true));
    p.clearSent();
    TreeFacade& tree = p.c.tree;
    tree.roots[0].transactionDirty = true;                                        // Scene: whole
    tree.roots[1].changes.push_back({{1, 2}, {0, 3}, JVariant(int32_t(-5)), 0x01});  // Mixer: numeric
    tree.roots[1].changes.push_back({{4}, {0}, JVariant(1.5f), 0x01});               // Float: not sent
    JVariant abc;
    (void)abc.setString("abc", 16);
    tree.roots[2].changes.push_back({{0, 7, 1}, {1, 0, 2}, abc, 0x01});  // Patch: text
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    ASSERT_EQ((std::vector<uint32_t>{CNP_CMD_SET_PARAMETER_BLOCK, CNP_CMD_SET_PARAMETER, CNP_CMD_SET_PARAMETER}),
              p.c.sentIds());
    EXPECT_EQ("Scene", decodeSet(p.c.sent[0]).root);
    const Decoded numeric = decodeSet(p.c.sent[1]);
    EXPECT_EQ("Mixer", numeric.root);
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), numeric.numbers);
    EXPECT_EQ(-5, numeric.value.toInt32());
    EXPECT_EQ(0xA0u, numeric.factor);
    EXPECT_EQ(kCnpTypeUInt8, p.c.sent[1][9]);
    const Decoded text = decodeSet(p.c.sent[2]);
    EXPECT_EQ("Patch", text.root);
    EXPECT_EQ("/P0/P7/P1", text.text);
    EXPECT_STREQ("abc", text.value.toString());
    // The peer decoded the text address against its own root.
    EXPECT_EQ((std::vector<std::string>{"/P0/P7/P1"}), p.d.tree.textConversions);
    EXPECT_FALSE(tree.roots[0].transactionDirty);
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());

    // Nothing changed: nothing sent, no flip either.
    p.clearSent();
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_TRUE(p.c.sent.empty());

    // A full transfer sends every root as a block, within the request.
    p.c.port.now = [&p] {
        std::vector<uint8_t> buffer;
        bool busy = false;
        EXPECT_TRUE(sendPending(p.c, p.d, buffer, busy));
    };
    ASSERT_EQ(0u, p.c.sync.transferAllParam());
    p.c.port.now = nullptr;
    ASSERT_TRUE(pump(p.c, p.d));
    ASSERT_EQ(3u, p.c.sentCount(CNP_CMD_SET_PARAMETER_BLOCK));
    EXPECT_EQ("Patch", decodeSet(p.c.sent[2]).root);
}

TEST(MmsSynchronizerTest, AFilterImageDecidesWhichChangesTravelAndGoesWithEveryBlock)
{
    // The filter is a real export: its standard tree has U8 at node 1 and Ch/Lvl at 10/0.
    MmsTest::ImageRoot filterRoot;
    const MmsTest::Bytes filter = filterRoot.image();
    Pair p(threeRoots(), threeRoots());
    ASSERT_TRUE(p.associate(true));
    ASSERT_EQ(0u, p.c.sync.asynchronize());
    ASSERT_TRUE(pump(p.c, p.d));
    ASSERT_EQ(0u, p.c.sync.setFacade("Tree", &p.c.tree, filter.data(), uint32_t(filter.size()), 0xF0));
    EXPECT_EQ(filter.data(), p.c.sync.getFilter());
    ASSERT_TRUE(p.associate(false));  // the console's tree wins and its filter goes along
    p.clearSent();
    auto& changes = p.c.tree.roots[1].changes;
    changes.push_back({{42}, {0}, JVariant(1u), 0x01});        // not in the filter: stays local
    changes.push_back({{1}, {1}, JVariant(2u), 0x01});         // U8[1]
    changes.push_back({{10, 0}, {3, 2}, JVariant(3u), 0x01});  // Ch[3]/Lvl[2]
    changes.push_back({{1}, {9}, JVariant(4u), 0x01});         // U8 has two elements only
    p.c.tree.roots[0].transactionDirty = true;
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    ASSERT_EQ((std::vector<uint32_t>{CNP_CMD_SET_PARAMETER_BLOCK, CNP_CMD_SET_PARAMETER, CNP_CMD_SET_PARAMETER}),
              p.c.sentIds());
    EXPECT_EQ(2u, decodeSet(p.c.sent[1]).value.toUInt32());
    EXPECT_EQ(3u, decodeSet(p.c.sent[2]).value.toUInt32());
    const uint8_t* image = nullptr;
    const uint8_t* carried = nullptr;
    uint32_t imageSize = 0, filterSize = 0, factor = 0;
    uint32_t numbers[5], indexes[5];
    P::Address a;
    a.numbers = numbers;
    a.indexes = indexes;
    ASSERT_EQ(0u, P::Decode_SetParameterBlock(p.c.sent[0].data(), uint32_t(p.c.sent[0].size()), 5, &image, &imageSize,
                                              &carried, &filterSize, &factor, &a));
    ASSERT_EQ(filter.size(), filterSize);
    EXPECT_EQ(0, std::memcmp(filter.data(), carried, filterSize));
    EXPECT_EQ(p.c.tree.roots[0].image.size(), imageSize);
}

TEST(MmsSynchronizerTest, ADirtyRootThatDoesNotFitIsSentOnRetry)
{
    Pair p(threeRoots(), threeRoots());
    ASSERT_TRUE(p.associate(true));
    p.clearSent();
    p.c.tree.roots[1].transactionDirty = true;
    p.c.capacity = 60;  // no block fits
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_TRUE(p.c.sent.empty());
    EXPECT_TRUE(p.c.sync.sendRetryPending());
    p.c.capacity = 1 << 16;
    ASSERT_EQ(0u, p.c.sync.retrySend());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_SET_PARAMETER_BLOCK}), p.c.sentIds());

    // A tree that keeps the root dirty after the export gets it once per notification, not
    // in an endless stream.
    p.clearSent();
    p.c.tree.roots[1].stickyDirty = true;
    p.c.tree.roots[1].transactionDirty = true;
    p.c.tree.roots[1].changes.push_back({{3}, {0}, JVariant(1u), 0x01});
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_EQ((std::vector<uint32_t>{CNP_CMD_SET_PARAMETER_BLOCK}), p.c.sentIds());
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
    EXPECT_FALSE(p.c.sync.sendRetryPending());
}

TEST(MmsSynchronizerTest, AChangeThatDoesNotFitIsHeldAndOneThatCannotGoDoesNotStopTheRest)
{
    Pair p(threeRoots(), threeRoots());
    ASSERT_TRUE(p.associate(true));
    p.clearSent();
    auto& mixer = p.c.tree.roots[1].changes;
    mixer.push_back({{1, 2}, {0, 3}, JVariant(int32_t(-5)), 0x01});
    mixer.push_back({{4}, {0}, JVariant(1.5f), 0x01});  // a Float never goes out
    mixer.push_back({{5}, {0}, JVariant(7u), 0x01});
    p.c.capacity = 40;  // no set fits: the change taken from the walk must not be lost
    ASSERT_EQ(0u, p.c.sync.notify());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_TRUE(p.c.sent.empty());
    EXPECT_TRUE(p.c.sync.sendRetryPending());
    // An earlier root's change meanwhile: still no room, and neither change may be lost.
    p.c.tree.roots[0].changes.push_back({{3}, {0}, JVariant(9u), 0x01});
    ASSERT_EQ(0u, p.c.sync.retrySend());
    ASSERT_TRUE(pump(p.c, p.d));
    EXPECT_TRUE(p.c.sent.empty());
    p.c.capacity = 1 << 16;
    ASSERT_EQ(0u, p.c.sync.retrySend());
    ASSERT_TRUE(pump(p.c, p.d));
    std::vector<std::pair<std::string, int32_t>> sent;
    for (const auto& c : p.c.sent) {
        ASSERT_EQ(CNP_CMD_SET_PARAMETER, commandId(c));
        const Decoded d = decodeSet(c);
        sent.emplace_back(d.root, static_cast<int32_t>(d.value.toUInt32()));  // the wire keeps the 32 bits
    }
    EXPECT_EQ((std::vector<std::pair<std::string, int32_t>>{{"Mixer", -5}, {"Scene", 9}, {"Mixer", 7}}), sent);
    EXPECT_TRUE(mixer.empty());
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
    EXPECT_FALSE(p.c.sync.sendRetryPending());
}

TEST(MmsSynchronizerTest, ReceivedSetsAreCheckedAndNothingIsWritten)
{
    Pair p(threeRoots(), threeRoots());
    ASSERT_TRUE(p.associate(true));
    std::vector<uint8_t> buffer(512);
    uint32_t len = 0;
    const uint32_t nodes[2] = {1, 2};
    const uint32_t indexes[2] = {0, 0};
    const std::string longText = "/P1" + std::string(130, '0');
    struct Case {
        const char* what;
        const char* name;
        const char* text;
        JLIB::JResult result;
        bool converted;
    };
    const Case cases[] = {
        {"numeric", "Tree", nullptr, 0u, false},
        {"text", "Tree", "/P1/P2", 0u, true},
        {"text of another depth: not used", "Tree", "/P1", 0u, true},
        {"text over 120 characters: not used", "Tree", longText.c_str(), 0u, false},
        {"another port's name", "Other", nullptr, 0x80000004u, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        p.c.tree.textConversions.clear();
        ASSERT_EQ(0u, M::Encode_SetParameter(buffer.data(), uint32_t(buffer.size()), &len, JVariant(7u), 0xA1, k.name,
                                             "Mixer", k.text, nodes, indexes, 2));
        uint8_t out[64];
        uint32_t produced = 0;
        uint8_t flags = 0;
        EXPECT_EQ(k.result, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
        EXPECT_EQ(k.converted ? 1u : 0u, p.c.tree.textConversions.size());
        EXPECT_EQ(0u, produced);
    }
    // A flip is ignored; a malformed command is refused.
    ASSERT_EQ(0u, P::Encode_ParameterFlip(buffer.data(), 512, &len, "Tree", nullptr));
    uint8_t out[64];
    uint32_t produced = 0;
    uint8_t flags = 0;
    EXPECT_EQ(0u, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len, &flags));
    ASSERT_EQ(0u, M::Encode_SetParameter(buffer.data(), 512, &len, JVariant(7u), 0xA1, "Tree", "Mixer", nullptr, nodes,
                                         indexes, 2));
    EXPECT_EQ(0x80000004u, p.c.sync.eventReceived(out, sizeof(out), &produced, buffer.data(), len - 3, &flags));
    EXPECT_EQ(kPdbSyncAssociated, p.c.sync.syncStatus());
}

TEST(MmsSynchronizerTest, RegistrationAndStateRefusals)
{
    TreeFacade tree;
    tree.roots = {treeRoot("Scene", 1, std::string(100, 'x')), treeRoot("Mixer", 2, "y")};
    MmsSynchronizer sync;
    FakePort port;
    (void)sync.setPort(&port);
    EXPECT_EQ(0x80000003u, sync.setFacade(nullptr, &tree, nullptr, 0, 0));
    EXPECT_EQ(0x80000004u, sync.setFacade("0123456789012345678901234", &tree, nullptr, 0, 0));
    EXPECT_EQ(0x80000000u, sync.synchronize(true));  // no facade yet
    EXPECT_EQ(0x80000000u, sync.clearRootState());
    EXPECT_EQ(0x80000000u, sync.setRootState("Scene", true));
    ASSERT_EQ(0u, sync.setFacade("012345678901234567890123", &tree, nullptr, 0, 0xF0));
    EXPECT_STREQ("01234567890123456789012", sync.getName());  // 23 characters kept
    EXPECT_EQ(2 * (88 + 100) + 255u, port.granted);
    EXPECT_EQ(&tree, sync.getFacade());
    EXPECT_EQ(0x80000000u, sync.notify());  // not associated
    EXPECT_EQ(0x80000000u, sync.transferAllParam());
    EXPECT_EQ(0x80000000u, sync.synchronizeWithoutDump());  // no matching analysis
    ASSERT_EQ(0u, sync.clearRootState());
    EXPECT_EQ(4u, sync.rootTableSize());
    ASSERT_EQ(0u, sync.extendRootIdCounts(6));
    EXPECT_EQ(6u, sync.rootTableSize());
    EXPECT_EQ(0x40, sync.rootState("Mixer"));
    ASSERT_EQ(0u, sync.synchronize(true));
    EXPECT_EQ(kPdbSyncAssociating, sync.syncStatus());
}

TEST(MmsSynchronizerProtocolTest, DigestsComeFromTheTagHeaderAndTheWholeExport)
{
    TreeFacade tree;
    tree.roots = {treeRoot("Scene", 0xABCDEF, "values"), TreeRoot{"Bad", exportImage("XYZ", "v"), false, {}, false},
                  TreeRoot{"NotMms", std::vector<uint8_t>(100, 'A'), false, {}, false}};
    uint8_t structure[16] = {}, values[16] = {};
    ASSERT_EQ(0u, M::generateDigest(&tree, "Scene", structure, values));
    const uint8_t expected[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xAB, 0xCD, 0xEF};
    EXPECT_EQ(0, std::memcmp(expected, structure, 16));
    uint8_t md5[16];
    T_JLIB_MD5_CTX context;
    jlib_MD5Init(&context);
    jlib_MD5Update(&context, tree.roots[0].image.data(), uint32_t(tree.roots[0].image.size()));
    jlib_MD5Final(md5, &context);
    EXPECT_EQ(0, std::memcmp(md5, values, 16));
    EXPECT_EQ(0, tree.clearingExports);  // a digest takes no changes with it

    EXPECT_EQ(0x80000000u, M::generateDigest(&tree, "Bad", structure, values));     // not hexadecimal
    EXPECT_EQ(0x80000000u, M::generateDigest(&tree, "NotMms", structure, values));  // no tag header
    uint8_t zero[16] = {}, s2[16] = {}, v2[16] = {};
    EXPECT_EQ(0u, M::generateDigest(&tree, "Missing", s2, v2));  // no export: zeros, success
    EXPECT_EQ(0, std::memcmp(zero, s2, 16));
    EXPECT_EQ(0, std::memcmp(zero, v2, 16));
    EXPECT_EQ(0x80000000u, M::generateDigest(nullptr, "Scene", s2, v2));

    // Only Int32, UInt32 and String values travel.
    std::vector<uint8_t> buffer(256);
    uint32_t len = 0;
    const uint32_t nodes[1] = {0}, indexes[1] = {0};
    EXPECT_EQ(0u, M::Encode_SetParameter(buffer.data(), 256, &len, JVariant(5u), 0xA0, "T", "R", nullptr, nodes, indexes,
                                         1));
    EXPECT_EQ(0x80000000u, M::Encode_SetParameter(buffer.data(), 256, &len, JVariant(1.5f), 0xA0, "T", "R", nullptr,
                                                  nodes, indexes, 1));
    EXPECT_EQ(0x80000003u, M::Encode_AssociationSetParameter(buffer.data(), 100, &len, &tree, nullptr, 0, 0xF0, "T",
                                                             "Scene"));
    EXPECT_EQ(0u, M::getMaxBufferSize(nullptr));
}
