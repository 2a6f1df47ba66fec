#include "pdb_ParameterStrategy.h"

namespace PDB {

ParameterStrategy& ParameterStrategy::getNullObject()
{
    static ParameterStrategy s_instance;
    return s_instance;
}

uint32_t ParameterStrategy::initialize(IParameterDB&) { return 0; }

uint32_t ParameterStrategy::getParameterProxyProc(IParameterDB&, uint32_t, uint32_t, uint32_t, uint32_t,
                                                  const ParameterInfo&, JVariant&) const
{
    return 0;
}

const ParameterInfo& ParameterStrategy::getParameterInfoProxyProc(IParameterDB&, uint32_t, uint32_t, uint32_t,
                                                                  uint32_t, const ParameterInfo& info,
                                                                  ParameterInfo&) const
{
    return info;
}

uint32_t ParameterStrategy::getDefaultValueProc(IParameterDB&, uint32_t, uint32_t, uint32_t, uint32_t,
                                                const ParameterInfo&, JVariant&) const
{
    return 0;
}

ParameterStrategy::CheckResult ParameterStrategy::checkParameterProc(IParameterDB&, uint32_t, uint32_t, uint32_t,
                                                                     uint32_t, const ParameterInfo&,
                                                                     const JVariant&, const JVariant&, uint8_t,
                                                                     uint8_t) const
{
    return CheckResult(0);
}

uint32_t ParameterStrategy::linkParameterProc(IParameterDB&, uint32_t, uint32_t, uint32_t, uint32_t,
                                              const ParameterInfo&, const JVariant&, const JVariant&,
                                              uint8_t) const
{
    return 0;
}

}  // namespace PDB
