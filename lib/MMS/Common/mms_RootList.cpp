// A field's list of named roots and its three memory wrappers.
#include "mms_RootList.h"

#include <new>

#include "mms_Result.h"
#include "mms_Root.h"
#include "mms_SharedMemWrapper.h"
#include "mms_StringConverter.h"

namespace MMS {

namespace {

constexpr uint32_t kNameField = 24;

}  // namespace

RootList::RootList(uint32_t* result, ISharedMemory* definition, ISharedMemory* values, ISharedMemory* tasks)
{
    if (result == nullptr) return;
    m_pDefinitionMemory = new (std::nothrow) SharedMemWrapper(definition);
    m_pValueMemory = new (std::nothrow) SharedMemWrapper(values);
    m_pTaskMemory = new (std::nothrow) SharedMemWrapper(tasks);
    const bool created = m_pDefinitionMemory != nullptr && m_pValueMemory != nullptr && m_pTaskMemory != nullptr;
    *result = created ? kMmsOk : kMmsMissing;
}

RootList::~RootList()
{
    (void)clear();
    delete m_pDefinitionMemory;
    delete m_pValueMemory;
    delete m_pTaskMemory;
}

uint32_t RootList::append(const char* rootName, const char* topCollectionName, uint32_t maxCollections,
                          uint32_t maxParameters, uint32_t stringMemorySize)
{
    uint32_t constructed = kMmsMissing;
    Root* root = new (std::nothrow) Root(&constructed, m_pDefinitionMemory, m_pValueMemory, m_pTaskMemory,
                                         topCollectionName, maxCollections, maxParameters, stringMemorySize);
    return adopt(rootName, root, constructed);
}

uint32_t RootList::append(const char* rootName, const sharedRootInfo& info)
{
    uint32_t constructed = kMmsMissing;
    Root* root =
        new (std::nothrow) Root(&constructed, m_pDefinitionMemory, m_pValueMemory, m_pTaskMemory, info);
    return adopt(rootName, root, constructed);
}

uint32_t RootList::append(const char* rootName, const sharedRootInfo& info, uint8_t option, bool recovery)
{
    uint32_t constructed = kMmsMissing;
    Root* root = new (std::nothrow)
        Root(&constructed, m_pDefinitionMemory, m_pValueMemory, m_pTaskMemory, info, option, recovery);
    return adopt(rootName, root, constructed);
}

uint32_t RootList::adopt(const char* rootName, Root* root, uint32_t constructed)
{
    if (root == nullptr) return kMmsNoMemory;
    auto* item = static_cast<T_ROOT_INFO*>(mmsMalloc(sizeof(T_ROOT_INFO)));
    if (item == nullptr) {
        delete root;
        return kMmsNoMemory;
    }
    uint32_t result = constructed;
    if (mmsIsSuccess(result)) {
        (void)mmsMemset(item, 0, sizeof(T_ROOT_INFO));
        item->root = root;
        result = appendItem(rootName, item);
    }
    if (mmsIsFailure(result)) {
        delete root;
        (void)mmsFree(item);
    }
    return result;
}

uint32_t RootList::appendItem(const char* name, T_ROOT_INFO* item)
{
    if (name == nullptr || item == nullptr) return kMmsBadArgument;
    if (find(name) != nullptr) return kMmsAlreadyPresent;
    const uint32_t result = StringConverter::nodeNameCopy(item->name, name);
    if (mmsIsFailure(result)) return result;
    item->next = nullptr;
    item->previous = nullptr;
    if (m_pHead == nullptr) {
        m_pHead = item;
        return result;
    }
    T_ROOT_INFO* tail = m_pHead;
    while (tail->next != nullptr) tail = tail->next;
    tail->next = item;
    item->previous = tail;
    return result;
}

uint32_t RootList::destroy(const char* name)
{
    if (name == nullptr) return kMmsBadArgument;
    T_ROOT_INFO* item = find(name);
    if (item == nullptr) return kMmsOk;
    if (item->previous != nullptr) {
        item->previous->next = item->next;
    } else {
        m_pHead = item->next;
    }
    if (item->next != nullptr) item->next->previous = item->previous;
    delete item->root;
    (void)mmsFree(item);
    return kMmsOk;
}

RootList::T_ROOT_INFO* RootList::find(const char* name) const
{
    if (name == nullptr) return nullptr;
    // One pass per item: the stored name is NUL-padded, so it matches when every byte up to the
    // wanted name's end agrees and the stored name ends there too (or fills the field).
    for (T_ROOT_INFO* item = m_pHead; item != nullptr; item = item->next) {
        uint32_t i = 0;
        while (i < kNameField && name[i] != '\0' && item->name[i] == name[i]) ++i;
        if (i == kNameField || (name[i] == '\0' && item->name[i] == '\0')) return item;
    }
    return nullptr;
}

Root* RootList::get(const char* name) const
{
    T_ROOT_INFO* item = find(name);
    return item != nullptr ? item->root : nullptr;
}

Root* RootList::get(uint32_t index) const
{
    T_ROOT_INFO* item = m_pHead;
    for (uint32_t i = 0; item != nullptr && i < index; ++i) item = item->next;
    return item != nullptr ? item->root : nullptr;
}

Root* RootList::front() const
{
    return m_pHead != nullptr ? m_pHead->root : nullptr;
}

uint32_t RootList::getNum() const
{
    uint32_t count = 0;
    for (T_ROOT_INFO* item = m_pHead; item != nullptr; item = item->next) ++count;
    return count;
}

uint32_t RootList::getIdentifier(char* out, uint32_t index) const
{
    if (out == nullptr) return kMmsBadArgument;
    T_ROOT_INFO* item = m_pHead;
    for (uint32_t i = 0; item != nullptr && i < index; ++i) item = item->next;
    if (item == nullptr) return kMmsNoSuchItem;
    (void)mmsMemcpy(out, item->name, kNameField);
    return kMmsOk;
}

uint32_t RootList::clear()
{
    while (m_pHead != nullptr) {
        T_ROOT_INFO* item = m_pHead;
        m_pHead = item->next;
        delete item->root;
        (void)mmsFree(item);
    }
    return kMmsOk;
}

}  // namespace MMS
