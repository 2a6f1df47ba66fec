#pragma once
// The component of an unlocked value-holder database: one local array per address, no dirty
// or recall-safe flags. Used by one task at a time.
#include <cstdint>
#include <memory>
#include <vector>

#include "pdb_AbstractComponent.h"
#include "pdb_LocalParameterArray.h"

namespace PDB {

class LocalComponent : public AbstractComponent {
public:
    LocalComponent() = default;
    // A source that is not valid gives an empty component.
    explicit LocalComponent(const IComponent& source);
    LocalComponent(const LocalComponent& source);
    LocalComponent& operator=(const IComponent& source);
    LocalComponent& operator=(const LocalComponent& source);
    ~LocalComponent() override;

    // 0x80000001 and no change for a definition that is not valid; otherwise one zero-filled
    // array per address and a copy of the definition, or the first array's failure.
    [[nodiscard]] JLIB::JResult initialize(const ComponentInfo& info);

    // Deletes the arrays; the definition stays.
    [[nodiscard]] JLIB::JResult clear() override;
    // Resizes every array; the definition keeps its sizes and generation. OR of the results.
    [[nodiscard]] JLIB::JResult resizeComponent(uint32_t sizeX, uint32_t sizeY, bool keepValues, uint8_t f) override;

    // Dirty and recall-safe flags do not exist here: calling these is a programming error.
    [[nodiscard]] JLIB::JResult resizeDirtyFlag(uint32_t subscriberCount) override;
    [[nodiscard]] JLIB::JResult setImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y, bool on) override;
    [[nodiscard]] JLIB::JResult setAllImportSafeFlag(bool on) override;
    [[nodiscard]] JLIB::JResult setDirty(uint32_t ai, uint32_t x, uint32_t y, uint8_t f) override;
    bool getImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y) const override;
    bool getDirty(int32_t slot, uint32_t ai, uint32_t x, uint32_t y) const override;
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t slot) override;
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t slot) override;
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t slot, uint32_t& ai, uint32_t& x, uint32_t& y) override;

    IParameterArray& params(uint32_t ai) override;
    const IParameterArray& params(uint32_t ai) const override;
    const IFlagArray& recallSafeFlags(uint32_t ai) const override;
    // Needs heap number 0 (0x80000001 otherwise); then initialize(info).
    [[nodiscard]] JLIB::JResult recreate(IParameterDB& db, uint32_t ci, const ComponentInfo& info,
                                         JLIB::HeapId heap) override;
    uint32_t callbackOnSetParam() override { return 0; }

private:
    void copyFrom(const IComponent& source);

    std::vector<std::unique_ptr<LocalParameterArray>> m_arrays;
};

}  // namespace PDB
