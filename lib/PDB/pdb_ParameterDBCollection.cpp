#include "pdb_ParameterDBCollection.h"

#include "pdb_AddressId.h"
#include "pdb_ComponentInfo.h"
#include "pdb_ComponentNULL.h"
#include "pdb_IComponent.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

ParameterDBNULL& ParameterDBNULL::getNullObject()
{
    // Constant-initialised: usable from the constructors of other static objects.
    static constinit ParameterDBNULL s_instance;
    return s_instance;
}

JLIB::JResult ParameterDBNULL::checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&, bool)
{
    return kNoMoreDirty;
}

JLIB::JResult ParameterDBNULL::newComponentList(UniqIdList& list) const
{
    list.clear();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::removingComponentList(UniqIdList& list) const
{
    list.clear();
    return JLIB::kOk;
}

AddressId ParameterDBNULL::getAddressId(const UniqId&, const char*) const { return AddressId(); }

AddressId ParameterDBNULL::getAddressId(uint32_t, uint32_t) const { return AddressId(); }

const ComponentInfo& ParameterDBNULL::componentInfo(uint32_t) const
{
    static const ComponentInfo s_empty;
    return s_empty;
}

const ParameterInfo& ParameterDBNULL::paramInfo(uint32_t, uint32_t) const
{
    static const ParameterInfo s_byIndex;
    return s_byIndex;
}

const ParameterInfo& ParameterDBNULL::paramInfo(const AddressId&) const
{
    static const ParameterInfo s_byAddress;
    return s_byAddress;
}

JLIB::JResult ParameterDBNULL::getVariant(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getDefault(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getVariant(JVariant& value, const AddressId&, uint32_t, uint32_t, uint8_t*) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getDefault(JVariant& value, const AddressId&, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

IComponent& ParameterDBNULL::_getComponent(uint32_t) { return ComponentNULL::getNullObject(); }

const IComponent& ParameterDBNULL::_getComponent(uint32_t) const { return ComponentNULL::getNullObject(); }

}  // namespace PDB
