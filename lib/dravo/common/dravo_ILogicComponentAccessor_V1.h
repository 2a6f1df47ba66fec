#pragma once
// What a component library's logic control object is handed to reach its component's logic
// ports, parameters and meters. Implemented by the engine; called on the thread that runs the
// logic network. The virtual slot order is a contract with the libraries.
// port: logic port number; ai: address index; x, y, z: element indexes; n: meter array number.
#include <cstdint>

#include "dravo/common/dravo_VariantType.h"

namespace DRAVO {

class ILogicComponentAccessor_V1 {
public:
    virtual ~ILogicComponentAccessor_V1() {}

    // type: the port's logic data kind (0 none, 1 normalised, 2 unsigned, 3 signed, 4 float,
    // 5 and 6 further unsigned kinds, 7 text, 8 event); dirty 1 or 0. 0, or 0x80000000 with
    // type 0, value invalid, normalised 0 and dirty 0.
    [[nodiscard]] virtual uint32_t getLogicInValue(uint32_t port, uint32_t& type, VariantType& value,
                                                   float& normalized, uint32_t& dirty) const = 0;
    [[nodiscard]] virtual uint32_t getLogicOutValue(uint32_t port, uint32_t& type, VariantType& value,
                                                    float& normalized, uint32_t& dirty) const = 0;
    virtual uint32_t setLogicOutNormValue(uint32_t port, float value) const = 0;
    virtual uint32_t setLogicOutUInt(uint32_t port, uint32_t value) const = 0;
    virtual uint32_t setLogicOutSInt(uint32_t port, int32_t value) const = 0;
    virtual uint32_t setLogicOutFloat(uint32_t port, float value) const = 0;
    virtual uint32_t setLogicOutString(uint32_t port, const char* text) const = 0;
    virtual uint32_t setLogicOutEvent(uint32_t port) const = 0;
    virtual uint32_t triggerLogic() const = 0;

    virtual uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    [[nodiscard]] virtual uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                                  uint32_t size) const = 0;
    [[nodiscard]] virtual uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                                  uint32_t size) const = 0;
    virtual uint32_t getParamNumX(uint32_t ai) const = 0;
    virtual uint32_t getParamNumY(uint32_t ai) const = 0;
    [[nodiscard]] virtual uint32_t getParamMin(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamMax(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamDefault(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamNominal(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamStep(uint32_t ai, VariantType& value) const = 0;
    // Meter bytes; without a meter store 0, 0 and 254 (the cleared gain reduction).
    virtual uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    [[nodiscard]] virtual uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const = 0;
    [[nodiscard]] virtual uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const = 0;
    [[nodiscard]] virtual uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                                  uint32_t length) const = 0;
};

}  // namespace DRAVO
