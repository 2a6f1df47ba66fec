#pragma once
// Fakes for the component library contract: a description whose answers encode the arguments,
// one object per function base with the library's part filled in, and accessors that record
// every call, so a test sees what was forwarded where.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "dravo/common/dravo_AudioProcessFunctionBase.h"
#include "dravo/common/dravo_CalcCoefFunctionBase.h"
#include "dravo/common/dravo_IComponentDescription.h"
#include "dravo/common/dravo_IDataBaseAccessor_V1.h"
#include "dravo/common/dravo_ILogicComponentAccessor_V1.h"
#include "dravo/common/dravo_IManagerAccessor_V1.h"
#include "dravo/common/dravo_LogicControlFunctionBase.h"
#include "dravo/common/dravo_ParamInfoFunctionBase.h"
#include "dravo/common/dravo_VariantType.h"
#include "parray/ArrayInfo.h"

namespace dravotest {

// Sizes 1..4 by 1..2 are valid; the numeric answers encode their arguments.
class FakeDescription : public DRAVO::IComponentDescription {
public:
    const char* name = "Fake";
    uint32_t tableResult = 0;
    PARRAY::ArrayInfo coefTable[1] = {{PARRAY::kTypeFLOAT, 4, 0, 0, "coef"}};
    PARRAY::ArrayInfo meterTable[2] = {{PARRAY::kTypeFLOAT, 1, 0, 0, "level"}, {PARRAY::kTypeFLOAT, 1, 0, 0, "gr"}};
    mutable std::string lastResourceQuery;

    uint32_t getRequiredSystemVersion() const override { return 7; }
    const char* getComponentName() const override { return name; }
    uint32_t getComponentMajorVersion() const override { return 3; }
    uint32_t getComponentMinorVersion() const override { return 4; }
    uint32_t getComponentRevision() const override { return 5; }
    uint32_t getMinX() const override { return 1; }
    uint32_t getMinY() const override { return 1; }
    uint32_t getMaxX() const override { return 4; }
    uint32_t getMaxY() const override { return 2; }
    bool isNumXYValid(uint32_t numX, uint32_t numY) const override
    {
        return numX >= 1 && numX <= 4 && numY >= 1 && numY <= 2;
    }
    uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        table = coefTable;
        count = 1;
        return tableResult;
    }
    uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        table = meterTable;
        count = 2;
        return tableResult;
    }
    uint32_t calcNumInPort(uint32_t u, uint32_t x, uint32_t y) const override { return 1000 + encode(u, x, y); }
    uint32_t calcNumOutPort(uint32_t u, uint32_t x, uint32_t y) const override { return 2000 + encode(u, x, y); }
    uint32_t calcNumInPortForAudioProcess(uint32_t u, uint32_t x, uint32_t y) const override
    {
        return 3000 + encode(u, x, y);
    }
    uint32_t calcNumOutPortForAudioProcess(uint32_t u, uint32_t x, uint32_t y) const override
    {
        return 4000 + encode(u, x, y);
    }
    uint32_t calcFixedInPortName(uint32_t u, uint32_t x, uint32_t y, uint32_t port, char* buffer,
                                 uint32_t size) const override
    {
        return writeName(buffer, size, "in", u, x, y, port);
    }
    uint32_t calcFixedOutPortName(uint32_t u, uint32_t x, uint32_t y, uint32_t port, char* buffer,
                                  uint32_t size) const override
    {
        return writeName(buffer, size, "out", u, x, y, port);
    }
    uint32_t calcResourceUsage(uint32_t u, uint32_t x, uint32_t y, const char* dsp, uint32_t fs, uint32_t frame,
                               const char* resource) const override
    {
        lastResourceQuery = std::string(dsp) + " " + std::to_string(fs) + " " + std::to_string(frame) + " " + resource;
        return 5000 + encode(u, x, y);
    }

private:
    static uint32_t encode(uint32_t u, uint32_t x, uint32_t y) { return u * 100 + x * 10 + y; }
    // "<prefix> u x y port", cut to the buffer; answers the buffer size.
    static uint32_t writeName(char* buffer, uint32_t size, const char* prefix, uint32_t u, uint32_t x, uint32_t y,
                              uint32_t port)
    {
        const std::string text = std::string(prefix) + " " + std::to_string(u) + " " + std::to_string(x) + " " +
                                 std::to_string(y) + " " + std::to_string(port);
        if (size == 0) return 0;
        const size_t n = text.size() < size ? text.size() : size - 1;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return size;
    }
};

// Sets a flag when the object is destroyed, so a test sees the last release.
struct DestroyFlag {
    bool* flag = nullptr;
    ~DestroyFlag()
    {
        if (flag) *flag = true;
    }
};

class FakeParamInfo : public DRAVO::ParamInfoFunctionBase {
public:
    using LimitsHook = std::function<uint32_t(const DRAVO::IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t,
                                              DRAVO::VariantType&, DRAVO::VariantType&)>;
    using DefaultHook = std::function<uint32_t(const DRAVO::IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t,
                                               DRAVO::VariantType&)>;
    using LinkHook = std::function<uint32_t(const DRAVO::IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t,
                                            const DRAVO::VariantType&, const DRAVO::VariantType&)>;

    explicit FakeParamInfo(const DRAVO::IComponentDescription* description = nullptr, bool* destroyed = nullptr)
        : m_description(description)
    {
        m_destroyed.flag = destroyed;
    }

    bool limits = false;
    bool defaults = false;
    bool links = false;
    LimitsHook onLimits;
    DefaultHook onDefault;
    LinkHook onLink;
    const char* json = "";

    const DRAVO::IComponentDescription* getComponentDescription() override { return m_description; }
    const char* getComponentInfoJSON() override { return json; }
    bool hasLimitsProc() override { return limits; }
    bool hasDefaultValueProc() override { return defaults; }
    bool hasLinkProc() override { return links; }
    uint32_t limitsProc(const DRAVO::IDataBaseAccessor_V1& a, uint32_t ai, uint32_t x, uint32_t y,
                        DRAVO::VariantType& min, DRAVO::VariantType& max) override
    {
        return onLimits ? onLimits(a, ai, x, y, min, max) : 0;
    }
    uint32_t defaultValueProc(const DRAVO::IDataBaseAccessor_V1& a, uint32_t ai, uint32_t x, uint32_t y,
                              DRAVO::VariantType& value) override
    {
        return onDefault ? onDefault(a, ai, x, y, value) : 0;
    }
    uint32_t linkProc(const DRAVO::IDataBaseAccessor_V1& a, uint32_t ai, uint32_t x, uint32_t y,
                      const DRAVO::VariantType& newValue, const DRAVO::VariantType& oldValue) override
    {
        return onLink ? onLink(a, ai, x, y, newValue, oldValue) : 0;
    }

private:
    const DRAVO::IComponentDescription* m_description;
    DestroyFlag m_destroyed;
};

// Counts the library's hooks and answers them with the results set.
class FakeCalcCoef : public DRAVO::CalcCoefFunctionBase {
public:
    explicit FakeCalcCoef(const DRAVO::IComponentDescription* description = nullptr, bool* destroyed = nullptr)
        : m_description(description)
    {
        m_destroyed.flag = destroyed;
    }

    uint32_t initializeResult = 0;
    uint32_t changeFsHzResult = 0;
    int onInitializeCalls = 0;
    int onChangeFsHzCalls = 0;

    const DRAVO::IComponentDescription* getComponentDescription() override { return m_description; }
    uint32_t getCalcInterval() override { return 0xFFFFFFFFu; }
    uint32_t onInitialize() override
    {
        ++onInitializeCalls;
        return initializeResult;
    }
    uint32_t onChangeFsHz() override
    {
        ++onChangeFsHzCalls;
        return changeFsHzResult;
    }
    uint32_t onParamChange(uint32_t, uint32_t, uint32_t) override { return 0; }
    uint32_t onStartUse() override { return 0; }
    uint32_t onTimer(uint32_t, bool) override { return 0; }

private:
    const DRAVO::IComponentDescription* m_description;
    DestroyFlag m_destroyed;
};

class FakeAudioProcess : public DRAVO::AudioProcessFunctionBase {
public:
    explicit FakeAudioProcess(const DRAVO::IComponentDescription* description = nullptr, bool* destroyed = nullptr)
        : m_description(description)
    {
        m_destroyed.flag = destroyed;
    }

    uint32_t initializeResult = 0;
    uint32_t changeFsHzResult = 0;
    int onInitializeCalls = 0;
    int onChangeFsHzCalls = 0;

    const DRAVO::IComponentDescription* getComponentDescription() override { return m_description; }
    uint32_t onInitialize() override
    {
        ++onInitializeCalls;
        return initializeResult;
    }
    uint32_t onChangeFsHz() override
    {
        ++onChangeFsHzCalls;
        return changeFsHzResult;
    }
    uint32_t processSlot1() override { return 0; }
    uint32_t processSlot2() override { return 0; }
    uint32_t processSlot3() override { return 0; }

private:
    const DRAVO::IComponentDescription* m_description;
    DestroyFlag m_destroyed;
};

class FakeLogicControl : public DRAVO::LogicControlFunctionBase {
public:
    explicit FakeLogicControl(const DRAVO::IComponentDescription* description = nullptr, bool* destroyed = nullptr)
        : m_description(description)
    {
        m_destroyed.flag = destroyed;
    }

    const DRAVO::IComponentDescription* getComponentDescription() override { return m_description; }
    uint32_t getLogicSetting(bool& usesLogic, uint32_t& interval) override
    {
        usesLogic = false;
        interval = 0;
        return 0;
    }
    uint32_t getLogicInputPortNum() override { return 0; }
    uint32_t getLogicOutputPortNum() override { return 0; }
    uint32_t getLogicInputPortInfo(DRAVO::LogicPortInfo_V1*, uint32_t) override { return 0; }
    uint32_t getLogicOutputPortInfo(DRAVO::LogicPortInfo_V1*, uint32_t) override { return 0; }
    bool isParamForLogic(uint32_t, uint32_t, uint32_t) override { return false; }
    uint32_t processLogic(uint32_t, uint32_t) override { return 0; }

private:
    const DRAVO::IComponentDescription* m_description;
    DestroyFlag m_destroyed;
};

// Records each call as "name arguments" and answers with a value that encodes the arguments.
class RecordingCalls {
public:
    mutable std::string last;

protected:
    uint32_t record(const char* name, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0) const
    {
        last = std::string(name) + " " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " +
               std::to_string(d);
        return 0x100 + a * 1000 + b * 100 + c * 10 + d;
    }
    uint32_t recordLimit(const char* name, uint32_t ai, DRAVO::VariantType& value) const
    {
        (void)value.setUInt32(ai + 40);  // always 0
        return record(name, ai);
    }
    uint32_t logicValue(const char* name, uint32_t port, uint32_t& type, DRAVO::VariantType& value, float& normalized,
                        uint32_t& dirty) const
    {
        type = 4;
        (void)value.setFloat(2.5f);  // always 0
        normalized = 0.25f;
        dirty = 1;
        return record(name, port);
    }
};

// Both accessors at once: an operation the two share is one override serving both.
class RecordingAccessor : public DRAVO::IManagerAccessor_V1,
                          public DRAVO::ILogicComponentAccessor_V1,
                          public RecordingCalls {
public:
    uint32_t getLogicInValue(uint32_t port, uint32_t& type, DRAVO::VariantType& value, float& normalized,
                             uint32_t& dirty) const override
    {
        return logicValue("getLogicInValue", port, type, value, normalized, dirty);
    }
    uint32_t getLogicOutValue(uint32_t port, uint32_t& type, DRAVO::VariantType& value, float& normalized,
                              uint32_t& dirty) const override
    {
        return logicValue("getLogicOutValue", port, type, value, normalized, dirty);
    }
    uint32_t setLogicOutNormValue(uint32_t port, float v) const override
    {
        return record("setLogicOutNormValue", port, uint32_t(v * 10));
    }
    uint32_t setLogicOutUInt(uint32_t port, uint32_t v) const override { return record("setLogicOutUInt", port, v); }
    uint32_t setLogicOutSInt(uint32_t port, int32_t v) const override
    {
        return record("setLogicOutSInt", port, uint32_t(-v));
    }
    uint32_t setLogicOutFloat(uint32_t port, float v) const override
    {
        return record("setLogicOutFloat", port, uint32_t(v * 10));
    }
    uint32_t setLogicOutString(uint32_t port, const char* text) const override
    {
        return record("setLogicOutString", port, uint32_t(std::string(text).size()));
    }
    uint32_t setLogicOutEvent(uint32_t port) const override { return record("setLogicOutEvent", port); }
    uint32_t triggerLogic() const override { return record("triggerLogic"); }

    uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const override { return record("getParamUInt32", ai, x, y); }
    int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const override
    {
        return -int32_t(record("getParamSInt32", ai, x, y));
    }
    float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const override
    {
        return float(record("getParamFloat", ai, x, y)) / 2;
    }
    bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const override
    {
        return record("getParamBool", ai, x, y) != 0;
    }
    uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char*, uint32_t size) const override
    {
        return record("getParamString", ai, x, y, size);
    }
    uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t*, uint32_t size) const override
    {
        return record("getParamBinary", ai, x, y, size);
    }
    uint32_t getParamNumX(uint32_t ai) const override { return record("getParamNumX", ai); }
    uint32_t getParamNumY(uint32_t ai) const override { return record("getParamNumY", ai); }
    uint32_t getParamMin(uint32_t ai, DRAVO::VariantType& v) const override { return recordLimit("getParamMin", ai, v); }
    uint32_t getParamMax(uint32_t ai, DRAVO::VariantType& v) const override { return recordLimit("getParamMax", ai, v); }
    uint32_t getParamDefault(uint32_t ai, DRAVO::VariantType& v) const override
    {
        return recordLimit("getParamDefault", ai, v);
    }
    uint32_t getParamNominal(uint32_t ai, DRAVO::VariantType& v) const override
    {
        return recordLimit("getParamNominal", ai, v);
    }
    uint32_t getParamStep(uint32_t ai, DRAVO::VariantType& v) const override { return recordLimit("getParamStep", ai, v); }
    uint32_t setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t v) const override
    {
        return record("setCoefUInt32", n, x, y, z + v);
    }
    uint32_t setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t v) const override
    {
        return record("setCoefSInt32", n, x, y, z + uint32_t(v));
    }
    uint32_t setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float v) const override
    {
        return record("setCoefFloat", n, x, y, z + uint32_t(v));
    }
    uint32_t setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double v) const override
    {
        return record("setCoefDouble", n, x, y, z + uint32_t(v));
    }
    uint32_t getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return record("getMeterUInt32", n, x, y, z);
    }
    int32_t getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return -int32_t(record("getMeterSInt32", n, x, y, z));
    }
    float getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return float(record("getMeterFloat", n, x, y, z)) / 2;
    }
    uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return uint8_t(record("getLevelMeter", n, x, y, z));
    }
    uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return uint8_t(record("getHoldLevelMeter", n, x, y, z));
    }
    uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override
    {
        return uint8_t(record("getGRMeter", n, x, y, z));
    }
    uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t v) const override
    {
        return record("setParamUInt32", ai, x, y, v);
    }
    uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t v) const override
    {
        return record("setParamSInt32", ai, x, y, uint32_t(v));
    }
    uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float v) const override
    {
        return record("setParamFloat", ai, x, y, uint32_t(v));
    }
    uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t v) const override
    {
        return record("setParamBool", ai, x, y, v);
    }
    uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const override
    {
        return record("setParamString", ai, x, y, uint32_t(std::string(text).size()));
    }
    uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t*, uint32_t length) const override
    {
        return record("setParamBinary", ai, x, y, length);
    }
};

}  // namespace dravotest
