#include "PDB/pdb_ComponentInfoRepository.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using PDB::ComponentInfo;
using PDB::ComponentInfoRepository;

ComponentInfo definition(const char* name, uint32_t version, const char* commentX, bool withParameter = true)
{
    ComponentInfo info;
    EXPECT_EQ(0u, info.initialize(name, version, 1, 1, 4, 4, commentX, "", nullptr));
    if (withParameter) {
        EXPECT_EQ(0u, info.addAddressUINT8("a", 1, 1, "", "", 0, 1, 0, 0, 1, 1, PDB::ParamAttr(), "", "", ""));
    }
    return info;
}

}  // namespace

TEST(ComponentInfoRepositoryTest, MakeTagJoinsNameAndDecimalVersion)
{
    struct Case {
        const char* name;
        uint32_t version;
        const char* tag;
    };
    const Case cases[] = {
        {"Profile", 1, "Profile_1"},
        {"Profile", 0, "Profile_0"},
        {"A_B", 4294967295u, "A_B_4294967295"},
        {"", 12, "_12"},
        {nullptr, 3, "_3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(c.tag, ComponentInfoRepository::makeTag(c.name, c.version));
    }
}

TEST(ComponentInfoRepositoryTest, KeepsTheFirstRegistrationOfAKey)
{
    ComponentInfoRepository repository;
    EXPECT_EQ(0u, repository.addComponentInfo(definition("Profile", 1, "first")));
    EXPECT_EQ(0x80100000u, repository.addComponentInfo(definition("Profile", 1, "second")));
    EXPECT_EQ(0u, repository.addComponentInfo(definition("Profile", 2, "other version")));
    EXPECT_EQ("first", repository.getComponentInfo("Profile", 1).commentX());
    EXPECT_EQ("other version", repository.getComponentInfo("Profile", 2).commentX());
    // Lookups hand out the stored copy, not a fresh one.
    EXPECT_EQ(&repository.getComponentInfo("Profile", 1), &repository.getComponentInfo("Profile", 1));
}

TEST(ComponentInfoRepositoryTest, RefusesDefinitionsWithoutParameters)
{
    ComponentInfoRepository repository;
    EXPECT_TRUE(JLIB::isFailure(repository.addComponentInfo(definition("Bare", 1, "", false))));
    EXPECT_TRUE(JLIB::isFailure(repository.addComponentInfo(ComponentInfo())));
    EXPECT_FALSE(repository.getComponentInfo("Bare", 1).isValid());
    // Refused means not stored: a valid one can still take the key.
    EXPECT_EQ(0u, repository.addComponentInfo(definition("Bare", 1, "")));
}

TEST(ComponentInfoRepositoryTest, UnknownKeysYieldOneSharedEmptyDefinition)
{
    ComponentInfoRepository repository;
    ASSERT_EQ(0u, repository.addComponentInfo(definition("Known", 1, "")));
    const ComponentInfo& unknown = repository.getComponentInfo("Unknown", 1);
    EXPECT_FALSE(unknown.isValid());
    EXPECT_EQ(-1, unknown.generation());
    EXPECT_EQ(&unknown, &repository.getComponentInfo("Known", 2));
    EXPECT_EQ(&unknown, &repository.getComponentInfo(nullptr, 0));
    EXPECT_EQ(&unknown, &ComponentInfoRepository().getComponentInfo("Known", 1));

    EXPECT_EQ(0u, repository.clear());
    EXPECT_EQ(&unknown, &repository.getComponentInfo("Known", 1));
}

TEST(ComponentInfoRepositoryTest, ProcessWideRepositoryIsTheSingleton)
{
    ComponentInfoRepository& repository = PDB::getComponentInfoRepository();
    EXPECT_EQ(&repository, &ComponentInfoRepository::singleton());
    ASSERT_EQ(0u, repository.addComponentInfo(definition("SingletonType", 7, "kept")));
    EXPECT_EQ("kept", ComponentInfoRepository::singleton().getComponentInfo("SingletonType", 7).commentX());
}
