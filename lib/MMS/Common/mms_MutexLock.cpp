#include "mms_MutexLock.h"

#include "mms_IMutex.h"

namespace MMS {

MutexLock::MutexLock(IMutex* mutex, uint8_t flags) : m_pMutex(mutex), m_flags(flags)
{
    if (m_pMutex == nullptr) return;
    // Lock results are not examined: a lock that cannot be taken is the IMutex's to report.
    if (m_flags & kCtrl) (void)m_pMutex->ctrlLock();
    if (m_flags & kSet) (void)m_pMutex->setPrmLock();
    if (m_flags & kGet) (void)m_pMutex->getPrmLock();
}

MutexLock::~MutexLock()
{
    if (m_pMutex == nullptr) return;
    if (m_flags & kGet) (void)m_pMutex->getPrmUnlock();
    if (m_flags & kSet) (void)m_pMutex->setPrmUnlock();
    if (m_flags & kCtrl) (void)m_pMutex->ctrlUnlock();
}

const T_TASK_ITEM* getTaskItem(const T_TASK_LIST* list)
{
    if (list == nullptr || list->origin == nullptr || list->first == 0) return nullptr;
    const auto* item = reinterpret_cast<const T_TASK_ITEM*>(reinterpret_cast<const unsigned char*>(list->origin) +
                                                            list->first);
    list->first = item->next;
    return item;
}

}  // namespace MMS
