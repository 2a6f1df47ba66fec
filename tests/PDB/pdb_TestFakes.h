#pragma once
// Stand-ins shared by the parameter array and component tests: a database that only keeps the
// link and recall flags, a callback and a strategy that record what reaches them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_ParameterArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_ParameterStrategy.h"

namespace pdbtest {

class FlagDB : public PDB::ParameterDBNULL {
public:
    uint32_t _SuppressLink() override
    {
        suppressed = true;
        return 0;
    }
    uint32_t _UnsuppressLink() override
    {
        suppressed = false;
        return 0;
    }
    bool _IsLinkSuppressed() const override { return suppressed; }
    bool _IsRecalling() const override { return recalling; }

    bool suppressed = false;
    bool recalling = false;
};

struct DirtyReport {
    uint32_t addressIndex;
    uint32_t pos;
    bool recalling;
    bool operator==(const DirtyReport&) const = default;
};

struct ErrorReport {
    uint32_t addressIndex, x, y, code;
    bool operator==(const ErrorReport&) const = default;
};

class RecordingCallback : public PDB::IParameterArrayCallback {
public:
    uint32_t onNeedToSetDirty(uint32_t addressIndex, uint32_t pos, bool recalling) override
    {
        dirty.push_back({addressIndex, pos, recalling});
        return 0;
    }
    uint32_t onErrorOccured(uint32_t addressIndex, uint32_t x, uint32_t y, uint32_t code) override
    {
        errors.push_back({addressIndex, x, y, code});
        return 0;
    }
    std::vector<DirtyReport> dirty;
    std::vector<ErrorReport> errors;
};

// Each hook is optional; calls are counted.
class ScriptedStrategy : public PDB::ParameterStrategy {
public:
    uint32_t getParameterProxyProc(PDB::IParameterDB&, uint32_t, uint32_t, uint32_t x, uint32_t y,
                                   const PDB::ParameterInfo&, JVariant& value) const override
    {
        ++proxyCalls;
        if (proxy) proxy(x, y, value);
        return 0;
    }
    uint32_t getDefaultValueProc(PDB::IParameterDB&, uint32_t, uint32_t, uint32_t x, uint32_t y,
                                 const PDB::ParameterInfo&, JVariant& value) const override
    {
        if (defaults) defaults(x, y, value);
        return 0;
    }
    CheckResult checkParameterProc(PDB::IParameterDB&, uint32_t, uint32_t, uint32_t, uint32_t,
                                   const PDB::ParameterInfo&, const JVariant&, const JVariant&, uint8_t newFactor,
                                   uint8_t currentFactor) const override
    {
        ++checkCalls;
        lastFactors = {newFactor, currentFactor};
        return CheckResult(refuse ? 0x80000004u : 0u);
    }
    uint32_t linkParameterProc(PDB::IParameterDB& db, uint32_t, uint32_t, uint32_t x, uint32_t y,
                               const PDB::ParameterInfo&, const JVariant&, const JVariant&, uint8_t) const override
    {
        ++linkCalls;
        suppressedDuringLink = db._IsLinkSuppressed();
        if (link) link(x, y);
        return 0;
    }

    std::function<void(uint32_t, uint32_t, JVariant&)> proxy;
    std::function<void(uint32_t, uint32_t, JVariant&)> defaults;
    std::function<void(uint32_t, uint32_t)> link;
    bool refuse = false;
    mutable int proxyCalls = 0;
    mutable int checkCalls = 0;
    mutable int linkCalls = 0;
    mutable bool suppressedDuringLink = false;
    mutable std::pair<uint8_t, uint8_t> lastFactors{0, 0};
};

// A definition of numX x numY elements that follows the component size on both axes.
inline PDB::ParameterInfo makeInfo(uint8_t type, uint32_t numX, uint32_t numY, JVariant min = JVariant(),
                                   JVariant max = JVariant(), JVariant def = JVariant(), uint32_t itemSize = 0,
                                   uint8_t attrFlags = PDB::ParamAttr::kRecallable)
{
    PDB::ParameterInfo info;
    info.strAddress = "/Test/Param";
    info.type = type;
    info.itemSize = itemSize != 0 ? itemSize : uint32_t(type & 0x0F);
    info.patternX = 0x10000000u | 1u;
    info.patternY = 0x10000000u | 1u;
    info.numX = numX;
    info.numY = numY;
    info.min = min;
    info.max = max;
    info.def = def;
    info.attr = PDB::ParamAttr('T', attrFlags);
    return info;
}

}  // namespace pdbtest
