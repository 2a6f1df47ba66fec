#pragma once
// Base a component library derives its logic control object from: reference counting, the
// descriptive queries, the component's identity and helpers that forward to the logic component
// accessor handed to initialize. Before initialize the helpers answer neutral values: 0, 0.0,
// false, an invalid value, the gain-reduction byte 254, and 0x80000000 for the operations that
// return a code.
#include <cstdint>

#include "dravo/common/dravo_FunctionBase.h"
#include "dravo/common/dravo_ILogicComponentAccessor_V1.h"
#include "dravo/common/dravo_ILogicControlFunction_V1.h"

namespace DRAVO {

class LogicControlFunctionBase : public FunctionBase<ILogicControlFunction_V1, IID_ILogicControlFunction_V1> {
public:
    LogicControlFunctionBase();
    ~LogicControlFunctionBase() override;

    // Stores the four and answers 0; nothing is checked.
    uint32_t initialize(ILogicComponentAccessor_V1* accessor, uint32_t uniqID, uint32_t numX,
                        uint32_t numY) override;
    uint32_t getUniqID() override { return m_uniqID; }
    uint32_t getNumX() override { return m_numX; }
    uint32_t getNumY() override { return m_numY; }

    ILogicComponentAccessor_V1* logicAccessor() const { return m_pLogicAccessor; }

    [[nodiscard]] uint32_t getLogicInValue(uint32_t port, uint32_t& type, VariantType& value, float& normalized,
                                           uint32_t& dirty) const;
    [[nodiscard]] uint32_t getLogicOutValue(uint32_t port, uint32_t& type, VariantType& value, float& normalized,
                                            uint32_t& dirty) const;
    uint32_t setLogicOutNormValue(uint32_t port, float value) const;
    uint32_t setLogicOutUInt(uint32_t port, uint32_t value) const;
    uint32_t setLogicOutSInt(uint32_t port, int32_t value) const;
    uint32_t setLogicOutFloat(uint32_t port, float value) const;
    uint32_t setLogicOutString(uint32_t port, const char* text) const;
    uint32_t setLogicOutEvent(uint32_t port) const;
    uint32_t triggerLogic() const;

    uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const;
    int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const;
    float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const;
    bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const;
    [[nodiscard]] uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer, uint32_t size) const;
    [[nodiscard]] uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer, uint32_t size) const;
    uint32_t getParamNumX(uint32_t ai) const;
    uint32_t getParamNumY(uint32_t ai) const;
    [[nodiscard]] uint32_t getParamMin(uint32_t ai, VariantType& value) const;
    [[nodiscard]] uint32_t getParamMax(uint32_t ai, VariantType& value) const;
    [[nodiscard]] uint32_t getParamDefault(uint32_t ai, VariantType& value) const;
    [[nodiscard]] uint32_t getParamNominal(uint32_t ai, VariantType& value) const;
    [[nodiscard]] uint32_t getParamStep(uint32_t ai, VariantType& value) const;

    [[nodiscard]] uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const;
    [[nodiscard]] uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const;
    [[nodiscard]] uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const;
    [[nodiscard]] uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const;
    [[nodiscard]] uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const;
    [[nodiscard]] uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length) const;

    // n: meter array number; x, y, z: the element.
    uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;
    uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;
    uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;

private:
    ILogicComponentAccessor_V1* m_pLogicAccessor = nullptr;  // not owned: the engine's, outlives the use
    uint32_t m_uniqID = 0;
    uint32_t m_numX = 0;
    uint32_t m_numY = 0;
};

}  // namespace DRAVO
