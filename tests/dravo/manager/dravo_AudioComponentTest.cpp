#include "dravo/manager/dravo_AudioComponent.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "LogicCtrl/logic_LogicData.h"
#include "LogicCtrl/logic_LogicPortInfo.h"
#include "LogicCtrl/logic_Result.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_UniqId.h"
#include "dravo/common/dravo_ICalcCoefFunction_V1.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/common/dravo_VariantType.h"
#include "dravo/manager/AudioComponentTestSupport.h"
#include "dravo/manager/dravo_NullAudioComponent.h"
#include "dravo/manager/dravo_OPVDManagerAccessor.h"
#include "dravo/manager/dravo_createComponentParameterDB.h"
#include "jlib/JVariant.h"

namespace {

using DRAVO::AudioComponent;
using DRAVO::AudioComponentDLLRepository;
using dravotest::kGain;
using dravotest::kLabel;
using dravotest::RecordingCoef;
using dravotest::RecordingStrategy;

constexpr uint32_t kUid = 7;

LogicCtrl::LogicComponentCollection& network()
{
    return LogicCtrl::LogicComponentCollection::singleton();
}

// Whether the logic network holds a component under the id (leaving test mode changes nothing
// while the network is stopped).
bool isInLogicNetwork(uint32_t id)
{
    return network().exitLogicTestMode(id) != LogicCtrl::kInvalidArgument;
}

bool isInDatabase(uint32_t uid)
{
    return dravotest::DravoEnvironment::db().getComponentIndex(PDB::UniqId(uid)) != 0xFFFFFFFFu;
}

// Stand-in libraries loaded by the real repository from a temporary component folder, into the
// real neighbours; every component of a test is gone before the libraries are closed.
class AudioComponentTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_env.setUp();
        m_folder = m_env.makeComponentFolder({"StandIn", "StandInBadTable", "StandInNoLogic"});
        testing::internal::CaptureStdout();  // the repository reports each library it found
        const JLIB::JResult loaded = AudioComponentDLLRepository::singleton().initialize(m_folder.c_str());
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, loaded);
        m_live = m_env.liveObjectCounter(m_folder + "StandIn_1.so");
        m_liveBadTable = m_env.liveObjectCounter(m_folder + "StandInBadTable_1.so");
        ASSERT_NE(nullptr, m_live);
        ASSERT_NE(nullptr, m_liveBadTable);
        RecordingCoef::log = &m_coefLog;
        RecordingCoef::interval = 0xFFFFFFFFu;
    }
    void TearDown() override
    {
        RecordingCoef::log = nullptr;
        m_env.tearDown();
    }

    // A stand-in of three channels under kUid.
    static std::unique_ptr<AudioComponent> makeStandIn(const char* type = "StandIn", uint32_t uid = kUid)
    {
        auto component = std::make_unique<AudioComponent>();
        EXPECT_EQ(0u, component->initialize(type, 1, uid, 3, 1));
        return component;
    }
    // Begins the DSP use and returns what was logged.
    static std::string beginUse(AudioComponent& component, RecordingStrategy& strategy)
    {
        testing::internal::CaptureStdout();
        EXPECT_EQ(0u, component.beginUseByDSPThread(&strategy));
        return testing::internal::GetCapturedStdout();
    }

    dravotest::DravoEnvironment m_env;
    std::string m_folder;
    uint32_t (*m_live)() = nullptr;  // the repository's own object counts one
    uint32_t (*m_liveBadTable)() = nullptr;
    std::vector<std::string> m_coefLog;
};

}  // namespace

TEST_F(AudioComponentTest, InitializeBuildsEveryPartFromTheLibraryOfItsKey)
{
    auto component = makeStandIn();
    EXPECT_FALSE(component->isNull());
    EXPECT_EQ(kUid, component->uniqID());
    EXPECT_EQ("StandIn", component->componentName());
    EXPECT_EQ(1u, component->majorVersion());
    EXPECT_EQ(3u, component->numX());
    EXPECT_EQ(1u, component->numY());
    EXPECT_EQ(1u + 4u, m_live());  // the four function objects
    ASSERT_NE(nullptr, component->paramInfoFunction());
    ASSERT_NE(nullptr, component->calcCoefFunction());
    EXPECT_STREQ("StandIn", component->paramInfoFunction()->getComponentName());

    // Ports, names and resources are the library's answers for this instance.
    EXPECT_EQ(3u, component->audioInputNum());
    EXPECT_EQ(3u, component->audioOutputNum());
    EXPECT_EQ("In 1", component->getFixedInPortName(0));
    EXPECT_EQ("Out 3", component->getFixedOutPortName(2));
    EXPECT_EQ("", component->getFixedOutPortName(3));
    EXPECT_EQ(300u, component->getResourceUsage("DSP", dravotest::kFsHz, dravotest::kSamplesPerFrame, "step"));

    // Tables scaled by the sizes: four floats per channel, a level and a gain-reduction meter.
    EXPECT_EQ(1u, component->coefArrayAccessor().arrayIDNum());
    void* data = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, component->coefArrayAccessor().getArrayPointer(data, size, 0));
    EXPECT_EQ(3u * 4u * sizeof(float), size);
    EXPECT_EQ(2u, component->meterPool().meterCount());
    EXPECT_EQ(2u, component->meterPool().normalMeterArrayAccessor().arrayIDNum());

    // The parameter arrays in database 10 and the logic part in the network, with its ports.
    EXPECT_TRUE(isInDatabase(kUid));
    EXPECT_TRUE(isInLogicNetwork(kUid));
    const LogicCtrl::ILogicComponent& logic = component->logicComponent();
    EXPECT_EQ(kUid, logic.uniqID());
    ASSERT_EQ(1u, logic.logicInputPortNum());
    ASSERT_EQ(1u, logic.logicOutputPortNum());
    EXPECT_EQ("In", logic.logicInputPortInfo(0).m_name);
    EXPECT_EQ(LogicCtrl::kLogicDataNormalized, logic.logicInputPortInfo(0).m_type);
    EXPECT_EQ(1.0f, logic.logicOutputPortInfo(0).m_maximum.toFloat());
    EXPECT_EQ("Out", logic.logicOutputPortInfo(0).m_name);
}

TEST_F(AudioComponentTest, FinalizeReleasesWhatInitializeBuiltAndKeepsTheName)
{
    auto component = makeStandIn();
    EXPECT_EQ(0u, component->finalize());
    EXPECT_EQ(1u, m_live());
    EXPECT_EQ(0xFFFFFFFFu, component->uniqID());
    EXPECT_EQ(0u, component->numX());
    EXPECT_EQ(0u, component->numY());
    EXPECT_EQ("StandIn", component->componentName());
    EXPECT_EQ(1u, component->majorVersion());
    EXPECT_EQ(nullptr, component->paramInfoFunction());
    EXPECT_EQ(nullptr, component->calcCoefFunction());
    EXPECT_EQ(0u, component->coefArrayAccessor().arrayIDNum());
    EXPECT_FALSE(component->meterPool().hasMeters());
    EXPECT_FALSE(isInLogicNetwork(kUid));
    EXPECT_EQ(0u, component->audioInputNum());
    EXPECT_EQ("", component->getFixedInPortName(0));
    EXPECT_EQ(0u, component->getResourceUsage("DSP", 48000, 64, "step"));
    EXPECT_EQ(0u, component->onParamChange(kGain, 0, 0));  // no coefficient function any more

    // A second finalize finds the logic part gone from the network: its code, nothing else.
    EXPECT_EQ(LogicCtrl::kInvalidArgument, component->finalize());
    // The database keeps the component's arrays: its removal is the editor's business.
    EXPECT_TRUE(isInDatabase(kUid));

    // Initialised again, it is whole again.
    EXPECT_EQ(0u, component->initialize("StandIn", 1, kUid, 2, 1));
    EXPECT_EQ(2u, component->numX());
    EXPECT_EQ(1u + 4u, m_live());
}

TEST_F(AudioComponentTest, AFailedInitializeReportsFailureAndDestructionReleasesWhatItLeft)
{
    // uniqID 5 is taken in the logic network by a component made first.
    auto holder = makeStandIn("StandIn", 5);
    const uint32_t before = m_live();

    struct Case {
        const char* what;
        const char* type;
        uint32_t uid;
        bool withoutCoefFactory;
        bool inDatabase;     // the database component was added before the failure
        uint32_t leftAlive;  // function objects the failure left in the stand-in library
        uint32_t leftInBadTable;
    };
    const Case cases[] = {
        {"unknown key", "Mixer", 20, false, false, 0, 0},
        {"no coefficient function", "StandIn", 21, true, true, 3, 0},
        {"coefficient table query fails", "StandInBadTable", 22, false, true, 0, 4},
        {"logic part refused by the network", "StandIn", 5, false, true, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto component = std::make_unique<AudioComponent>();
        {
            std::unique_ptr<dravotest::CoefFactoryPatch> patch;
            if (c.withoutCoefFactory) patch = std::make_unique<dravotest::CoefFactoryPatch>("StandIn_1", nullptr);
            EXPECT_EQ(0x80000000u, component->initialize(c.type, 1, c.uid, 2, 1));
        }
        EXPECT_EQ(c.inDatabase, isInDatabase(c.uid));
        if (c.uid != 5) {
            EXPECT_FALSE(isInLogicNetwork(c.uid));
        }
        EXPECT_EQ(before + c.leftAlive, m_live());
        EXPECT_EQ(1u + c.leftInBadTable, m_liveBadTable());
        component.reset();
        EXPECT_EQ(before, m_live());
        EXPECT_EQ(1u, m_liveBadTable());
    }
    EXPECT_TRUE(isInLogicNetwork(5));  // the holder's logic part was not disturbed
}

TEST_F(AudioComponentTest, WithoutCoefficientFunctionTheStoredValuesAndOtherObjectsStay)
{
    AudioComponent component;
    {
        dravotest::CoefFactoryPatch patch("StandIn_1", nullptr);
        EXPECT_EQ(0x80000000u, component.initialize("StandIn", 1, 21, 2, 1));
    }
    EXPECT_EQ(21u, component.uniqID());
    EXPECT_EQ(2u, component.numX());
    ASSERT_NE(nullptr, component.paramInfoFunction());
    EXPECT_EQ(2u, component.audioOutputNum());
    EXPECT_EQ(nullptr, component.calcCoefFunction());

    // Initialising again releases them instead of overwriting them.
    EXPECT_EQ(0u, component.initialize("StandIn", 1, 22, 1, 1));
    EXPECT_EQ(1u + 4u, m_live());
}

TEST_F(AudioComponentTest, AComponentWithoutLogicFunctionStillJoinsTheNetworkWithoutPorts)
{
    auto component = makeStandIn("StandInNoLogic");
    EXPECT_TRUE(isInLogicNetwork(kUid));
    EXPECT_EQ(0u, component->logicComponent().logicInputPortNum());
    EXPECT_EQ(0u, component->logicComponent().logicOutputPortNum());
    EXPECT_FALSE(component->logicComponent().isParamForLogic(kGain, 0, 0));
    EXPECT_EQ(0u, component->logicComponent().processLogic(0, LogicCtrl::kRunTriggered));
}

TEST_F(AudioComponentTest, FinalizeIsRefusedInDSPUseAndWhenTheNetworkDoesNotHoldTheLogicPart)
{
    AudioComponent empty;
    EXPECT_EQ(LogicCtrl::kInvalidArgument, empty.finalize());

    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    EXPECT_EQ(0x80000000u, component->finalize());
    EXPECT_EQ(0x80000000u, component->initialize("StandIn", 1, 8, 1, 1));
    EXPECT_EQ(kUid, component->uniqID());
    EXPECT_TRUE(component->isInDSPUse());
    EXPECT_TRUE(isInLogicNetwork(kUid));
    EXPECT_EQ(1u + 4u, m_live());

    EXPECT_EQ(0u, component->endUseByDSPThread());
    EXPECT_EQ(0u, component->finalize());
    EXPECT_EQ(1u, m_live());
}

TEST_F(AudioComponentTest, DestroyingAComponentInDSPUseReleasesItsUseOfTheDatabaseComponent)
{
    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    EXPECT_TRUE(m_env.db().isComponentUsed(PDB::UniqId(kUid)));
    component.reset();
    EXPECT_FALSE(m_env.db().isComponentUsed(PDB::UniqId(kUid)));
    EXPECT_FALSE(isInLogicNetwork(kUid));
    EXPECT_EQ(1u, m_live());
}

TEST_F(AudioComponentTest, TheNullObjectIsResetAtEveryHandOut)
{
    DRAVO::NullAudioComponent& null = DRAVO::NullAudioComponent::getNullObject();
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(0xFFFFFFFFu, null.uniqID());

    // A caller builds a component in it through the reference ...
    EXPECT_EQ(0u, null.initialize("StandIn", 1, 9, 2, 1));
    EXPECT_TRUE(isInLogicNetwork(9));

    // ... and the next caller gets a new null component; nothing it built is left behind.
    DRAVO::NullAudioComponent& again = DRAVO::NullAudioComponent::getNullObject();
    EXPECT_EQ(&null, &again);
    EXPECT_TRUE(again.isNull());
    EXPECT_EQ(0xFFFFFFFFu, again.uniqID());
    EXPECT_EQ("", again.componentName());
    EXPECT_EQ(0u, again.majorVersion());
    EXPECT_EQ(nullptr, again.paramInfoFunction());
    EXPECT_FALSE(isInLogicNetwork(9));
    EXPECT_EQ(1u, m_live());
}

TEST_F(AudioComponentTest, DSPUseSetsTheCoefficientObjectUpFromTheStoredConfiguration)
{
    dravotest::CoefFactoryPatch patch("StandIn_1", &dravotest::recordingCoefFactory);
    auto component = makeStandIn();
    RecordingStrategy strategy;

    EXPECT_EQ("[i] AudioComponent::beginUseByDSPThread - AudioComponent[uid:7].\n", beginUse(*component, strategy));
    EXPECT_EQ((std::vector<std::string>{"initialize 7 3 1 dsp 0 sample 0 frame 64 fs 48000", "getCalcInterval",
                                        "changeFsHz 48000", "onStartUse"}),
              m_coefLog);
    EXPECT_TRUE(component->isInDSPUse());
    EXPECT_TRUE(m_env.db().isComponentUsed(PDB::UniqId(kUid)));  // the manager accessor's mark

    // In use already: nothing is set up again.
    EXPECT_EQ("", beginUse(*component, strategy));
    EXPECT_EQ(4u, m_coefLog.size());

    // A parameter change reaches the coefficient object, whose answer comes back.
    EXPECT_EQ(0x40u, component->onParamChange(1, 2, 0));
    EXPECT_EQ("onParamChange 1 2 0", m_coefLog.back());

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, component->endUseByDSPThread());
    EXPECT_EQ("[i] AudioComponent::endUseByDSPThread - AudioComponent[uid:7].\n",
              testing::internal::GetCapturedStdout());
    EXPECT_FALSE(component->isInDSPUse());
    EXPECT_FALSE(m_env.db().isComponentUsed(PDB::UniqId(kUid)));
    EXPECT_EQ(0x80000000u, component->timerRun(5000));
    EXPECT_EQ(0u, component->endUseByDSPThread());  // out of use: nothing to end
}

TEST_F(AudioComponentTest, TimerRunCalculatesOnceTheIntervalHasPassedAndSendsWhatChanged)
{
    dravotest::CoefFactoryPatch patch("StandIn_1", &dravotest::recordingCoefFactory);
    RecordingCoef::interval = 10;
    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    m_coefLog.clear();

    struct Step {
        uint32_t now;
        const char* calculation;  // the onTimer call expected, or null
        int dirtyArray;           // an array marked changed before the call, or -1
    };
    // Starts 16 ms before the counter wraps.
    const Step steps[] = {
        {0xFFFFFFF0u, "onTimer 4294967280 first", -1},
        {0xFFFFFFF5u, nullptr, 2},  // 5 ms later: only the changed array goes out
        {0xFFFFFFF9u, nullptr, -1},
        {0x00000000u, "onTimer 0", -1},  // 16 ms across the wrap
        {5, nullptr, -1},
        {10, "onTimer 10", 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.now);
        m_coefLog.clear();
        strategy.clear();
        if (s.dirtyArray >= 0) {
            ASSERT_EQ(0u, component->coefArrayAccessor().setParam(uint32_t(s.dirtyArray), 0, 0, 0, 1.5f));
        }
        EXPECT_EQ(0u, component->timerRun(s.now));
        EXPECT_EQ(s.calculation ? std::vector<std::string>{s.calculation} : std::vector<std::string>{}, m_coefLog);
        const std::vector<std::string> sent =
            s.dirtyArray >= 0 ? std::vector<std::string>{"start 1", "coef 7 " + std::to_string(s.dirtyArray) + " 0 8",
                                                         "end"}
                              : std::vector<std::string>{};
        EXPECT_EQ(sent, strategy.calls());
    }
}

TEST_F(AudioComponentTest, TimerRunWithoutIntervalSendsNothingEvenWhenCoefficientsChanged)
{
    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    ASSERT_TRUE(component->coefArrayAccessor().hasDirty());  // written by the library when the use began
    EXPECT_EQ(0u, component->timerRun(100));
    EXPECT_EQ(0u, component->timerRun(100000));
    EXPECT_TRUE(strategy.calls().empty());
    EXPECT_TRUE(component->coefArrayAccessor().hasDirty());
}

TEST_F(AudioComponentTest, ChangedArraysAreSentOnceInOrderAndAllArraysLeaveTheMarks)
{
    dravotest::CoefFactoryPatch patch("StandIn_1", &dravotest::recordingCoefFactory);
    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    PARRAY::ArrayAccessorForServer& coefs = component->coefArrayAccessor();
    EXPECT_FALSE(coefs.hasDirty());

    EXPECT_EQ(0u, component->sendChangedCoefs());
    EXPECT_TRUE(strategy.calls().empty());

    ASSERT_EQ(0u, coefs.setParam(3, 1, 0, 0, 2.0f));
    ASSERT_EQ(0u, coefs.setParam(1, 0, 0, 0, 1.0f));
    EXPECT_EQ(0u, component->sendChangedCoefs());
    EXPECT_EQ((std::vector<std::string>{"start 1", "coef 7 1 0 8", "coef 7 3 0 8", "end"}), strategy.calls());
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), strategy.floats(0));
    EXPECT_EQ((std::vector<float>{0.0f, 2.0f}), strategy.floats(1));
    EXPECT_FALSE(coefs.hasDirty());
    strategy.clear();
    EXPECT_EQ(0u, component->sendChangedCoefs());
    EXPECT_TRUE(strategy.calls().empty());

    ASSERT_EQ(0u, coefs.setParam(2, 0, 0, 0, 3.0f));
    EXPECT_EQ(0u, component->sendAllCoefs());
    EXPECT_EQ((std::vector<std::string>{"start 0", "coef 7 0 0 8", "coef 7 1 0 8", "coef 7 2 0 8", "coef 7 3 0 8",
                                        "end"}),
              strategy.calls());
    EXPECT_TRUE(coefs.hasArrayDirty(2));
    EXPECT_FALSE(coefs.hasDirty());
}

TEST_F(AudioComponentTest, TheStandInsCoefficientsFollowTheDatabaseThroughTheManagerAccessor)
{
    auto component = makeStandIn();
    RecordingStrategy strategy;
    (void)beginUse(*component, strategy);
    EXPECT_EQ(0u, component->sendChangedCoefs());
    ASSERT_EQ((std::vector<std::string>{"start 1", "coef 7 0 0 48", "end"}), strategy.calls());
    EXPECT_EQ((std::vector<float>{0.5f, 0, 0, 0, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0}), strategy.floats(0));

    // The DSP engine thread passes each changed parameter on; the coefficients follow.
    PDB::IParameterDB& db = m_env.db();
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(kUid));
    ASSERT_EQ(0u, db.setFloat(ci, kGain, 1, 0, 0.25f, 0));
    strategy.clear();
    EXPECT_EQ(0u, component->onParamChange(kGain, 1, 0));
    EXPECT_EQ(0u, component->sendChangedCoefs());
    ASSERT_EQ((std::vector<std::string>{"start 1", "coef 7 0 0 48", "end"}), strategy.calls());
    EXPECT_EQ((std::vector<float>{0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 0.5f, 0, 0, 0}), strategy.floats(0));

    strategy.clear();
    EXPECT_EQ(0u, component->sendAddComponentCommand());
    EXPECT_EQ(std::vector<std::string>{"add StandIn 1 7 3 1"}, strategy.calls());
}

TEST_F(AudioComponentTest, TheLogicPartRunsTheLibrarysLogicThroughTheAdapter)
{
    auto component = makeStandIn();
    LogicCtrl::ILogicComponent& logic = component->logicComponent();
    EXPECT_TRUE(logic.isParamForLogic(kGain, 1, 0));
    EXPECT_FALSE(logic.isParamForLogic(kLabel, 1, 0));
    EXPECT_EQ(0x80000000u, logic.processLogic(0, 3));  // not a run state

    // The stand-in copies its normalised input to its output in each pass.
    const LogicCtrl::LogicData input(LogicCtrl::kLogicDataNormalized, JVariant(0.75f), nullptr, JVariant(0.0f),
                                     JVariant(1.0f));
    ASSERT_EQ(0u, network().setLogicInTestValue(kUid, 0, input));
    ASSERT_EQ(0u, network().start());  // runs the initial pass
    EXPECT_FLOAT_EQ(0.75f, logic.getLogicOutValue(0).getNormValue());
    ASSERT_EQ(0u, network().stop());
}

TEST_F(AudioComponentTest, TheAdapterAnswersNeutrallyWithoutTargets)
{
    const AudioComponent::LogicComponentAccessorAdapter adapter;
    uint32_t type = 99;
    DRAVO::VariantType value(8);
    (void)value.setUInt32(5);
    float normalized = 9.0f;
    uint32_t dirty = 9;
    EXPECT_EQ(0x80000000u, adapter.getLogicInValue(0, type, value, normalized, dirty));
    EXPECT_EQ(0u, type);
    EXPECT_EQ(DRAVO::VariantType::kTypeInvalid, value.type());
    EXPECT_EQ(0.0f, normalized);
    EXPECT_EQ(0u, dirty);
    EXPECT_EQ(0x80000000u, adapter.getLogicOutValue(0, type, value, normalized, dirty));

    EXPECT_EQ(0x80000000u, adapter.setLogicOutNormValue(0, 0.5f));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutUInt(0, 1));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutSInt(0, -1));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutFloat(0, 1.0f));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutString(0, "x"));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutEvent(0));
    EXPECT_EQ(0x80000000u, adapter.triggerLogic());

    EXPECT_EQ(0u, adapter.getParamUInt32(0, 0, 0));
    EXPECT_EQ(0, adapter.getParamSInt32(0, 0, 0));
    EXPECT_EQ(0.0f, adapter.getParamFloat(0, 0, 0));
    EXPECT_FALSE(adapter.getParamBool(0, 0, 0));
    char text[8];
    uint8_t bytes[8];
    EXPECT_EQ(0x80000000u, adapter.getParamString(0, 0, 0, text, sizeof text));
    EXPECT_EQ(0x80000000u, adapter.getParamBinary(0, 0, 0, bytes, sizeof bytes));
    EXPECT_EQ(0u, adapter.getParamNumX(0));
    EXPECT_EQ(0u, adapter.getParamNumY(0));
    using Limit = uint32_t (AudioComponent::LogicComponentAccessorAdapter::*)(uint32_t, DRAVO::VariantType&) const;
    for (Limit limit : {&AudioComponent::LogicComponentAccessorAdapter::getParamMin,
                        &AudioComponent::LogicComponentAccessorAdapter::getParamMax,
                        &AudioComponent::LogicComponentAccessorAdapter::getParamDefault,
                        &AudioComponent::LogicComponentAccessorAdapter::getParamNominal,
                        &AudioComponent::LogicComponentAccessorAdapter::getParamStep}) {
        DRAVO::VariantType limitValue;
        (void)limitValue.setFloat(1.0f);
        EXPECT_EQ(0x80000000u, (adapter.*limit)(0, limitValue));
        EXPECT_EQ(DRAVO::VariantType::kTypeInvalid, limitValue.type());
    }
    EXPECT_EQ(0u, adapter.getLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(0u, adapter.getHoldLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(254u, adapter.getGRMeter(0, 0, 0, 0));
    EXPECT_EQ(0x80000000u, adapter.setParamUInt32(0, 0, 0, 1));
    EXPECT_EQ(0x80000000u, adapter.setParamSInt32(0, 0, 0, 1));
    EXPECT_EQ(0x80000000u, adapter.setParamFloat(0, 0, 0, 1.0f));
    EXPECT_EQ(0x80000000u, adapter.setParamBool(0, 0, 0, 1));
    EXPECT_EQ(0x80000000u, adapter.setParamString(0, 0, 0, "x"));
    EXPECT_EQ(0x80000000u, adapter.setParamBinary(0, 0, 0, bytes, 1));
}

TEST_F(AudioComponentTest, TheAdapterForwardsToTheLogicPartAndTheManagerAccessor)
{
    auto component = makeStandIn();  // database 10 holds its arrays

    AudioComponent::LogicComponentImpl logic;
    const std::vector<LogicCtrl::LogicPortInfo> inputs = {{"Count", LogicCtrl::kLogicDataUInt, nullptr}};
    const std::vector<LogicCtrl::LogicPortInfo> outputs = {{"Level", LogicCtrl::kLogicDataNormalized, nullptr}};
    ASSERT_EQ(0u, logic.initialize(30, true, inputs, outputs, 0, nullptr));
    EXPECT_FALSE(logic.isParamForLogic(kGain, 0, 0));  // no function to ask
    EXPECT_EQ(0u, logic.processLogic(0, LogicCtrl::kRunInitial));

    AudioComponent::LogicComponentAccessorAdapter adapter;
    EXPECT_EQ(0u, adapter.initialize(&logic));
    EXPECT_EQ(0u, adapter.setLogicOutNormValue(0, 0.25f));
    uint32_t type = 0;
    DRAVO::VariantType value;
    float normalized = 0.0f;
    uint32_t dirty = 0;
    EXPECT_EQ(0u, adapter.getLogicOutValue(0, type, value, normalized, dirty));
    EXPECT_EQ(LogicCtrl::kLogicDataNormalized, type);
    EXPECT_EQ(0.25f, value.toFloat());
    EXPECT_EQ(0.25f, normalized);
    EXPECT_EQ(1u, dirty);
    EXPECT_EQ(0u, adapter.getLogicInValue(0, type, value, normalized, dirty));
    EXPECT_EQ(LogicCtrl::kLogicDataUInt, type);
    EXPECT_EQ(DRAVO::VariantType::kTypeUInt32, value.type());
    EXPECT_EQ(LogicCtrl::kInvalidArgument, adapter.setLogicOutNormValue(1, 0.5f));  // the logic part's answer
    EXPECT_EQ(0x80000000u, adapter.getLogicInValue(1, type, value, normalized, dirty));

    DRAVO::IManagerAccessor_V1* accessor = DRAVO::createManagerAccessor(kUid, 3, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, accessor);
    adapter.setManagerAccessor(accessor);
    EXPECT_EQ(0.5f, adapter.getParamFloat(kGain, 0, 0));
    EXPECT_EQ(3u, adapter.getParamNumX(kGain));
    DRAVO::VariantType max;
    EXPECT_EQ(0u, adapter.getParamMax(kGain, max));
    EXPECT_EQ(1.0f, max.toFloat());
    EXPECT_EQ(0u, adapter.setParamFloat(kGain, 2, 0, 0.125f));
    EXPECT_EQ(0.125f, m_env.db().getFloat(m_env.db().getComponentIndex(PDB::UniqId(kUid)), kGain, 2, 0, nullptr));
    EXPECT_EQ(254u, adapter.getGRMeter(0, 0, 0, 0));  // the accessor has no meter table either

    EXPECT_EQ(0u, adapter.finalize());
    EXPECT_EQ(0.0f, adapter.getParamFloat(kGain, 0, 0));
    EXPECT_EQ(0x80000000u, adapter.setLogicOutNormValue(0, 0.5f));
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(accessor));
}

TEST_F(AudioComponentTest, TheDatabaseComponentIsAddedOnlyForANamedKnownTypeAndAFreeUniqID)
{
    struct Case {
        const char* name;
        uint32_t uid;
        uint16_t attribute;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {nullptr, 40, 0, 0x80000000u},
        {"Nothing", 40, 0, 0x80000000u},
        {"StandIn", 40, 0, 0},
        {"StandIn", 40, 0, 0x80000000u},  // held already
        {"StandIn", 41, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.result, DRAVO::createComponentParameterDB(c.uid, c.name, 1, 2, 1, c.attribute));
    }
    const uint32_t ci = m_env.db().getComponentIndex(PDB::UniqId(40));
    ASSERT_NE(0xFFFFFFFFu, ci);
    EXPECT_STREQ("StandIn", m_env.db().componentName(ci));
}
