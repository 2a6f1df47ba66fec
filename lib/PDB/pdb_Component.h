#pragma once
// The component of a live database: one live array per address, per-subscriber dirty flags in
// two banks (writers mark one, the subscriber walks the other) and per-element recall-safe
// flags. No lock of its own: the database calls it under its lock; hooks run on the writer.
#include <cstdint>
#include <memory>
#include <vector>

#include "pdb_AbstractComponent.h"
#include "pdb_FlagArray.h"
#include "pdb_ParameterArray.h"
#include "pdb_ParameterAttr.h"

namespace PDB {

class Component : public AbstractComponent, public IParameterArrayCallback {
public:
    // The two banks of one subscriber slot.
    struct DirtyFlagSet {
        static DirtyFlagSet& getNULLObject();
        FlagArray banks[2];
    };

    struct ParameterRecord {
        static ParameterRecord& getNULLObject();
        // The array, or the shared null array while there is none.
        IParameterArray& array();
        const IParameterArray& array() const;

        int32_t generation = -1;
        std::unique_ptr<ParameterArray> owned;
        FlagArray recallSafe;
        std::vector<std::unique_ptr<DirtyFlagSet>> dirty;
    };

    Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    ~Component() override;

    // db and callback are not owned: the database owns the component and is its callback.
    // 0x80000001 for a definition that is not valid; the first array's failure.
    [[nodiscard]] JLIB::JResult initialize(IParameterDB* db, uint32_t ci, const ComponentInfo& info,
                                           IComponentCallback* callback, JLIB::HeapId heap);
    // Stored when the slot exists; 0 in every case.
    uint32_t setSubscribeAttr(int32_t slot, const SubscribeAttr& attr);

    [[nodiscard]] JLIB::JResult clear() override;
    // The definition's generation rises by one; recall-safe flags follow the kept overlap and
    // every dirty bank is cleared. OR of the definition's and the arrays' results.
    [[nodiscard]] JLIB::JResult resizeComponent(uint32_t sizeX, uint32_t sizeY, bool keepValues, uint8_t f) override;
    [[nodiscard]] JLIB::JResult resizeDirtyFlag(uint32_t subscriberCount) override;
    // 0x80000001 for a missing address; a position outside the array changes nothing.
    [[nodiscard]] JLIB::JResult setImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y, bool on) override;
    [[nodiscard]] JLIB::JResult setAllImportSafeFlag(bool on) override;
    [[nodiscard]] JLIB::JResult setDirty(uint32_t ai, uint32_t x, uint32_t y, uint8_t f) override;
    bool getImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y) const override;
    // The flag in the bank the subscriber reads; false for a missing slot or address.
    bool getDirty(int32_t slot, uint32_t ai, uint32_t x, uint32_t y) const override;
    // 0x80000001 for a missing slot.
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t slot) override;
    // Swaps the slot's banks; 0x80000000 for a missing slot.
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t slot) override;
    // From (ai, x, y) on; 0x200000 with ai = addressNum() when none is left, 0x80000001 for a
    // missing slot.
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t slot, uint32_t& ai, uint32_t& x, uint32_t& y) override;

    IParameterArray& params(uint32_t ai) override;
    const IParameterArray& params(uint32_t ai) const override;
    const IFlagArray& recallSafeFlags(uint32_t ai) const override;
    // New records without dirty flag sets until resizeDirtyFlag runs again.
    [[nodiscard]] JLIB::JResult recreate(IParameterDB& db, uint32_t ci, const ComponentInfo& info,
                                         JLIB::HeapId heap) override;
    uint32_t callbackOnSetParam() override;

    // 0x80000001 for a missing address; otherwise marks the write bank of every slot (only the
    // slots registered as dirty-when-recalled while recalling).
    uint32_t onNeedToSetDirty(uint32_t ai, uint32_t pos, bool recalling) override;
    uint32_t onErrorOccured(uint32_t, uint32_t, uint32_t, uint32_t) override { return 0; }

    uint32_t subscriberCount() const { return uint32_t(m_bankSelect.size()); }

private:
    [[nodiscard]] JLIB::JResult makeRecords(IParameterDB* db, uint32_t ci, JLIB::HeapId heap);
    [[nodiscard]] JLIB::JResult initializeRecord(ParameterRecord& record, IParameterDB* db, uint32_t ci, uint32_t ai,
                                                 JLIB::HeapId heap);
    bool hasSlot(int32_t slot) const { return slot >= 0 && uint32_t(slot) < m_bankSelect.size(); }
    // The bank the subscriber of the slot reads, or null when the record has no set for it.
    const FlagArray* readBank(const ParameterRecord& record, int32_t slot) const;
    FlagArray* readBank(ParameterRecord& record, int32_t slot);

    std::vector<std::unique_ptr<ParameterRecord>> m_records;
    std::vector<uint8_t> m_bankSelect;  // per slot: the bank writes mark
    std::vector<SubscribeAttr> m_subscribeAttrs;
    IComponentCallback* m_pCallback = nullptr;  // not owned: the database
};

}  // namespace PDB
