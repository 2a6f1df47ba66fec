// Test scene fills and the recall-speed test against the shipped databases, with scenes in a
// fresh user folder.
#include "common/Lpc/LpcTestScene.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "main/app/common/Lpc/LpcSceneFixture.h"

namespace {

using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZSETUP;
using LpcTest::SceneFixture;

constexpr uint32_t kObjects = 128;
constexpr const char* kDumpVariable = "UZ_RANDOM_SCENE_DUMP";

const PDB::ParameterInfo& infoOf(const char* address)
{
    const PDB::AddressId id = LPC::pdb_resolveAddress(CATEGORY_PDBTYPE_UZCURRENT, address);
    return LPC::getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex());
}

// Every value the fills touch, one line per element.
std::string dumpSceneParameters()
{
    std::ostringstream out;
    for (const char* address : LPC::gl_pSceneParameterName) {
        for (uint32_t x = 0; x < kObjects; ++x) {
            const JVariant value = LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, address, x, 0);
            out << address << ' ' << x << ' ';
            if (value.toString()) {
                out << value.toString();
            } else if (value.getType() == JVariant(0.0f).getType()) {
                out << value.toFloat();
            } else {
                out << value.toInt32();
            }
            out << '\n';
        }
    }
    return out.str();
}

class LpcTestSceneTest : public SceneFixture {};

TEST_F(LpcTestSceneTest, MinimumAndMaximumFillEveryElementOfEveryTableParameter)
{
    ASSERT_EQ(0u, LPC::createScene(LPC::CATEGORY_CREATESCENETYPE_MAX));
    for (const char* address : LPC::gl_pSceneParameterName) {
        SCOPED_TRACE(address);
        const PDB::ParameterInfo& info = infoOf(address);
        ASSERT_EQ(kObjects, info.numX);
        for (uint32_t x : {0u, 77u, kObjects - 1}) {
            const JVariant value = get(CATEGORY_PDBTYPE_UZCURRENT, address, x);
            if (info.type == 0x50) {
                const std::string text = value.toString();
                EXPECT_FALSE(text.empty());
                EXPECT_EQ(0u, std::string("12345678901234567890").find(text));  // cut to the element
            } else {
                EXPECT_TRUE(value == info.max);
            }
        }
    }
    ASSERT_EQ(0u, LPC::createScene(LPC::CATEGORY_CREATESCENETYPE_MIN));
    for (const char* address : LPC::gl_pSceneParameterName) {
        SCOPED_TRACE(address);
        const PDB::ParameterInfo& info = infoOf(address);
        const JVariant value = get(CATEGORY_PDBTYPE_UZCURRENT, address, kObjects - 1);
        if (info.type == 0x50) {
            EXPECT_STREQ("", value.toString());
        } else {
            EXPECT_TRUE(value == info.min);
        }
    }
}

TEST_F(LpcTestSceneTest, RandomSceneDrawsInItsFixedOrder)
{
    std::srand(7);
    ASSERT_EQ(0u, LPC::createRandomScene("T"));
    // The same draws replayed in the documented order land where the fill put them.
    std::srand(7);
    auto draw = [](int low, int high) { return LPC::myRand(low, high); };
    const struct {
        const char* address;
        int low;
        int high;
    } ints[] = {{"/OBA/Object/Fader/Level", -9600, 1000}, {"/OBA/Object/Fader/On", 0, 1},
                {"/OBA/Object/Visible", 0, 1},            {"/OBA/Object/AuxSend/On", 0, 1},
                {"/OBA/Object/AuxSend/Level", -9600, 1000}, {"/OBA/Object/RevSend/On", 0, 1},
                {"/OBA/Object/RevSend/Level", -9600, 1000}};
    for (const auto& row : ints) {
        for (uint32_t x = 0; x < kObjects; ++x) {
            ASSERT_EQ(draw(row.low, row.high), get(CATEGORY_PDBTYPE_UZCURRENT, row.address, x).toInt32())
                << row.address << ' ' << x;
        }
    }
    for (uint32_t x = 0; x < kObjects; ++x) {
        for (const char* m : {"x", "y", "z"}) {
            const std::string address = std::string("/OBA/Object/PhysicalPosition@xyz@") + m;
            ASSERT_EQ(draw(-50000, 50000), get(CATEGORY_PDBTYPE_UZCURRENT, address.c_str(), x).toInt32())
                << address << ' ' << x;
        }
    }
    for (uint32_t x = 0; x < kObjects; ++x) {
        for (const char* m : {"x", "y", "z"}) {
            const std::string address = std::string("/OBA/Object/LogicalPosition@xyz@") + m;
            ASSERT_EQ(static_cast<float>(draw(0, 1000)) / 1000.0f,
                      get(CATEGORY_PDBTYPE_UZCURRENT, address.c_str(), x).toFloat())
                << address << ' ' << x;
        }
    }
    for (const char* address : {"/OBA/Object/SizeH", "/OBA/Object/SizeV"}) {
        for (uint32_t x = 0; x < kObjects; ++x) {
            ASSERT_EQ(draw(0, 10000), get(CATEGORY_PDBTYPE_UZCURRENT, address, x).toInt32()) << address << ' ' << x;
        }
    }
    EXPECT_EQ(0u, text(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 5).find("OBA_T_5_1234"));
}

TEST_F(LpcTestSceneTest, LongTagIsCutToTheLabelBuffer)
{
    const std::string tag(300, 't');
    ASSERT_EQ(0u, LPC::createRandomScene(tag.c_str()));
    ASSERT_EQ(0u, LPC::createRandomScene(nullptr));
    EXPECT_EQ(0u, text(CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Name", 127).find("OBA__127_"));
}

// Writes the values of one fill from a fresh process into the file the parent names.
TEST(LpcRandomSceneChild, DumpFromAFreshProcess)
{
    const char* path = std::getenv(kDumpVariable);
    if (!path) GTEST_SKIP() << "run by RandomSceneIsTheSameInEveryFreshProcess";
    LpcTest::ShippedDatabases databases;
    ASSERT_EQ("", databases.create());
    ASSERT_EQ(0u, LPC::createRandomScene("Run"));
    std::ofstream(path) << dumpSceneParameters();
}

TEST(LpcRandomSceneTest, RandomSceneIsTheSameInEveryFreshProcess)
{
    TempFolder folder;
    std::string dumps[2];
    for (int run = 0; run < 2; ++run) {
        const std::string file = folder.file("dump" + std::to_string(run));
        const std::string command = std::string(kDumpVariable) + "='" + file + "' /proc/" +
                                    std::to_string(getpid()) +
                                    "/exe --gtest_filter=LpcRandomSceneChild.DumpFromAFreshProcess > /dev/null 2>&1";
        ASSERT_EQ(0, std::system(command.c_str()));
        dumps[run] = folder.read("dump" + std::to_string(run));
    }
    ASSERT_FALSE(dumps[0].empty());
    EXPECT_EQ(dumps[0], dumps[1]);
    EXPECT_NE(std::string::npos, dumps[0].find("/OBA/Label/Name 3 OBA_Run_3_1234"));
}

TEST_F(LpcTestSceneTest, AllScenesFillTheListAndAFullListAnswersTheLastFailure)
{
    ASSERT_EQ(0u, m_list.createAllScene());
    EXPECT_EQ("0.1", number(0));
    EXPECT_EQ("1.0", number(9));
    EXPECT_EQ("100.0", number(999));
    EXPECT_EQ("Title for scene 100.0", title(999));
    EXPECT_EQ("Comment for scene 0.1", text(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, LpcTest::kStatusComment, 0));
    EXPECT_EQ(infoOf(LpcTest::kFader).min.toInt32(), fader(5));
}

TEST_F(LpcTestSceneTest, AllScenesWithAnotherSceneFailOnTheLastStore)
{
    ASSERT_EQ(0u, m_list.store("other", "t", "c", false));
    EXPECT_TRUE(JLIB::isFailure(m_list.createAllScene()));
    EXPECT_EQ("99.9", number(999));
}

TEST_F(LpcTestSceneTest, RecallSpeedTimesBothScenesAndLeavesTheMaximumScene)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, m_list.testRecallSpeed(0, 1));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(sceneFiles().empty());

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, m_list.testRecallSpeed(3, 1));
    const std::string out = testing::internal::GetCapturedStdout();
    double minimum = -1;
    double maximum = -1;
    double average = -1;
    ASSERT_EQ(3, std::sscanf(out.c_str() + out.find("min: "), "min: %lf\nmax: %lf\naverage: %lf\n", &minimum,
                             &maximum, &average))
        << out;
    EXPECT_LE(0.0, minimum);
    EXPECT_LE(minimum, average);
    EXPECT_LE(average, maximum);
    EXPECT_EQ("777.77", number(0));
    EXPECT_EQ("888.88", number(1));
    EXPECT_EQ("TestSceneMax", title(1));
    EXPECT_EQ("888.88", last());
    EXPECT_EQ(infoOf(LpcTest::kFader).max.toInt32(), fader(127));
    for (uint32_t x : {0u, 127u}) {
        EXPECT_EQ(1, get(CATEGORY_PDBTYPE_UZSETUP, "/OBA/Object/RecallSafe/On", x).toInt32());
        EXPECT_EQ(1, get(CATEGORY_PDBTYPE_UZSETUP, "/OBA/Object/RecallSafe/Size", x).toInt32());
    }
    // Run again: the old test scenes are replaced, not added.
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, m_list.testRecallSpeed(1, 0));
    (void)testing::internal::GetCapturedStdout();
    EXPECT_EQ(2u, sceneFiles().size());
    EXPECT_EQ(0, get(CATEGORY_PDBTYPE_UZSETUP, "/OBA/Object/RecallSafe/On", 0).toInt32());
}

}  // namespace
