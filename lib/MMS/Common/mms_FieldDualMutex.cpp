#include "mms_FieldDualMutex.h"

namespace MMS {

uint32_t FieldDualMutex::onBoth(uint32_t (IMutex::*operation)(), bool releasing)
{
    if (!m_pFirst) return m_pSecond ? (m_pSecond->*operation)() : 0;
    if (!m_pSecond || m_pSecond == m_pFirst) return (m_pFirst->*operation)();
    IMutex* const earlier = releasing ? m_pSecond : m_pFirst;
    IMutex* const later = releasing ? m_pFirst : m_pSecond;
    const uint32_t a = (earlier->*operation)();
    const uint32_t b = (later->*operation)();  // called even when the first failed
    return ((a | b) & 0x80000000u) ? 0x80000000u : 0;
}

uint32_t FieldDualMutex::getPrmLock() { return onBoth(&IMutex::getPrmLock, false); }
uint32_t FieldDualMutex::getPrmUnlock() { return onBoth(&IMutex::getPrmUnlock, true); }
uint32_t FieldDualMutex::getPrmTryLock() { return onBoth(&IMutex::getPrmTryLock, false); }
uint32_t FieldDualMutex::setPrmLock() { return onBoth(&IMutex::setPrmLock, false); }
uint32_t FieldDualMutex::setPrmUnlock() { return onBoth(&IMutex::setPrmUnlock, true); }
uint32_t FieldDualMutex::setPrmTryLock() { return onBoth(&IMutex::setPrmTryLock, false); }
uint32_t FieldDualMutex::ctrlLock() { return onBoth(&IMutex::ctrlLock, false); }
uint32_t FieldDualMutex::ctrlUnlock() { return onBoth(&IMutex::ctrlUnlock, true); }
uint32_t FieldDualMutex::ctrlTryLock() { return onBoth(&IMutex::ctrlTryLock, false); }

}  // namespace MMS
