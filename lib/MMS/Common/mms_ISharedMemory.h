#pragma once
// A memory provider handed in by the application (for example memory shared between processes);
// the parameter tree and the ordered notification tables take their large blocks through it.
// Which tasks may call depends on the provider.
#include <cstdint>

namespace MMS {

// Two virtual operations in this slot order and no virtual destructor: the application owns its
// provider and destroys it as its own type.
class ISharedMemory {
public:
    // A block of size bytes, or null.
    virtual void* allocate(uint32_t size) = 0;
    // Gives back a block from allocate.
    virtual void deallocate(void* block) = 0;

protected:
    ~ISharedMemory() = default;
};

}  // namespace MMS
