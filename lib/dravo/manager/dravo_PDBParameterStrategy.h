#pragma once
// The parameter strategy installed in the definition of every component type a component
// library provides: it lets the library narrow limits, supply defaults and follow changes of the
// type's elements, through a PDBAccessor on the database that asks. Runs inside the database's
// operations, on the calling thread, under the database's lock. Set up and cleared by the library
// repository, on its thread, while no database uses the type.
#include <cstdint>

#include "PDB/pdb_ParameterStrategy.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class IParamInfoFunction_V1;

class PDBParameterStrategy : public PDB::ParameterStrategy {
public:
    PDBParameterStrategy() = default;
    PDBParameterStrategy(const PDBParameterStrategy&) = delete;
    PDBParameterStrategy& operator=(const PDBParameterStrategy&) = delete;
    ~PDBParameterStrategy() override;

    using PDB::ParameterStrategy::initialize;
    // Takes the library's function (not owned) and reads which hooks it serves: limits from
    // hasLimitsProc, defaults from hasDefaultValueProc, links from hasLinkProc. Null: every hook
    // off and 0x80000000.
    [[nodiscard]] JLIB::JResult initialize(IParamInfoFunction_V1* function);
    // Back to pass-through: no function, every hook off. Returns 0.
    uint32_t clear();

    IParamInfoFunction_V1* paramInfoFunction() const { return m_pParamInfoFunction; }
    bool isLimitsHookEnabled() const { return m_limitsHook; }
    bool isDefaultHookEnabled() const { return m_defaultHook; }
    bool isLinkHookEnabled() const { return m_linkHook; }

    // info itself when the limits hook is off; otherwise scratch, a copy of info with the limits
    // the library's limitsProc gives. A numeric limit the library leaves in a form the database
    // cannot hold keeps the definition's value; a text or byte-string limit comes back invalid.
    const PDB::ParameterInfo& getParameterInfoProxyProc(PDB::IParameterDB& db, uint32_t componentIndex,
                                                        uint32_t addressIndex, uint32_t x, uint32_t y,
                                                        const PDB::ParameterInfo& info,
                                                        PDB::ParameterInfo& scratch) const override;
    // Lets the library's defaultValueProc replace value; a result the database cannot hold leaves
    // value as it was. Returns 0.
    uint32_t getDefaultValueProc(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex, uint32_t x,
                                 uint32_t y, const PDB::ParameterInfo& info, JVariant& value) const override;
    // Tells the library's linkProc of the change (the tag byte is not passed on). Returns 0.
    uint32_t linkParameterProc(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex, uint32_t x,
                               uint32_t y, const PDB::ParameterInfo& info, const JVariant& newValue,
                               const JVariant& previousValue, uint8_t factor) const override;

private:
    IParamInfoFunction_V1* m_pParamInfoFunction = nullptr;  // not owned: the repository keeps it
    bool m_limitsHook = false;
    bool m_defaultHook = false;
    bool m_linkHook = false;
};

}  // namespace DRAVO
