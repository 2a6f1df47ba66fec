#pragma once
// The database accessor handed to a component library while the parameter database consults
// its strategy: reads and writes of one component of the database that called. Made on the stack
// for one strategy call, on the thread that holds the database's lock; writes re-enter that
// database with the tag byte 255.
#include <cstdint>

#include "dravo/common/dravo_IDataBaseAccessor_V1.h"

namespace PDB {
class IParameterDB;
}

namespace DRAVO {

class PDBAccessor : public IDataBaseAccessor_V1 {
public:
    // Tag byte of every write made through the accessor.
    static constexpr uint8_t kWriteTag = 255;

    // The database must outlive the accessor.
    PDBAccessor(PDB::IParameterDB& db, uint32_t componentIndex) : m_db(db), m_componentIndex(componentIndex) {}

    uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
    int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
    float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const override;
    bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const override;
    [[nodiscard]] uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                          uint32_t size) const override;
    [[nodiscard]] uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                          uint32_t size) const override;
    [[nodiscard]] uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
    [[nodiscard]] uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const override;
    [[nodiscard]] uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const override;
    [[nodiscard]] uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
    [[nodiscard]] uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const override;
    [[nodiscard]] uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length) const override;
    uint32_t getParamNumX(uint32_t ai) const override;
    uint32_t getParamNumY(uint32_t ai) const override;
    [[nodiscard]] uint32_t getParamMin(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamMax(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamDefault(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamNominal(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamStep(uint32_t ai, VariantType& value) const override;

private:
    PDB::IParameterDB& m_db;
    uint32_t m_componentIndex;
};

}  // namespace DRAVO
