#pragma once
// The lock object of a copy between two fields: one IMutex over the two fields' lock objects, so
// that one scoped lock takes both. Lives on the stack for one copy and owns neither object.
#include <cstdint>

#include "mms_IMutex.h"

namespace MMS {

class FieldDualMutex : public IMutex {
public:
    // Either may be null; the same object twice is locked once.
    FieldDualMutex(IMutex* first, IMutex* second) : m_pFirst(first), m_pSecond(second) {}

    // Locks and try-locks call the first, then the second; unlocks the second, then the first.
    // Both are called even when the first fails; then the result is 0x80000000. With one object
    // (the other null or the same) its own result; with none, 0 without a call.
    uint32_t getPrmLock() override;
    uint32_t getPrmUnlock() override;
    uint32_t getPrmTryLock() override;
    uint32_t setPrmLock() override;
    uint32_t setPrmUnlock() override;
    uint32_t setPrmTryLock() override;
    uint32_t ctrlLock() override;
    uint32_t ctrlUnlock() override;
    uint32_t ctrlTryLock() override;

private:
    uint32_t onBoth(uint32_t (IMutex::*operation)(), bool releasing);

    IMutex* m_pFirst;   // the owner's
    IMutex* m_pSecond;  // the owner's
};

}  // namespace MMS
