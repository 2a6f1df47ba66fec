#pragma once
// What a component library is handed while the parameter database consults it about its own
// component (limits, defaults, links): reads and writes of that component's parameters. Lives
// for one call only, on the thread that holds the database's lock. The virtual slot order is a
// contract with the libraries.
// ai: the parameter's address index in the component definition; x, y: the element.
#include <cstdint>

#include "dravo/common/dravo_VariantType.h"

namespace DRAVO {

class IDataBaseAccessor_V1 {
public:
    virtual ~IDataBaseAccessor_V1() {}

    // A failed read gives 0 or false.
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
    // Writes carry the tag byte 255. 0 (a clamped value included) or 0x80000000.
    [[nodiscard]] virtual uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const = 0;
    // Any non-zero value writes true.
    [[nodiscard]] virtual uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const = 0;
    [[nodiscard]] virtual uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const = 0;
    [[nodiscard]] virtual uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                                  uint32_t length) const = 0;
    virtual uint32_t getParamNumX(uint32_t ai) const = 0;
    virtual uint32_t getParamNumY(uint32_t ai) const = 0;
    // The definition's limits; a text or byte-string limit needs a value constructed with the
    // buffer size its parameter asks for. 0, or 0x80000000 with the value invalid.
    [[nodiscard]] virtual uint32_t getParamMin(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamMax(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamDefault(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamNominal(uint32_t ai, VariantType& value) const = 0;
    [[nodiscard]] virtual uint32_t getParamStep(uint32_t ai, VariantType& value) const = 0;
};

}  // namespace DRAVO
