#pragma once
// The descriptive queries every function interface of a component library carries right after
// the IUnknown operations, in this slot order. The bases answer them from the library's
// component description; the engine may ask any task, they only read.
#include <cstdint>

#include "dravo/common/dravo_IUnknown.h"

namespace PARRAY {
struct ArrayInfo;
}

namespace DRAVO {

class IComponentFunction : public IUnknown {
public:
    virtual uint32_t getRequiredSystemVersion() = 0;
    // Never null: the empty text stands for no name.
    virtual const char* getComponentName() = 0;
    virtual uint32_t getComponentMajorVersion() = 0;
    virtual uint32_t getComponentMinorVersion() = 0;
    virtual uint32_t getComponentRevision() = 0;
    virtual uint32_t getMinX() = 0;
    virtual uint32_t getMinY() = 0;
    virtual uint32_t getMaxX() = 0;
    virtual uint32_t getMaxY() = 0;
    virtual bool isNumXYValid(uint32_t numX, uint32_t numY) = 0;
    virtual uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) = 0;
    virtual uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) = 0;
    virtual uint32_t calcNumInPort(uint32_t uniqID, uint32_t numX, uint32_t numY) = 0;
    virtual uint32_t calcNumOutPort(uint32_t uniqID, uint32_t numX, uint32_t numY) = 0;
    virtual uint32_t calcNumInPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) = 0;
    virtual uint32_t calcNumOutPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) = 0;
    virtual uint32_t calcFixedInPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                         uint32_t size) = 0;
    virtual uint32_t calcFixedOutPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                          uint32_t size) = 0;
    virtual uint32_t calcResourceUsage(uint32_t uniqID, uint32_t numX, uint32_t numY, const char* dspName,
                                       uint32_t fsHz, uint32_t numSamplePerFrame, const char* resourceName) = 0;

protected:
    ~IComponentFunction() = default;
};

}  // namespace DRAVO
