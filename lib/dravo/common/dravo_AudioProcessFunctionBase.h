#pragma once
// Base a component library derives its audio processing object from: reference counting, the
// descriptive queries, the set-up and helpers that forward to the player accessor handed to
// initialize. Before initialize the helpers answer 0x80000000.
#include <cstdint>

#include "dravo/common/dravo_IAudioProcessFunction_V1.h"
#include "dravo/common/dravo_IPlayerAccessor_V1.h"
#include "dravo/common/dravo_SetupFunctionBase.h"

namespace DRAVO {

class AudioProcessFunctionBase
    : public SetupFunctionBase<IAudioProcessFunction_V1, IID_IAudioProcessFunction_V1, IPlayerAccessor_V1> {
public:
    AudioProcessFunctionBase();
    ~AudioProcessFunctionBase() override;

    IPlayerAccessor_V1* playerAccessor() const { return m_pAccessor; }
    const ComponentSetup& componentSetup() const { return m_setup; }

    uint32_t createCalcThread(uint32_t value, uint16_t value16, uint16_t& threadId) const;
    uint32_t deleteCalcThread(uint16_t threadId) const;
    uint32_t resumeCalcThread(uint16_t threadId) const;
    uint32_t endCheckCalcThread(uint16_t threadId, uint32_t value) const;
    uint32_t fixedComponentEvent(uint32_t value, const void* data) const;
    uint32_t componentLog(const char* text) const;
};

}  // namespace DRAVO
