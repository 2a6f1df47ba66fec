#include "MMSFunc/mmsf_SelectedItemLoader.h"

#include <gtest/gtest.h>

#include <string>

using MMSFUNC::SelectedItemLoader;

namespace {

// Reads the process-wide pattern the way a model-dependent loader does.
struct PatternReader : SelectedItemLoader {
    static const ItemMap& pattern() { return m_UnpackPatternMap; }
};

}  // namespace

TEST(SelectedItemLoaderTest, RegistersOneLoaderPerProcess)
{
    SelectedItemLoader first, second;
    EXPECT_EQ(nullptr, SelectedItemLoader::getInstance());
    EXPECT_EQ(0x80000001u, SelectedItemLoader::registerModelDependentInstance(nullptr));
    EXPECT_EQ(0u, SelectedItemLoader::registerModelDependentInstance(&first));
    EXPECT_EQ(0x80000001u, SelectedItemLoader::registerModelDependentInstance(&second));
    EXPECT_EQ(&first, SelectedItemLoader::getInstance());
}

TEST(SelectedItemLoaderTest, KeepsACopyOfTheUnpackPatternAndDoesNothingByDefault)
{
    EXPECT_TRUE(PatternReader::pattern().empty());
    SelectedItemLoader::ItemMap items{{"Current", "/u/Current"}, {"Snapshot", "/u/Snapshot"}};
    EXPECT_EQ(0u, SelectedItemLoader::setUnpackPattern(items));
    items["Current"] = "changed";
    EXPECT_EQ((SelectedItemLoader::ItemMap{{"Current", "/u/Current"}, {"Snapshot", "/u/Snapshot"}}),
              PatternReader::pattern());
    EXPECT_EQ(0u, SelectedItemLoader::setUnpackPattern({}));
    EXPECT_TRUE(PatternReader::pattern().empty());

    SelectedItemLoader loader;
    std::string folder = "kept";
    EXPECT_EQ(0x80000000u, loader.getTemporaryDirectory(folder));
    EXPECT_EQ("kept", folder);
}
