#pragma once
// Routes a tree's large memory areas to the memory provider the application handed in, or to the
// library heap when there is none. Used under the locks of the field that owns it.
#include <cstdint>

#include "mms_ISharedMemory.h"
#include "mms_Platform.h"

namespace MMS {

class SharedMemWrapper {
public:
    MMS_CLASS_ALLOCATORS

    // provider: borrowed, kept alive by the application for the wrapper's life; null selects the
    // library heap.
    explicit SharedMemWrapper(ISharedMemory* provider = nullptr) : m_pProvider(provider) {}
    virtual ~SharedMemWrapper() {}

    SharedMemWrapper(const SharedMemWrapper&) = delete;
    SharedMemWrapper& operator=(const SharedMemWrapper&) = delete;

    // A block of size bytes, or null.
    void* malloc(uint32_t size);
    // Gives back a block taken through this wrapper; null is ignored. Always 0.
    uint32_t free(void* block);
    // A new cleared block of newSize bytes holding the first min(oldSize, newSize) bytes of block,
    // which is freed. newSize 0 frees block and gives null; on failure null and block untouched.
    void* realloc(void* block, uint32_t oldSize, uint32_t newSize);

    ISharedMemory* getProvider() const { return m_pProvider; }

private:
    ISharedMemory* m_pProvider;
};

}  // namespace MMS
