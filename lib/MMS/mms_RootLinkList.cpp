#include "MMS/mms_RootLinkList.h"

#include <new>

#include "MMS/Common/mms_Platform.h"
#include "MMS/Common/mms_StringConverter.h"

namespace MMS {

namespace {

constexpr uint32_t kIdSize = 24;

bool sameId(const char* stored, const char* id)
{
    const uint32_t a = mmsStrnlen(stored, kIdSize);
    const uint32_t b = mmsStrnlen(id, kIdSize);
    if (a != b) return false;
    return a == 0 || mmsMemcmp(stored, id, a) == 0;
}

}  // namespace

RootLinkList::RootLinkList(uint32_t* result)
{
    if (result != nullptr) *result = kMmsOk;
}

RootLinkList::~RootLinkList() { (void)clear(); }

void RootLinkList::release(T_LINK_ROOT_INFO* entry)
{
    delete entry->head;
    delete entry;
}

MmsResult RootLinkList::clear()
{
    while (m_pFirst != nullptr) {
        T_LINK_ROOT_INFO* next = m_pFirst->next;
        release(m_pFirst);
        m_pFirst = next;
    }
    return kMmsOk;
}

MmsResult RootLinkList::append(const char* rootId)
{
    T_LINK_ROOT_INFO* entry = new (std::nothrow) T_LINK_ROOT_INFO;
    T_LINK_LIST* head = new (std::nothrow) T_LINK_LIST;
    if (entry == nullptr || head == nullptr) {
        delete entry;
        delete head;
        return kMmsNoMemory;
    }
    entry->head = head;
    const MmsResult r = appendItem(rootId, entry);
    if (mmsIsFailure(r)) release(entry);
    return r;
}

MmsResult RootLinkList::appendItem(const char* rootId, T_LINK_ROOT_INFO* entry)
{
    if (rootId == nullptr || entry == nullptr) return kMmsBadArgument;
    if (find(rootId) != nullptr) return kMmsAlreadyPresent;
    const MmsResult copied = StringConverter::nodeNameCopy(entry->rootId, rootId);
    if (mmsIsFailure(copied)) return copied;
    T_LINK_ROOT_INFO** tail = &m_pFirst;
    T_LINK_ROOT_INFO* last = nullptr;
    while (*tail != nullptr) {
        last = *tail;
        tail = &last->next;
    }
    entry->previous = last;
    entry->next = nullptr;
    *tail = entry;
    return kMmsOk;
}

MmsResult RootLinkList::destroy(const char* rootId)
{
    if (rootId == nullptr) return kMmsBadArgument;
    T_LINK_ROOT_INFO* entry = find(rootId);
    if (entry == nullptr) return kMmsOk;
    if (entry->previous != nullptr) {
        entry->previous->next = entry->next;
    } else {
        m_pFirst = entry->next;
    }
    if (entry->next != nullptr) entry->next->previous = entry->previous;
    release(entry);
    return kMmsOk;
}

uint32_t RootLinkList::getLinkNum() const
{
    uint32_t n = 0;
    for (const T_LINK_ROOT_INFO* p = m_pFirst; p != nullptr; p = p->next) ++n;
    return n;
}

T_LINK_LIST* RootLinkList::getLinkIndex(uint32_t position) const
{
    T_LINK_ROOT_INFO* p = m_pFirst;
    for (uint32_t i = 0; p != nullptr && i < position; ++i) p = p->next;
    return p != nullptr ? p->head : nullptr;
}

const char* RootLinkList::getRootIdentifier(uint32_t position) const
{
    const T_LINK_ROOT_INFO* p = m_pFirst;
    for (uint32_t i = 0; p != nullptr && i < position; ++i) p = p->next;
    return p != nullptr ? p->rootId : nullptr;
}

T_LINK_LIST* RootLinkList::getLinkList(const char* rootId) const
{
    const T_LINK_ROOT_INFO* entry = find(rootId);
    return entry != nullptr ? entry->head : nullptr;
}

RootLinkList::T_LINK_ROOT_INFO* RootLinkList::find(const char* rootId) const
{
    if (rootId == nullptr) return nullptr;
    for (T_LINK_ROOT_INFO* p = m_pFirst; p != nullptr; p = p->next) {
        if (sameId(p->rootId, rootId)) return p;
    }
    return nullptr;
}

}  // namespace MMS
