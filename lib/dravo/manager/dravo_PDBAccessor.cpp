#include "dravo/manager/dravo_PDBAccessor.h"

#include <cstring>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "dravo/manager/dravo_convertDRAVOValue.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "jlib/jlib_string.h"

namespace DRAVO {

namespace {

// The database's statuses (a clamped value among them) count as success.
uint32_t toResult(JLIB::JResult result)
{
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace

uint32_t PDBAccessor::getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_db.getUInt32(m_componentIndex, ai, x, y, nullptr);
}

int32_t PDBAccessor::getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_db.getSInt32(m_componentIndex, ai, x, y, nullptr);
}

float PDBAccessor::getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_db.getFloat(m_componentIndex, ai, x, y, nullptr);
}

bool PDBAccessor::getParamBool(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_db.getBool(m_componentIndex, ai, x, y, nullptr);
}

uint32_t PDBAccessor::getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer, uint32_t size) const
{
    if (!buffer) return JLIB::kFailed;
    std::memset(buffer, 0, size);
    JVariant value;
    (void)m_db.getVariant(value, m_componentIndex, ai, x, y, nullptr);  // a failed read leaves it invalid
    if (value.getType() == JVariant::kTypeString && size != 0) {
        (void)jlib_strcpy(buffer, size, value.toString());  // cut to the buffer on purpose
    }
    return JLIB::kOk;
}

uint32_t PDBAccessor::getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer, uint32_t size) const
{
    if (!buffer) return JLIB::kFailed;
    JVariant value;
    (void)m_db.getVariant(value, m_componentIndex, ai, x, y, nullptr);  // a failed read leaves it invalid
    if (value.getType() == JVariant::kTypeBinary) {
        const uint32_t length = value.getBinaryLength();
        // Half a byte string would pass for a whole one: one that does not fit is not copied.
        if (length <= size && length != 0) std::memcpy(buffer, value.toBinary(), length);
    }
    return JLIB::kOk;
}

uint32_t PDBAccessor::setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return toResult(m_db.setUInt32(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t PDBAccessor::setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const
{
    return toResult(m_db.setSInt32(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t PDBAccessor::setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const
{
    return toResult(m_db.setFloat(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t PDBAccessor::setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return toResult(m_db.setBool(m_componentIndex, ai, x, y, value != 0, kWriteTag));
}

uint32_t PDBAccessor::setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const
{
    return toResult(m_db.setString(m_componentIndex, ai, x, y, text, kWriteTag));
}

uint32_t PDBAccessor::setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                     uint32_t length) const
{
    return toResult(m_db.setBinary(m_componentIndex, ai, x, y, bytes, length, kWriteTag));
}

uint32_t PDBAccessor::getParamNumX(uint32_t ai) const
{
    return m_db.paramInfo(m_componentIndex, ai).numX;
}

uint32_t PDBAccessor::getParamNumY(uint32_t ai) const
{
    return m_db.paramInfo(m_componentIndex, ai).numY;
}

uint32_t PDBAccessor::getParamMin(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_db.paramInfo(m_componentIndex, ai).min, value);
}

uint32_t PDBAccessor::getParamMax(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_db.paramInfo(m_componentIndex, ai).max, value);
}

uint32_t PDBAccessor::getParamDefault(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_db.paramInfo(m_componentIndex, ai).def, value);
}

uint32_t PDBAccessor::getParamNominal(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_db.paramInfo(m_componentIndex, ai).nominal, value);
}

uint32_t PDBAccessor::getParamStep(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_db.paramInfo(m_componentIndex, ai).step, value);
}

}  // namespace DRAVO
