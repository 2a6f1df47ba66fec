// A stand-in component library of type STANDIN_TYPE_NAME, major version 1: a gain stage of numX
// channels. "/Gain" (0 to 1 per channel) drives "/GainPercent" through the link hook; the limits
// hook holds every channel after the first to half gain and the default hook names each channel
// in "/Label", so each hook shows in the database. numX audio inputs and outputs, one coefficient
// array of four floats per channel, level and gain-reduction meters, one normalised logic input
// copied to one normalised logic output. The compile definitions break one thing each:
//   STANDIN_WITHOUT_CALC_COEF_FACTORY         no "createCalcCoefFunction"
//   STANDIN_WITHOUT_LOGIC_CONTROL_FACTORY     no "createLogicControlFunction"
//   STANDIN_PARAM_INFO_FACTORY_MAKES_NOTHING  "createParamInfoFunction" answers null
//   STANDIN_COEF_TABLE_QUERY_FAILS            the coefficient object's table query fails
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "dravo/common/dravo_AudioProcessFunctionBase.h"
#include "dravo/common/dravo_CalcCoefFunctionBase.h"
#include "dravo/common/dravo_IComponentDescription.h"
#include "dravo/common/dravo_IDataBaseAccessor_V1.h"
#include "dravo/common/dravo_LogicControlFunctionBase.h"
#include "dravo/common/dravo_LogicPortInfo_V1.h"
#include "dravo/common/dravo_ParamInfoFunctionBase.h"
#include "dravo/common/dravo_VariantType.h"
#include "parray/ArrayInfo.h"

#ifndef STANDIN_TYPE_NAME
#define STANDIN_TYPE_NAME "StandIn"
#endif

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kMaxChannels = 8;

// Address indexes: the order of the parameters in the definition below.
constexpr uint32_t kGain = 0;
constexpr uint32_t kGainPercent = 1;
constexpr uint32_t kLabel = 2;

const char kDefinitionJSON[] = R"({"component": {"name": ")" STANDIN_TYPE_NAME R"(", "majorVer": 1,
  "minX": 1, "minY": 1, "maxX": 8, "maxY": 1, "commentX": "Channel", "commentY": "",
  "parameters": [
    {"strAddress": "/Gain", "type": "FLOAT", "patternX": "*1", "patternY": "1",
     "min": "0", "max": "1", "def": "0.5", "step": "0.01", "scaling": 1},
    {"strAddress": "/GainPercent", "type": "UINT32", "patternX": "*1", "patternY": "1",
     "min": "0", "max": "100", "def": "50", "step": "1", "scaling": 1, "unit": "%"},
    {"strAddress": "/Label", "type": "STRING", "patternX": "*1", "patternY": "1", "max": "8", "def": ""}
  ]}})";

// Size word of a count per channel (scale code 1: the count times numX).
constexpr uint32_t perChannel(uint32_t count) { return 1u << 28 | count; }

constexpr uint32_t kCoefsPerChannel = 4;
const PARRAY::ArrayInfo kCoefTable[] = {{PARRAY::kTypeFLOAT, perChannel(kCoefsPerChannel), 0, 0, "coef"}};
const PARRAY::ArrayInfo kMeterTable[] = {{PARRAY::kTypeFLOAT, perChannel(1), 0, 0, "level"},
                                         {PARRAY::kTypeFLOAT, perChannel(1), 0, 0, "gr"}};

// Function objects alive in this library, so a test sees what the engine leaves behind.
uint32_t g_liveObjects = 0;

struct Counted {
    Counted() { ++g_liveObjects; }
    ~Counted() { --g_liveObjects; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

uint32_t writeName(char* buffer, uint32_t size, const char* prefix, uint32_t port, uint32_t numX)
{
    if (!buffer || size == 0 || port >= numX) return kFailed;
    const int written = std::snprintf(buffer, size, "%s %u", prefix, port + 1);
    return written >= 0 && uint32_t(written) < size ? kOk : kFailed;
}

class Description final : public DRAVO::IComponentDescription {
public:
    uint32_t getRequiredSystemVersion() const override { return 1; }
    const char* getComponentName() const override { return STANDIN_TYPE_NAME; }
    uint32_t getComponentMajorVersion() const override { return 1; }
    uint32_t getComponentMinorVersion() const override { return 0; }
    uint32_t getComponentRevision() const override { return 0; }
    uint32_t getMinX() const override { return 1; }
    uint32_t getMinY() const override { return 1; }
    uint32_t getMaxX() const override { return kMaxChannels; }
    uint32_t getMaxY() const override { return 1; }
    bool isNumXYValid(uint32_t numX, uint32_t numY) const override
    {
        return numX >= 1 && numX <= kMaxChannels && numY == 1;
    }
    uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        table = kCoefTable;
        count = 1;
        return kOk;
    }
    uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        table = kMeterTable;
        count = 2;
        return kOk;
    }
    uint32_t calcNumInPort(uint32_t, uint32_t numX, uint32_t) const override { return numX; }
    uint32_t calcNumOutPort(uint32_t, uint32_t numX, uint32_t) const override { return numX; }
    uint32_t calcNumInPortForAudioProcess(uint32_t, uint32_t numX, uint32_t) const override { return numX; }
    uint32_t calcNumOutPortForAudioProcess(uint32_t, uint32_t numX, uint32_t) const override { return numX; }
    uint32_t calcFixedInPortName(uint32_t, uint32_t numX, uint32_t, uint32_t port, char* buffer,
                                 uint32_t size) const override
    {
        return writeName(buffer, size, "In", port, numX);
    }
    uint32_t calcFixedOutPortName(uint32_t, uint32_t numX, uint32_t, uint32_t port, char* buffer,
                                  uint32_t size) const override
    {
        return writeName(buffer, size, "Out", port, numX);
    }
    uint32_t calcResourceUsage(uint32_t, uint32_t numX, uint32_t, const char*, uint32_t, uint32_t,
                               const char* resourceName) const override
    {
        if (!resourceName) return 0;
        if (std::strcmp(resourceName, "step") == 0) return 100 * numX;
        if (std::strcmp(resourceName, "fixedDelay") == 0) return 8;
        return 0;
    }
};

const Description g_description;

class ParamInfo final : public DRAVO::ParamInfoFunctionBase {
public:
    const DRAVO::IComponentDescription* getComponentDescription() override { return &g_description; }
    const char* getComponentInfoJSON() override { return kDefinitionJSON; }
    bool hasLimitsProc() override { return true; }
    bool hasDefaultValueProc() override { return true; }
    bool hasLinkProc() override { return true; }

    uint32_t limitsProc(const DRAVO::IDataBaseAccessor_V1&, uint32_t ai, uint32_t x, uint32_t,
                        DRAVO::VariantType&, DRAVO::VariantType& max) override
    {
        if (ai == kGain && x > 0) (void)max.setFloat(0.5f);  // always 0
        return kOk;
    }

    uint32_t defaultValueProc(const DRAVO::IDataBaseAccessor_V1&, uint32_t ai, uint32_t x, uint32_t,
                              DRAVO::VariantType& value) override
    {
        if (ai != kLabel) return kOk;
        char text[32];
        (void)std::snprintf(text, sizeof text, "Ch%u-%s", x + 1, STANDIN_TYPE_NAME);
        (void)value.setString(text);  // cut to the element on purpose
        return kOk;
    }

    uint32_t linkProc(const DRAVO::IDataBaseAccessor_V1& accessor, uint32_t ai, uint32_t x, uint32_t y,
                      const DRAVO::VariantType& newValue, const DRAVO::VariantType&) override
    {
        if (ai != kGain) return kOk;
        const auto percent = uint32_t(std::lround(newValue.toFloat() * 100.0f));
        return accessor.setParamUInt32(kGainPercent, x, y, percent);
    }

private:
    Counted m_counted;
};

class CalcCoef final : public DRAVO::CalcCoefFunctionBase {
public:
    const DRAVO::IComponentDescription* getComponentDescription() override { return &g_description; }
#ifdef STANDIN_COEF_TABLE_QUERY_FAILS
    uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) override
    {
        table = nullptr;
        count = 0;
        return kFailed;
    }
#endif
    // Coefficients follow parameter changes only.
    uint32_t getCalcInterval() override { return 0xFFFFFFFFu; }
    uint32_t onInitialize() override { return writeAllCoefs(); }
    uint32_t onChangeFsHz() override { return kOk; }  // a gain does not depend on the rate
    uint32_t onParamChange(uint32_t ai, uint32_t x, uint32_t) override
    {
        return ai == kGain ? writeCoefs(x) : kOk;
    }
    uint32_t onStartUse() override { return writeAllCoefs(); }
    uint32_t onTimer(uint32_t, bool) override { return kOk; }

private:
    uint32_t writeAllCoefs()
    {
        for (uint32_t channel = 0; channel < getNumX(); ++channel) (void)writeCoefs(channel);
        return kOk;
    }
    // A channel's four coefficients: its gain, then three filter taps left at 0.
    uint32_t writeCoefs(uint32_t channel)
    {
        const uint32_t first = channel * kCoefsPerChannel;
        (void)setCoefFloat(0, first, 0, 0, getParamFloat(kGain, channel, 0));  // always 1
        for (uint32_t i = 1; i < kCoefsPerChannel; ++i) (void)setCoefFloat(0, first + i, 0, 0, 0.0f);
        return kOk;
    }

    Counted m_counted;
};

class AudioProcess final : public DRAVO::AudioProcessFunctionBase {
public:
    const DRAVO::IComponentDescription* getComponentDescription() override { return &g_description; }
    uint32_t onInitialize() override { return kOk; }
    uint32_t onChangeFsHz() override { return kOk; }
    uint32_t processSlot1() override { return kOk; }
    uint32_t processSlot2() override { return kOk; }
    uint32_t processSlot3() override { return kOk; }

private:
    Counted m_counted;
};

class LogicControl final : public DRAVO::LogicControlFunctionBase {
public:
    const DRAVO::IComponentDescription* getComponentDescription() override { return &g_description; }
    uint32_t getLogicSetting(bool& usesLogic, uint32_t& interval) override
    {
        usesLogic = true;
        interval = 0;  // triggered passes only
        return kOk;
    }
    uint32_t getLogicInputPortNum() override { return 1; }
    uint32_t getLogicOutputPortNum() override { return 1; }
    uint32_t getLogicInputPortInfo(DRAVO::LogicPortInfo_V1* table, uint32_t count) override
    {
        return describePort(table, count, "In");
    }
    uint32_t getLogicOutputPortInfo(DRAVO::LogicPortInfo_V1* table, uint32_t count) override
    {
        return describePort(table, count, "Out");
    }
    bool isParamForLogic(uint32_t ai, uint32_t, uint32_t) override { return ai == kGain; }
    uint32_t processLogic(uint32_t, uint32_t) override
    {
        uint32_t type = 0;
        DRAVO::VariantType value;
        float normalized = 0.0f;
        uint32_t dirty = 0;
        const uint32_t read = getLogicInValue(0, type, value, normalized, dirty);
        if (read & kFailed) return read;
        return setLogicOutNormValue(0, normalized);
    }

private:
    // One normalised port (logic data kind 1) over 0..1.
    static uint32_t describePort(DRAVO::LogicPortInfo_V1* table, uint32_t count, const char* name)
    {
        if (!table || count < 1) return kFailed;
        (void)table[0].name.setString(name);  // fits the 49-byte name
        table[0].type = 1;
        (void)table[0].min.setFloat(0.0f);  // always 0
        (void)table[0].max.setFloat(1.0f);
        return kOk;
    }

    Counted m_counted;
};

}  // namespace

STANDIN_EXPORT DRAVO::IUnknown* createParamInfoFunction()
{
#ifdef STANDIN_PARAM_INFO_FACTORY_MAKES_NOTHING
    return nullptr;
#else
    return new (std::nothrow) ParamInfo;
#endif
}

#ifndef STANDIN_WITHOUT_CALC_COEF_FACTORY
STANDIN_EXPORT DRAVO::IUnknown* createCalcCoefFunction()
{
    return new (std::nothrow) CalcCoef;
}
#endif

STANDIN_EXPORT DRAVO::IUnknown* createAudioProcessFunction()
{
    return new (std::nothrow) AudioProcess;
}

#ifndef STANDIN_WITHOUT_LOGIC_CONTROL_FACTORY
STANDIN_EXPORT DRAVO::IUnknown* createLogicControlFunction()
{
    return new (std::nothrow) LogicControl;
}
#endif

// Function objects of this library not yet released.
STANDIN_EXPORT uint32_t standInLiveObjectCount()
{
    return g_liveObjects;
}
