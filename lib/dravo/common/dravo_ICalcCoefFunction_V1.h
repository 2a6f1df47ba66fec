#pragma once
// A component library's coefficient calculation object: computes the component's coefficient
// arrays from its parameters through the manager accessor. Set up on the thread that creates the
// component, driven by the DSP engine thread. The virtual slot order is a contract with the
// libraries.
#include <cstdint>

#include "dravo/common/dravo_IComponentFunction.h"

namespace DRAVO {

class IComponentDescription;
class IManagerAccessor_V1;

class ICalcCoefFunction_V1 : public IComponentFunction {
public:
    // For the component's own set-up.
    virtual uint32_t getNumInPort() = 0;
    virtual uint32_t getNumOutPort() = 0;
    virtual uint32_t getNumInPortForAudioProcess() = 0;
    virtual uint32_t getNumOutPortForAudioProcess() = 0;
    virtual uint32_t getFixedInPortName(uint32_t port, char* buffer, uint32_t size) = 0;
    virtual uint32_t getFixedOutPortName(uint32_t port, char* buffer, uint32_t size) = 0;
    virtual uint32_t getResourceUsage(const char* dspName, uint32_t fsHz, uint32_t numSamplePerFrame,
                                      const char* resourceName) = 0;
    // The accessor belongs to the engine and outlives the object's use of it.
    virtual uint32_t initialize(IManagerAccessor_V1* accessor, uint32_t uniqID, uint32_t numX, uint32_t numY,
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
    // Milliseconds between periodic calculations; 0xFFFFFFFF for none.
    virtual uint32_t getCalcInterval() = 0;
    virtual uint32_t onInitialize() = 0;
    // The new rate is read with getFsHz.
    virtual uint32_t onChangeFsHz() = 0;
    virtual uint32_t onParamChange(uint32_t ai, uint32_t x, uint32_t y) = 0;
    // Once when the DSP engine thread begins to use the component.
    virtual uint32_t onStartUse() = 0;
    // first is true on the first call of a use.
    virtual uint32_t onTimer(uint32_t timeMs, bool first) = 0;

protected:
    ~ICalcCoefFunction_V1() = default;
};

}  // namespace DRAVO
