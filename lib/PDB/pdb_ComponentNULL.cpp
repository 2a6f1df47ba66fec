#include "pdb_ComponentNULL.h"

#include "pdb_ComponentInfo.h"
#include "pdb_ParameterArray.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

namespace {

constexpr uint8_t kNoFactor = 0xFF;

void noFactor(uint8_t* f)
{
    if (f) *f = kNoFactor;
}

}  // namespace

ComponentNULL& ComponentNULL::getNullObject()
{
    static ComponentNULL s_instance;
    return s_instance;
}

const ComponentInfo& ComponentNULL::componentInfo() const
{
    static const ComponentInfo s_empty;
    return s_empty;
}

const ParameterInfo& ComponentNULL::paramInfo(uint32_t) const
{
    static const ParameterInfo s_empty;
    return s_empty;
}

const IParameterArray& ComponentNULL::paramArray(uint32_t) const { return ParameterArrayNULL::getNullObject(); }

JLIB::JResult ComponentNULL::getVariant(JVariant& value, uint32_t, uint32_t, uint32_t, uint8_t* f) const
{
    (void)value.invalid();
    noFactor(f);
    return kNullComponent;
}

uint32_t ComponentNULL::getUInt32(uint32_t, uint32_t, uint32_t, uint8_t* f) const
{
    noFactor(f);
    return 0;
}

int32_t ComponentNULL::getSInt32(uint32_t, uint32_t, uint32_t, uint8_t* f) const
{
    noFactor(f);
    return 0;
}

float ComponentNULL::getFloat(uint32_t, uint32_t, uint32_t, uint8_t* f) const
{
    noFactor(f);
    return 0.0f;
}

bool ComponentNULL::getBool(uint32_t, uint32_t, uint32_t, uint8_t* f) const
{
    noFactor(f);
    return false;
}

JLIB::JResult ComponentNULL::getDefault(JVariant& value, uint32_t, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return kNullComponent;
}

}  // namespace PDB
