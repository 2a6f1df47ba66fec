#include "dravo_AudioComponent.h"

#include <memory>
#include <new>

#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "dravo/common/dravo_IAudioProcessFunction_V1.h"
#include "dravo/common/dravo_ICalcCoefFunction_V1.h"
#include "dravo/common/dravo_ILogicControlFunction_V1.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/common/dravo_LogicPortInfo_V1.h"
#include "dravo_AudioComponentDLLRepository.h"
#include "dravo_AudioConfigDB.h"
#include "dravo_FunctionInstance.h"
#include "dravo_IPlayerCommunicationStrategy.h"
#include "dravo_OPVDManagerAccessor.h"
#include "dravo_convertLogicValue.h"
#include "dravo_createComponentParameterDB.h"
#include "dravo_timeMs.h"
#include "jlib/jlib_cfg.h"

namespace DRAVO {

namespace {

// Meter bytes fall back one step per update and hold peaks for a second.
constexpr int8_t kMeterReleaseStep = -1;
constexpr uint32_t kMeterHoldTimeMs = 1000;
// The DSP and sample type the coefficient function is set up with.
constexpr uint32_t kDSPType = 0;
constexpr uint32_t kSampleType = 0;
// sendStart's send types.
constexpr uint32_t kSendAll = 0;
constexpr uint32_t kSendChanged = 1;
// The meter byte of a gain reduction without a meter store.
constexpr uint8_t kClearedGainReduction = 254;

// Log lines print the uniqID with "%d".
int printable(uint32_t uniqID) { return static_cast<int>(uniqID); }

std::string libraryKey(const char* name, uint32_t majorVersion)
{
    return std::string(name) + "_" + std::to_string(majorVersion);
}

// Fills count port records through the library's query and converts them.
template <typename Query>
JLIB::JResult readPorts(std::vector<LogicCtrl::LogicPortInfo>& ports, uint32_t count, Query query)
{
    ports.clear();
    if (count == 0) return JLIB::kOk;
    std::unique_ptr<LogicPortInfo_V1[]> records(new (std::nothrow) LogicPortInfo_V1[count]);
    if (!records) return JLIB::kFailed;
    (void)query(records.get(), count);  // a record the library leaves alone stays an empty port
    return convertLogicPortInfoTable(ports, records.get(), count);
}

}  // namespace

// ---- LogicComponentImpl ----

JLIB::JResult AudioComponent::LogicComponentImpl::initialize(uint32_t uniqID, bool usesLogic,
                                                             const std::vector<LogicCtrl::LogicPortInfo>& inputs,
                                                             const std::vector<LogicCtrl::LogicPortInfo>& outputs,
                                                             uint32_t intervalMs, ILogicControlFunction_V1* function)
{
    m_usesLogic = usesLogic;
    m_pLogicFunction = function;
    return AbstractLogicComponent::initialize(uniqID, inputs, outputs, intervalMs);
}

bool AudioComponent::LogicComponentImpl::isParamForLogic(uint32_t paramIndex, uint32_t x, uint32_t y)
{
    return m_usesLogic && m_pLogicFunction && m_pLogicFunction->isParamForLogic(paramIndex, x, y);
}

JLIB::JResult AudioComponent::LogicComponentImpl::processLogic(uint32_t timeMs, LogicCtrl::RunState state)
{
    if (!m_usesLogic || !m_pLogicFunction) return JLIB::kOk;
    switch (state) {
    case LogicCtrl::kRunInitial:
    case LogicCtrl::kRunTriggered:
    case LogicCtrl::kRunPeriodic:
        return m_pLogicFunction->processLogic(timeMs, state);
    default:
        return JLIB::kFailed;
    }
}

void AudioComponent::LogicComponentImpl::forgetFunction()
{
    m_usesLogic = false;
    m_pLogicFunction = nullptr;
}

// ---- LogicComponentAccessorAdapter ----

AudioComponent::LogicComponentAccessorAdapter::~LogicComponentAccessorAdapter()
{
    (void)finalize();  // always 0
}

JLIB::JResult AudioComponent::LogicComponentAccessorAdapter::initialize(LogicCtrl::ILogicComponent* logicComponent)
{
    m_pLogicComponent = logicComponent;
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::LogicComponentAccessorAdapter::finalize()
{
    m_pLogicComponent = nullptr;
    m_pManagerAccessor = nullptr;
    return JLIB::kOk;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getLogicInValue(uint32_t port, uint32_t& type,
                                                                        VariantType& value, float& normalized,
                                                                        uint32_t& dirty) const
{
    if (m_pLogicComponent) return convertValue(type, value, normalized, dirty, m_pLogicComponent->getLogicInValue(port));
    return convertValue(type, value, normalized, dirty, LogicCtrl::LogicData());  // the neutral answer
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getLogicOutValue(uint32_t port, uint32_t& type,
                                                                         VariantType& value, float& normalized,
                                                                         uint32_t& dirty) const
{
    if (m_pLogicComponent) {
        return convertValue(type, value, normalized, dirty, m_pLogicComponent->getLogicOutValue(port));
    }
    return convertValue(type, value, normalized, dirty, LogicCtrl::LogicData());
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutNormValue(uint32_t port, float value) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutNormValue(port, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutUInt(uint32_t port, uint32_t value) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutValue(port, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutSInt(uint32_t port, int32_t value) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutValue(port, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutFloat(uint32_t port, float value) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutValue(port, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutString(uint32_t port, const char* text) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutString(port, text) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setLogicOutEvent(uint32_t port) const
{
    return m_pLogicComponent ? m_pLogicComponent->setLogicOutEvent(port) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::triggerLogic() const
{
    return m_pLogicComponent ? m_pLogicComponent->triggerLogic() : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamUInt32(ai, x, y) : 0;
}

int32_t AudioComponent::LogicComponentAccessorAdapter::getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamSInt32(ai, x, y) : 0;
}

float AudioComponent::LogicComponentAccessorAdapter::getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamFloat(ai, x, y) : 0.0f;
}

bool AudioComponent::LogicComponentAccessorAdapter::getParamBool(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pManagerAccessor && m_pManagerAccessor->getParamBool(ai, x, y);
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getParamString(uint32_t ai, uint32_t x, uint32_t y,
                                                                       char* buffer, uint32_t size) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamString(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getParamBinary(uint32_t ai, uint32_t x, uint32_t y,
                                                                       uint8_t* buffer, uint32_t size) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamBinary(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getParamNumX(uint32_t ai) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamNumX(ai) : 0;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::getParamNumY(uint32_t ai) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getParamNumY(ai) : 0;
}

#define DRAVO_ADAPTER_LIMIT(Operation)                                                                 \
    uint32_t AudioComponent::LogicComponentAccessorAdapter::Operation(uint32_t ai, VariantType& value) \
        const                                                                                          \
    {                                                                                                  \
        if (m_pManagerAccessor) return m_pManagerAccessor->Operation(ai, value);                       \
        (void)value.invalid(); /* always 0 */                                                          \
        return JLIB::kFailed;                                                                          \
    }
DRAVO_ADAPTER_LIMIT(getParamMin)
DRAVO_ADAPTER_LIMIT(getParamMax)
DRAVO_ADAPTER_LIMIT(getParamDefault)
DRAVO_ADAPTER_LIMIT(getParamNominal)
DRAVO_ADAPTER_LIMIT(getParamStep)
#undef DRAVO_ADAPTER_LIMIT

uint8_t AudioComponent::LogicComponentAccessorAdapter::getLevelMeter(uint32_t n, uint32_t x, uint32_t y,
                                                                     uint32_t z) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getLevelMeter(n, x, y, z) : 0;
}

uint8_t AudioComponent::LogicComponentAccessorAdapter::getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y,
                                                                         uint32_t z) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getHoldLevelMeter(n, x, y, z) : 0;
}

uint8_t AudioComponent::LogicComponentAccessorAdapter::getGRMeter(uint32_t n, uint32_t x, uint32_t y,
                                                                  uint32_t z) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->getGRMeter(n, x, y, z) : kClearedGainReduction;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamUInt32(uint32_t ai, uint32_t x, uint32_t y,
                                                                       uint32_t value) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamUInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamSInt32(uint32_t ai, uint32_t x, uint32_t y,
                                                                       int32_t value) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamSInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamFloat(uint32_t ai, uint32_t x, uint32_t y,
                                                                      float value) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamFloat(ai, x, y, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamBool(uint32_t ai, uint32_t x, uint32_t y,
                                                                     uint32_t value) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamBool(ai, x, y, value) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamString(uint32_t ai, uint32_t x, uint32_t y,
                                                                       const char* text) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamString(ai, x, y, text) : JLIB::kFailed;
}

uint32_t AudioComponent::LogicComponentAccessorAdapter::setParamBinary(uint32_t ai, uint32_t x, uint32_t y,
                                                                       const uint8_t* bytes, uint32_t length) const
{
    return m_pManagerAccessor ? m_pManagerAccessor->setParamBinary(ai, x, y, bytes, length) : JLIB::kFailed;
}

// ---- AudioComponent ----

AudioComponent::AudioComponent()
    : m_uniqID(kNoUniqID),
      m_inDSPUse(false),
      m_majorVersion(0),
      m_numX(0),
      m_numY(0),
      m_pParamInfoFunction(nullptr),
      m_pCalcCoefFunction(nullptr),
      m_pAudioProcessFunction(nullptr),
      m_pLogicControlFunction(nullptr),
      m_pManagerAccessor(nullptr),
      m_coefInterval(kNoInterval),
      m_lastCalcTime(0),
      m_firstCalcDone(false),
      m_pPlayerStrategy(nullptr)
{
}

AudioComponent::~AudioComponent()
{
    // The registry ends the DSP use before it destroys a component; a direct owner may not have,
    // and the accessor would otherwise keep the database component in use for good.
    (void)endUseByDSPThread();  // always 0
    // finalize leaves everything when the network does not hold the logic part (initialize
    // stopped early): the function objects and tables must not outlive the component.
    if (JLIB::isFailure(finalize())) releaseAll();
}

void AudioComponent::resetToConstructed()
{
    (void)endUseByDSPThread();  // always 0
    if (JLIB::isFailure(finalize())) releaseAll();
    m_name.clear();
    m_majorVersion = 0;
    m_lastCalcTime = 0;
    m_firstCalcDone = false;
}

JLIB::JResult AudioComponent::initialize(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                         uint32_t numY)
{
    // Starting over in DSP use would drop the accessor and the strategy the DSP thread relies on.
    if (m_inDSPUse) return JLIB::kFailed;
    // An earlier initialize that stopped early left its function objects: they are released here
    // rather than overwritten.
    if (JLIB::isFailure(finalize())) releaseAll();
    if (!name) return JLIB::kFailed;

    const std::string key = libraryKey(name, majorVersion);
    const AudioComponentDLLHandles& handles =
        static_cast<const AudioComponentDLLRepository&>(AudioComponentDLLRepository::singleton()).getHandles(key.c_str());

    m_uniqID = uniqID;
    m_inDSPUse = false;
    m_name = name;
    m_majorVersion = majorVersion;
    m_numX = numX;
    m_numY = numY;

    m_pParamInfoFunction =
        createFunctionInstance<IParamInfoFunction_V1>(handles.createParamInfoFunction, IID_IParamInfoFunction_V1);
    m_pCalcCoefFunction =
        createFunctionInstance<ICalcCoefFunction_V1>(handles.createCalcCoefFunction, IID_ICalcCoefFunction_V1);
    m_pAudioProcessFunction = createFunctionInstance<IAudioProcessFunction_V1>(handles.createAudioProcessFunction,
                                                                               IID_IAudioProcessFunction_V1);
    m_pLogicControlFunction = createFunctionInstance<ILogicControlFunction_V1>(handles.createLogicControlFunction,
                                                                               IID_ILogicControlFunction_V1);

    // A uniqID the database holds already keeps its arrays: nothing to undo either way.
    (void)createComponentParameterDB(uniqID, name, majorVersion, numX, numY, 0);

    if (!m_pCalcCoefFunction) return JLIB::kFailed;

    const PARRAY::ArrayInfo* table = nullptr;
    uint32_t count = 0;
    if (JLIB::isFailure(m_pCalcCoefFunction->getCoefArrayInfoTable(table, count))) return failInitialize();
    if (count != 0 && JLIB::isFailure(m_coefTable.initialize(table, count, numX, numY))) return failInitialize();

    table = nullptr;
    count = 0;
    if (JLIB::isFailure(m_pCalcCoefFunction->getMeterArrayInfoTable(table, count))) return failInitialize();
    if (count != 0 && JLIB::isFailure(m_meterPool.initialize(table, count, uniqID, numX, numY, kMeterReleaseStep,
                                                              kMeterHoldTimeMs))) {
        return failInitialize();
    }

    (void)m_logicAdapter.initialize(&m_logicPart);  // always 0

    std::vector<LogicCtrl::LogicPortInfo> inputs;
    std::vector<LogicCtrl::LogicPortInfo> outputs;
    bool usesLogic = false;
    uint32_t intervalMs = 0;
    if (JLIB::isFailure(readLogicPorts(inputs, outputs, usesLogic, intervalMs))) return failInitialize();
    if (JLIB::isFailure(
            m_logicPart.initialize(uniqID, usesLogic, inputs, outputs, intervalMs, m_pLogicControlFunction))) {
        return failInitialize();
    }
    if (JLIB::isFailure(LogicCtrl::LogicComponentCollection::singleton().addComponent(&m_logicPart))) {
        return failInitialize();
    }
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::readLogicPorts(std::vector<LogicCtrl::LogicPortInfo>& inputs,
                                             std::vector<LogicCtrl::LogicPortInfo>& outputs, bool& usesLogic,
                                             uint32_t& intervalMs)
{
    ILogicControlFunction_V1* function = m_pLogicControlFunction;
    if (!function) return JLIB::kOk;
    (void)function->initialize(&m_logicAdapter, m_uniqID, m_numX, m_numY);  // the base only stores them
    (void)function->getLogicSetting(usesLogic, intervalMs);                 // both stay 0 when it fails
    if (!usesLogic) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(readPorts(inputs, function->getLogicInputPortNum(), [function](LogicPortInfo_V1* r, uint32_t n) {
        return function->getLogicInputPortInfo(r, n);
    }));
    return readPorts(outputs, function->getLogicOutputPortNum(), [function](LogicPortInfo_V1* r, uint32_t n) {
        return function->getLogicOutputPortInfo(r, n);
    });
}

JLIB::JResult AudioComponent::failInitialize()
{
    (void)finalize();  // refused while the network does not hold the logic part: the destructor releases
    return JLIB::kFailed;
}

JLIB::JResult AudioComponent::finalize()
{
    if (m_inDSPUse) return JLIB::kFailed;
    JLIB_RETURN_IF_FAILED(LogicCtrl::LogicComponentCollection::singleton().removeComponent(&m_logicPart));
    releaseAll();
    return JLIB::kOk;
}

void AudioComponent::releaseAll()
{
    m_uniqID = kNoUniqID;
    m_numX = 0;
    m_numY = 0;
    (void)m_logicPart.finalize();  // always 0
    m_logicPart.forgetFunction();
    (void)m_logicAdapter.finalize();
    (void)deleteFunctionInstance(m_pParamInfoFunction);  // always 0
    (void)deleteFunctionInstance(m_pCalcCoefFunction);
    (void)deleteFunctionInstance(m_pAudioProcessFunction);
    (void)deleteFunctionInstance(m_pLogicControlFunction);
    m_pManagerAccessor = nullptr;
    (void)m_coefTable.finalize();  // always 0
    (void)m_meterPool.finalize();
    m_coefInterval = kNoInterval;
    m_pPlayerStrategy = nullptr;
}

uint32_t AudioComponent::audioInputNum() const
{
    return m_pParamInfoFunction ? m_pParamInfoFunction->calcNumInPort(m_uniqID, m_numX, m_numY) : 0;
}

uint32_t AudioComponent::audioOutputNum() const
{
    return m_pParamInfoFunction ? m_pParamInfoFunction->calcNumOutPort(m_uniqID, m_numX, m_numY) : 0;
}

std::string AudioComponent::getFixedInPortName(uint32_t port) const
{
    char buffer[kPortNameSize] = {};
    if (!m_pParamInfoFunction) return std::string();
    (void)m_pParamInfoFunction->calcFixedInPortName(m_uniqID, m_numX, m_numY, port, buffer, kPortNameSize);
    buffer[kPortNameSize - 1] = '\0';  // a library that fills the whole buffer still ends the text
    return std::string(buffer);
}

std::string AudioComponent::getFixedOutPortName(uint32_t port) const
{
    char buffer[kPortNameSize] = {};
    if (!m_pParamInfoFunction) return std::string();
    (void)m_pParamInfoFunction->calcFixedOutPortName(m_uniqID, m_numX, m_numY, port, buffer, kPortNameSize);
    buffer[kPortNameSize - 1] = '\0';
    return std::string(buffer);
}

uint32_t AudioComponent::getResourceUsage(const char* dspName, uint32_t fsHz, uint32_t numSamplePerFrame,
                                          const char* resourceName) const
{
    if (!m_pParamInfoFunction) return 0;
    return m_pParamInfoFunction->calcResourceUsage(m_uniqID, m_numX, m_numY, dspName, fsHz, numSamplePerFrame,
                                                   resourceName);
}

JLIB::JResult AudioComponent::beginUseByDSPThread(IPlayerCommunicationStrategy* strategy)
{
    if (m_inDSPUse) return JLIB::kOk;

    AudioConfig config;
    (void)AudioConfigDB::singleton().getAudioConfig(config);  // without a store the rate and frame stay 0
    const uint32_t fsHz = config.dspSystem.fsHz;
    const uint32_t numSamplePerFrame = config.dspSystem.numSamplePerFrame;

    m_pPlayerStrategy = strategy;
    m_pManagerAccessor = createManagerAccessor(
        m_uniqID, m_numX, m_numY, &m_coefTable, &m_meterPool.rawMeterArrayAccessor(),
        &m_meterPool.normalMeterArrayAccessor(), &m_meterPool.holdMeterArrayAccessor());
    if (!m_pManagerAccessor) {
        (void)finalize();  // out of memory: the component gives up what it holds
        return JLIB::kFailed;
    }
    m_logicAdapter.setManagerAccessor(m_pManagerAccessor);

    if (m_pCalcCoefFunction) {
        (void)m_pCalcCoefFunction->initialize(m_pManagerAccessor, m_uniqID, m_numX, m_numY, kDSPType, kSampleType,
                                              numSamplePerFrame, fsHz);  // its own failure shows in its answers
        m_coefInterval = m_pCalcCoefFunction->getCalcInterval();
        (void)m_pCalcCoefFunction->changeFsHz(fsHz);
        (void)m_pCalcCoefFunction->onStartUse();
    }

    m_inDSPUse = true;
    JLIB_LOG("[i] AudioComponent::beginUseByDSPThread - AudioComponent[uid:%d].\n", printable(m_uniqID));
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::endUseByDSPThread()
{
    if (!m_inDSPUse) return JLIB::kOk;
    m_inDSPUse = false;
    m_logicAdapter.setManagerAccessor(nullptr);
    (void)destroyManagerAccessor(m_pManagerAccessor);  // always 0; clears the pointer
    m_pPlayerStrategy = nullptr;
    JLIB_LOG("[i] AudioComponent::endUseByDSPThread - AudioComponent[uid:%d].\n", printable(m_uniqID));
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::timerRun(uint32_t nowMs)
{
    if (!m_inDSPUse) return JLIB::kFailed;
    if (m_coefInterval == kNoInterval) return JLIB::kOk;
    if (!m_firstCalcDone) {
        m_firstCalcDone = true;
        (void)m_pCalcCoefFunction->onTimer(nowMs, true);  // an interval exists only with the function
        m_lastCalcTime = nowMs;
    } else if (diffTimeMs(nowMs, m_lastCalcTime) >= m_coefInterval) {
        (void)m_pCalcCoefFunction->onTimer(nowMs, false);
        m_lastCalcTime = nowMs;
    }
    return sendChangedCoefs();
}

JLIB::JResult AudioComponent::sendChangedCoefs()
{
    if (!m_pPlayerStrategy || !m_coefTable.hasDirty()) return JLIB::kOk;
    (void)m_pPlayerStrategy->sendStart(kSendChanged);  // the players' answers are not acted upon
    for (uint32_t id = 0; JLIB::isSuccess(m_coefTable.checkNextDirty(id)); ++id) {
        void* data = nullptr;
        uint32_t size = 0;
        (void)m_coefTable.getArrayPointer(data, size, id);  // an array without memory goes out empty
        (void)m_pPlayerStrategy->sendCoef(m_uniqID, id, 0, data, size);
    }
    (void)m_pPlayerStrategy->sendEnd();
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::sendAllCoefs()
{
    if (!m_pPlayerStrategy) return JLIB::kOk;
    (void)m_pPlayerStrategy->sendStart(kSendAll);
    const uint32_t count = m_coefTable.arrayIDNum();
    for (uint32_t id = 0; id < count; ++id) {
        void* data = nullptr;
        uint32_t size = 0;
        (void)m_coefTable.getArrayPointer(data, size, id);
        (void)m_pPlayerStrategy->sendCoef(m_uniqID, id, 0, data, size);
    }
    (void)m_pPlayerStrategy->sendEnd();
    return JLIB::kOk;
}

JLIB::JResult AudioComponent::sendAddComponentCommand()
{
    if (!m_pPlayerStrategy) return JLIB::kOk;
    (void)m_pPlayerStrategy->sendAddComponentCommand(m_name.c_str(), m_majorVersion, m_uniqID, m_numX, m_numY);
    return JLIB::kOk;
}

uint32_t AudioComponent::onParamChange(uint32_t ai, uint32_t x, uint32_t y)
{
    if (!m_pCalcCoefFunction) return JLIB::kOk;
    (void)refrectParamChangeToManagerAccessor(m_pManagerAccessor, ai, x, y);  // always 0
    return m_pCalcCoefFunction->onParamChange(ai, x, y);
}

}  // namespace DRAVO
