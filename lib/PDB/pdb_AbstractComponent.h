#pragma once
// What the live and the local component share: typed access by address index, defaults,
// copies, recall and the component image. Its only state is the definition copy; the derived
// class owns the parameter arrays. No lock: the owning database calls it under its lock.
#include <cstdint>

#include "pdb_ComponentInfo.h"
#include "pdb_IComponent.h"

namespace PDB {

class AbstractComponent : public IComponent {
public:
    static constexpr uint32_t kRecordHeaderSize = 16;

    AbstractComponent() = default;
    ~AbstractComponent() override {}

    bool isValid() const override { return m_info.isValid(); }
    const ComponentInfo& componentInfo() const override { return m_info; }
    uint32_t addressNum() const override { return m_info.addressNum(); }
    uint32_t addressIndex(const char* address) const override { return m_info.addressIndex(address); }
    // The definition held by the address's array (the null array's for a missing address).
    const ParameterInfo& paramInfo(uint32_t ai) const override;
    const IParameterArray& paramArray(uint32_t ai) const override { return params(ai); }
    [[nodiscard]] JLIB::JResult setUserName(const char* userName) override;
    [[nodiscard]] JLIB::JResult setAttribute(uint32_t attribute) override;

    // Writes forward to the address's array, then tell callbackOnSetParam once.
    [[nodiscard]] JLIB::JResult setVariant(uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                           uint8_t f) override;
    [[nodiscard]] JLIB::JResult setVariants(uint32_t ai, const IParameterArray& source, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setFloat(uint32_t ai, uint32_t x, uint32_t y, float value, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBool(uint32_t ai, uint32_t x, uint32_t y, bool value, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setString(uint32_t ai, uint32_t x, uint32_t y, const char* text, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes, uint32_t length,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t ai, uint32_t x, uint32_t y, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t ai, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint8_t f) override;
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t ai, uint32_t x, uint32_t y,
                                           uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray& destination, uint32_t ai) const override;
    uint32_t getUInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    int32_t getSInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    float getFloat(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    bool getBool(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t ai, uint32_t x, uint32_t y) const override;
    uint8_t getFactor(uint32_t ai, uint32_t x, uint32_t y) const override;
    bool checkPosRange(uint32_t ai, uint32_t x, uint32_t y) const override;
    // Every element passes the write path again; 0x80000040 when any step failed.
    [[nodiscard]] JLIB::JResult reevaluate(uint8_t f) override;
    [[nodiscard]] JLIB::JResult duplicate(uint32_t ai, const IComponent& source, uint8_t f) override;
    // Elements whose recall-safe flag is set are left alone.
    [[nodiscard]] JLIB::JResult recall(uint32_t ai, const IComponent& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult reflectChange(uint32_t ai, uint32_t x, uint32_t y, const IComponent& source) override;

    uint32_t exportSize() const override;
    // 0x80000001 and nothing written for a null buffer or fewer than exportSize() bytes.
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t length) const override;
    // 0x80000001 for null data or fewer than 92 bytes, the definition image's failure, 0x80020000
    // for another type, 0x80010000 for a record without "#PR1"; a record that cannot be read
    // ends the import with 0 and the records before it applied.
    [[nodiscard]] JLIB::JResult importBinary(IParameterDB& db, uint32_t ci, const uint8_t* data, uint32_t length,
                                             const ImportAttr& attr, uint8_t f, JLIB::HeapId heap) override;

    // The address's array, or the shared null array for a missing address.
    virtual IParameterArray& params(uint32_t ai) = 0;
    virtual const IParameterArray& params(uint32_t ai) const = 0;
    // The dummy flag array for a missing address.
    virtual const IFlagArray& recallSafeFlags(uint32_t ai) const = 0;
    [[nodiscard]] virtual JLIB::JResult recreate(IParameterDB& db, uint32_t ci, const ComponentInfo& info,
                                                 JLIB::HeapId heap) = 0;
    virtual uint32_t callbackOnSetParam() = 0;

protected:
    ComponentInfo m_info;
};

}  // namespace PDB
