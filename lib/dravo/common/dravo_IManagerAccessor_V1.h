#pragma once
// What a component library is handed to reach its own component instance: parameter reads and
// limits, parameter writes, coefficient writes and meter reads. The virtual slot order is a
// contract with the libraries: append nothing, reorder nothing.
// ai: the parameter's address index in the component definition; x, y: the element.
// n: array number of a coefficient or meter table; x, y, z: the element's indexes in that array.
#include <cstdint>

#include "dravo/common/dravo_VariantType.h"

namespace DRAVO {

class IManagerAccessor_V1 {
public:
    virtual ~IManagerAccessor_V1() {}

    // Reads of the component's values as the library last saw them; a failed read gives 0 or false.
    virtual uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    // Zero-fills size bytes, then copies a text element cut to size - 1 characters; 0 also when
    // the element is not a text. 0x80000000 for no buffer.
    [[nodiscard]] virtual uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                                  uint32_t size) const = 0;
    // Copies a byte-string element of at most size bytes to the start of the buffer, else leaves
    // the buffer alone; 0 in both cases. 0x80000000 for no buffer.
    [[nodiscard]] virtual uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                                  uint32_t size) const = 0;
    virtual uint32_t getParamNumX(uint32_t ai) const = 0;
    virtual uint32_t getParamNumY(uint32_t ai) const = 0;
    // The definition's limits; a text or byte-string limit needs a value constructed with the
    // buffer size its parameter asks for. 0, or 0x80000000 with the value invalid.
    [[nodiscard]] virtual uint32_t getParamMin(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamMax(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamDefault(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamNominal(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamStep(uint32_t ai, VariantType& value) const = 0;

    // Coefficient writes mark their array changed. Always 1, also when nothing could be written.
    virtual uint32_t setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t value) const = 0;
    virtual uint32_t setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t value) const = 0;
    virtual uint32_t setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float value) const = 0;
    virtual uint32_t setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double value) const = 0;

    // Raw meter values as the players report them; 0 where there is no element.
    virtual uint32_t getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual int32_t getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual float getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    // Meter bytes (0 no signal, byte - 126 the level in dB, 127 over). Without a table the level
    // readers give 0 and the gain-reduction reader 254, its cleared value.
    virtual uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;
    virtual uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const = 0;

    // Writes to the live component, seen by every subscriber; the library's own reads show them
    // only once the engine has passed the change back. 0 (a clamped value included) or 0x80000000.
    [[nodiscard]] virtual uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const = 0;
    // Any non-zero value writes true.
    [[nodiscard]] virtual uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const = 0;
    [[nodiscard]] virtual uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                                  uint32_t length) const = 0;
};

}  // namespace DRAVO
