#include "dravo/manager/dravo_PDBParameterStrategy.h"

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/common/dravo_VariantType.h"
#include "dravo/manager/dravo_PDBAccessor.h"
#include "dravo/manager/dravo_convertDRAVOValue.h"
#include "jlib/JVariant.h"

namespace DRAVO {

namespace {

// Kinds 1 to 4 (unsigned, signed, float, bool) are clamped against their limits on every write.
bool isNumericType(uint8_t type)
{
    const uint8_t kind = type >> 4;
    return kind >= 1 && kind <= 4;
}

// A numeric limit that does not come back as a database value would clamp every write to an
// invalid value; it keeps the definition's.
void takeLimit(const VariantType& fromLibrary, const JVariant& fromDefinition, bool numeric, JVariant& limit)
{
    JVariant converted;
    if (JLIB::isSuccess(convertDRAVOToPDBValue(fromLibrary, converted)) || !numeric) {
        limit = converted;
    } else {
        limit = fromDefinition;
    }
}

}  // namespace

PDBParameterStrategy::~PDBParameterStrategy() = default;

JLIB::JResult PDBParameterStrategy::initialize(IParamInfoFunction_V1* function)
{
    (void)clear();  // always 0
    if (!function) return JLIB::kFailed;
    m_pParamInfoFunction = function;
    m_limitsHook = function->hasLimitsProc();
    m_defaultHook = function->hasDefaultValueProc();
    m_linkHook = function->hasLinkProc();
    return JLIB::kOk;
}

uint32_t PDBParameterStrategy::clear()
{
    m_pParamInfoFunction = nullptr;
    m_limitsHook = false;
    m_defaultHook = false;
    m_linkHook = false;
    return 0;
}

const PDB::ParameterInfo& PDBParameterStrategy::getParameterInfoProxyProc(PDB::IParameterDB& db,
                                                                          uint32_t componentIndex,
                                                                          uint32_t addressIndex, uint32_t x,
                                                                          uint32_t y, const PDB::ParameterInfo& info,
                                                                          PDB::ParameterInfo& scratch) const
{
    if (!m_pParamInfoFunction || !m_limitsHook) return info;
    const PDBAccessor accessor(db, componentIndex);
    scratch = info;
    // Without buffers: a text or byte-string limit cannot travel this way.
    VariantType min;
    VariantType max;
    (void)convertPDBToDRAVOValue(info.min, min);  // failures are not reported; the value stays invalid
    (void)convertPDBToDRAVOValue(info.max, max);
    (void)m_pParamInfoFunction->limitsProc(accessor, addressIndex, x, y, min, max);
    const bool numeric = isNumericType(info.type);
    takeLimit(min, info.min, numeric, scratch.min);
    takeLimit(max, info.max, numeric, scratch.max);
    return scratch;
}

uint32_t PDBParameterStrategy::getDefaultValueProc(PDB::IParameterDB& db, uint32_t componentIndex,
                                                   uint32_t addressIndex, uint32_t x, uint32_t y,
                                                   const PDB::ParameterInfo& info, JVariant& value) const
{
    if (!m_pParamInfoFunction || !m_defaultHook) return 0;
    const PDBAccessor accessor(db, componentIndex);
    VariantType libraryValue(calcDRAVOValueMemorySizeToAllocate(info));
    (void)convertPDBToDRAVOValue(value, libraryValue);  // a text cut to the element stays cut
    (void)m_pParamInfoFunction->defaultValueProc(accessor, addressIndex, x, y, libraryValue);
    JVariant converted;
    if (JLIB::isSuccess(convertDRAVOToPDBValue(libraryValue, converted))) value = converted;
    return 0;
}

uint32_t PDBParameterStrategy::linkParameterProc(PDB::IParameterDB& db, uint32_t componentIndex,
                                                 uint32_t addressIndex, uint32_t x, uint32_t y,
                                                 const PDB::ParameterInfo& info, const JVariant& newValue,
                                                 const JVariant& previousValue, uint8_t factor) const
{
    if (!m_pParamInfoFunction || !m_linkHook) return 0;
    // The stored definition, not the one narrowed for this write, sizes the values.
    const PDB::ParameterInfo& definition = db.paramInfo(componentIndex, addressIndex);
    const PDBAccessor accessor(db, componentIndex);
    const uint32_t size = calcDRAVOValueMemorySizeToAllocate(definition);
    VariantType newLibraryValue(size);
    VariantType oldLibraryValue(size);
    (void)convertPDBToDRAVOValue(newValue, newLibraryValue);  // failures are not reported
    (void)convertPDBToDRAVOValue(previousValue, oldLibraryValue);
    (void)m_pParamInfoFunction->linkProc(accessor, addressIndex, x, y, newLibraryValue, oldLibraryValue);
    return 0;
}

}  // namespace DRAVO
