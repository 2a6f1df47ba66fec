#pragma once
// A component library's parameter information object: its component definition and the hooks
// through which it narrows limits, supplies defaults and follows parameter changes. The hooks run
// inside the parameter database's operations, under its lock. The virtual slot order is a
// contract with the libraries.
#include <cstdint>

#include "dravo/common/dravo_IComponentFunction.h"

namespace DRAVO {

class IComponentDescription;
class IDataBaseAccessor_V1;
class VariantType;

class IParamInfoFunction_V1 : public IComponentFunction {
public:
    virtual const IComponentDescription* getComponentDescription() = 0;
    // The component definition as JSON text, owned by the library.
    virtual const char* getComponentInfoJSON() = 0;
    virtual bool hasLimitsProc() = 0;
    virtual bool hasDefaultValueProc() = 0;
    virtual bool hasLinkProc() = 0;
    // May change the limits of one element.
    virtual uint32_t limitsProc(const IDataBaseAccessor_V1& accessor, uint32_t ai, uint32_t x, uint32_t y,
                                VariantType& min, VariantType& max) = 0;
    // May set the default of one element.
    virtual uint32_t defaultValueProc(const IDataBaseAccessor_V1& accessor, uint32_t ai, uint32_t x, uint32_t y,
                                      VariantType& value) = 0;
    // Told that one element changed; writes made here do not link further.
    virtual uint32_t linkProc(const IDataBaseAccessor_V1& accessor, uint32_t ai, uint32_t x, uint32_t y,
                              const VariantType& newValue, const VariantType& oldValue) = 0;

protected:
    ~IParamInfoFunction_V1() = default;
};

}  // namespace DRAVO
