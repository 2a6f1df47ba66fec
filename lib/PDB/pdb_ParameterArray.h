#pragma once
// The values of one parameter of one component: numX x numY elements, element (x, y) at
// position x * numY + y. No lock of its own: the owning database's lock covers every call,
// and the strategy hooks and callbacks run inside the call on the caller's thread.
#include <cstdint>
#include <memory>

#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "pdb_FlagArray.h"
#include "pdb_ParamRawArray.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

class IParameterDB;
class ParameterStrategy;

// Status of a write whose value was replaced by the limit it exceeded; not a failure.
constexpr JLIB::JResult kValueClamped = 0x20u;
// Answer of the null array to a change.
constexpr JLIB::JResult kNullArray = 0x80000002u;
constexpr JLIB::JResult kTypeMismatch = 0x80020000u;
constexpr JLIB::JResult kMalformedImage = 0x80010000u;
constexpr JLIB::JResult kNoMemory = 0x80040000u;
constexpr JLIB::JResult kNotOffered = 0x80080000u;
// Factor of fresh elements, and the answer for positions outside an array.
constexpr uint8_t kDefaultFactor = 0xFF;

// Declaration order is the slot order (the destructor last).
class IParameterArray {
public:
    virtual IParameterArray& operator=(const IParameterArray& source) = 0;
    virtual bool isValid() const = 0;
    virtual const ParameterInfo& paramInfo() const = 0;
    virtual const IRawArray& params() const = 0;
    // The stored size rounded up to a multiple of 4: what exportData writes.
    virtual uint32_t totalSize() const = 0;
    virtual ParameterStrategy& paramStrategy() const = 0;
    [[nodiscard]] virtual JLIB::JResult resize(uint32_t componentX, uint32_t componentY, bool keepValues,
                                               uint8_t factor) = 0;
    [[nodiscard]] virtual JLIB::JResult setDirty(uint32_t x, uint32_t y, uint8_t factor) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t x, uint32_t y, uint8_t factor) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariant(uint32_t x, uint32_t y, const JVariant& value, uint8_t factor) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariants(const IParameterArray& source, uint8_t factor) = 0;
    // factor may be null.
    [[nodiscard]] virtual JLIB::JResult getVariant(JVariant& value, uint32_t x, uint32_t y, uint8_t* factor) const = 0;
    [[nodiscard]] virtual JLIB::JResult getVariants(IParameterArray& destination) const = 0;
    [[nodiscard]] virtual JLIB::JResult getDefault(JVariant& value, uint32_t x, uint32_t y) const = 0;
    virtual uint8_t getFactor(uint32_t x, uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult duplicate(const IParameterArray& source, uint8_t factor,
                                                  JLIB::HeapId heap) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(const IParameterArray& source, const IFlagArray& recallSafe,
                                               const ImportAttr& attr, uint8_t factor) = 0;
    [[nodiscard]] virtual JLIB::JResult exportData(uint8_t* buffer, uint32_t length, uint32_t& written) const = 0;
    // stored describes the data (type code, item size, numX, numY); length may run beyond it.
    [[nodiscard]] virtual JLIB::JResult importData(const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                                                   const IFlagArray& recallSafe, const ImportAttr& attr,
                                                   uint8_t factor) = 0;
    virtual bool checkPosRange(uint32_t x, uint32_t y) const = 0;
    virtual uint32_t XYToPos(uint32_t x, uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult posToXY(uint32_t& x, uint32_t& y, uint32_t pos) const = 0;
    virtual ~IParameterArray() {}

protected:
    IParameterArray() = default;
    IParameterArray(const IParameterArray&) = default;
};

// Told by a live array about changed elements and refused writes. The owning component
// implements it; both calls run inside the write on the writer's thread.
class IParameterArrayCallback {
public:
    virtual ~IParameterArrayCallback() {}
    // pos 0xFFFFFFFF: every element of the array.
    virtual uint32_t onNeedToSetDirty(uint32_t addressIndex, uint32_t pos, bool recalling) = 0;
    virtual uint32_t onErrorOccured(uint32_t addressIndex, uint32_t x, uint32_t y, uint32_t code) = 0;
};

// The callback of an array that has none: does nothing.
class DummyParameterArrayCallback : public IParameterArrayCallback {
public:
    static DummyParameterArrayCallback& getNullObject();
    uint32_t onNeedToSetDirty(uint32_t, uint32_t, bool) override { return 0; }
    uint32_t onErrorOccured(uint32_t, uint32_t, uint32_t, uint32_t) override { return 0; }
};

// The live array inside the components of a live database. Every write passes: definition
// proxy, range clamp, change test, strategy check, store with factor, link hook, dirty report.
class ParameterArray : public IParameterArray {
public:
    ParameterArray();
    // Shares the source's database, indices, callback and strategy; reports itself dirty once.
    ParameterArray(const ParameterArray& source);
    // Belongs to no database, then copies the source's definition and values.
    explicit ParameterArray(const IParameterArray& source);
    ParameterArray& operator=(const ParameterArray& source);
    ~ParameterArray() override;

    // db and callback are not owned and must outlive the array; null callback or strategy
    // stand for the dummy callback and the null strategy. 0x80000001 for an invalid
    // definition, 0x80040000 when memory is exhausted; the array is finalised on failure.
    [[nodiscard]] JLIB::JResult initialize(IParameterDB* db, uint32_t componentIndex, uint32_t addressIndex,
                                           const ParameterInfo& info, IParameterArrayCallback* callback,
                                           ParameterStrategy* strategy, JLIB::HeapId heap);
    uint32_t finalize();

    IParameterArray& operator=(const IParameterArray& source) override;
    bool isValid() const override;
    const ParameterInfo& paramInfo() const override { return m_info; }
    const IRawArray& params() const override;
    uint32_t totalSize() const override;
    ParameterStrategy& paramStrategy() const override { return *m_pStrategy; }
    // Keeps the previous contents on failure (their factors become factor).
    [[nodiscard]] JLIB::JResult resize(uint32_t componentX, uint32_t componentY, bool keepValues,
                                       uint8_t factor) override;
    [[nodiscard]] JLIB::JResult setDirty(uint32_t x, uint32_t y, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t x, uint32_t y, uint8_t factor) override;
    // 0 or 0x20 (clamped); a refusal of the strategy goes to onErrorOccured and still answers 0.
    [[nodiscard]] JLIB::JResult setVariant(uint32_t x, uint32_t y, const JVariant& value, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult setVariants(const IParameterArray& source, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t x, uint32_t y, uint8_t* factor) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray& destination) const override;
    // The position is not checked.
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t x, uint32_t y) const override;
    uint8_t getFactor(uint32_t x, uint32_t y) const override;
    [[nodiscard]] JLIB::JResult duplicate(const IParameterArray& source, uint8_t factor, JLIB::HeapId heap) override;
    [[nodiscard]] JLIB::JResult recall(const IParameterArray& source, const IFlagArray& recallSafe,
                                       const ImportAttr& attr, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult exportData(uint8_t* buffer, uint32_t length, uint32_t& written) const override;
    // 0x80010000 (logged) when the stored shape needs more bytes than length.
    [[nodiscard]] JLIB::JResult importData(const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                                           const IFlagArray& recallSafe, const ImportAttr& attr,
                                           uint8_t factor) override;
    bool checkPosRange(uint32_t x, uint32_t y) const override;
    uint32_t XYToPos(uint32_t x, uint32_t y) const override { return x * m_info.numY + y; }
    [[nodiscard]] JLIB::JResult posToXY(uint32_t& x, uint32_t& y, uint32_t pos) const override;

    IParameterDB& database() const { return *m_pDb; }
    uint32_t componentIndex() const { return m_componentIndex; }
    uint32_t addressIndex() const { return m_addressIndex; }

private:
    IRawArray& values() const;
    uint32_t elementCount() const;
    // Element (x, y) gets its default, converted by the element type only.
    void storeDefaults();
    [[nodiscard]] JLIB::JResult makeFactors(uint32_t count, uint8_t factor);
    void fillFactors(uint8_t factor);
    // The factors of the overlap nx x ny.
    void fillFactors(uint32_t nx, uint32_t ny, uint8_t factor);
    // Writes each unflagged element of the overlap with the source through setVariant.
    void writeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY, const IFlagArray& recallSafe,
                      bool withLink, uint8_t factor);
    // Stores each unflagged element of the overlap directly, with its factor.
    JLIB::JResult storeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY,
                               const IFlagArray& recallSafe, uint8_t factor);

    ParameterInfo m_info;
    std::unique_ptr<IRawArray> m_values;  // null: the shared null storage
    std::unique_ptr<uint8_t[]> m_factors;
    JLIB::HeapId m_heap = 0;
    IParameterDB* m_pDb;                  // not owned: the database outlives its arrays
    uint32_t m_componentIndex = 0;
    uint32_t m_addressIndex = 0;
    IParameterArrayCallback* m_pCallback;  // not owned: the owning component
    ParameterStrategy* m_pStrategy;        // not owned: strategies live for the whole run
};

// The shared array that stands for a missing address: every change fails, reads are empty.
class ParameterArrayNULL : public IParameterArray {
public:
    static ParameterArrayNULL& getNullObject();

    IParameterArray& operator=(const IParameterArray&) override { return *this; }
    bool isValid() const override { return false; }
    const ParameterInfo& paramInfo() const override;
    const IRawArray& params() const override;
    uint32_t totalSize() const override { return 0; }
    ParameterStrategy& paramStrategy() const override;
    [[nodiscard]] JLIB::JResult resize(uint32_t, uint32_t, bool, uint8_t) override { return kNotOffered; }
    [[nodiscard]] JLIB::JResult setDirty(uint32_t, uint32_t, uint8_t) override { return kNullArray; }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint32_t, uint8_t) override { return kNullArray; }
    [[nodiscard]] JLIB::JResult setVariant(uint32_t, uint32_t, const JVariant&, uint8_t) override { return kNullArray; }
    [[nodiscard]] JLIB::JResult setVariants(const IParameterArray&, uint8_t) override { return kNullArray; }
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t, uint32_t, uint8_t* factor) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray&) const override { return kNullArray; }
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t, uint32_t) const override;
    uint8_t getFactor(uint32_t, uint32_t) const override { return kDefaultFactor; }
    [[nodiscard]] JLIB::JResult duplicate(const IParameterArray&, uint8_t, JLIB::HeapId) override { return kNullArray; }
    [[nodiscard]] JLIB::JResult recall(const IParameterArray&, const IFlagArray&, const ImportAttr&, uint8_t) override
    {
        return kNullArray;
    }
    [[nodiscard]] JLIB::JResult exportData(uint8_t*, uint32_t, uint32_t& written) const override;
    [[nodiscard]] JLIB::JResult importData(const ParameterInfo&, const uint8_t*, uint32_t, const IFlagArray&,
                                           const ImportAttr&, uint8_t) override
    {
        return kNullArray;
    }
    bool checkPosRange(uint32_t, uint32_t) const override { return false; }
    uint32_t XYToPos(uint32_t, uint32_t) const override { return 0; }
    [[nodiscard]] JLIB::JResult posToXY(uint32_t& x, uint32_t& y, uint32_t) const override;
};

}  // namespace PDB
