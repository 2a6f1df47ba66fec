#include "mmsf_MMSAddressTree.h"

#include <cstring>
#include <new>
#include <string>

#include "MMS/Common/mms_IField.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;
// A node name has at most 23 characters; the rest is room for the terminator and a margin.
constexpr size_t kNameBufferSize = 32;

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

}  // namespace

// ---- MMSAddressTreeItem ----

MMSAddressTreeItem::MMSAddressTreeItem() : m_observersChanged(false) {}

MMSAddressTreeItem::~MMSAddressTreeItem() { (void)clear(); }

uint32_t MMSAddressTreeItem::initialize(MMS::IField* field, const char* rootId, const char* path,
                                        unsigned int pathLength)
{
    (void)clear();
    if (path) {
        if (failed(m_address.setAddress(field, rootId, path))) return kFailed;
        (void)m_address.setAnyChAll();
    }
    return addChildNodes(field, rootId, path, pathLength);
}

uint32_t MMSAddressTreeItem::addChildNodes(MMS::IField* field, const char* rootId, const char* path,
                                           unsigned int pathLength)
{
    if (!field) return kFailed;
    uint32_t count = 0;
    if (failed(field->getNumOfChildNodes(&count, rootId, path, pathLength))) return kFailed;
    if (count == 0) return kOk;
    m_children.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        char name[kNameBufferSize] = {};
        if (failed(field->getChildNodeName(name, rootId, path, pathLength, i))) return kFailed;
        name[kNameBufferSize - 1] = '\0';
        std::string childPath = path && pathLength != 0 ? std::string(path, strnlen(path, pathLength)) + "/" : "";
        childPath += name;
        auto* item = new (std::nothrow) MMSAddressTreeItem;
        if (!item) return kFailed;
        m_children.push_back(item);
        // A child that cannot be built whole stays with what it has: its siblings still mirror.
        (void)item->initialize(field, rootId, childPath.c_str(), static_cast<unsigned int>(childPath.size()));
    }
    return kOk;
}

uint32_t MMSAddressTreeItem::clear()
{
    for (MMSAddressTreeItem* item : m_children) delete item;
    m_children.clear();
    m_observers.clear();
    m_observersChanged = false;
    return kOk;
}

MMSAddressTreeItem* MMSAddressTreeItem::child(unsigned int index)
{
    return index < m_children.size() ? m_children[index] : nullptr;
}

const MMSAddressTreeItem* MMSAddressTreeItem::child(unsigned int index) const
{
    return index < m_children.size() ? m_children[index] : nullptr;
}

uint32_t MMSAddressTreeItem::registerObserver(IModelObserver* observer)
{
    if (!observer) return kFailed;
    for (const MMSNodeObserver& entry : m_observers) {
        if (entry.observer == observer) return kFailed;
    }
    m_observers.push_back({observer, false});
    m_observersChanged = true;
    return kOk;
}

uint32_t MMSAddressTreeItem::unregisterObserver(IModelObserver* observer)
{
    if (!observer) return kFailed;
    for (auto it = m_observers.begin(); it != m_observers.end(); ++it) {
        if (it->observer != observer) continue;
        m_observers.erase(it);
        m_observersChanged = true;
        return kOk;
    }
    return kFailed;
}

uint32_t MMSAddressTreeItem::notify(const unsigned int* channels, unsigned int count)
{
    MMSAddress address(m_address);
    if (failed(address.setChVector(channels, count))) return kFailed;
    m_observersChanged = false;
    for (MMSNodeObserver& entry : m_observers) entry.notified = false;
    // Walked by position and restarted after any change to the list: an observer may register
    // or remove observers here from inside onChanged, which moves the entries.
    size_t i = 0;
    while (i < m_observers.size()) {
        if (m_observers[i].notified) {
            ++i;
            continue;
        }
        m_observers[i].notified = true;
        m_observers[i].observer->onChanged(address, true);
        if (m_observersChanged) {
            m_observersChanged = false;
            i = 0;
        } else {
            ++i;
        }
    }
    return kOk;
}

// ---- MMSAddressTree ----

MMSAddressTree::MMSAddressTree() : m_pField(nullptr), m_pRootId(nullptr) {}

MMSAddressTree::~MMSAddressTree() = default;

uint32_t MMSAddressTree::initialize(MMS::IField* field, const char* rootId)
{
    (void)clear();
    m_pField = field;
    m_pRootId = rootId;
    (void)m_top.initialize(field, rootId, nullptr, 0);  // a partial tree still serves what it has
    return kOk;
}

uint32_t MMSAddressTree::clear() { return m_top.clear(); }

MMSAddressTreeItem* MMSAddressTree::find(const unsigned int* nodes, unsigned int depth)
{
    return const_cast<MMSAddressTreeItem*>(static_cast<const MMSAddressTree*>(this)->find(nodes, depth));
}

const MMSAddressTreeItem* MMSAddressTree::find(const unsigned int* nodes, unsigned int depth) const
{
    if (!nodes || depth == 0) return nullptr;
    const MMSAddressTreeItem* item = &m_top;
    for (unsigned int i = 0; i < depth && item; ++i) item = item->child(nodes[i]);
    return item;
}

uint32_t MMSAddressTree::registerObserver(IModelObserver* observer, const MMSAddress& address)
{
    MMSAddressTreeItem* item = find(address.addrVector(), address.vectorLen());
    return item ? item->registerObserver(observer) : kFailed;
}

uint32_t MMSAddressTree::unregisterObserver(IModelObserver* observer, const MMSAddress& address)
{
    MMSAddressTreeItem* item = find(address.addrVector(), address.vectorLen());
    return item ? item->unregisterObserver(observer) : kFailed;
}

uint32_t MMSAddressTree::notify(const unsigned int* nodes, const unsigned int* channels, unsigned int depth)
{
    MMSAddressTreeItem* item = find(nodes, depth);
    return item ? item->notify(channels, depth) : kFailed;
}

}  // namespace MMSFUNC
