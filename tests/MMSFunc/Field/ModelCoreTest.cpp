// Model cores and their collection over real fields built from the test definition: model
// addresses from text, registration by field and root-id pointer, and notifications of every
// changed element in tree order, with and without clearing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FieldTestDefinition.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"
#include "MMSFunc/Field/mmsf_ModelCore.h"
#include "MMSFunc/Field/mmsf_ModelCoreCollection.h"

namespace {

using MMSFUNC::IModelObserver;
using MMSFUNC::MMSAddress;
using MMSFUNC::ModelCore;
using MMSFUNC::ModelCoreCollection;

constexpr uint32_t ANY = MMSAddress::CH_ANY;
constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kTask = 7;
constexpr uint32_t kWriter = 9;
const char* const kRoot = "Mix";  // the one root-id pointer the cores and their addresses share

// The fields at positions 0 and 1 (either may be null).
class Fields : public MMSFUNC::FieldCollection {
public:
    Fields(MMS::IField* first, MMS::IField* second) : m_fields{first, second} {}
    MMS::IField* field(unsigned index) const override { return index < 2 ? m_fields[index] : nullptr; }
    const MMSFUNC::FieldInfo* fieldInfo(unsigned) const override { return &m_NullInfo; }
    unsigned fieldNum() const override { return 2; }
    uint32_t releaseAll() override { return 0; }

private:
    MMS::IField* m_fields[2];
};

std::string describe(const MMSAddress& address)
{
    char text[64] = {};
    std::string out = address.getAddress(text, sizeof text) == 0 ? text : "?";
    out += "@";
    for (unsigned i = 0; i < address.vectorLen(); ++i) {
        if (i) out += ",";
        out += address.getCh(i) == ANY ? std::string("*") : std::to_string(address.getCh(i));
    }
    return out;
}

class Recorder : public IModelObserver {
public:
    Recorder(const char* name, std::vector<std::string>& journal) : m_name(name), m_journal(journal) {}
    void onChanged(const MMSAddress& address, bool) override { m_journal.push_back(m_name + ":" + describe(address)); }

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
};

std::unique_ptr<MMS::Field> makeField()
{
    auto field = std::make_unique<MMS::Field>(nullptr, nullptr, nullptr, nullptr, nullptr);
    const uint32_t parsed = MMS::XmlParser::Parse(field.get(), "D", 2, "Mix", 4, FieldTestDefinition::kXml,
                                                  sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH,
                                                  nullptr, 0);
    return parsed == 0 ? std::move(field) : nullptr;
}

class ModelCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        field = makeField();
        other = makeField();
        ASSERT_TRUE(field && other);
        fields = Fields(field.get(), nullptr);
        ASSERT_EQ(core.initialize("Mixer", fields, 0, kRoot, true), 0u);
    }
    // Written by another task, so the subscriber sees it changed.
    uint32_t write(const unsigned* nodes, std::vector<unsigned> channels, int value)
    {
        const auto depth = static_cast<uint32_t>(channels.size());
        channels.resize(5, 0);
        return field->setPrmFast(JVariant(value), kRoot, nodes, channels.data(), depth, 0, 0, 0, 0, kWriter, nullptr,
                                 0, nullptr);
    }

    std::unique_ptr<MMS::Field> field;
    std::unique_ptr<MMS::Field> other;
    Fields fields{nullptr, nullptr};
    ModelCore core;
    std::vector<std::string> journal;
};

TEST_F(ModelCoreTest, ModelAddressesFromText)
{
    struct Case {
        const char* text;
        uint32_t result;
        const char* address;  // what the address holds afterwards
    };
    const Case cases[] = {
        {"Ch:1/Band:2/Gain", 0, "Ch/Band/Gain@1,2,*"},
        {"/Ch", 0, "Ch@*"},
        {"Ch:", 0, "Ch@0"},  // a colon without digits is channel 0
        {"Ch/Band:0", 0, "Ch/Band@*,0"},
        {"Send:x5y", 0, "Send@5"},  // only digits count
        {"Send:4294967296", 0, "Send@*"},  // beyond 32 bits: every channel
        {"Send:0000000000003", 0, "Send@0"},  // digits past the twelfth are dropped
        {"Send:6", kFailed, "Send@0"},         // beyond the channel count: what could be set stays
        {"Ch:1/Band:3/Gain", kFailed, "Ch/Band/Gain@1,0,*"},  // the refused level keeps 0
        {"Nope", kFailed, "@"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MMSAddress address(field.get(), kRoot, "Volume");  // poisoned: must be cleared first
        EXPECT_EQ(core.getModelAddress(address, c.text), c.result);
        EXPECT_EQ(describe(address), c.address);
    }
    MMSAddress address(field.get(), kRoot, "Volume");
    EXPECT_EQ(core.getModelAddress(address, nullptr), kFailed);
    EXPECT_FALSE(address.isValid());
    EXPECT_STREQ(core.name(), "Mixer");
}

TEST_F(ModelCoreTest, RegistersOnlyWithItsFieldAndRootIdPointer)
{
    Recorder recorder("r", journal);
    const std::string sameText = "Mix";  // equal text, another pointer
    EXPECT_EQ(core.registerObserver(&recorder, MMSAddress(field.get(), sameText.c_str(), "Volume")), kFailed);
    EXPECT_EQ(core.registerObserver(&recorder, MMSAddress(other.get(), kRoot, "Volume")), kFailed);
    MMSAddress volume;
    ASSERT_EQ(core.getModelAddress(volume, "Volume"), 0u);
    EXPECT_EQ(core.registerObserver(&recorder, volume), 0u);
    EXPECT_EQ(core.unregisterObserver(&recorder, MMSAddress(field.get(), sameText.c_str(), "Volume")), kFailed);
    EXPECT_EQ(core.unregisterObserver(&recorder, volume), 0u);

    ModelCore empty;
    Fields none(nullptr, nullptr);
    EXPECT_EQ(empty.initialize(nullptr, none, 0, kRoot, true), kFailed);
    EXPECT_STREQ(empty.name(), "");
    EXPECT_EQ(empty.notify(kTask), kFailed);
}

TEST_F(ModelCoreTest, NotifiesEveryChangedElementInTreeOrder)
{
    ModelCore keeping;  // leaves the dirty bits as they are
    ASSERT_EQ(keeping.initialize("Keep", fields, 0, kRoot, false), 0u);
    ASSERT_EQ(field->subscribe(0, kTask, 1, false) & kFailed, 0u);
    Recorder volume("v", journal), send("s", journal), gain("g", journal), kept("k", journal);
    MMSAddress address;
    for (auto [observer, text] : {std::pair<Recorder*, const char*>{&volume, "Volume"}, {&send, "Send"},
                                  {&gain, "Ch/Band/Gain"}}) {
        ASSERT_EQ(core.getModelAddress(address, text), 0u);
        ASSERT_EQ(core.registerObserver(observer, address), 0u);
    }
    ASSERT_EQ(keeping.getModelAddress(address, "Send"), 0u);
    ASSERT_EQ(keeping.registerObserver(&kept, address), 0u);

    EXPECT_EQ(core.notify(kTask), 0u);  // nothing changed yet
    EXPECT_TRUE(journal.empty());
    // Written out of tree order; reported in it.
    ASSERT_EQ(write(FieldTestDefinition::kGain, {1, 2, 0}, 12) & kFailed, 0u);
    ASSERT_EQ(write(FieldTestDefinition::kSend, {4}, 44) & kFailed, 0u);
    ASSERT_EQ(write(FieldTestDefinition::kVolume, {0}, 42) & kFailed, 0u);

    EXPECT_EQ(keeping.notify(kTask), 0u);
    EXPECT_EQ(keeping.notify(kTask), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"k:Send@4", "k:Send@4"}));
    journal.clear();
    EXPECT_EQ(core.notify(kTask), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"v:Volume@0", "s:Send@4", "g:Ch/Band/Gain@1,2,0"}));
    journal.clear();
    EXPECT_EQ(core.notify(kTask), 0u);  // cleared as reported
    EXPECT_EQ(keeping.notify(kTask), 0u);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(core.notify(kTask + 1), 0u);  // a task without subscription sees no change
}

TEST_F(ModelCoreTest, CollectionRoutesByCoreNameAndAsksInNameOrder)
{
    Fields both(field.get(), other.get());
    ModelCore a, b;
    ASSERT_EQ(a.initialize("A", both, 0, kRoot, true), 0u);
    ASSERT_EQ(b.initialize("B", both, 1, kRoot, true), 0u);
    ModelCoreCollection cores;
    ASSERT_EQ(cores.initialize("All"), 0u);
    EXPECT_STREQ(cores.name(), "All");
    ASSERT_EQ(cores.addModelCore("B", b), 0u);
    ASSERT_EQ(cores.addModelCore("A", a), 0u);
    EXPECT_EQ(cores.addModelCore("A", b), kFailed);  // the first stays
    EXPECT_EQ(cores.addModelCore(nullptr, b), kFailed);

    struct Case {
        const char* text;
        uint32_t result;
        MMS::IField* field;
    };
    const Case cases[] = {
        {"B/Send:2", 0, other.get()}, {"/A/Send:2", 0, field.get()}, {"B", kFailed, nullptr},
        {"C/Send", kFailed, nullptr}, {"B/Nope", kFailed, other.get()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MMSAddress address(field.get(), kRoot, "Volume");
        EXPECT_EQ(cores.getModelAddress(address, c.text), c.result);
        EXPECT_EQ(address.field(), c.field);
        if (c.result == 0) {
            EXPECT_EQ(describe(address), "Send@2");
        }
    }

    // Registration goes to the first core, in name order, that takes the address.
    Recorder inA("a", journal), inB("b", journal);
    MMSAddress send;
    ASSERT_EQ(cores.getModelAddress(send, "B/Send"), 0u);
    EXPECT_EQ(cores.registerObserver(&inB, send), 0u);
    EXPECT_EQ(cores.registerObserver(nullptr, send), kFailed);
    const std::string sameText = kRoot;
    EXPECT_EQ(cores.registerObserver(&inA, MMSAddress(field.get(), sameText.c_str(), "Send")), kFailed);
    ASSERT_EQ(cores.getModelAddress(send, "A/Send"), 0u);
    EXPECT_EQ(cores.registerObserver(&inA, send), 0u);

    // notify runs every core in name order.
    ASSERT_EQ(field->subscribe(0, kTask, 1, false) & kFailed, 0u);
    ASSERT_EQ(other->subscribe(0, kTask, 1, false) & kFailed, 0u);
    const uint32_t three[5] = {3, 0, 0, 0, 0};
    for (MMS::Field* f : {other.get(), field.get()}) {
        ASSERT_EQ(f->setPrmFast(JVariant(5), kRoot, FieldTestDefinition::kSend, three, 1, 0, 0, 0, 0, kWriter,
                                nullptr, 0, nullptr) & kFailed,
                  0u);
    }
    EXPECT_EQ(cores.notify(kTask), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"a:Send@3", "b:Send@3"}));

    EXPECT_EQ(cores.unregisterObserver(&inB, send), kFailed);  // send is A's address now
    ModelCore broken;
    Fields none(nullptr, nullptr);
    (void)broken.initialize("Broken", none, 0, kRoot, true);
    ASSERT_EQ(cores.addModelCore("0", broken), 0u);
    journal.clear();
    EXPECT_EQ(cores.notify(kTask), kFailed);  // the others are still asked
    EXPECT_EQ(cores.removeModelCore("0"), 0u);
    EXPECT_EQ(cores.removeModelCore("0"), kFailed);
    EXPECT_EQ(cores.notify(kTask), 0u);
    EXPECT_EQ(cores.initialize(nullptr), 0u);
    EXPECT_STREQ(cores.name(), "");
    MMSAddress address;
    EXPECT_EQ(cores.getModelAddress(address, "A/Send"), kFailed);  // emptied
}

}  // namespace
