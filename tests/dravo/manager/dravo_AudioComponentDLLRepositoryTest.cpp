#include "dravo/manager/dravo_AudioComponentDLLRepository.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/common/DravoFunctionTestSupport.h"
#include "dravo/common/dravo_IAudioProcessFunction_V1.h"
#include "dravo/common/dravo_ICalcCoefFunction_V1.h"
#include "dravo/common/dravo_ILogicControlFunction_V1.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/common/dravo_LogicPortInfo_V1.h"
#include "dravo/manager/dravo_FunctionInstance.h"
#include "dravo/manager/dravo_PDBParameterStrategy.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "parray/ArrayInfo.h"

namespace {

namespace fs = std::filesystem;
using DRAVO::AudioComponentDLLHandles;
using DRAVO::AudioComponentDLLRepository;

// Address indexes of the stand-in's definition.
enum StandIn : uint32_t { kGain, kGainPercent, kLabel };

const char kLogPrefix[] = "AudioComponentDLLRepository::initialize - ";

AudioComponentDLLRepository& repository()
{
    return AudioComponentDLLRepository::singleton();
}

bool isLoaded(const fs::path& path)
{
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

bool isEmpty(const AudioComponentDLLHandles& h)
{
    return !h.library && !h.createParamInfoFunction && !h.createCalcCoefFunction && !h.createAudioProcessFunction &&
           !h.createLogicControlFunction && !h.paramInfoFunction && !h.parameterStrategy;
}

// The log lines in sorted order: the folder listing decides the order in which entries come.
std::vector<std::string> sortedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> sorted(std::vector<std::string> lines)
{
    for (std::string& line : lines) line = line.insert(line.find(']') + 2, kLogPrefix);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Component folders in temporary folders, filled from the stand-in libraries the build made; the
// repository and the audio component database are emptied again after each test.
class AudioComponentDLLRepositoryTest : public testing::Test {
protected:
    void SetUp() override { (void)JLIB::GetGlobalHeapManager(); }  // outlives the definition repository

    void TearDown() override
    {
        (void)repository().finalize();
        if (PDB::gPDBCollection.getPDB(10).isValid()) {
            EXPECT_EQ(0u, PDB::destroyPDB(10));
        }
        for (void* handle : m_ownHandles) dlclose(handle);
        std::error_code ignored;
        for (const fs::path& folder : m_folders) fs::remove_all(folder, ignored);
    }

    // A new empty folder; its text ends in "/".
    fs::path makeFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "uz-components-XXXXXX").string();
        EXPECT_NE(nullptr, mkdtemp(pattern.data()));
        m_folders.push_back(pattern);
        return pattern + "/";
    }
    // The built library of that type placed in the folder under the name.
    static void place(const fs::path& folder, const char* type, const std::string& name)
    {
        fs::copy_file(fs::path(UZ_STANDIN_DIR) / (std::string(type) + "_1.so"), folder / name);
    }
    static void writeText(const fs::path& path, const char* text) { std::ofstream(path) << text; }

    // Loads the folder and returns what was logged.
    static std::string load(const fs::path& folder, JLIB::JResult expected = 0)
    {
        testing::internal::CaptureStdout();
        const JLIB::JResult result = repository().initialize(folder.c_str());
        std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(expected, result) << log;
        return log;
    }

    // The live-object counter of a loaded library; the test keeps the library open until its end.
    uint32_t (*liveObjectCounter(const fs::path& library))()
    {
        void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        EXPECT_NE(nullptr, handle);
        if (!handle) return nullptr;
        m_ownHandles.push_back(handle);
        return reinterpret_cast<uint32_t (*)()>(dlsym(handle, "standInLiveObjectCount"));
    }

    static std::vector<std::string> names()
    {
        std::vector<std::string> names;
        EXPECT_EQ(0u, repository().componentNames(names));
        return names;
    }
    static PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10); }
    // Database 10 with a stand-in of three channels under uniqID 1.
    uint32_t addStandIn()
    {
        EXPECT_EQ(0u, PDB::createPDB(10, "AudioCompo", &m_lock, 0));
        EXPECT_EQ(0u, db().addComponent(PDB::UniqId(1), "StandIn", 1, 3, 1, 0));
        return db().getComponentIndex(PDB::UniqId(1));
    }

    PDB::SimpleReadWriteMutex m_lock;
    std::vector<fs::path> m_folders;
    std::vector<void*> m_ownHandles;
};

}  // namespace

TEST_F(AudioComponentDLLRepositoryTest, AnEmptyFolderLoadsNothing)
{
    std::vector<std::string> before;
    EXPECT_EQ(0x80000000u, repository().componentNames(before));  // not initialised yet
    EXPECT_TRUE(before.empty());

    EXPECT_EQ("", load(makeFolder()));
    std::vector<std::string> keys = {"kept"};
    EXPECT_EQ(0u, repository().componentNames(keys));
    EXPECT_EQ(std::vector<std::string>{"kept"}, keys);
    EXPECT_TRUE(isEmpty(repository().getHandles("StandIn_1")));
    EXPECT_TRUE(isEmpty(repository().getHandles(nullptr)));
    const AudioComponentDLLRepository& constant = repository();
    EXPECT_TRUE(isEmpty(constant.getHandles("StandIn_1")));
    EXPECT_TRUE(isEmpty(constant.getHandles(nullptr)));

    // What a caller writes into the empty set does not reach the next caller.
    repository().getHandles("Nothing_1").library = &keys;
    EXPECT_TRUE(isEmpty(repository().getHandles("Nothing_1")));
}

TEST_F(AudioComponentDLLRepositoryTest, AFolderThatCannotBeListedFails)
{
    const std::string missing = (makeFolder() / "missing/").string();
    EXPECT_EQ("[E] AudioComponentDLLRepository::initialize - OpenDir failed. (" + missing + ")\n",
              load(missing, 0x80000000u));
    std::vector<std::string> keys;
    EXPECT_EQ(0x80000000u, repository().componentNames(keys));
    EXPECT_EQ("[E] AudioComponentDLLRepository::initialize - OpenDir failed. ()\n", load("", 0x80000000u));
    EXPECT_EQ(0x80000000u, repository().initialize(nullptr));
}

TEST_F(AudioComponentDLLRepositoryTest, AFolderWithoutTrailingSlashIsListedAllTheSame)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    const std::string plain = folder.string().substr(0, folder.string().size() - 1);
    EXPECT_EQ("[i] AudioComponentDLLRepository::initialize - DRAVO Component[StandIn ver:1] found.\n", load(plain));
    EXPECT_EQ(std::vector<std::string>{"StandIn_1"}, names());
}

TEST_F(AudioComponentDLLRepositoryTest, LoadsEveryUsableLibraryAndLogsWhatItLeavesOut)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    place(folder, "StandInNoCoef", "StandInNoCoef_1.so");
    place(folder, "StandInNoLogic", "StandInNoLogic_1.so");
    place(folder, "StandInNullInfo", "StandInNullInfo_1.so");
    place(folder, "StandInBadTable", "StandInBadTable_1.so");
    writeText(folder / "Fake_1.so", "named like a library, but text");
    fs::create_symlink(folder / "gone.so", folder / "Missing_1.so");

    const std::vector<std::string> expected = sorted({
        "[E] DLLOpen failed. (Fake_1.so)",
        "[E] DLLOpen failed. (Missing_1.so)",
        "[E] GetDLLFunction \"createCalcCoefFunction\" failed. (StandInNoCoef_1.so)",
        "[E] GetDLLFunction \"createLogicControlFunction\" failed. (StandInNoLogic_1.so)",
        "[E] createParamInfoFunction failed. (StandInNullInfo_1.so)",
        "[i] DRAVO Component[StandInNoLogic ver:1] found.",
        "[i] DRAVO Component[StandInBadTable ver:1] found.",
        "[i] DRAVO Component[StandIn ver:1] found.",
    });
    EXPECT_EQ(expected, sortedLines(load(folder)));

    std::vector<std::string> keys = {"kept"};
    EXPECT_EQ(0u, repository().componentNames(keys));
    EXPECT_EQ((std::vector<std::string>{"kept", "StandInBadTable_1", "StandInNoLogic_1", "StandIn_1"}), keys);

    const AudioComponentDLLHandles& full = repository().getHandles("StandIn_1");
    EXPECT_NE(nullptr, full.library);
    EXPECT_NE(nullptr, full.createParamInfoFunction);
    EXPECT_NE(nullptr, full.createCalcCoefFunction);
    EXPECT_NE(nullptr, full.createAudioProcessFunction);
    EXPECT_NE(nullptr, full.createLogicControlFunction);
    ASSERT_NE(nullptr, full.paramInfoFunction);
    EXPECT_STREQ("StandIn", full.paramInfoFunction->getComponentName());
    ASSERT_NE(nullptr, full.parameterStrategy);
    EXPECT_EQ(full.paramInfoFunction, full.parameterStrategy->paramInfoFunction());
    EXPECT_TRUE(full.parameterStrategy->isLimitsHookEnabled());

    const AudioComponentDLLHandles& noLogic = repository().getHandles("StandInNoLogic_1");
    EXPECT_NE(nullptr, noLogic.createCalcCoefFunction);
    EXPECT_EQ(nullptr, noLogic.createLogicControlFunction);
    EXPECT_TRUE(isEmpty(repository().getHandles("StandInNoCoef_1")));
    EXPECT_TRUE(isEmpty(repository().getHandles("StandInNullInfo_1")));

    // The definitions are registered with their strategies; left-out libraries are closed again.
    const PDB::ComponentInfo& info = PDB::getComponentInfoRepository().getComponentInfo("StandIn", 1);
    ASSERT_TRUE(info.isValid());
    EXPECT_EQ(full.parameterStrategy, info.parameterStrategy());
    EXPECT_EQ(3u, info.addressNum());
    EXPECT_FALSE(PDB::getComponentInfoRepository().getComponentInfo("StandInNoCoef", 1).isValid());
    EXPECT_FALSE(isLoaded(folder / "StandInNoCoef_1.so"));
    EXPECT_FALSE(isLoaded(folder / "StandInNullInfo_1.so"));
    EXPECT_TRUE(isLoaded(folder / "StandIn_1.so"));

    // The repository's own parameter information object is the only live one of the library.
    uint32_t (*live)() = liveObjectCounter(folder / "StandIn_1.so");
    ASSERT_NE(nullptr, live);
    EXPECT_EQ(1u, live());
    EXPECT_EQ(0u, repository().finalize());
    EXPECT_EQ(0u, live());  // released before the library closed
    EXPECT_TRUE(isEmpty(repository().getHandles("StandIn_1")));
    EXPECT_EQ(0u, repository().finalize());
}

TEST_F(AudioComponentDLLRepositoryTest, EntriesNotNamedLikeALibraryAreSkippedSilently)
{
    const fs::path folder = makeFolder();
    // Real libraries every one: taking any of them would log or list it.
    for (const char* name : {"StandIn_1.so.bak", "StandIn_01.so", "StandIn_.so", "_1.so", "StandIn-1.so",
                             "StandIn_1.SO", "StandIn_4294967296.so", "StandIn_+1.so", "StandIn_1x.so", ".so",
                             "StandIn_1", "libStandIn_1.so.1"}) {
        place(folder, "StandIn", name);
    }
    writeText(folder / "readme.txt", "not a library");
    fs::create_directory(folder / "Sub");
    EXPECT_EQ("", load(folder));
    EXPECT_TRUE(names().empty());
}

TEST_F(AudioComponentDLLRepositoryTest, ALibraryDescribingAnotherTypeOrVersionIsLoggedAndSkipped)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_2.so");
    place(folder, "StandIn", "Other_1.so");
    place(folder, "StandIn", "StandIn_4294967295.so");  // the largest version a name can give
    const std::vector<std::string> expected = sorted({
        "[E] Component[StandIn ver:1] does not match the file name. (StandIn_2.so)",
        "[E] Component[StandIn ver:1] does not match the file name. (Other_1.so)",
        "[E] Component[StandIn ver:1] does not match the file name. (StandIn_4294967295.so)",
    });
    EXPECT_EQ(expected, sortedLines(load(folder)));
    EXPECT_TRUE(names().empty());
    EXPECT_FALSE(isLoaded(folder / "StandIn_2.so"));
    EXPECT_FALSE(isLoaded(folder / "Other_1.so"));
}

TEST_F(AudioComponentDLLRepositoryTest, ASecondLibraryWithAKeyAlreadyHeldIsReleasedAgain)
{
    const fs::path first = makeFolder();
    const fs::path second = makeFolder();
    place(first, "StandIn", "StandIn_1.so");
    place(second, "StandIn", "StandIn_1.so");
    EXPECT_EQ("[i] AudioComponentDLLRepository::initialize - DRAVO Component[StandIn ver:1] found.\n", load(first));
    const AudioComponentDLLHandles kept = repository().getHandles("StandIn_1");

    const std::string already = "[E] AudioComponentDLLRepository::initialize - Component[StandIn_1] already loaded. "
                                "(StandIn_1.so)\n";
    EXPECT_EQ(already, load(second));
    EXPECT_FALSE(isLoaded(second / "StandIn_1.so"));  // its function object went with it (no leak)
    // The same library again: the second opening is given back, so finalize closes it for good.
    EXPECT_EQ(already, load(first));

    const AudioComponentDLLHandles& now = repository().getHandles("StandIn_1");
    EXPECT_EQ(kept.library, now.library);
    EXPECT_EQ(kept.paramInfoFunction, now.paramInfoFunction);
    EXPECT_EQ(kept.parameterStrategy, now.parameterStrategy);
    EXPECT_EQ(now.paramInfoFunction, now.parameterStrategy->paramInfoFunction());
    EXPECT_EQ(std::vector<std::string>{"StandIn_1"}, names());

    EXPECT_EQ(0u, repository().finalize());
    EXPECT_FALSE(isLoaded(first / "StandIn_1.so"));
}

TEST_F(AudioComponentDLLRepositoryTest, TheRegisteredDefinitionDrivesTheAudioComponentDatabase)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    (void)load(folder);
    const uint32_t ci = addStandIn();
    ASSERT_NE(0xFFFFFFFFu, ci);

    // Defaults: the definition's gain, the library's channel labels cut to the 8-byte element.
    for (uint32_t x = 0; x < 3; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(0.5f, db().getFloat(ci, kGain, x, 0, nullptr));
        EXPECT_EQ(50u, db().getUInt32(ci, kGainPercent, x, 0, nullptr));
        JVariant label;
        ASSERT_TRUE(JLIB::isSuccess(db().getVariant(label, ci, kLabel, x, 0, nullptr)));
        EXPECT_EQ("Ch" + std::to_string(x + 1) + "-Stan", std::string(label.toString()));
    }

    // Links: the library writes the percentage with tag 255.
    EXPECT_EQ(0u, db().setFloat(ci, kGain, 0, 0, 0.75f, 1));
    EXPECT_EQ(75u, db().getUInt32(ci, kGainPercent, 0, 0, nullptr));
    EXPECT_EQ(255, db().getFactor(ci, kGainPercent, 0, 0));
    EXPECT_EQ(1, db().getFactor(ci, kGain, 0, 0));
    EXPECT_EQ(0u, db().setFloat(ci, kGain, 0, 0, 1.0f, 1));  // the first channel reaches the definition's max
    EXPECT_EQ(100u, db().getUInt32(ci, kGainPercent, 0, 0, nullptr));

    // Limits: every channel after the first is held to half gain.
    EXPECT_EQ(0u, db().setFloat(ci, kGain, 2, 0, 0.2f, 1));
    EXPECT_EQ(20u, db().getUInt32(ci, kGainPercent, 2, 0, nullptr));
    EXPECT_EQ(PDB::kValueClamped, db().setFloat(ci, kGain, 2, 0, 0.9f, 1));
    EXPECT_EQ(0.5f, db().getFloat(ci, kGain, 2, 0, nullptr));
    EXPECT_EQ(50u, db().getUInt32(ci, kGainPercent, 2, 0, nullptr));
}

TEST_F(AudioComponentDLLRepositoryTest, FinalizeLeavesAPassThroughStrategyBehindForTheDefinition)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    (void)load(folder);
    const DRAVO::PDBParameterStrategy* strategy = repository().getHandles("StandIn_1").parameterStrategy;
    const uint32_t ci = addStandIn();

    EXPECT_EQ(0u, repository().finalize());
    EXPECT_FALSE(isLoaded(folder / "StandIn_1.so"));
    const PDB::ComponentInfo& info = PDB::getComponentInfoRepository().getComponentInfo("StandIn", 1);
    ASSERT_EQ(strategy, info.parameterStrategy());
    EXPECT_EQ(nullptr, strategy->paramInfoFunction());

    // The component outlives the library: its writes and defaults no longer reach it.
    EXPECT_EQ(0u, db().setFloat(ci, kGain, 2, 0, 0.9f, 1));
    EXPECT_EQ(0.9f, db().getFloat(ci, kGain, 2, 0, nullptr));
    EXPECT_EQ(50u, db().getUInt32(ci, kGainPercent, 2, 0, nullptr));
    JVariant label;
    ASSERT_TRUE(JLIB::isSuccess(db().getDefault(label, ci, kLabel, 1, 0)));
    EXPECT_STREQ("", label.toString());
    EXPECT_EQ(0u, db().addComponent(PDB::UniqId(2), "StandIn", 1, 2, 1, 0));
}

TEST_F(AudioComponentDLLRepositoryTest, LoadingAgainTakesUpTheStrategyTheDefinitionKeeps)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    (void)load(folder);
    const DRAVO::PDBParameterStrategy* strategy = repository().getHandles("StandIn_1").parameterStrategy;
    EXPECT_EQ(0u, repository().finalize());

    EXPECT_EQ("[i] AudioComponentDLLRepository::initialize - DRAVO Component[StandIn ver:1] found.\n", load(folder));
    const AudioComponentDLLHandles& handles = repository().getHandles("StandIn_1");
    EXPECT_EQ(strategy, handles.parameterStrategy);
    EXPECT_EQ(handles.paramInfoFunction, strategy->paramInfoFunction());
    EXPECT_EQ(strategy, PDB::getComponentInfoRepository().getComponentInfo("StandIn", 1).parameterStrategy());

    const uint32_t ci = addStandIn();
    EXPECT_EQ(PDB::kValueClamped, db().setFloat(ci, kGain, 1, 0, 0.9f, 1));
    EXPECT_EQ(50u, db().getUInt32(ci, kGainPercent, 1, 0, nullptr));
}

TEST_F(AudioComponentDLLRepositoryTest, TheStandInsFunctionObjectsDescribeItsComponent)
{
    const fs::path folder = makeFolder();
    place(folder, "StandIn", "StandIn_1.so");
    place(folder, "StandInBadTable", "StandInBadTable_1.so");
    (void)load(folder);
    uint32_t (*live)() = liveObjectCounter(folder / "StandIn_1.so");
    ASSERT_NE(nullptr, live);
    const AudioComponentDLLHandles& h = repository().getHandles("StandIn_1");

    auto* info = DRAVO::createFunctionInstance<DRAVO::IParamInfoFunction_V1>(h.createParamInfoFunction,
                                                                             DRAVO::IID_IParamInfoFunction_V1);
    auto* coef = DRAVO::createFunctionInstance<DRAVO::ICalcCoefFunction_V1>(h.createCalcCoefFunction,
                                                                            DRAVO::IID_ICalcCoefFunction_V1);
    auto* audio = DRAVO::createFunctionInstance<DRAVO::IAudioProcessFunction_V1>(h.createAudioProcessFunction,
                                                                                 DRAVO::IID_IAudioProcessFunction_V1);
    auto* logic = DRAVO::createFunctionInstance<DRAVO::ILogicControlFunction_V1>(h.createLogicControlFunction,
                                                                                 DRAVO::IID_ILogicControlFunction_V1);
    ASSERT_TRUE(info && coef && audio && logic);
    EXPECT_EQ(5u, live());

    // Three channels: ports, the compile service's resources and the names of fixed ports.
    EXPECT_EQ(3u, info->calcNumInPort(1, 3, 1));
    EXPECT_EQ(3u, info->calcNumOutPort(1, 3, 1));
    EXPECT_EQ(300u, info->calcResourceUsage(1, 3, 1, "OPV-D CPU", 96000, 32, "step"));
    EXPECT_EQ(8u, info->calcResourceUsage(1, 3, 1, "OPV-D CPU", 96000, 32, "fixedDelay"));
    EXPECT_EQ(0u, info->calcResourceUsage(1, 3, 1, "OPV-D CPU", 96000, 32, "other"));
    char name[49] = {};
    EXPECT_EQ(0u, info->calcFixedOutPortName(1, 3, 1, 2, name, sizeof name));
    EXPECT_STREQ("Out 3", name);
    EXPECT_EQ(0x80000000u, info->calcFixedInPortName(1, 3, 1, 3, name, sizeof name));
    EXPECT_TRUE(info->isNumXYValid(8, 1));
    EXPECT_FALSE(info->isNumXYValid(9, 1));

    // One coefficient array of four floats per channel; level and gain-reduction meters.
    const PARRAY::ArrayInfo* table = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(0u, coef->getCoefArrayInfoTable(table, count));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(PARRAY::kTypeFLOAT, table[0].type);
    EXPECT_EQ(0x10000004u, table[0].sizeX);
    ASSERT_EQ(0u, coef->getMeterArrayInfoTable(table, count));
    ASSERT_EQ(2u, count);
    EXPECT_STREQ("level", table[0].extInfo);
    EXPECT_STREQ("gr", table[1].extInfo);
    EXPECT_EQ(0x10000001u, table[1].sizeX);

    // The coefficients follow the gain through the manager accessor.
    dravotest::RecordingAccessor accessor;
    ASSERT_EQ(0u, coef->initialize(&accessor, 1, 3, 1, 0, 0, 32, 96000));
    EXPECT_EQ("setCoefFloat 0 11 0 0", accessor.last);  // the last of 3 x 4 coefficients
    EXPECT_EQ(0u, coef->onParamChange(kGain, 1, 0));
    EXPECT_EQ("setCoefFloat 0 7 0 0", accessor.last);
    EXPECT_EQ(0xFFFFFFFFu, coef->getCalcInterval());
    EXPECT_EQ(0u, audio->initialize(nullptr, 1, 3, 1, 0, 0, 32, 96000));
    EXPECT_EQ(3u, audio->getNumOutPort());

    // One normalised logic input copied to one normalised logic output.
    ASSERT_EQ(0u, logic->initialize(&accessor, 1, 3, 1));
    bool usesLogic = false;
    uint32_t interval = 99;
    ASSERT_EQ(0u, logic->getLogicSetting(usesLogic, interval));
    EXPECT_TRUE(usesLogic);
    EXPECT_EQ(0u, interval);
    ASSERT_EQ(1u, logic->getLogicInputPortNum());
    ASSERT_EQ(1u, logic->getLogicOutputPortNum());
    DRAVO::LogicPortInfo_V1 ports[1];
    ASSERT_EQ(0u, logic->getLogicOutputPortInfo(ports, 1));
    EXPECT_STREQ("Out", ports[0].name.toString());
    EXPECT_EQ(1u, ports[0].type);
    EXPECT_EQ(1.0f, ports[0].max.toFloat());
    EXPECT_TRUE(logic->isParamForLogic(kGain, 0, 0));
    EXPECT_FALSE(logic->isParamForLogic(kLabel, 0, 0));
    (void)logic->processLogic(0, 1);
    EXPECT_EQ("setLogicOutNormValue 0 2 0 0", accessor.last);  // the input's 0.25, recorded as tenths

    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(info));
    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(coef));
    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(audio));
    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(logic));
    EXPECT_EQ(1u, live());

    // The failing variant's coefficient object refuses its table.
    auto* failing = DRAVO::createFunctionInstance<DRAVO::ICalcCoefFunction_V1>(
        repository().getHandles("StandInBadTable_1").createCalcCoefFunction, DRAVO::IID_ICalcCoefFunction_V1);
    ASSERT_NE(nullptr, failing);
    EXPECT_EQ(0x80000000u, failing->getCoefArrayInfoTable(table, count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(failing));
}
