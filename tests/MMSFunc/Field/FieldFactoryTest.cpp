// The field factory over real fields: parsing a definition once per template lifetime (from a
// file found through a folder callback or the installed descriptor folder, or from a buffer),
// instances that borrow the template and start with its values, plug-in lists, and the factory's
// bookkeeping when instances outlive it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "FieldTestDefinition.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_ILinkPlugin.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_DescriptorFolder.h"
#include "MMSFunc/Field/mmsf_FieldFactory.h"
#include "jlib/JVariant.h"

namespace {

using FieldTestDefinition::kVolume;
using MMSFUNC::FieldFactory;

// A folder with the test definition as "def.xml"; removed with the fixture.
class FieldFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        s_folder = (std::filesystem::temp_directory_path() / ("mmsf_factory_" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(s_folder);
        std::ofstream(s_folder + "/def.xml", std::ios::binary) << FieldTestDefinition::kXml;
        s_folderCalls = 0;
        s_lastFileName.clear();
    }
    void TearDown() override
    {
        MMSFUNC::setDescriptorFolderFunction(nullptr);
        std::filesystem::remove_all(s_folder);
    }

    static std::string folderOf(const char* fileName)
    {
        ++s_folderCalls;
        s_lastFileName = fileName;
        return s_folder;
    }
    static std::string descriptorFolder() { return s_folder; }

    static int32_t volume(MMS::IField& field, const char* root)
    {
        JVariant value;
        const uint32_t first[1] = {0};
        EXPECT_EQ(field.getPrmFast(&value, nullptr, root, kVolume, first, 1, 0, 0), 0u);
        return value.toInt32();
    }
    static uint32_t setVolume(MMS::IField& field, const char* root, int32_t value)
    {
        const uint32_t first[1] = {0};
        return field.setPrmFast(JVariant(value), root, kVolume, first, 1, 0, 0, 0, 0, 0, nullptr, 0, nullptr);
    }

    static inline std::string s_folder;
    static inline int s_folderCalls = 0;
    static inline std::string s_lastFileName;
};

TEST_F(FieldFactoryTest, FileFormParsesOncePerTemplateLifetime)
{
    FieldFactory factory("Mixer", "def.xml", &folderOf);
    EXPECT_FALSE(factory.hasTemplate());
    MMS::IField* first = factory.createInstance("A", nullptr, false);
    MMS::IField* second = factory.createInstance("B", nullptr, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(s_folderCalls, 1);
    EXPECT_EQ(s_lastFileName, "def.xml");
    EXPECT_EQ(factory.instanceCount(), 2u);

    // Each instance is ready with its own root, the template's description and values of its own.
    uint8_t status = 0;
    ASSERT_EQ(first->getStatus(&status), 0u);
    EXPECT_EQ(status, 2u);
    char text[24] = {};
    ASSERT_EQ(first->getDescName(text, "A"), 0u);
    EXPECT_STREQ(text, "Mixer");
    EXPECT_EQ(first->getRootIdentifier(text, 0), 0u);
    EXPECT_STREQ(text, "A");
    EXPECT_EQ(volume(*first, "A"), 5);
    ASSERT_EQ(setVolume(*first, "A", 42) & 0x80000000u, 0u);
    EXPECT_EQ(volume(*second, "B"), 5);

    EXPECT_EQ(factory.destroyInstance(first), 0u);
    EXPECT_EQ(first, nullptr);
    EXPECT_TRUE(factory.hasTemplate());
    EXPECT_EQ(factory.destroyInstance(second), 0u);
    EXPECT_FALSE(factory.hasTemplate());
    EXPECT_EQ(factory.instanceCount(), 0u);

    MMS::IField* third = factory.createInstance("C", nullptr, true);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(s_folderCalls, 2);  // parsed again
    EXPECT_EQ(factory.destroyInstance(third), 0u);
}

TEST_F(FieldFactoryTest, DefinitionsThatCannotBeReadGiveNoInstanceAndAreTriedAgain)
{
    {  // a missing file
        FieldFactory factory("D", "none.xml", &folderOf);
        EXPECT_EQ(factory.createInstance("A", nullptr, false), nullptr);
        EXPECT_EQ(factory.createInstance("A", nullptr, false), nullptr);
        EXPECT_EQ(s_folderCalls, 2);
        EXPECT_FALSE(factory.hasTemplate());
    }
    {  // a buffer that does not parse
        const char broken[] = "<function name=\"T\"><collections></function>";
        FieldFactory factory("D", broken, 0);
        EXPECT_EQ(factory.createInstance("A", nullptr, false), nullptr);
        EXPECT_FALSE(factory.hasTemplate());
    }
    {  // a null file name or buffer: a factory without template
        FieldFactory byFile("D", static_cast<const char*>(nullptr), &folderOf);
        FieldFactory byTemplate(nullptr);
        EXPECT_EQ(byFile.createInstance("A", nullptr, false), nullptr);
        EXPECT_EQ(byTemplate.createInstance("A", nullptr, false), nullptr);
        EXPECT_EQ(s_folderCalls, 2);
    }
}

// Without a folder callback the folder is the installed descriptor folder; with none installed
// (or an empty one) there is no file to read.
TEST_F(FieldFactoryTest, WithoutCallbackTheDescriptorFolderIsAsked)
{
    FieldFactory factory(nullptr, "def.xml", nullptr);  // a null description name counts as empty
    EXPECT_EQ(factory.createInstance("A", nullptr, false), nullptr);
    MMSFUNC::setDescriptorFolderFunction([] { return std::string(); });
    EXPECT_EQ(factory.createInstance("A", nullptr, false), nullptr);

    MMSFUNC::setDescriptorFolderFunction(&descriptorFolder);
    MMS::IField* instance = factory.createInstance("A", nullptr, false);
    ASSERT_NE(instance, nullptr);
    char text[24] = {'?'};
    ASSERT_EQ(instance->getDescName(text, "A"), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(factory.destroyInstance(instance), 0u);
}

TEST_F(FieldFactoryTest, BufferFormWithLengthZeroReadsTheWholeText)
{
    // The text continues past the first 256-byte slice, so a short reading would lose the end.
    ASSERT_GT(sizeof FieldTestDefinition::kXml, 512u);
    FieldFactory factory("D", FieldTestDefinition::kXml, 0);
    MMS::IField* instance = factory.createInstance("A", nullptr, false);
    ASSERT_NE(instance, nullptr);
    uint32_t collections = 0, parameters = 0;
    ASSERT_EQ(instance->getNodeAddrNum(&collections, &parameters, "A"), 0u);
    EXPECT_EQ(collections, 3u);
    EXPECT_EQ(parameters, 4u);
    EXPECT_EQ(factory.destroyInstance(instance), 0u);
}

TEST_F(FieldFactoryTest, TemplateBasedInstancesTakeTheValuesOfTheirMoment)
{
    // A caller's template: a field with a root of its own definition (an instance, which borrows
    // its definition, cannot lend it on).
    auto templateField = std::make_unique<MMS::Field>(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(MMS::XmlParser::Parse(templateField.get(), "D", 2, "Tpl", 4, FieldTestDefinition::kXml,
                                    sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0u);
    ASSERT_EQ(setVolume(*templateField, "Tpl", 11) & 0x80000000u, 0u);

    FieldFactory factory(templateField.get());
    MMS::IField* early = factory.createInstance("E", nullptr, false);
    ASSERT_NE(early, nullptr);
    ASSERT_EQ(setVolume(*templateField, "Tpl", 22) & 0x80000000u, 0u);
    MMS::IField* late = factory.createInstance("L", nullptr, false);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(volume(*early, "E"), 11);
    EXPECT_EQ(volume(*late, "L"), 22);
    EXPECT_EQ(factory.instanceCount(), 0u);  // only parsed definitions are counted

    // copyDefPrm: the template's values into another root; failures fold into 0x80000000.
    EXPECT_EQ(factory.copyDefPrm(early, "E", "Tpl"), 0u);
    EXPECT_EQ(volume(*early, "E"), 22);
    EXPECT_EQ(factory.copyDefPrm(early, "Nope", "Tpl"), 0x80000000u);
    EXPECT_EQ(factory.copyDefPrm(nullptr, "E", "Tpl"), 0x80000000u);
    FieldFactory empty(nullptr);
    EXPECT_EQ(empty.copyDefPrm(early, "E", "Tpl"), 0x80000000u);

    EXPECT_EQ(factory.destroyInstance(early), 0u);
    EXPECT_EQ(factory.destroyInstance(late), 0u);
    MMS::IField* none = nullptr;
    EXPECT_EQ(factory.destroyInstance(none), 0x80000000u);
    EXPECT_EQ(volume(*templateField, "Tpl"), 22);  // the caller's template is left alone
}

// A plug-in that takes no set over.
class NullPlugin : public MMS::ILinkPlugin {
public:
    uint32_t execute(const JVariant&, const JVariant*, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                     MMS::ILinkReason&, MMS::MMS_PLUGIN_STRUCT*) override
    {
        return 0;
    }
    uint32_t getDefault(JVariant*, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                        MMS::MMS_PLUGIN_STRUCT*) const override
    {
        return 0;
    }
    uint32_t attached(MMS::CollectionWrapper* wrapper) override
    {
        m_wrapper = wrapper;  // the collection's, handed back when it detaches this plug-in
        return 0;
    }
    uint32_t detached() override { return 0; }
    MMS::CollectionWrapper* getCollWrapper() override { return m_wrapper; }

private:
    MMS::CollectionWrapper* m_wrapper = nullptr;
};

// An instance with its own plug-in list does not see the plug-ins of the template it was made
// from; one made without keeps the template's list.
TEST_F(FieldFactoryTest, OwnPluginListsKeepTheTemplatesPluginsOut)
{
    NullPlugin plugin;
    MMS::Field templateField(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(templateField.startBuild(), 0u);
    ASSERT_EQ(templateField.createRoot("Tpl", "Top", 2, 1, 64), 0u);
    uint32_t index = 0;
    ASSERT_EQ(templateField.addCollectionFast(&index, "Tpl", nullptr, 0, "Ch", 2), 0u);
    JVariant minimum(0), maximum(9), def(1);
    uint32_t prm = 0;
    ASSERT_EQ(templateField.addPrmFast(&prm, "Tpl", &index, 1, "p", 1, 0x004, &minimum, &maximum, &def, nullptr,
                                       nullptr, nullptr, 0, 1, 0, nullptr, 0),
              0u);
    ASSERT_EQ(templateField.linkBuild(1), 0u);
    ASSERT_EQ(templateField.appendPluginFast(&plugin, "Tpl", &index, 1), 0u);
    ASSERT_EQ(templateField.finishBuild(1), 0u);

    FieldFactory factory(&templateField);
    MMS::IField* own = factory.createInstance("Own", nullptr, false);
    MMS::IField* shared = factory.createInstance("Shared", nullptr, true);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(shared, nullptr);
    MMS::ILinkPlugin* found = &plugin;
    EXPECT_EQ(own->getPluginFast(&found, "Own", &index, 1) & 0x80000000u, 0u);
    EXPECT_EQ(found, nullptr);
    found = nullptr;
    EXPECT_EQ(shared->getPluginFast(&found, "Shared", &index, 1) & 0x80000000u, 0u);
    EXPECT_EQ(found, &plugin);
    EXPECT_EQ(factory.destroyInstance(own), 0u);
    EXPECT_EQ(factory.destroyInstance(shared), 0u);
}

// A factory destroyed while instances still borrow its template keeps the template: the instances
// go on working. The count never drops below zero.
TEST_F(FieldFactoryTest, InstancesOutliveTheirFactory)
{
    MMS::IField* survivor = nullptr;
    {
        auto factory = std::make_unique<FieldFactory>("D", FieldTestDefinition::kXml, 0);
        {
#if defined(__SANITIZE_ADDRESS__)
            __lsan::ScopedDisabler keptOnPurpose;  // the template that the destroyed factory leaves behind
#endif
            survivor = factory->createInstance("A", nullptr, false);
        }
        ASSERT_NE(survivor, nullptr);
        MMS::IField* other = factory->createInstance("B", nullptr, false);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(factory->destroyInstance(other), 0u);
        EXPECT_EQ(factory->instanceCount(), 1u);
        factory.reset();
    }
    EXPECT_EQ(volume(*survivor, "A"), 5);
    ASSERT_EQ(setVolume(*survivor, "A", -3) & 0x80000000u, 0u);
    EXPECT_EQ(volume(*survivor, "A"), -3);
    delete survivor;

    FieldFactory factory("D", FieldTestDefinition::kXml, 0);
    MMS::IField* instance = factory.createInstance("A", nullptr, false);
    ASSERT_NE(instance, nullptr);
    MMS::IField* foreign = new MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(factory.destroyInstance(foreign), 0u);
    EXPECT_EQ(factory.destroyInstance(instance), 0u);
    EXPECT_FALSE(factory.hasTemplate());
    MMS::IField* stray = new MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(factory.destroyInstance(stray), 0u);
    EXPECT_EQ(factory.instanceCount(), 0u);
}

}  // namespace
