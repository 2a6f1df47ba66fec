// Parameter addresses over a real field built from the test definition: setting from text and
// node vectors (and through a field collection), channels, cached and fetched attributes, values
// over any-channel levels, change queries, matching and child addresses.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FieldTestDefinition.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_IMutex.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"
#include "MMSFunc/Field/mmsf_MMSAddress.h"
#include "jlib/JVariant.h"

namespace {

using FieldTestDefinition::kGain;
using MMSFUNC::MMSAddress;

constexpr uint32_t ANY = MMSAddress::CH_ANY;
constexpr uint32_t kFailed = 0x80000000u;

// Journals lock calls; locks nothing, so the field may take them again inside each call.
class JournalMutex : public MMS::IMutex {
public:
    uint32_t getPrmLock() override { return note("get+"); }
    uint32_t getPrmUnlock() override { return note("get-"); }
    uint32_t getPrmTryLock() override { return note("get?"); }
    uint32_t setPrmLock() override { return note("set+"); }
    uint32_t setPrmUnlock() override { return note("set-"); }
    uint32_t setPrmTryLock() override { return note("set?"); }
    uint32_t ctrlLock() override { return note("ctrl+"); }
    uint32_t ctrlUnlock() override { return note("ctrl-"); }
    uint32_t ctrlTryLock() override { return note("ctrl?"); }
    std::vector<std::string> journal;

private:
    uint32_t note(const char* what)
    {
        journal.push_back(what);
        return 0;
    }
};

// Two fields, the second at index 1; positions beyond give no field and the null record.
class TwoFields : public MMSFUNC::FieldCollection {
public:
    explicit TwoFields(MMS::IField* second) : m_second(second) {}
    MMS::IField* field(unsigned index) const override { return index == 1 ? m_second : nullptr; }
    const MMSFUNC::FieldInfo* fieldInfo(unsigned index) const override
    {
        return index < 2 ? &m_infos[index] : &m_NullInfo;
    }
    unsigned fieldNum() const override { return 2; }
    uint32_t releaseAll() override { return 0; }

private:
    MMS::IField* m_second;
    MMSFUNC::FieldInfo m_infos[2] = {{0, "First", "F", 0, 0}, {1, "Second", "S", 0, 0}};
};

class MMSAddressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        field = std::make_unique<MMS::Field>(nullptr, &mutex, nullptr, nullptr, nullptr);
        ASSERT_EQ(MMS::XmlParser::Parse(field.get(), "D", 2, "Mix", 4, FieldTestDefinition::kXml,
                                        sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH, nullptr, 0),
                  0u);
        // Gain of channel c, band b holds 10 * c + b.
        for (uint32_t c = 0; c < 2; ++c)
            for (uint32_t b = 0; b < 3; ++b) ASSERT_EQ(writeGain(c, b, static_cast<int>(10 * c + b)) & kFailed, 0u);
        mutex.journal.clear();
    }

    uint32_t writeGain(uint32_t c, uint32_t b, int value)
    {
        const uint32_t channels[3] = {c, b, 0};
        return field->setPrmFast(JVariant(value), "Mix", kGain, channels, 3, 0, 0, 0, 0, 9, nullptr, 0, nullptr);
    }
    int readSend(uint32_t channel)
    {
        JVariant value;
        const uint32_t channels[1] = {channel};
        EXPECT_EQ(field->getPrmFast(&value, nullptr, "Mix", FieldTestDefinition::kSend, channels, 1, 0, 0), 0u);
        return value.toInt32();
    }
    static std::vector<int> ints(const std::vector<JVariant>& values)
    {
        std::vector<int> out;
        for (const JVariant& v : values) out.push_back(v.toInt32());
        return out;
    }

    JournalMutex mutex;
    std::unique_ptr<MMS::Field> field;
};

TEST_F(MMSAddressTest, SettingFromTextVectorOrCollection)
{
    MMSAddress address(field.get(), "Mix", "Ch/Band/Gain");
    ASSERT_TRUE(address.isValid());
    EXPECT_EQ(address.vectorLen(), 3u);
    EXPECT_EQ(address.field(), field.get());
    EXPECT_STREQ(address.rootId(), "Mix");
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(address.addrVector()[i], kGain[i]);
        EXPECT_EQ(address.getCh(i), 0u);
    }
    EXPECT_EQ(address.getChNum(0), 2u);
    EXPECT_EQ(address.getChNum(1), 3u);
    EXPECT_EQ(address.getChNum(2), 1u);
    EXPECT_EQ(address.getChMax(1), 2u);
    EXPECT_EQ(address.getChMax(3), 0u);
    EXPECT_EQ(address.getChNum(3), 0u);
    // The attributes are read under ctrl and get, taken around all of the field's own calls.
    mutex.journal.clear();
    EXPECT_EQ(address.cacheAttribute(), 0u);
    ASSERT_GE(mutex.journal.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(mutex.journal.begin(), mutex.journal.begin() + 2),
              (std::vector<std::string>{"ctrl+", "get+"}));
    EXPECT_EQ(std::vector<std::string>(mutex.journal.end() - 2, mutex.journal.end()),
              (std::vector<std::string>{"get-", "ctrl-"}));

    const MMSAddress byVector(field.get(), "Mix", kGain, 3);
    EXPECT_TRUE(address.match(byVector) && byVector.match(address));
    EXPECT_EQ(byVector.getChNum(1), 3u);

    TwoFields collection(field.get());
    MMSAddress viaCollection(&collection, 1, "Mix", "Volume");
    EXPECT_EQ(viaCollection.vectorLen(), 1u);
    EXPECT_EQ(viaCollection.setAddress(&collection, 0, "Mix", "Volume"), kFailed);  // no field there
    EXPECT_EQ(viaCollection.setAddress(static_cast<MMSFUNC::FieldCollection*>(nullptr), 1, "Mix", "Volume"), kFailed);
    EXPECT_EQ(collection.fieldInfo(1)->index, 1u);
    EXPECT_EQ(collection.fieldInfo(7)->index, 0xFFFFFFFFu);
    EXPECT_EQ(collection.fieldInfo(7)->name, nullptr);

    // A path the field cannot convert leaves the address invalid, with field and root kept.
    EXPECT_EQ(address.setAddress("Ch/Nope"), kFailed);
    EXPECT_FALSE(address.isValid());
    EXPECT_EQ(address.field(), field.get());
    EXPECT_EQ(address.setAddress("Ch/Band"), 0u);  // the address's own field and root
    EXPECT_EQ(address.vectorLen(), 2u);

    const unsigned six[6] = {3, 0, 0, 0, 0, 0};
    MMSAddress refused;
    EXPECT_EQ(refused.setAddress(field.get(), "Mix", six, 6), kFailed);
    EXPECT_EQ(refused.setAddress(nullptr, "Mix", "Volume"), kFailed);
    EXPECT_EQ(refused.setAddress("Volume"), kFailed);  // no field of its own yet
    EXPECT_EQ(refused.setAddress(kGain, 3), kFailed);
    EXPECT_FALSE(refused.isValid());
    EXPECT_EQ(address.clear(), 0u);
    EXPECT_EQ(address.field(), nullptr);
    EXPECT_FALSE(address.isValid());
}

TEST_F(MMSAddressTest, Channels)
{
    MMSAddress address(field.get(), "Mix", "Ch/Band/Gain");
    struct Case {
        unsigned level, channel;
        uint32_t result;
        unsigned after;
    };
    const Case cases[] = {
        {1, 2, 0, 2}, {1, 3, kFailed, 2}, {1, ANY, 0, ANY}, {0, 1, 0, 1}, {0, 2, kFailed, 1}, {3, 0, kFailed, 0},
        {2, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.level << "," << c.channel);
        EXPECT_EQ(address.setCh(c.level, c.channel), c.result);
        EXPECT_EQ(address.getCh(c.level), c.after);
    }
    EXPECT_TRUE(address.isAnyCh(1));
    EXPECT_FALSE(address.isAnyCh(0));
    EXPECT_TRUE(address.isAnyCh());
    // The vector form goes on past a refused level and pads with 0.
    const unsigned channels[2] = {5, 2};
    EXPECT_EQ(address.setChVector(channels, 2), kFailed);
    EXPECT_EQ(address.getCh(0), 1u);  // kept
    EXPECT_EQ(address.getCh(1), 2u);
    EXPECT_EQ(address.getCh(2), 0u);
    EXPECT_EQ(address.setChVector(1, ANY, 0, 9, 9), 0u);  // levels beyond the depth are not looked at
    EXPECT_EQ(address.getCh(1), ANY);
    EXPECT_EQ(address.setChVector(nullptr, 0), 0u);
    EXPECT_FALSE(address.isAnyCh());
    EXPECT_EQ(address.setAnyChAll(), 0u);
    EXPECT_TRUE(address.isAnyCh(0) && address.isAnyCh(1) && address.isAnyCh(2));
    EXPECT_EQ(address.setAnyCh(4), 0u);
    EXPECT_FALSE(address.isAnyCh(4));
}

TEST_F(MMSAddressTest, AttributesFromTheCacheAndTheField)
{
    const MMSAddress volume(field.get(), "Mix", "Volume");
    unsigned value = 0;
    EXPECT_EQ(volume.getKind(value), 3u);  // the kind itself is the result
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(volume.getScale(value), 0u);
    EXPECT_EQ(value, 10u);
    EXPECT_EQ(volume.getType(value), 0u);
    EXPECT_EQ(value, 0x004u);
    JVariant v;
    EXPECT_EQ(volume.getStep(v), 0u);
    EXPECT_EQ(v.toInt32(), 1);
    EXPECT_EQ(volume.getNominal(v), 0u);
    EXPECT_EQ(v.toInt32(), 0);
    EXPECT_EQ(volume.getMinimum(v), 0u);
    EXPECT_EQ(v.toInt32(), -100);
    EXPECT_EQ(volume.getMaximum(v), 0u);
    EXPECT_EQ(v.toInt32(), 100);
    EXPECT_EQ(volume.getDefault(v), 0u);
    EXPECT_EQ(v.toInt32(), 5);
    unsigned result = 99;
    EXPECT_EQ(volume.getScale(&result), 10u);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(volume.getMaximum(&result).toInt32(), 100);
    EXPECT_EQ(result, 0u);

    // An empty address fails every attribute, with 1 for the scale and 0 for the others.
    const MMSAddress empty;
    EXPECT_EQ(empty.getScale(value), kFailed);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(empty.getKind(value), kFailed);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(empty.getType(&result), 0u);
    EXPECT_EQ(result, kFailed);
    EXPECT_FALSE(empty.getDefault(&result).isValid());
    EXPECT_EQ(result, kFailed);

    // A collection has no attributes: the address is valid, its attributes those of an empty record.
    MMSAddress band(field.get(), "Mix", "Ch/Band");
    EXPECT_TRUE(band.isValid());
    EXPECT_EQ(band.cacheAttribute(), kFailed);
    EXPECT_EQ(band.getType(value), 0u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(band.getMinimum(v), kFailed);
}

// Reads over any-channel levels give every covered element in channel order, the last level
// fastest, under the field's ctrl and get locks.
TEST_F(MMSAddressTest, ValuesOverAnyChannelLevelsComeInChannelOrder)
{
    MMSAddress gain(field.get(), "Mix", "Ch/Band/Gain");
    JVariant one;
    ASSERT_EQ(gain.setCh(0, 1), 0u);
    ASSERT_EQ(gain.setCh(1, 2), 0u);
    EXPECT_EQ(gain.getValue(one, nullptr, 0, 0), 0u);
    EXPECT_EQ(one.toInt32(), 12);

    ASSERT_EQ(gain.setAnyCh(0), 0u);
    ASSERT_EQ(gain.setAnyCh(1), 0u);
    EXPECT_EQ(gain.getValue(one, nullptr, 0, 0), kFailed);
    mutex.journal.clear();
    std::vector<JVariant> values(1, JVariant(99));  // cleared first
    EXPECT_EQ(gain.getValues(MMSFUNC::GET_OPE_VALUE, values, nullptr, 0, 0), 0u);
    EXPECT_EQ(ints(values), (std::vector<int>{0, 1, 2, 10, 11, 12}));
    ASSERT_GE(mutex.journal.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(mutex.journal.begin(), mutex.journal.begin() + 2),
              (std::vector<std::string>{"ctrl+", "get+"}));
    EXPECT_EQ(std::vector<std::string>(mutex.journal.end() - 2, mutex.journal.end()),
              (std::vector<std::string>{"get-", "ctrl-"}));

    EXPECT_EQ(gain.getValues(MMSFUNC::GET_OPE_DEFAULT, values, nullptr, 0, 0), 0u);
    EXPECT_EQ(ints(values), std::vector<int>(6, 7));
    EXPECT_EQ(gain.getValues(MMSFUNC::GET_OPE_MAXIMUM, values, nullptr, 0, 0), 0u);
    EXPECT_EQ(ints(values), std::vector<int>(6, 1000));
    EXPECT_EQ(gain.getValues(static_cast<MMSFUNC::GetOpeType>(4), values, nullptr, 0, 0), kFailed);
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(MMSAddress().getValues(MMSFUNC::GET_OPE_VALUE, values, nullptr, 0, 0), kFailed);
}

// Writes over an any-channel level take the values in channel order; elements without a value
// and failing writes are reported, the others are written all the same, under ctrl and set.
TEST_F(MMSAddressTest, WritesOverAnyChannelLevels)
{
    MMSAddress send(field.get(), "Mix", "Send");
    ASSERT_EQ(send.getChNum(0), 6u);
    ASSERT_EQ(send.setAnyCh(0), 0u);
    mutex.journal.clear();
    std::vector<JVariant> values = {JVariant(1), JVariant(), JVariant(3), JVariant(4)};  // the second cannot be set
    EXPECT_EQ(send.setValues(values, 0, 0, 0, 0, 9), kFailed);
    ASSERT_GE(mutex.journal.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(mutex.journal.begin(), mutex.journal.begin() + 2),
              (std::vector<std::string>{"ctrl+", "set+"}));
    EXPECT_EQ(std::vector<std::string>(mutex.journal.end() - 2, mutex.journal.end()),
              (std::vector<std::string>{"set-", "ctrl-"}));
    EXPECT_EQ(readSend(0), 1);
    EXPECT_EQ(readSend(1), 0);
    EXPECT_EQ(readSend(2), 3);
    EXPECT_EQ(readSend(3), 4);
    EXPECT_EQ(readSend(4), 0);
    EXPECT_EQ(readSend(5), 0);

    // setValue on the any-channel address writes the first element and reports the rest.
    EXPECT_EQ(send.setValue(JVariant(-7), 0, 0, 0, 0, 9), kFailed);
    EXPECT_EQ(readSend(0), -7);
    EXPECT_EQ(readSend(2), 3);
    ASSERT_EQ(send.setCh(0, 5), 0u);
    EXPECT_EQ(send.setValue(JVariant(50), 0, 0, 0, 0, 9), 0u);  // the field's information bits stay inside
    EXPECT_EQ(readSend(5), 50);
    EXPECT_EQ(MMSAddress().setValue(JVariant(1), 0, 0, 0, 0, 9), kFailed);
}

TEST_F(MMSAddressTest, TextValues)
{
    MMSAddress label(field.get(), "Mix", "Label");
    JVariant value;
    EXPECT_EQ(label.setValueStr("hello", 0, 0, 0, 0, 9), 0u);
    ASSERT_EQ(label.getValue(value, nullptr, 0, 0), 0u);
    EXPECT_STREQ(value.toString(), "hello");
    const std::string longest(1023, 'a');
    EXPECT_EQ(label.setValueStr(longest.c_str(), 0, 0, 0, 0, 9), 0u);
    ASSERT_EQ(label.getValue(value, nullptr, 0, 0), 0u);
    EXPECT_EQ(std::string(value.toString()), longest);
    // One more character would be stored as "ERROR:": refused, and nothing is written.
    const std::string tooLong(1024, 'b');
    EXPECT_EQ(label.setValueStr(tooLong.c_str(), 0, 0, 0, 0, 9), kFailed);
    EXPECT_EQ(label.setValueStr(nullptr, 0, 0, 0, 0, 9), kFailed);
    ASSERT_EQ(label.getValue(value, nullptr, 0, 0), 0u);
    EXPECT_EQ(std::string(value.toString()), longest);
}

TEST_F(MMSAddressTest, ChangesSeenByASubscriber)
{
    constexpr uint32_t kTask = 5;
    ASSERT_EQ(field->subscribe(0, kTask, 1, false) & kFailed, 0u);
    MMSAddress gain(field.get(), "Mix", "Ch/Band/Gain");
    ASSERT_EQ(gain.setChVector(1, 2, 0, 0, 0), 0u);
    EXPECT_FALSE(gain.isChanged(false, kTask));
    ASSERT_EQ(writeGain(1, 2, 500) & kFailed, 0u);
    EXPECT_TRUE(gain.isChanged(false, kTask));
    EXPECT_TRUE(gain.isChanged(true, kTask));  // cleared by this query
    EXPECT_FALSE(gain.isChanged(false, kTask));
    ASSERT_EQ(writeGain(1, 2, 501) & kFailed, 0u);
    ASSERT_EQ(gain.setAnyCh(1), 0u);
    EXPECT_FALSE(gain.isChanged(false, kTask));  // an any-channel address cannot be tested
    EXPECT_FALSE(MMSAddress().isChanged(false, kTask));
}

TEST_F(MMSAddressTest, MatchingAndChildren)
{
    MMSAddress pattern(field.get(), "Mix", "Ch/Band");
    ASSERT_EQ(pattern.setAnyCh(1), 0u);
    MMSAddress deeper(field.get(), "Mix", "Ch/Band/Gain");
    ASSERT_EQ(deeper.setAnyChAll(), 0u);
    MMSAddress shallow(field.get(), "Mix", "Ch");
    MMSAddress otherChannel(deeper);
    ASSERT_EQ(otherChannel.setCh(0, 1), 0u);
    const MMSAddress otherNode(field.get(), "Mix", "Volume");
    struct Case {
        const MMSAddress* other;
        bool matches;
    };
    const Case cases[] = {{&deeper, false}, {&shallow, false}, {&otherChannel, false}, {&otherNode, false}};
    // Level 0 of the pattern is channel 0, of deeper any channel: no match until it is any too.
    for (const Case& c : cases) EXPECT_EQ(pattern.match(*c.other), c.matches);
    ASSERT_EQ(deeper.setCh(0, 0), 0u);
    EXPECT_TRUE(pattern.match(deeper));
    EXPECT_FALSE(deeper.match(pattern));

    // Children: the top level has Volume, Send, Label and Ch; Ch has Band.
    const MMSAddress top(field.get(), "Mix", kGain, 0);
    EXPECT_FALSE(top.isValid());
    EXPECT_EQ(top.getChildNodeNum(), 4u);  // depth 0 is the top collection to the field
    EXPECT_TRUE(top.getChildAddress(3).match(shallow) && shallow.match(top.getChildAddress(3)));
    EXPECT_EQ(shallow.getChildNodeNum(), 1u);
    EXPECT_FALSE(shallow.getChildAddress(1).isValid());
    const MMSAddress band = shallow.getChildAddress(0);
    ASSERT_EQ(band.vectorLen(), 2u);
    EXPECT_EQ(band.getCh(1), 0u);
    EXPECT_EQ(band.getChNum(1), 3u);
    const MMSAddress gain = band.getChildAddress(0);
    unsigned type = 0;
    EXPECT_EQ(gain.getType(type), 0u);
    EXPECT_EQ(type, 0x002u);
    EXPECT_FALSE(gain.getChildAddress(0).isValid());

    char text[64] = {};
    EXPECT_EQ(gain.getAddress(text, sizeof text), 0u);
    EXPECT_STREQ(text, "Ch/Band/Gain");
    EXPECT_EQ(gain.getAddressBuffSize(), std::strlen("Ch/Band/Gain") + 1);
    EXPECT_EQ(gain.getAddress(nullptr, 64), kFailed);
    EXPECT_EQ(MMSAddress().getAddressBuffSize(), 0u);

    // A copy keeps working after the original is gone.
    auto original = std::make_unique<MMSAddress>(field.get(), "Mix", "Volume");
    const MMSAddress copy(*original);
    original.reset();
    JVariant value;
    EXPECT_EQ(copy.getValue(value, nullptr, 0, 0), 0u);
    EXPECT_EQ(value.toInt32(), 5);
}

}  // namespace
