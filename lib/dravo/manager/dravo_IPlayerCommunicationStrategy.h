#pragma once
// How audio components reach the DSP players: coefficient arrays framed by a start and an end,
// and the command that adds a component. Implemented by the DSP engine thread and called on that
// thread only. The slot order is fixed: the destructor comes last.
#include <cstdint>

namespace DRAVO {

class IPlayerCommunicationStrategy {
public:
    // sendType: 0 before every array of a component, 1 before its changed arrays.
    virtual uint32_t sendStart(uint32_t sendType) = 0;
    // size bytes of coefficient array arrayID from byte offset; bytes are borrowed for the call.
    virtual uint32_t sendCoef(uint32_t uniqID, uint32_t arrayID, uint32_t offset, const void* bytes,
                              uint32_t size) = 0;
    virtual uint32_t sendEnd() = 0;
    virtual uint32_t sendAddComponentCommand(const char* name, uint32_t majorVersion, uint32_t uniqID,
                                             uint32_t numX, uint32_t numY) = 0;
    virtual ~IPlayerCommunicationStrategy() {}
};

}  // namespace DRAVO
