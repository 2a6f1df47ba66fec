#pragma once
// The DSP player's services for an audio processing object. Implemented by the player process,
// outside this system; only the player gives meaning to the unsigned arguments. The virtual slot
// order is a contract with the libraries: the reserved slots hold places the bases never call.
#include <cstdint>

namespace DRAVO {

class IPlayerAccessor_V1 {
public:
    virtual uint32_t reservedOperation1() = 0;
    virtual uint32_t reservedOperation2() = 0;
    virtual uint32_t reservedOperation3() = 0;
    virtual uint32_t createCalcThread(uint32_t value, uint16_t value16, uint16_t& threadId) = 0;
    virtual uint32_t deleteCalcThread(uint16_t threadId) = 0;
    virtual uint32_t resumeCalcThread(uint16_t threadId) = 0;
    virtual uint32_t endCheckCalcThread(uint16_t threadId, uint32_t value) = 0;
    virtual uint32_t fixedComponentEvent(uint32_t value, const void* data) = 0;
    virtual uint32_t componentLog(const char* text) = 0;

protected:
    ~IPlayerAccessor_V1() = default;
};

}  // namespace DRAVO
