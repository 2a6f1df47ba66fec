#include "MMS/mms_LinkBase.h"

#include <atomic>
#include <cstring>
#include <new>

#include "MMS/Common/mms_Platform.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/mms_SearchTree.h"
#include "jlib/JVariant.h"

namespace MMS {

namespace {

// Lock-free, so that two fields opening handles at once on different tasks never tear the state.
std::atomic<uint32_t> s_randomState{1};

}  // namespace

uint32_t localRandom()
{
    uint32_t state = s_randomState.load(std::memory_order_relaxed);
    uint32_t next = 0;
    do {
        next = state * 1103515245u + 12345u;
    } while (!s_randomState.compare_exchange_weak(state, next, std::memory_order_relaxed));
    return (next >> 16) & 0x7FFFu;
}

int32_t LinkInfoPrivate::asInt() const
{
    int32_t v = 0;
    std::memcpy(&v, &m_cell, sizeof v);
    return v;
}

float LinkInfoPrivate::asFloat() const
{
    float v = 0;
    std::memcpy(&v, &m_cell, sizeof v);
    return v;
}

void LinkInfoPrivate::setInt(int32_t value) { std::memcpy(&m_cell, &value, sizeof value); }

void LinkInfoPrivate::setFloat(float value) { std::memcpy(&m_cell, &value, sizeof value); }

uint32_t LinkInfoPrivate::kindOf(uint32_t type)
{
    switch (type) {
        case 0x001: case 0x002: case 0x004: case 0x100: case 0x101: case 0x102: case 0x104:
            return kKindInt;
        case 0x304:
            return kKindFloat;
        default:
            return 0;
    }
}

LinkInfoPrivate LinkInfoPrivate::of(const JVariant& value, uint32_t kind)
{
    LinkInfoPrivate cell;
    if (kind == kKindInt) {
        cell.setInt(value.toInt32());
    } else {
        cell.setFloat(value.toFloat());
    }
    return cell;
}

bool LinkInfoPrivate::same(const LinkInfoPrivate& a, const LinkInfoPrivate& b, uint32_t kind)
{
    if (kind == kKindInt) return a.asInt() == b.asInt();
    return a.asFloat() == b.asFloat();
}

// ---- Construction ----

LinkBase::LinkBase(IEventFlagTrigger* fieldTrigger, IEventFlagTrigger* linkTrigger, ISharedMemory* definition,
                   ISharedMemory* values, ISharedMemory* tasks, SearchTree* tree)
    : Base(fieldTrigger, definition, values, tasks), m_pLinkTrigger(linkTrigger), m_pSearchTree(tree)
{
    // The link machinery's own change tracking: every change marks it (mode 0).
    (void)Base::subscribe(0, kLinkTaskId, 1, false);
    m_pRootLinks = new (std::nothrow) RootLinkList(nullptr);
    m_pMemory = new SharedMemWrapper(tasks);  // class allocator: null instead of throwing
    if (m_pMemory != nullptr && mmsIsSuccess(m_subscribers.createMemoryArea(m_pMemory))) {
        (void)m_subscribers.setDirtySize(1);  // only fails when already set
    }
}

LinkBase::~LinkBase()
{
    // Every root that can hold links is registered here, also one that left the base without
    // destroyRoot: one pass over the registry frees them all.
    if (m_pRootLinks != nullptr) {
        for (uint32_t i = 0; i < m_pRootLinks->getLinkNum(); ++i) {
            T_LINK_LIST* head = m_pRootLinks->getLinkIndex(i);
            const char* id = m_pRootLinks->getRootIdentifier(i);
            if (head != nullptr && head->next != nullptr && id != nullptr) (void)clearRootLink(id);
        }
        delete m_pRootLinks;
        m_pRootLinks = nullptr;
    }
    if (m_pMemory != nullptr) {
        (void)m_subscribers.clear(m_pMemory);  // the items live in the task-bookkeeping memory
        delete m_pMemory;
        m_pMemory = nullptr;
    }
    (void)mmsFree(m_pSlots);
    m_pSlots = nullptr;
}

// ---- Root registration ----

uint32_t LinkBase::createRoot(const char* root, const char* topName, uint32_t maxCollections,
                              uint32_t maxParameters, uint32_t stringPoolSize)
{
    const uint32_t r = Base::createRoot(root, topName, maxCollections, maxParameters, stringPoolSize);
    if (mmsIsFailure(r)) return r;
    return m_pRootLinks != nullptr ? m_pRootLinks->append(root) : kMmsMissing;
}

uint32_t LinkBase::addRoot(const char* root, const sharedRootInfo& info)
{
    const uint32_t r = Base::addRoot(root, info);
    if (mmsIsFailure(r)) return r;
    return m_pRootLinks != nullptr ? m_pRootLinks->append(root) : kMmsMissing;
}

uint32_t LinkBase::jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode)
{
    const uint32_t r = Base::jointRoot(root, info, mode);
    if (mmsIsFailure(r)) return r;
    return m_pRootLinks != nullptr ? m_pRootLinks->append(root) : kMmsMissing;
}

uint32_t LinkBase::destroyRoot(const char* root)
{
    // A null identifier names the first root: its links and index go by its name.
    char first[25] = {};
    if (root == nullptr && mmsIsSuccess(Base::getRootIdentifier(first, 0))) root = first;
    const uint32_t r = Base::destroyRoot(root);
    (void)clearRootLink(root);
    if (m_pRootLinks != nullptr) (void)m_pRootLinks->destroy(root);  // null: nothing was registered
    // The index has the shape of the root that is gone; a root made again under this name gets a
    // new one when its build finishes. Its links are cleared above, so no chain element is lost.
    if (mmsIsSuccess(r) && root != nullptr && m_pSearchTree != nullptr) (void)m_pSearchTree->deleteRoot(root);
    return r;
}

uint32_t LinkBase::clearRootLink(const char* root)
{
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsOk;
    while (head->next != nullptr) {
        T_LINK_LIST* first = head->next;
        const uint32_t id = first->link != nullptr ? first->link->linkId : 0;
        (void)_deleteLink(root, id, 1, 0);  // a lost element is released all the same
        if (head->next == first) break;     // nothing was removed: stop rather than spin
    }
    return kMmsOk;
}

uint32_t LinkBase::clearAllLink()
{
    uint32_t count = 0;
    uint32_t r = Base::getRootNum(&count);
    if (mmsIsFailure(r)) return r;
    for (uint32_t i = 0; i < count; ++i) {
        char id[24] = {};
        r = Base::getRootIdentifier(id, i);
        if (mmsIsSuccess(r)) {
            id[23] = '\0';
            (void)clearRootLink(id);
        }
    }
    return r;
}

// ---- Preconditions ----

bool LinkBase::isBaseStatus()
{
    uint8_t status = 0;
    return mmsIsSuccess(Base::getStatus(&status)) && status == kStatusReady;
}

bool LinkBase::isLinkOpen() const { return m_linkHandle != 0; }

uint32_t LinkBase::isBuildLink(uint32_t handle)
{
    if (!isBaseStatus()) return kMmsWrongState;
    if (!isLinkOpen()) return kMmsNoBuildHandle;
    if (handle != m_linkHandle) return kMmsBadArgument;
    return kMmsOk;
}

uint32_t LinkBase::isEditLink(uint32_t handle)
{
    if (!isBaseStatus()) return kMmsWrongState;
    if (isLinkOpen() && handle != m_linkHandle) return kMmsBadArgument;
    return kMmsOk;
}

uint16_t LinkBase::isLinkOnOffCheck(const T_LINK_COLLECTION* link) const { return link->onOff; }

// ---- Build handle ----

uint32_t LinkBase::linkHndlOpen(uint32_t* handle)
{
    if (!isBaseStatus()) return kMmsWrongState;
    return _linkHndlOpen(handle);
}

uint32_t LinkBase::linkHndlClose(uint32_t handle)
{
    const uint32_t r = isBuildLink(handle);
    if (mmsIsFailure(r)) return r;
    return _linkHndlClose();
}

uint32_t LinkBase::_linkHndlOpen(uint32_t* handle)
{
    if (handle == nullptr) return kMmsBadArgument;
    *handle = 0;
    if (isLinkOpen()) return kMmsWrongState;
    uint32_t h = localRandom();
    if (h == 0) h = 1;  // 0 means no handle
    m_linkHandle = h;
    *handle = h;
    return kMmsOk;
}

uint32_t LinkBase::_linkHndlClose()
{
    m_linkHandle = 0;
    return kMmsOk;
}

// ---- Lookups ----

T_LINK_LIST* LinkBase::chainHead(const char* root) const
{
    return m_pRootLinks != nullptr ? m_pRootLinks->getLinkList(root) : nullptr;
}

uint32_t LinkBase::getSearchTreeList(T_LINK_TREE_LIST** chain, const char* root, const uint32_t* nodes,
                                     uint32_t depth) const
{
    if (chain == nullptr || m_pSearchTree == nullptr || nodes == nullptr) return kMmsBadArgument;
    void* entry = nullptr;
    uint8_t category = 0xFF;
    const uint32_t r = m_pSearchTree->get(&entry, &category, root, nodes, depth);
    if (mmsIsFailure(r) || category != 1) return kMmsBadArgument;
    *chain = static_cast<T_LINK_TREE_LIST*>(entry);
    return r;
}

T_LINK_TREE_LIST* LinkBase::srchChannelAddr(T_LINK_TREE_LIST* chain, const uint32_t* indices, uint32_t depth) const
{
    if (indices == nullptr) return nullptr;
    const uint32_t n = depth < 5 ? depth : 5;
    for (T_LINK_TREE_LIST* e = chain; e != nullptr; e = e->next) {
        if (std::memcmp(e->arrayIndexes, indices, n * sizeof(uint32_t)) == 0) return e;
    }
    return nullptr;
}

T_LINK_LIST* LinkBase::srchLinkIDList(T_LINK_LIST* firstNode, uint32_t linkId) const
{
    T_LINK_LIST* node = firstNode;
    while (node != nullptr && node->link != nullptr && node->link->linkId != linkId) node = node->next;
    return node;
}

T_LINK_COLLECTION* LinkBase::srchLinkCollection(const char* root, uint32_t linkId) const
{
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return nullptr;
    return srchLinkCollection(head->next, linkId);
}

T_LINK_COLLECTION* LinkBase::srchLinkCollection(T_LINK_LIST* firstNode, uint32_t linkId) const
{
    T_LINK_LIST* node = srchLinkIDList(firstNode, linkId);
    return node != nullptr ? node->link : nullptr;
}

T_LINK_ITEM* LinkBase::srchLinkItem(const T_LINK_COLLECTION* link, const uint32_t* nodes, const uint32_t* indices,
                                    uint32_t depth) const
{
    if (link == nullptr || nodes == nullptr || indices == nullptr || depth > 5) return nullptr;
    for (T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) {
        if (m->depth == depth && std::memcmp(m->nodeIndexes, nodes, depth * sizeof(uint32_t)) == 0 &&
            std::memcmp(m->arrayIndexes, indices, depth * sizeof(uint32_t)) == 0) {
            return m;
        }
    }
    return nullptr;
}

int8_t LinkBase::addressCompare(const T_LINK_ITEM* a, const T_LINK_ITEM* b) const
{
    if (a == nullptr || b == nullptr) return 0;
    if (a->depth != b->depth) return a->depth < b->depth ? -1 : 1;
    for (uint32_t level = 0; level < a->depth && level < 5; ++level) {
        if (a->nodeIndexes[level] != b->nodeIndexes[level]) {
            return a->nodeIndexes[level] < b->nodeIndexes[level] ? -1 : 1;
        }
        if (a->arrayIndexes[level] != b->arrayIndexes[level]) {
            return a->arrayIndexes[level] < b->arrayIndexes[level] ? -1 : 1;
        }
    }
    return 0;
}

// ---- Releasing ----

void LinkBase::releaseMember(T_LINK_ITEM* member)
{
    (void)mmsFree(member->dirty);
    delete member;
}

void LinkBase::releaseLink(T_LINK_COLLECTION* link)
{
    (void)mmsFree(link->dirty);
    delete link;
}

uint32_t LinkBase::unhookElement(const char* root, const uint32_t* nodes, uint32_t depth, T_LINK_TREE_LIST* chain,
                                 T_LINK_TREE_LIST* element)
{
    if (element == chain) {
        // The head is the tree's entry: the tree must take the new head before the links change.
        if (mmsIsFailure(m_pSearchTree->set(element->next, root, nodes, depth))) return kMmsMissing;
        if (element->next != nullptr) element->next->previous = nullptr;
        return kMmsOk;
    }
    if (element->previous != nullptr) element->previous->next = element->next;
    if (element->next != nullptr) element->next->previous = element->previous;
    return kMmsOk;
}

// ---- Link event ----

uint32_t LinkBase::sendEventTriggerLocal(uint8_t markOwn, uint32_t taskId)
{
    T_TASK_LIST tasks;
    tasks.origin = m_subscribers.getListOrigin();
    tasks.first = m_subscribers.getFrontTaskItem();
    (void)Base::sendEventTrigger(m_pLinkTrigger, markOwn, taskId, &tasks);  // the receiver's answer is its own
    return kMmsOk;
}

}  // namespace MMS
