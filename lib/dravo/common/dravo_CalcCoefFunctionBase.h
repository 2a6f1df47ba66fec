#pragma once
// Base a component library derives its coefficient calculation object from: reference counting,
// the descriptive queries, the set-up and helpers that forward to the manager accessor handed to
// initialize. Before initialize the helpers answer neutral values: 0, 0.0, false, an invalid
// limit, and 0x80000000 for the operations that return a code.
#include <cstdint>

#include "dravo/common/dravo_ICalcCoefFunction_V1.h"
#include "dravo/common/dravo_IManagerAccessor_V1.h"
#include "dravo/common/dravo_SetupFunctionBase.h"

namespace DRAVO {

class CalcCoefFunctionBase
    : public SetupFunctionBase<ICalcCoefFunction_V1, IID_ICalcCoefFunction_V1, IManagerAccessor_V1> {
public:
    CalcCoefFunctionBase();
    ~CalcCoefFunctionBase() override;

    IManagerAccessor_V1* managerAccessor() const { return m_pAccessor; }
    const ComponentSetup& componentSetup() const { return m_setup; }

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

    // n: coefficient array number; x, y, z: the element.
    uint32_t setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t value) const;
    uint32_t setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t value) const;
    uint32_t setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float value) const;
    uint32_t setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double value) const;

    // n: meter array number.
    uint32_t getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;
    int32_t getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;
    float getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const;

    [[nodiscard]] uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const;
    [[nodiscard]] uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const;
    [[nodiscard]] uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const;
    [[nodiscard]] uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const;
    [[nodiscard]] uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const;
    [[nodiscard]] uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length) const;
};

}  // namespace DRAVO
