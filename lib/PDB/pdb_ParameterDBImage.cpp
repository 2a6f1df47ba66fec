// Images, import and recall of the live database: filled in by the image support.
#include "pdb_ParameterDB.h"

namespace PDB {

JLIB::JResult ParameterDB::recall(const IParameterDB&, const ImportAttr&, uint8_t) { return JLIB::kNotSupported; }

JLIB::JResult ParameterDB::recall(uint32_t, const IParameterDB&, const ImportAttr&, uint8_t)
{
    return JLIB::kNotSupported;
}

JLIB::JResult ParameterDB::recall(uint32_t, uint32_t, const IParameterDB&, const ImportAttr&, uint8_t)
{
    return JLIB::kNotSupported;
}

JLIB::JResult ParameterDB::recall(const AddressId&, const IParameterDB&, const ImportAttr&, uint8_t)
{
    return JLIB::kNotSupported;
}

JLIB::JResult ParameterDB::exportBinary(uint8_t*, uint32_t, uint32_t) const { return JLIB::kNotSupported; }

uint32_t ParameterDB::exportBinarySize() const { return 0; }

JLIB::JResult ParameterDB::exportBinary(uint8_t*, uint32_t, uint32_t, const UniqIdList&) const
{
    return JLIB::kNotSupported;
}

uint32_t ParameterDB::exportBinarySize(const UniqIdList&) const { return 0; }

JLIB::JResult ParameterDB::exportBinary(uint8_t*, uint32_t, uint32_t, const ComponentIndexList&) const
{
    return JLIB::kNotSupported;
}

uint32_t ParameterDB::exportBinarySize(const ComponentIndexList&) const { return 0; }

JLIB::JResult ParameterDB::importBinary(const uint8_t*, uint32_t, const ImportAttr&, JLIB::HeapId)
{
    return JLIB::kNotSupported;
}

}  // namespace PDB
