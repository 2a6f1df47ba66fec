#include "dravo/common/dravo_LogicControlFunctionBase.h"

#include "jlib/jlib_result.h"

namespace DRAVO {

namespace {

// The gain-reduction meter's cleared byte: no reduction shown.
constexpr uint8_t kClearedGainReduction = 254;

uint32_t noLogicValue(uint32_t& type, VariantType& value, float& normalized, uint32_t& dirty)
{
    type = 0;
    (void)value.invalid();  // always 0
    normalized = 0.0f;
    dirty = 0;
    return JLIB::kFailed;
}

}  // namespace

LogicControlFunctionBase::LogicControlFunctionBase() = default;

LogicControlFunctionBase::~LogicControlFunctionBase() = default;

uint32_t LogicControlFunctionBase::initialize(ILogicComponentAccessor_V1* accessor, uint32_t uniqID, uint32_t numX,
                                              uint32_t numY)
{
    m_pLogicAccessor = accessor;
    m_uniqID = uniqID;
    m_numX = numX;
    m_numY = numY;
    return JLIB::kOk;
}

uint32_t LogicControlFunctionBase::getLogicInValue(uint32_t port, uint32_t& type, VariantType& value,
                                                   float& normalized, uint32_t& dirty) const
{
    if (!m_pLogicAccessor) return noLogicValue(type, value, normalized, dirty);
    return m_pLogicAccessor->getLogicInValue(port, type, value, normalized, dirty);
}

uint32_t LogicControlFunctionBase::getLogicOutValue(uint32_t port, uint32_t& type, VariantType& value,
                                                    float& normalized, uint32_t& dirty) const
{
    if (!m_pLogicAccessor) return noLogicValue(type, value, normalized, dirty);
    return m_pLogicAccessor->getLogicOutValue(port, type, value, normalized, dirty);
}

uint32_t LogicControlFunctionBase::setLogicOutNormValue(uint32_t port, float value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutNormValue(port, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setLogicOutUInt(uint32_t port, uint32_t value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutUInt(port, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setLogicOutSInt(uint32_t port, int32_t value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutSInt(port, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setLogicOutFloat(uint32_t port, float value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutFloat(port, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setLogicOutString(uint32_t port, const char* text) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutString(port, text) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setLogicOutEvent(uint32_t port) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setLogicOutEvent(port) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::triggerLogic() const
{
    return m_pLogicAccessor ? m_pLogicAccessor->triggerLogic() : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamUInt32(ai, x, y) : 0;
}

int32_t LogicControlFunctionBase::getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamSInt32(ai, x, y) : 0;
}

float LogicControlFunctionBase::getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamFloat(ai, x, y) : 0.0f;
}

bool LogicControlFunctionBase::getParamBool(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_pLogicAccessor && m_pLogicAccessor->getParamBool(ai, x, y);
}

uint32_t LogicControlFunctionBase::getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                                  uint32_t size) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamString(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                                  uint32_t size) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamBinary(ai, x, y, buffer, size) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamNumX(uint32_t ai) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamNumX(ai) : 0;
}

uint32_t LogicControlFunctionBase::getParamNumY(uint32_t ai) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getParamNumY(ai) : 0;
}

uint32_t LogicControlFunctionBase::getParamMin(uint32_t ai, VariantType& value) const
{
    if (m_pLogicAccessor) return m_pLogicAccessor->getParamMin(ai, value);
    (void)value.invalid();  // always 0
    return JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamMax(uint32_t ai, VariantType& value) const
{
    if (m_pLogicAccessor) return m_pLogicAccessor->getParamMax(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamDefault(uint32_t ai, VariantType& value) const
{
    if (m_pLogicAccessor) return m_pLogicAccessor->getParamDefault(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamNominal(uint32_t ai, VariantType& value) const
{
    if (m_pLogicAccessor) return m_pLogicAccessor->getParamNominal(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::getParamStep(uint32_t ai, VariantType& value) const
{
    if (m_pLogicAccessor) return m_pLogicAccessor->getParamStep(ai, value);
    (void)value.invalid();
    return JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamUInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamSInt32(ai, x, y, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamFloat(ai, x, y, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamBool(ai, x, y, value) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamString(ai, x, y, text) : JLIB::kFailed;
}

uint32_t LogicControlFunctionBase::setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                                  uint32_t length) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->setParamBinary(ai, x, y, bytes, length) : JLIB::kFailed;
}

uint8_t LogicControlFunctionBase::getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getLevelMeter(n, x, y, z) : 0;
}

uint8_t LogicControlFunctionBase::getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getHoldLevelMeter(n, x, y, z) : 0;
}

uint8_t LogicControlFunctionBase::getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pLogicAccessor ? m_pLogicAccessor->getGRMeter(n, x, y, z) : kClearedGainReduction;
}

}  // namespace DRAVO
