#pragma once
// Per-component-type hooks consulted when a value is read, defaulted, vetted before a write and
// linked after one. The base passes everything through. Hooks run on the thread that reads or
// writes the database, under its lock.
#include <cstdint>

#include "jlib/JVariant.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

class IParameterDB;

class ParameterStrategy {
public:
    // Verdict of checkParameterProc: 0 allows the write, a word with the top bit refuses it.
    class CheckResult {
    public:
        static constexpr uint32_t kNotExist = 0x80000001u;
        static constexpr uint32_t kLocked = 0x80000002u;
        static constexpr uint32_t kAccessDenied = 0x80000004u;
        static constexpr uint32_t kLoopCut = 0x80000008u;

        CheckResult(uint32_t word = 0) : m_word(word) {}

        uint32_t value() const { return m_word; }
        bool canSet() const { return (m_word & 0x80000000u) == 0; }
        // Each ORs its refusal into the word and returns a copy.
        CheckResult notExist() { return add(kNotExist); }
        CheckResult locked() { return add(kLocked); }
        CheckResult accessDenied() { return add(kAccessDenied); }
        CheckResult loopCut() { return add(kLoopCut); }
        // Each tells its own refusal apart: all bits of its code must be set.
        bool isNotExist() const { return has(kNotExist); }
        bool isLocked() const { return has(kLocked); }
        bool isAccessDenied() const { return has(kAccessDenied); }
        bool isLoopCutter() const { return has(kLoopCut); }

    private:
        CheckResult add(uint32_t code)
        {
            m_word |= code;
            return *this;
        }
        bool has(uint32_t code) const { return (m_word & code) == code; }

        uint32_t m_word;
    };

    // The shared pass-through strategy, built on first use and kept until process exit.
    static ParameterStrategy& getNullObject();

    virtual ~ParameterStrategy() {}

    // Once, after the component of the type was added to its database.
    virtual uint32_t initialize(IParameterDB& db);
    // After each successful read of an element: may replace the value read.
    virtual uint32_t getParameterProxyProc(IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                           uint32_t x, uint32_t y, const ParameterInfo& info,
                                           JVariant& value) const;
    // Before each write: the definition whose min and max apply (info itself, or scratch filled).
    virtual const ParameterInfo& getParameterInfoProxyProc(IParameterDB& db, uint32_t componentIndex,
                                                           uint32_t addressIndex, uint32_t x, uint32_t y,
                                                           const ParameterInfo& info,
                                                           ParameterInfo& scratch) const;
    // Whenever a default is produced: may replace the definition's def.
    virtual uint32_t getDefaultValueProc(IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                         uint32_t x, uint32_t y, const ParameterInfo& info,
                                         JVariant& value) const;
    // Before an element whose value would change is written.
    virtual CheckResult checkParameterProc(IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                           uint32_t x, uint32_t y, const ParameterInfo& info,
                                           const JVariant& newValue, const JVariant& currentValue,
                                           uint8_t newFactor, uint8_t currentFactor) const;
    // After an element was written, with the database's links suppressed for the call.
    virtual uint32_t linkParameterProc(IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                       uint32_t x, uint32_t y, const ParameterInfo& info, const JVariant& newValue,
                                       const JVariant& previousValue, uint8_t factor) const;
};

}  // namespace PDB
