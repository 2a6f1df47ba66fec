// Filters over a real field built from the test definition: the one-time set-up of the image,
// flags over any-channel levels, the used flag through set, clear, merge and copy, and the null
// filter.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "FieldTestDefinition.h"
#include "OneFieldCollection.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_AbstractFilter.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"
#include "MMSFunc/Field/mmsf_MMSAddress.h"
#include "MMSFunc/Field/mmsf_NullFilter.h"

namespace {

using FieldTestDefinition::OneField;
using MMSFUNC::AbstractFilter;
using MMSFUNC::MMSAddress;
using MMSFUNC::NullFilter;

constexpr uint32_t ANY = MMSAddress::CH_ANY;
constexpr uint32_t kFailed = 0x80000000u;
constexpr char kRoot[] = "Mix";

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        field = std::make_unique<MMS::Field>(nullptr, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(MMS::XmlParser::Parse(field.get(), "D", 2, kRoot, sizeof kRoot, FieldTestDefinition::kXml,
                                        sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH, nullptr, 0),
                  0u);
        collection = std::make_unique<OneField>(field.get());
    }
    MMSAddress at(const char* path, std::vector<unsigned> channels = {})
    {
        MMSAddress address(field.get(), kRoot, path);
        channels.resize(5, 0);
        EXPECT_EQ(address.setChVector(channels.data(), 5), 0u);
        return address;
    }
    // Whether the element's flag is set in the filter image.
    static bool flagged(const AbstractFilter& filter, const MMSAddress& element)
    {
        JVariant value;
        EXPECT_EQ(MMS::DataAccessor::getPrmFast(&value, filter.filter(), filter.filterSize(), nullptr,
                                                element.addrVector(), element.chVector(), element.vectorLen()),
                  0u);
        return value.toInt32() != 0;
    }
    // Every Gain flag as "cb" digits of the flagged (channel, band) pairs.
    std::string gainFlags(const AbstractFilter& filter)
    {
        std::string out;
        for (unsigned c = 0; c < 2; ++c)
            for (unsigned b = 0; b < 3; ++b)
                if (flagged(filter, at("Ch/Band/Gain", {c, b, 0}))) out += std::to_string(c) + std::to_string(b) + " ";
        return out;
    }

    std::unique_ptr<MMS::Field> field;
    std::unique_ptr<OneField> collection;
};

TEST_F(FilterTest, InitializesOnceFromTheFieldsFirstRoot)
{
    AbstractFilter filter;
    EXPECT_EQ(filter.initialize(nullptr, 0, true), kFailed);
    EXPECT_EQ(filter.initialize(collection.get(), 1, true), kFailed);  // no field there
    EXPECT_EQ(filter.filter(), nullptr);

    // A refused allocation is a failure and leaves the filter as it was, ready to try again.
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(filter.initialize(collection.get(), 0, true), kFailed);
    MmsTest::heap1().refuse = false;
    EXPECT_EQ(filter.filter(), nullptr);
    EXPECT_EQ(filter.filterSize(), 0u);

    ASSERT_EQ(filter.initialize(collection.get(), 0, true), 0u);
    uint32_t size = 0;
    ASSERT_EQ(field->getExportDataSize(&size, nullptr, nullptr, 0, 1), 0u);
    EXPECT_EQ(filter.filterSize(), size);
    EXPECT_FALSE(filter.isUsed());  // set-up does not count as use
    EXPECT_TRUE(flagged(filter, at("Volume")));
    EXPECT_EQ(gainFlags(filter), "00 01 02 10 11 12 ");

    const std::vector<unsigned char> first(filter.filter(), filter.filter() + filter.filterSize());
    const unsigned char* image = filter.filter();
    EXPECT_EQ(filter.initialize(collection.get(), 0, false), kFailed);
    EXPECT_EQ(filter.filter(), image);
    EXPECT_EQ(std::vector<unsigned char>(filter.filter(), filter.filter() + filter.filterSize()), first);

    AbstractFilter cleared;
    ASSERT_EQ(cleared.initialize(collection.get(), 0, false), 0u);
    EXPECT_FALSE(flagged(cleared, at("Volume")));
    EXPECT_EQ(gainFlags(cleared), "");
}

TEST_F(FilterTest, SetAndClearExpandEveryAnyChannelLevel)
{
    AbstractFilter filter;
    const MMSAddress volume = at("Volume");
    EXPECT_EQ(filter.set(volume), kFailed);  // no image yet
    EXPECT_EQ(filter.setAll(), kFailed);
    EXPECT_EQ(filter.clearAll(), kFailed);
    ASSERT_EQ(filter.initialize(collection.get(), 0, false), 0u);

    struct Step {
        const char* path;
        std::vector<unsigned> channels;
        bool set;
        const char* gains;  // the flagged (channel, band) pairs afterwards
    };
    const Step steps[] = {
        {"Ch/Band/Gain", {ANY, ANY, 0}, true, "00 01 02 10 11 12 "},  // every combination
        {"Ch/Band/Gain", {ANY, 1, 0}, false, "00 02 10 12 "},
        {"Ch/Band", {1, ANY}, false, "00 02 "},  // a collection covers what lies below it
        {"Ch", {ANY}, true, "00 01 02 10 11 12 "},
        {"Ch/Band/Gain", {1, ANY, ANY}, false, "00 01 02 "},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.path << (s.set ? " set" : " clear"));
        const MMSAddress address = at(s.path, s.channels);
        EXPECT_EQ(s.set ? filter.set(address) : filter.clear(address), 0u);
        EXPECT_EQ(gainFlags(filter), s.gains);
    }
    EXPECT_FALSE(flagged(filter, volume));
    EXPECT_EQ(filter.set(MMSAddress()), kFailed);
    EXPECT_EQ(filter.clear(MMSAddress()), kFailed);

    // The used flag: set makes it, clear keeps it, clearAll drops it, setAll makes it.
    AbstractFilter used;
    ASSERT_EQ(used.initialize(collection.get(), 0, false), 0u);
    EXPECT_EQ(used.clear(volume), 0u);
    EXPECT_FALSE(used.isUsed());
    EXPECT_EQ(used.set(volume), 0u);
    EXPECT_TRUE(used.isUsed());
    EXPECT_EQ(used.clear(volume), 0u);
    EXPECT_TRUE(used.isUsed());
    EXPECT_EQ(used.clearAll(), 0u);
    EXPECT_FALSE(used.isUsed());
    EXPECT_FALSE(flagged(used, volume));
    EXPECT_EQ(used.setAll(), 0u);
    EXPECT_TRUE(used.isUsed());
    EXPECT_TRUE(flagged(used, volume));
}

TEST_F(FilterTest, MergeOrsAndCopyTakesImageAndUsedFlag)
{
    AbstractFilter send, gain, never;
    for (AbstractFilter* f : {&send, &gain, &never}) ASSERT_EQ(f->initialize(collection.get(), 0, false), 0u);
    ASSERT_EQ(send.set(at("Send", {ANY})), 0u);
    ASSERT_EQ(gain.set(at("Ch/Band/Gain", {1, 2, 0})), 0u);

    EXPECT_EQ(send.merge(never), 0u);  // an unused one leaves it used
    EXPECT_TRUE(send.isUsed());
    EXPECT_EQ(never.merge(gain), 0u);
    EXPECT_TRUE(never.isUsed());
    EXPECT_EQ(gainFlags(never), "12 ");
    EXPECT_EQ(never.merge(send), 0u);
    EXPECT_TRUE(flagged(never, at("Send", {5})));
    EXPECT_EQ(gainFlags(never), "12 ");
    AbstractFilter empty;
    EXPECT_EQ(never.merge(empty), kFailed);
    EXPECT_EQ(empty.merge(never), kFailed);

    AbstractFilter unused;
    ASSERT_EQ(unused.initialize(collection.get(), 0, true), 0u);
    AbstractFilter copy(send);
    EXPECT_TRUE(copy.isUsed());
    ASSERT_EQ(copy.filterSize(), send.filterSize());
    EXPECT_EQ(std::memcmp(copy.filter(), send.filter(), send.filterSize()), 0);
    EXPECT_NE(copy.filter(), send.filter());
    EXPECT_EQ(copy.copy(unused), 0u);  // takes the other's used flag, even an unused one
    EXPECT_FALSE(copy.isUsed());
    EXPECT_TRUE(flagged(copy, at("Volume")));
    copy = gain;
    EXPECT_TRUE(copy.isUsed());
    EXPECT_EQ(gainFlags(copy), "12 ");
    EXPECT_EQ(copy.copy(empty), 0u);  // an empty one empties it
    EXPECT_EQ(copy.filter(), nullptr);
    EXPECT_EQ(copy.filterSize(), 0u);

    // A refused allocation leaves no image and says so.
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(copy.copy(gain), kFailed);
    MmsTest::heap1().refuse = false;
    EXPECT_EQ(copy.filter(), nullptr);
    EXPECT_EQ(copy.filterSize(), 0u);
}

TEST_F(FilterTest, ImportTakesNothingAndRefreshDoesNothing)
{
    AbstractFilter filter;
    ASSERT_EQ(filter.initialize(collection.get(), 0, false), 0u);
    const std::vector<unsigned char> before(filter.filter(), filter.filter() + filter.filterSize());
    std::vector<unsigned char> ones(before.size(), 0xFF);
    EXPECT_EQ(filter.import(ones.data(), static_cast<unsigned>(ones.size())), 0u);
    EXPECT_EQ(filter.import(nullptr, 4), kFailed);
    EXPECT_EQ(filter.import(ones.data(), 0), kFailed);
    EXPECT_EQ(filter.refresh(), 0u);
    EXPECT_EQ(std::vector<unsigned char>(filter.filter(), filter.filter() + filter.filterSize()), before);
}

TEST_F(FilterTest, NullFilterDoesNothing)
{
    NullFilter& null = NullFilter::getInstance();
    EXPECT_EQ(&null, &NullFilter::getInstance());
    AbstractFilter used;
    ASSERT_EQ(used.initialize(collection.get(), 0, true), 0u);
    ASSERT_EQ(used.setAll(), 0u);
    const MMSAddress volume = at("Volume");
    const uint32_t results[] = {
        null.initialize(collection.get(), 0, true), null.setAll(), null.clearAll(), null.set(volume),
        null.clear(volume), null.merge(used), null.copy(used), null.import(nullptr, 0), null.refresh(),
    };
    for (const uint32_t r : results) EXPECT_EQ(r, 0u);
    EXPECT_EQ(null.filter(), nullptr);
    EXPECT_EQ(null.filterSize(), 0u);
    EXPECT_FALSE(null.isUsed());

    NullFilter copy(null);
    copy = null;
    EXPECT_FALSE(copy.isUsed());
    EXPECT_EQ(copy.filter(), nullptr);
    // A filter copied from the null filter is empty and unused.
    AbstractFilter fromNull(used);
    EXPECT_EQ(fromNull.copy(null), 0u);
    EXPECT_EQ(fromNull.filter(), nullptr);
    EXPECT_FALSE(fromNull.isUsed());
}

}  // namespace
