#pragma once
// Per-element flag sets (recall-safe and dirty flags of components) and the import option byte.
// No locks: the flag arrays inside a component are guarded by its database's lock.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace PDB {

// Result of findNextFlag when no set flag lies at or after the position; not a failure.
constexpr JLIB::JResult kNoMoreFlag = 0x200000u;
// Result of findNextFlag for a position at or beyond the total.
constexpr JLIB::JResult kFlagPosOutOfRange = 0x80200001u;

class IFlagArray {
public:
    virtual ~IFlagArray() {}
    virtual uint32_t flagCount() const = 0;
    virtual uint32_t totalNum() const = 0;
    [[nodiscard]] virtual JLIB::JResult setFlag(unsigned int index) = 0;
    [[nodiscard]] virtual JLIB::JResult clearFlag(unsigned int index) = 0;
    virtual bool getFlag(unsigned int index) const = 0;
    [[nodiscard]] virtual JLIB::JResult setAllFlags() = 0;
    [[nodiscard]] virtual JLIB::JResult clearAllFlags() = 0;
    virtual bool hasFlag() const = 0;
    // First set flag at or after position (included): 0 with the position on it, 0x200000 when
    // none is left, 0x80200001 for a position at or beyond the total. Callers stop on bit 0x200000.
    [[nodiscard]] virtual JLIB::JResult findNextFlag(unsigned int& position) const = 0;
};

// Flags packed in 32-bit words, flag 0 in the most significant bit of word 0,
// with a running count of the set flags.
class FlagArray : public IFlagArray {
public:
    FlagArray() = default;
    // A copy whose storage cannot be allocated is empty.
    FlagArray(const FlagArray& other);
    FlagArray& operator=(const FlagArray& other);
    ~FlagArray() override;

    // Discards every flag; 0x80000001 for a count of 0, 0x80040000 when memory is exhausted
    // (the array is then empty).
    [[nodiscard]] JLIB::JResult initialize(unsigned int count);
    // 0 empties the array; any other count is initialize(count). Flags are not kept.
    [[nodiscard]] JLIB::JResult resize(unsigned int count);
    uint32_t finalize();

    uint32_t flagCount() const override { return m_count; }
    uint32_t totalNum() const override { return m_total; }
    // 0x80000001 for an index at or beyond the total.
    [[nodiscard]] JLIB::JResult setFlag(unsigned int index) override;
    [[nodiscard]] JLIB::JResult clearFlag(unsigned int index) override;
    bool getFlag(unsigned int index) const override;
    // 0x80000003 on an empty array.
    [[nodiscard]] JLIB::JResult setAllFlags() override;
    [[nodiscard]] JLIB::JResult clearAllFlags() override;
    bool hasFlag() const override { return m_count != 0; }
    [[nodiscard]] JLIB::JResult findNextFlag(unsigned int& position) const override;

    // The word storage, (totalNum() + 31) / 32 words; null while empty.
    const uint32_t* words() const { return m_pWords; }

private:
    static uint32_t _u32Num(uint32_t total) { return (total >> 5) + ((total & 31u) != 0 ? 1u : 0u); }
    static uint32_t _u32Pos(uint32_t index) { return index >> 5; }
    static uint32_t _bitPos(uint32_t index) { return index & 31u; }
    static uint32_t _bitMask(uint32_t index) { return 0x80000000u >> _bitPos(index); }

    uint32_t* m_pWords = nullptr;
    uint32_t m_total = 0;
    uint32_t m_count = 0;
};

// The shared flag array in which no flag is ever set: stands for "no recall-safe flags".
class DummyFlagArray : public IFlagArray {
public:
    // Built on first use, lives until process exit; read-only, any task.
    static DummyFlagArray& getInstance();

    DummyFlagArray() = default;
    DummyFlagArray(const DummyFlagArray&) {}
    DummyFlagArray& operator=(const DummyFlagArray&) { return *this; }

    uint32_t flagCount() const override { return 0; }
    uint32_t totalNum() const override { return 0; }
    [[nodiscard]] JLIB::JResult setFlag(unsigned int) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult clearFlag(unsigned int) override { return JLIB::kOk; }
    bool getFlag(unsigned int) const override { return false; }
    [[nodiscard]] JLIB::JResult setAllFlags() override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult clearAllFlags() override { return JLIB::kOk; }
    bool hasFlag() const override { return false; }
    [[nodiscard]] JLIB::JResult findNextFlag(unsigned int&) const override { return kNoMoreFlag; }
};

// Option bits carried by every recall and image import.
class ImportAttr {
public:
    static constexpr uint8_t kConfig = 0x01;       // add the image's components first
    static constexpr uint8_t kDirty = 0x02;        // write through setVariant, links suppressed
    static constexpr uint8_t kDirtyLink = 0x04;    // as kDirty, links active
    static constexpr uint8_t kForceRecall = 0x08;  // also parameters that are not recallable
    static constexpr uint8_t kRestore = 0x10;      // forced recall of nonvolatile parameters only

    ImportAttr(uint8_t value = 0) : m_value(value) {}

    uint32_t set(uint8_t value);
    uint32_t clear();
    uint32_t add(uint8_t bits);
    uint32_t remove(uint8_t bits);
    uint8_t value() const { return m_value; }

    bool hasFlags() const { return m_value != 0; }
    bool withConfig() const { return (m_value & kConfig) != 0; }
    bool withDirty() const { return (m_value & (kDirty | kDirtyLink)) != 0; }
    bool withLink() const { return (m_value & kDirtyLink) != 0; }
    bool isForceRecall() const { return (m_value & (kForceRecall | kRestore)) != 0; }
    bool whenRestore() const { return (m_value & kRestore) != 0; }

private:
    uint8_t m_value;
};

}  // namespace PDB
