#pragma once
// The component library's description of its component type; the function bases answer every
// descriptive question from it. Owned by the library, read-only, any task. The virtual slot order
// is a contract with the libraries: the reserved slots hold places the engine never calls.
#include <cstdint>

namespace PARRAY {
struct ArrayInfo;
}

namespace DRAVO {

class IComponentDescription {
public:
    virtual uint32_t reservedOperation1() const { return 0; }
    virtual uint32_t reservedOperation2() const { return 0; }
    virtual uint32_t getRequiredSystemVersion() const = 0;
    // May answer null; the bases then give the empty text.
    virtual const char* getComponentName() const = 0;
    virtual uint32_t getComponentMajorVersion() const = 0;
    virtual uint32_t getComponentMinorVersion() const = 0;
    virtual uint32_t getComponentRevision() const = 0;
    virtual uint32_t getMinX() const = 0;
    virtual uint32_t getMinY() const = 0;
    virtual uint32_t getMaxX() const = 0;
    virtual uint32_t getMaxY() const = 0;
    virtual bool isNumXYValid(uint32_t numX, uint32_t numY) const = 0;
    // Tables owned by the library, valid while it is loaded. 0 or a failure code.
    virtual uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const = 0;
    virtual uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const = 0;
    virtual uint32_t calcNumInPort(uint32_t uniqID, uint32_t numX, uint32_t numY) const = 0;
    virtual uint32_t calcNumOutPort(uint32_t uniqID, uint32_t numX, uint32_t numY) const = 0;
    virtual uint32_t calcNumInPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) const = 0;
    virtual uint32_t calcNumOutPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) const = 0;
    virtual uint32_t reservedOperation3() const { return 0; }
    // Writes the name of a fixed port into buffer (size bytes). 0 or a failure code.
    virtual uint32_t calcFixedInPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                         uint32_t size) const = 0;
    virtual uint32_t calcFixedOutPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                          uint32_t size) const = 0;
    // How much of the named resource ("step", "fixedDelay", ...) one instance uses on that DSP.
    virtual uint32_t calcResourceUsage(uint32_t uniqID, uint32_t numX, uint32_t numY, const char* dspName,
                                       uint32_t fsHz, uint32_t numSamplePerFrame, const char* resourceName) const = 0;

protected:
    ~IComponentDescription() = default;
};

}  // namespace DRAVO
