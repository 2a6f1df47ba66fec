#pragma once
// A named source of model addresses and change notifications: a model core watching one root, or
// a collection of cores. Results are 0 or 0x80000000.
#include <cstdint>

namespace MMSFUNC {

class IModelObserver;
class MMSAddress;

class IModelCore {
public:
    virtual const char* name() const = 0;
    // Turns a readable model address such as "Input:3/EQ/Band:1" into a parameter address.
    virtual uint32_t getModelAddress(MMSAddress& address, const char* text) const = 0;
    virtual uint32_t registerObserver(IModelObserver* observer, const MMSAddress& address) = 0;
    virtual uint32_t unregisterObserver(IModelObserver* observer, const MMSAddress& address) = 0;
    // Calls the observers of every element changed for taskId, on the calling task.
    virtual uint32_t notify(unsigned int taskId) = 0;
    virtual ~IModelCore() = default;
};

}  // namespace MMSFUNC
