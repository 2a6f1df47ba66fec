#pragma once
// The shared component that stands for a missing one: changes fail with 0x80080000, reads give
// neutral values and factor 255. Stateless: any task.
#include "pdb_IComponent.h"

namespace PDB {

class ComponentNULL : public IComponent {
public:
    static constexpr JLIB::JResult kNullComponent = 0x80080000u;

    // Built on first use, lives until process exit.
    static ComponentNULL& getNullObject();

    [[nodiscard]] JLIB::JResult clear() override { return JLIB::kOk; }
    bool isValid() const override { return false; }
    const ComponentInfo& componentInfo() const override;
    uint32_t addressNum() const override { return 0; }
    uint32_t addressIndex(const char*) const override { return 0xFFFFFFFFu; }
    const ParameterInfo& paramInfo(uint32_t) const override;
    const IParameterArray& paramArray(uint32_t) const override;
    [[nodiscard]] JLIB::JResult setUserName(const char*) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult setAttribute(uint32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult resizeComponent(uint32_t, uint32_t, bool, uint8_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult resizeDirtyFlag(uint32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult setVariant(uint32_t, uint32_t, uint32_t, const JVariant&, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setVariants(uint32_t, const IParameterArray&, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t, uint32_t, uint32_t, int32_t, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setFloat(uint32_t, uint32_t, uint32_t, float, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setBool(uint32_t, uint32_t, uint32_t, bool, uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult setString(uint32_t, uint32_t, uint32_t, const char*, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setBinary(uint32_t, uint32_t, uint32_t, const uint8_t*, uint32_t, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint32_t, uint32_t, uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult setDefault(uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult setImportSafeFlag(uint32_t, uint32_t, uint32_t, bool) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult setAllImportSafeFlag(bool) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult setDirty(uint32_t, uint32_t, uint32_t, uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t, uint32_t, uint32_t, uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray&, uint32_t) const override { return kNullComponent; }
    uint32_t getUInt32(uint32_t, uint32_t, uint32_t, uint8_t* f) const override;
    int32_t getSInt32(uint32_t, uint32_t, uint32_t, uint8_t* f) const override;
    float getFloat(uint32_t, uint32_t, uint32_t, uint8_t* f) const override;
    bool getBool(uint32_t, uint32_t, uint32_t, uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t, uint32_t, uint32_t) const override;
    bool getImportSafeFlag(uint32_t, uint32_t, uint32_t) const override { return false; }
    bool getDirty(int32_t, uint32_t, uint32_t, uint32_t) const override { return false; }
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t) override { return kNullComponent; }
    uint8_t getFactor(uint32_t, uint32_t, uint32_t) const override { return 0xFF; }
    bool checkPosRange(uint32_t, uint32_t, uint32_t) const override { return false; }
    [[nodiscard]] JLIB::JResult reevaluate(uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult duplicate(uint32_t, const IComponent&, uint8_t) override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult recall(uint32_t, const IComponent&, const ImportAttr&, uint8_t) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult reflectChange(uint32_t, uint32_t, uint32_t, const IComponent&) override
    {
        return kNullComponent;
    }
    uint32_t exportSize() const override { return 0; }
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t*, uint32_t) const override { return kNullComponent; }
    [[nodiscard]] JLIB::JResult importBinary(IParameterDB&, uint32_t, const uint8_t*, uint32_t, const ImportAttr&,
                                             uint8_t, JLIB::HeapId) override
    {
        return kNullComponent;
    }
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&) override
    {
        return kNoMoreDirty;
    }
};

}  // namespace PDB
