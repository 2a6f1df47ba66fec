#include "common/ParameterSetHandle.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/ParameterSetFacade.h"

namespace {

const uint8_t kBytes[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

TEST(ParameterSetHandleTest, KeepsTheFirstSixteenBytesAndComparesFlagAndBytes)
{
    const PRMSET::ParameterSetHandle sixteen(kBytes, 16);
    const PRMSET::ParameterSetHandle twenty(kBytes, 20);
    EXPECT_TRUE(twenty.isValid());
    EXPECT_EQ(0, std::memcmp(kBytes, twenty.uuid(), 16));
    EXPECT_TRUE(sixteen == twenty);

    // A short identifier is padded with zeros; the valid flag takes part in the comparison.
    const PRMSET::ParameterSetHandle three(kBytes, 3);
    const uint8_t padded[16] = {1, 2, 3};
    EXPECT_EQ(0, std::memcmp(padded, three.uuid(), 16));
    EXPECT_TRUE(three != sixteen);
    const PRMSET::ParameterSetHandle empty;
    const uint8_t zeros[16] = {};
    PRMSET::ParameterSetHandle zero(zeros, 16);
    EXPECT_TRUE(zero != empty);
    zero.clear();
    EXPECT_TRUE(zero == empty);
    EXPECT_FALSE(zero.isValid());
    EXPECT_EQ(16u, PRMSET::ParameterSetHandle::uuidSize());
}

TEST(ParameterSetHandleTest, RefusesMissingBytesAndBuildsFromBinaryValuesOnly)
{
    PRMSET::ParameterSetHandle handle(kBytes, 16);
    EXPECT_EQ(0x80000000u, handle.set(nullptr, 4));
    EXPECT_EQ(0x80000000u, handle.set(kBytes, 0));
    EXPECT_TRUE(handle.isValid());  // a refused set changes nothing

    uint8_t out[20];
    std::memset(out, 0xA5, sizeof out);
    EXPECT_EQ(0u, handle.uuid(out, sizeof out));
    EXPECT_EQ(0, std::memcmp(kBytes, out, 16));
    EXPECT_EQ(0xA5, out[16]);  // never more than 16 bytes
    EXPECT_EQ(0x80000000u, handle.uuid(nullptr, 16));
    EXPECT_EQ(0x80000000u, handle.uuid(out, 0));

    JVariant binary;
    ASSERT_FALSE(JLIB::isFailure(binary.setBinary(kBytes, 16)));
    EXPECT_TRUE(PRMSET::ParameterSetHandle(binary) == handle);
    EXPECT_FALSE(PRMSET::ParameterSetHandle(JVariant(5u)).isValid());
    EXPECT_FALSE(PRMSET::ParameterSetHandle(JVariant("0123456789abcdef", 16)).isValid());
}

TEST(ParameterSetFacadeTest, EveryOperationDoesNothingAndSucceeds)
{
    PRMSET::ParameterSetFacade& facade = PRMSET::ParameterSetFacade::getInstance();
    PRMSET::ParameterSetHandle handle(kBytes, 16);
    PRMSET::ParameterSetHandle created;
    const PDB::UniqId component;
    EXPECT_EQ(0u, facade.createParameterSet(created, 1, "set", 0));
    EXPECT_FALSE(created.isValid());
    EXPECT_EQ(0u, facade.deleteParameterSet(handle, 0));
    EXPECT_EQ(0u, facade.addDevice(handle, 0));
    EXPECT_EQ(0u, facade.removeDevice(handle, 0));
    EXPECT_EQ(0u, facade.addComponent(handle, component, 0));
    EXPECT_EQ(0u, facade.removeComponent(handle, component, 0));
    EXPECT_EQ(0u, facade.addParameter(handle, component, "/Level", 0, 0, 0));
    EXPECT_EQ(0u, facade.removeParameter(handle, component, "/Level", 0, 0, 0));
    EXPECT_EQ(0u, facade.duplicateParameterSet(handle, created, 2, "copy", 0));
    EXPECT_EQ(0u, facade.setParameterSetId(handle, 3, 0));
    EXPECT_EQ(0u, facade.setParameterSetName(handle, "name", 0));
    EXPECT_EQ(0u, facade.setProtect(handle, true, 0));
    EXPECT_EQ(0u, facade.parameterSetId(handle));
    EXPECT_EQ("", facade.parameterSetName(handle));
    EXPECT_FALSE(facade.isProtect(handle));
    EXPECT_EQ(0u, facade.contentsList(handle).num());
    EXPECT_FALSE(facade.find(1u).isValid());
    EXPECT_FALSE(facade.find("set").isValid());
    EXPECT_FALSE(facade.handle(0).isValid());
    EXPECT_EQ(0u, facade.num());
    EXPECT_EQ(0u, facade.storeSnapshot(handle, 1, "one", 0));
    EXPECT_EQ(0u, facade.recallSnapshot(handle, 1, 0));
    EXPECT_EQ(0u, facade.clearSnapshot(handle, 1, 0));
    EXPECT_EQ(0u, facade.updateSnapshotInfo(handle, 1, 0));
    EXPECT_EQ(&PRMSET::dummy, &facade.snapshotInfo(handle, 1));
    const PRMSET::ParameterSetFacade& constant = facade;
    EXPECT_EQ(&PRMSET::dummy, &constant.snapshotInfo(handle, 2));
}

}  // namespace
