// The image accessors on dumps written and read back by a real field core.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "BaseFixture.h"
#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_FilterDataModifier.h"

namespace {

using MmsTest::FieldUnderTest;
using MMS::DataAccessor;
using Bytes = std::vector<unsigned char>;

Bytes dumpOf(MMS::IField& field)
{
    uint32_t size = 0;
    EXPECT_EQ(0u, field.getDumpSizeFast(&size));
    Bytes image(size);
    uint32_t written = 0;
    EXPECT_EQ(0u, field.getDumpFast(image.data(), &written, size, 0, 0, 0));
    EXPECT_EQ(size, written);
    return image;
}

TEST(DataAccessorFieldDumpTest, ValuesAreReadAndWrittenInsideTheFieldsDump)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A", "B"});
    ASSERT_EQ(0x100u, MmsTest::setGain(source.field, "A", -9, 1));
    ASSERT_EQ(0x100u, MmsTest::setLevel(source.field, "B", 77, 3));
    Bytes dump = dumpOf(source.field);
    const auto size = static_cast<uint32_t>(dump.size());

    EXPECT_EQ(2u, DataAccessor::getRootNum(dump.data(), size));
    const uint32_t gainOne = 1, levelThree[] = {3, 0};
    JVariant value;
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, dump.data(), size, "A", "/Top/Gain", 9, &gainOne, 1));
    EXPECT_EQ(-9, value.toInt32());
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, dump.data(), size, "B", "Ch/Level", 8, levelThree, 2));
    EXPECT_EQ(77u, value.toUInt32());
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, dump.data(), size, "B", "Name", 4, nullptr, 0));
    EXPECT_STREQ("abc", value.toString());
    EXPECT_EQ(0x80000007u, DataAccessor::getPrm(&value, dump.data(), size, "C", "Name", 4, nullptr, 0));
    uint32_t collections = 0, parameters = 0;
    ASSERT_EQ(0u, DataAccessor::countNodeTags(&collections, &parameters, dump.data(), size));
    EXPECT_EQ(6u, collections);
    EXPECT_EQ(8u, parameters);

    // Written in the dump, then imported by another field.
    const uint32_t zero = 0;
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant(5), dump.data(), size, "B", "Gain", 4, &zero, 1, 0));
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant("xyz", 16), dump.data(), size, "A", "Name", 4, nullptr, 0, 0));
    FieldUnderTest target;
    MmsTest::buildStandardField(target.field, {"A", "B"});
    ASSERT_FALSE(target.field.setDumpFast(dump.data(), size, nullptr, 0, 1, 0, 0, 7, nullptr, 0, nullptr) &
                 0x80000000u);
    EXPECT_EQ(5, MmsTest::gain(target.field, "B", 0));
    EXPECT_EQ(-9, MmsTest::gain(target.field, "A", 1));
    EXPECT_EQ(77u, MmsTest::level(target.field, "B", 3));

    // The field's dump as a filter: merged with itself root by root.
    Bytes filter = dumpOf(source.field);
    ASSERT_EQ(0u, MMS::FilterDataModifier::allClear(filter.data(), size, "A"));
    ASSERT_EQ(0u, MMS::FilterDataModifier::allSet(filter.data(), size, "B"));
    EXPECT_EQ(0u, MMS::FilterDataModifier::orFilters(filter.data(), size, dump.data(), size));
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, filter.data(), size, "A", "Gain", 4, &gainOne, 1));
    EXPECT_EQ(-9, value.toInt32());
}

}  // namespace
