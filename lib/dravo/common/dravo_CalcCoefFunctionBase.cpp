#include "dravo/common/dravo_CalcCoefFunctionBase.h"

#include "jlib/jlib_result.h"

namespace DRAVO {

CalcCoefFunctionBase::CalcCoefFunctionBase() = default;

CalcCoefFunctionBase::~CalcCoefFunctionBase() = default;

uint32_t CalcCoefFunctionBase::getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pAccessor ? m_pAccessor->getParamUInt32(ai, x, y) : 0;
}

int32_t CalcCoefFunctionBase::getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pAccessor ? m_pAccessor->getParamSInt32(ai, x, y) : 0;
}

float CalcCoefFunctionBase::getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pAccessor ? m_pAccessor->getParamFloat(ai, x, y) : 0.0f;
}

bool CalcCoefFunctionBase::getParamBool(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pAccessor && m_pAccessor->getParamBool(ai, x, y);
}

uint32_t CalcCoefFunctionBase::getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer, uint32_t size) const
{
    return m_pAccessor ? m_pAccessor->getParamString(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                              uint32_t size) const
{
    return m_pAccessor ? m_pAccessor->getParamBinary(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamNumX(uint32_t ai) const
{
    return m_pAccessor ? m_pAccessor->getParamNumX(ai) : 0;
}

uint32_t CalcCoefFunctionBase::getParamNumY(uint32_t ai) const
{
    return m_pAccessor ? m_pAccessor->getParamNumY(ai) : 0;
}

uint32_t CalcCoefFunctionBase::getParamMin(uint32_t ai, VariantType& value) const
{
    if (m_pAccessor) return m_pAccessor->getParamMin(ai, value);
    (void)value.invalid();  // always 0
    return JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamMax(uint32_t ai, VariantType& value) const
{
    if (m_pAccessor) return m_pAccessor->getParamMax(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamDefault(uint32_t ai, VariantType& value) const
{
    if (m_pAccessor) return m_pAccessor->getParamDefault(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamNominal(uint32_t ai, VariantType& value) const
{
    if (m_pAccessor) return m_pAccessor->getParamNominal(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getParamStep(uint32_t ai, VariantType& value) const
{
    if (m_pAccessor) return m_pAccessor->getParamStep(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t value) const
{
    return m_pAccessor ? m_pAccessor->setCoefUInt32(n, x, y, z, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t value) const
{
    return m_pAccessor ? m_pAccessor->setCoefSInt32(n, x, y, z, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float value) const
{
    return m_pAccessor ? m_pAccessor->setCoefFloat(n, x, y, z, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double value) const
{
    return m_pAccessor ? m_pAccessor->setCoefDouble(n, x, y, z, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pAccessor ? m_pAccessor->getMeterUInt32(n, x, y, z) : 0;
}

int32_t CalcCoefFunctionBase::getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pAccessor ? m_pAccessor->getMeterSInt32(n, x, y, z) : 0;
}

float CalcCoefFunctionBase::getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pAccessor ? m_pAccessor->getMeterFloat(n, x, y, z) : 0.0f;
}

uint32_t CalcCoefFunctionBase::setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return m_pAccessor ? m_pAccessor->setParamUInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const
{
    return m_pAccessor ? m_pAccessor->setParamSInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const
{
    return m_pAccessor ? m_pAccessor->setParamFloat(ai, x, y, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return m_pAccessor ? m_pAccessor->setParamBool(ai, x, y, value) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const
{
    return m_pAccessor ? m_pAccessor->setParamString(ai, x, y, text) : JLIB::kFailed;
}

uint32_t CalcCoefFunctionBase::setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                              uint32_t length) const
{
    return m_pAccessor ? m_pAccessor->setParamBinary(ai, x, y, bytes, length) : JLIB::kFailed;
}

}  // namespace DRAVO
