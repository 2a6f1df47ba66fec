#include "mms_SharedMemWrapper.h"

namespace MMS {

void* SharedMemWrapper::malloc(uint32_t size)
{
    if (m_pProvider != nullptr) return m_pProvider->allocate(size);
    return mmsMalloc(size);
}

uint32_t SharedMemWrapper::free(void* block)
{
    if (block == nullptr) return kMmsOk;
    if (m_pProvider != nullptr) {
        m_pProvider->deallocate(block);
        return kMmsOk;
    }
    return mmsFree(block);
}

void* SharedMemWrapper::realloc(void* block, uint32_t oldSize, uint32_t newSize)
{
    if (newSize == 0) {
        (void)free(block);  // always 0
        return nullptr;
    }
    void* grown = malloc(newSize);
    if (grown == nullptr) return nullptr;  // the old block stays with the caller
    (void)mmsMemset(grown, 0, newSize);    // cannot fail: block and size are non-zero
    if (block != nullptr) {
        // A caller that shrinks must not have the new block overrun.
        const uint32_t keep = oldSize < newSize ? oldSize : newSize;
        if (keep != 0) (void)mmsMemcpy(grown, block, keep);  // both pointers are valid
        (void)free(block);
    }
    return grown;
}

}  // namespace MMS
