#include "dravo/common/dravo_AudioProcessFunctionBase.h"

#include "jlib/jlib_result.h"

namespace DRAVO {

AudioProcessFunctionBase::AudioProcessFunctionBase() = default;

AudioProcessFunctionBase::~AudioProcessFunctionBase() = default;

uint32_t AudioProcessFunctionBase::createCalcThread(uint32_t value, uint16_t value16, uint16_t& threadId) const
{
    return m_pAccessor ? m_pAccessor->createCalcThread(value, value16, threadId) : JLIB::kFailed;
}

uint32_t AudioProcessFunctionBase::deleteCalcThread(uint16_t threadId) const
{
    return m_pAccessor ? m_pAccessor->deleteCalcThread(threadId) : JLIB::kFailed;
}

uint32_t AudioProcessFunctionBase::resumeCalcThread(uint16_t threadId) const
{
    return m_pAccessor ? m_pAccessor->resumeCalcThread(threadId) : JLIB::kFailed;
}

uint32_t AudioProcessFunctionBase::endCheckCalcThread(uint16_t threadId, uint32_t value) const
{
    return m_pAccessor ? m_pAccessor->endCheckCalcThread(threadId, value) : JLIB::kFailed;
}

uint32_t AudioProcessFunctionBase::fixedComponentEvent(uint32_t value, const void* data) const
{
    return m_pAccessor ? m_pAccessor->fixedComponentEvent(value, data) : JLIB::kFailed;
}

uint32_t AudioProcessFunctionBase::componentLog(const char* text) const
{
    return m_pAccessor ? m_pAccessor->componentLog(text) : JLIB::kFailed;
}

}  // namespace DRAVO
