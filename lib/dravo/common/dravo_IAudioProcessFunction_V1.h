#pragma once
// A component library's audio processing object, meant for the DSP player process, which drives
// it through the player accessor and the three processing slots at the end (their use is the
// player's; the engine never calls them). The virtual slot order is a contract with the libraries.
#include <cstdint>

#include "dravo/common/dravo_IComponentFunction.h"

namespace DRAVO {

class IComponentDescription;
class IPlayerAccessor_V1;

class IAudioProcessFunction_V1 : public IComponentFunction {
public:
    virtual uint32_t getNumInPort() = 0;
    virtual uint32_t getNumOutPort() = 0;
    virtual uint32_t getNumInPortForAudioProcess() = 0;
    virtual uint32_t getNumOutPortForAudioProcess() = 0;
    virtual uint32_t getFixedInPortName(uint32_t port, char* buffer, uint32_t size) = 0;
    virtual uint32_t getFixedOutPortName(uint32_t port, char* buffer, uint32_t size) = 0;
    virtual uint32_t getResourceUsage(const char* dspName, uint32_t fsHz, uint32_t numSamplePerFrame,
                                      const char* resourceName) = 0;
    // The accessor belongs to the player and outlives the object's use of it.
    virtual uint32_t initialize(IPlayerAccessor_V1* accessor, uint32_t uniqID, uint32_t numX, uint32_t numY,
                                uint32_t dspType, uint32_t sampleType, uint32_t numSamplePerFrame,
                                uint32_t fsHz) = 0;
    virtual uint32_t changeFsHz(uint32_t fsHz) = 0;
    virtual uint32_t getUniqID() = 0;
    virtual uint32_t getNumX() = 0;
    virtual uint32_t getNumY() = 0;
    virtual uint32_t getDSPType() = 0;
    virtual uint32_t getSampleType() = 0;
    virtual uint32_t getNumSamplePerFrame() = 0;
    virtual uint32_t getFsHz() = 0;

    // Supplied by the library.
    virtual const IComponentDescription* getComponentDescription() = 0;
    virtual uint32_t onInitialize() = 0;
    virtual uint32_t onChangeFsHz() = 0;
    virtual uint32_t processSlot1() = 0;
    virtual uint32_t processSlot2() = 0;
    virtual uint32_t processSlot3() = 0;

protected:
    ~IAudioProcessFunction_V1() = default;
};

}  // namespace DRAVO
