#include "textcontrol/ScpAddressAttrib.h"

#include <gtest/gtest.h>

#include "textcontrol/ScpMeterAttrib.h"
#include "textcontrol/ScpSnapshotAttrib.h"

TEST(ScpAddressAttribTest, WordTablesOfTheRecordsConvertBothWays)
{
    SCP::ScpAddressAttrib address;
    struct UiCase {
        int32_t value;
        const char* word;
    };
    for (const UiCase& c : {UiCase{0, "any"}, UiCase{5, "knob"}, UiCase{6, "?"}, UiCase{-1, "?"}}) {
        SCOPED_TRACE(c.value);
        address.uiType = static_cast<SCP::ScpAddressAttrib::UiType>(c.value);
        EXPECT_STREQ(c.word, address.uiTypeToString());
    }
    address.type = SCP::ScpAddressAttrib::kTypeFreq;
    address.access = SCP::ScpAddressAttrib::kAccessWrite;
    EXPECT_STREQ("freq", address.typeToString());
    EXPECT_STREQ("w", address.accessToString());

    SCP::ScpSnapshotAttrib::Attrib attrib = SCP::ScpSnapshotAttrib::kAttribReserve;
    EXPECT_EQ(0u, SCP::ScpSnapshotAttrib::stringToAttrib(attrib, "user"));
    EXPECT_EQ(SCP::ScpSnapshotAttrib::kAttribUser, attrib);
    EXPECT_EQ(0x80000000u, SCP::ScpSnapshotAttrib::stringToAttrib(attrib, "User"));
    EXPECT_EQ(SCP::ScpSnapshotAttrib::kAttribEmpty, attrib);

    SCP::ScpMeterAttrib::Type type = SCP::ScpMeterAttrib::kTypeLevel;
    EXPECT_EQ(0u, SCP::ScpMeterAttrib::stringToType(type, "vu"));
    EXPECT_EQ(SCP::ScpMeterAttrib::kTypeVu, type);
    EXPECT_EQ(0x80000000u, SCP::ScpMeterAttrib::stringToType(type, "vux"));
    EXPECT_EQ(0x80000000u, SCP::ScpMeterAttrib::stringToType(type, nullptr));

    SCP::ScpAddressAttrib::Access access = SCP::ScpAddressAttrib::kAccessWrite;
    EXPECT_EQ(0u, SCP::ScpAddressAttrib::stringToAccess(access, "r"));
    EXPECT_EQ(SCP::ScpAddressAttrib::kAccessRead, access);
    SCP::ScpAddressAttrib::Type addressType = SCP::ScpAddressAttrib::kTypeBinary;
    EXPECT_EQ(0x80000000u, SCP::ScpAddressAttrib::stringToType(addressType, "Integer"));

    SCP::ScpMeterAttrib meter;
    meter.type = static_cast<SCP::ScpMeterAttrib::Type>(4);
    EXPECT_STREQ("?", meter.typeToString());
    SCP::ScpSnapshotAttrib snapshot;
    snapshot.attrib = SCP::ScpSnapshotAttrib::kAttribPreinst;
    EXPECT_STREQ("preinst", snapshot.attribToString());
}

TEST(ScpAddressAttribTest, AttributeTextsHaveTheirCapacities)
{
    SCP::ScpAddressAttrib address;
    SCP::ScpSnapshotAttrib snapshot;
    EXPECT_EQ(201u, address.address.capacity());
    EXPECT_EQ(11u, snapshot.numtext.capacity());
    EXPECT_EQ(65u, snapshot.title.capacity());
    EXPECT_EQ(201u, snapshot.comment.capacity());
}
