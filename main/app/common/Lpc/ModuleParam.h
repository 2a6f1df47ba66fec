#pragma once
// A catalogue entry: a module table and the compile-time mapping of a parameter kind (where
// the parameter lies in one module's list) and an iteration kind (which part of it the entry
// covers). Built at compile time; immutable; any task.
#include <cstddef>
#include <cstdint>

#include "common/Lpc/ModuleParamBase.h"

namespace LPC {

// Where a parameter lies in one module's parameter list: the number of its first element, the
// elements per module, the distance between neighbouring elements and the invert mark. A
// count of 0 marks a kind that is only ever covered in part (single or partial iteration).
template <uint64_t First, uint64_t Count, uint64_t Stride = 1, bool Invert = false>
struct ParamKind {
    static constexpr uint64_t kFirst = First;
    static constexpr uint64_t kCount = Count;
    static constexpr uint64_t kStride = Stride;
    static constexpr bool kInvert = Invert;
};

// Every element of the kind: module i div count, parameter first + stride × (i mod count).
struct IteratorAll {
    template <typename Kind>
    static constexpr uint64_t moduleNo(uint64_t index)
    {
        static_assert(Kind::kCount > 0, "this parameter kind has no whole run per module");
        return index / Kind::kCount;
    }
    template <typename Kind>
    static constexpr uint64_t paramNo(uint64_t index)
    {
        return Kind::kFirst + Kind::kStride * (index % Kind::kCount);
    }
};

// Element N of the kind in every module: module i, parameter first + N.
template <int N>
struct IteratorSingleParam {
    static_assert(N >= 0);
    template <typename Kind>
    static constexpr uint64_t moduleNo(uint64_t index)
    {
        static_assert(Kind::kStride == 1, "single iteration needs neighbouring parameters");
        return index;
    }
    template <typename Kind>
    static constexpr uint64_t paramNo(uint64_t)
    {
        return Kind::kFirst + N;
    }
};

// A run of Count elements from element Start in every module: module i div Count, parameter
// first + Start + (i mod Count).
template <int Start, int Count>
struct IteratorPartialParam {
    static_assert(Start >= 0 && Count > 0);
    template <typename Kind>
    static constexpr uint64_t moduleNo(uint64_t index)
    {
        static_assert(Kind::kStride == 1, "partial iteration needs neighbouring parameters");
        return index / Count;
    }
    template <typename Kind>
    static constexpr uint64_t paramNo(uint64_t index)
    {
        return Kind::kFirst + Start + index % Count;
    }
};

template <typename ModuleRecord, typename Kind, typename Iteration>
class ModuleParam final : public ModuleParamBase {
public:
    // Stores the table (not owned; a program constant), its row count as the module count, the
    // total and the two flags; checks nothing.
    template <std::size_t N>
    constexpr ModuleParam(const ModuleRecord (&modules)[N], uint64_t totalParamSize, bool sendToAllParams,
                          bool sendToAllModules)
        : m_pModules(modules),
          m_moduleCount(N),
          m_totalParamSize(totalParamSize),
          m_sendToAllParams(sendToAllParams),
          m_sendToAllModules(sendToAllModules)
    {
    }

    const char* getGuid(uint64_t index) const override { return getGuidWithModuleNo(getModuleNo(index)); }
    const char* getGuidWithModuleNo(uint64_t moduleNo) const override
    {
        const ModuleRecord* row = rowOf(moduleNo);
        return row ? row->guid : nullptr;
    }
    uint64_t getModuleSize() const override { return isSendToAllModules() ? m_moduleCount : 1; }
    const char* getModuleName(uint64_t index) const override
    {
        return getModuleNameWithModuleNo(getModuleNo(index));
    }
    const char* getModuleNameWithModuleNo(uint64_t moduleNo) const override
    {
        const ModuleRecord* row = rowOf(moduleNo);
        return row ? row->name : nullptr;
    }
    uint64_t getParamNo(uint64_t index) const override { return Iteration::template paramNo<Kind>(index); }
    uint64_t getTotalParamSize() const override { return m_totalParamSize; }
    bool isSendToAllParams() const override { return m_sendToAllParams; }
    bool isSendToAllModules() const override { return m_sendToAllModules; }
    bool isInvert() const override { return Kind::kInvert; }

    // Not checked against the module count.
    constexpr uint64_t getModuleNo(uint64_t index) const { return Iteration::template moduleNo<Kind>(index); }

private:
    const ModuleRecord* rowOf(uint64_t moduleNo) const
    {
        if (!m_pModules || moduleNo >= m_moduleCount) return nullptr;
        return &m_pModules[moduleNo];
    }

    const ModuleRecord* m_pModules;  // a constant table that lives as long as the program
    uint64_t m_moduleCount;
    uint64_t m_totalParamSize;
    bool m_sendToAllParams;
    bool m_sendToAllModules;
};

}  // namespace LPC
