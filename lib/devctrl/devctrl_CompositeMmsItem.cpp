#include "devctrl/devctrl_CompositeMmsItem.h"

#include <cstring>
#include <new>

#include "devctrl/devctrl_MmsItemFactory.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kExists = 0x80000008u;

bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

// Nothing after the separators that follow the first segment.
bool isLastSegment(const char* rest) { return !rest || *rest == '\0'; }

}  // namespace

CompositeMmsItem::~CompositeMmsItem()
{
    while (Entry* entry = m_pFirst) {
        m_pFirst = entry->next;
        delete entry->child;
        delete entry;
    }
}

uint32_t CompositeMmsItem::getGrandChildName(uint32_t* restLength, const char** rest, uint32_t* firstLength,
    const char* path, uint32_t pathLength)
{
    if (!restLength || !rest || !firstLength || !path) return kBadArgument;
    auto inRange = [pathLength](uint32_t consumed) { return pathLength == 0 || consumed < pathLength; };
    uint32_t i = 0;
    while (inRange(i) && path[i] != '/' && path[i] != '\0') ++i;
    *firstLength = i;
    while (inRange(i) && path[i] == '/') ++i;
    *rest = inRange(i) ? path + i : nullptr;
    *restLength = pathLength == 0 ? 0 : pathLength - i;
    return 0;
}

CompositeMmsItem::Entry* CompositeMmsItem::search(const char* name, uint32_t length) const
{
    if (!name || length >= kNameSize) return nullptr;
    for (Entry* entry = m_pFirst; entry; entry = entry->next) {
        const size_t stored = strnlen(entry->name, kNameSize);
        if (stored == kNameSize) continue;
        if (length == 0) {
            if (strncmp(entry->name, name, kNameSize - 1) == 0) return entry;
        } else if (stored == length && strncmp(entry->name, name, length) == 0) {
            return entry;
        }
    }
    return nullptr;
}

uint32_t CompositeMmsItem::add(const char* name, uint32_t length, BaseItem* child)
{
    if (!name || !child || length >= kNameSize) return kBadArgument;
    if (search(name, length)) return kExists;
    if (length == 0) {
        length = static_cast<uint32_t>(strnlen(name, kNameSize));
        if (length == kNameSize) return kBadArgument;
    }
    Entry* entry = new (std::nothrow) Entry;
    if (!entry) return kNoMemory;
    // A caller's length may run past the name's terminator: the copy stops there.
    strncpy(entry->name, name, length);
    entry->child = child;
    Entry** tail = &m_pFirst;
    Entry* last = nullptr;
    while (*tail) {
        last = *tail;
        tail = &last->next;
    }
    entry->prev = last;
    *tail = entry;
    return 0;
}

uint32_t CompositeMmsItem::add(const char* name, uint32_t length, NODE_TYPE type)
{
    MmsItemFactory factory;
    return add(name, length, type, factory);
}

uint32_t CompositeMmsItem::add(const char* name, uint32_t length, NODE_TYPE type, MmsItemFactory& factory)
{
    if (!name || type > NODE_COMPOSITE) return kBadArgument;
    uint32_t restLength = 0;
    const char* rest = nullptr;
    uint32_t firstLength = 0;
    uint32_t r = getGrandChildName(&restLength, &rest, &firstLength, name, length);
    if (isFailure(r)) return r;
    if (firstLength == 0 || firstLength >= kNameSize) return kNoSuchItem;
    if (isLastSegment(rest)) {
        BaseMmsItem* item = factory.create(type);
        if (!item) return kNoMemory;
        r = add(name, firstLength, static_cast<BaseItem*>(item));
        if (isFailure(r)) delete item;
        return r;
    }
    Entry* entry = search(name, firstLength);
    BaseItem* child = entry ? entry->child : nullptr;
    if (!child) {
        BaseMmsItem* group = factory.create(NODE_COMPOSITE);
        if (!group) return kNoMemory;
        r = add(name, firstLength, static_cast<BaseItem*>(group));
        if (isFailure(r)) {
            delete group;
            return r;
        }
        child = group;
    }
    return child->add(rest, restLength, type);
}

uint32_t CompositeMmsItem::remove(const char* name, uint32_t length)
{
    if (!name) return kBadArgument;
    uint32_t restLength = 0;
    const char* rest = nullptr;
    uint32_t firstLength = 0;
    const uint32_t r = getGrandChildName(&restLength, &rest, &firstLength, name, length);
    if (isFailure(r)) return r;
    Entry* entry = search(name, firstLength);
    if (!entry) return kNoSuchItem;
    if (!isLastSegment(rest)) return entry->child->remove(rest, restLength);
    if (entry->prev) {
        entry->prev->next = entry->next;
    } else {
        m_pFirst = entry->next;
    }
    if (entry->next) entry->next->prev = entry->prev;
    delete entry->child;
    delete entry;
    return 0;
}

BaseItem* CompositeMmsItem::item(const char* name, uint32_t length)
{
    return const_cast<BaseItem*>(static_cast<const CompositeMmsItem*>(this)->item(name, length));
}

const BaseItem* CompositeMmsItem::item(const char* name, uint32_t length) const
{
    if (!name) return nullptr;
    uint32_t restLength = 0;
    const char* rest = nullptr;
    uint32_t firstLength = 0;
    if (isFailure(getGrandChildName(&restLength, &rest, &firstLength, name, length))) return nullptr;
    const Entry* entry = search(name, firstLength);
    if (!entry) return nullptr;
    if (isLastSegment(rest)) return entry->child;
    return static_cast<const BaseItem*>(entry->child)->item(rest, restLength);
}

uint32_t CompositeMmsItem::childNum() const
{
    uint32_t count = 0;
    for (const Entry* entry = m_pFirst; entry; entry = entry->next) ++count;
    return count;
}

uint32_t CompositeMmsItem::setLinkFramework(ParameterProc::ILinkFramework* framework)
{
    if (m_pLinkFramework && framework) return kWrongState;
    m_pLinkFramework = framework;
    return 0;
}

}  // namespace DeviceControl
