// Link groups: creating and deleting links, adding and removing members, on/off, link type and
// the queries of the link structure.
#include <cstring>
#include <new>

#include "MMS/Common/mms_Platform.h"
#include "MMS/mms_LinkBase.h"
#include "MMS/mms_SearchTree.h"
#include "jlib/JVariant.h"

namespace MMS {

namespace {

bool isBooleanLink(const T_LINK_COLLECTION& link)
{
    return link.valueKind == LinkInfoPrivate::kKindInt && link.minimum.bits() == 0 && link.maximum.bits() == 1;
}

}  // namespace

// ---- Public operations: precondition, then the step ----

uint32_t LinkBase::createLink(uint32_t* linkId, const char* root, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const uint32_t r = isBuildLink(handle);
    if (mmsIsFailure(r)) return r;
    return _createLink(linkId, root, markOwn, taskId);
}

uint32_t LinkBase::deleteLink(const char* root, uint32_t linkId, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const uint32_t r = isBuildLink(handle);
    if (mmsIsFailure(r)) return r;
    return _deleteLink(root, linkId, markOwn, taskId);
}

uint32_t LinkBase::getNumOfLink(uint32_t* count, const char* root) { return _getNumOfLink(count, root); }

uint32_t LinkBase::cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position)
{
    return _cnvIndexToLinkID(linkId, root, position);
}

uint32_t LinkBase::setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint32_t handle, uint8_t markOwn,
                                uint32_t taskId)
{
    const uint32_t r = isEditLink(handle);
    if (mmsIsFailure(r)) return r;
    return _setLinkOnOff(root, linkId, onOff, markOwn, taskId);
}

uint32_t LinkBase::getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId)
{
    return _getLinkOnOff(onOff, root, linkId);
}

uint32_t LinkBase::setLinkType(const char* root, uint32_t linkId, uint16_t linkType, uint32_t handle,
                               uint8_t markOwn, uint32_t taskId)
{
    const uint32_t r = isEditLink(handle);
    if (mmsIsFailure(r)) return r;
    return _setLinkType(root, linkId, linkType, markOwn, taskId);
}

uint32_t LinkBase::getLinkType(uint16_t* linkType, const char* root, uint32_t linkId)
{
    return _getLinkType(linkType, root, linkId);
}

uint32_t LinkBase::addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                              uint32_t depth, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const uint32_t r = isBuildLink(handle);
    if (mmsIsFailure(r)) return r;
    return _addLinkPrm(root, linkId, nodes, indices, depth, markOwn, taskId);
}

uint32_t LinkBase::removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                                 uint32_t depth, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const uint32_t r = isBuildLink(handle);
    if (mmsIsFailure(r)) return r;
    return _removeLinkPrm(root, linkId, nodes, indices, depth, markOwn, taskId);
}

uint32_t LinkBase::getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId)
{
    return _getNumOfLinkPrm(count, root, linkId);
}

uint32_t LinkBase::getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, JVariant* value,
                                   uint32_t capacity, const char* root, uint32_t linkId, uint32_t position)
{
    return _getLinkItemInfo(nodesOut, indicesOut, depthOut, value, capacity, root, linkId, position);
}

// ---- Creating and deleting links ----

uint32_t LinkBase::getNewLinkID(uint32_t* linkId, const T_LINK_LIST* firstNode)
{
    uint32_t candidate = 1;
    for (const T_LINK_LIST* node = firstNode; node != nullptr; node = node->next) {
        if (node->link == nullptr) return kMmsMissing;
        if (node->link->linkId != candidate) break;
        if (++candidate == 0xFFFFFFFFu) return kMmsLimit;
    }
    *linkId = candidate;
    return kMmsOk;
}

uint32_t LinkBase::_createLink(uint32_t* linkId, const char* root, uint8_t markOwn, uint32_t taskId)
{
    if (linkId == nullptr) return kMmsBadArgument;
    *linkId = 0;
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;
    uint32_t id = 0;
    uint32_t r = getNewLinkID(&id, head->next);
    if (mmsIsFailure(r)) return r;
    r = _createLinkFixedLinkID(root, id, markOwn, taskId);
    if (mmsIsSuccess(r)) *linkId = id;
    return r;
}

uint32_t LinkBase::_createLinkFixedLinkID(const char* root, uint32_t linkId, uint8_t markOwn, uint32_t taskId)
{
    if (linkId == 0) return kMmsBadArgument;
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;

    T_LINK_LIST* node = new (std::nothrow) T_LINK_LIST();
    T_LINK_COLLECTION* link = new (std::nothrow) T_LINK_COLLECTION();
    uint8_t* bits = reallocDirtyMemory(nullptr, 0, m_collectionBitBytes);
    // Without its bits the link could never report its news to the subscribers that exist.
    if (node == nullptr || link == nullptr || (m_collectionBitBytes != 0 && bits == nullptr)) {
        delete node;
        delete link;
        (void)mmsFree(bits);
        return kMmsNoMemory;
    }
    link->onOff = 1;
    link->linkId = linkId;
    link->dirty = bits;
    node->link = link;

    T_LINK_LIST* before = head;
    for (T_LINK_LIST* p = head->next; p != nullptr; p = p->next) {
        if (p->link != nullptr && p->link->linkId == linkId) {
            delete node;
            releaseLink(link);
            return kMmsAlreadyPresent;
        }
        if (p->link != nullptr && p->link->linkId > linkId) break;
        before = p;
    }
    node->previous = before;
    node->next = before->next;
    if (before->next != nullptr) before->next->previous = node;
    before->next = node;

    (void)initLinkCollectionDirty(link->dirty, markOwn, taskId);
    (void)sendEventTriggerLocal(markOwn, taskId);
    return kMmsOk;
}

uint32_t LinkBase::removeLinkCollection(const char* root, T_LINK_COLLECTION* link)
{
    uint32_t result = kMmsOk;
    T_LINK_ITEM* member = link->first;
    while (member != nullptr) {
        T_LINK_ITEM* next = member->next;
        T_LINK_TREE_LIST* chain = nullptr;
        T_LINK_TREE_LIST* element = nullptr;
        if (mmsIsSuccess(getSearchTreeList(&chain, root, member->nodeIndexes, member->depth))) {
            element = srchChannelAddr(chain, member->arrayIndexes, member->depth);
        }
        if (element == nullptr) {
            result = kMmsMissing;
        } else {
            if (mmsIsFailure(unhookElement(root, member->nodeIndexes, member->depth, chain, element))) {
                result = kMmsMissing;
            }
            delete element;
        }
        releaseMember(member);
        member = next;
    }
    link->first = nullptr;
    return result;
}

uint32_t LinkBase::_deleteLink(const char* root, uint32_t linkId, uint8_t markOwn, uint32_t taskId)
{
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;
    T_LINK_LIST* node = srchLinkIDList(head->next, linkId);
    if (node == nullptr) return kMmsOk;
    uint32_t result = kMmsOk;
    if (node->link != nullptr) {
        result = removeLinkCollection(root, node->link);
        releaseLink(node->link);
    }
    node->previous->next = node->next;
    if (node->next != nullptr) node->next->previous = node->previous;
    delete node;
    return result;
}

uint32_t LinkBase::_getNumOfLink(uint32_t* count, const char* root)
{
    if (count == nullptr) return kMmsBadArgument;
    const T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;
    uint32_t n = 0;
    for (const T_LINK_LIST* p = head->next; p != nullptr; p = p->next) ++n;
    *count = n;
    return kMmsOk;
}

uint32_t LinkBase::_cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position)
{
    if (linkId == nullptr) return kMmsBadArgument;
    const T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;
    const T_LINK_LIST* p = head->next;
    for (uint32_t i = 0; p != nullptr && i < position; ++i) p = p->next;
    if (p == nullptr) return kMmsNotFound;
    if (p->link == nullptr) return kMmsMissing;
    *linkId = p->link->linkId;
    return kMmsOk;
}

// ---- On/off and link type ----

uint32_t LinkBase::_setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint8_t markOwn,
                                 uint32_t taskId)
{
    T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr || link->first == nullptr) return kMmsBadArgument;
    if (onOff == link->onOff) return kMmsOk;
    link->onOff = onOff != 0 ? 1 : 0;
    if (link->onOff != 0) {
        // Changes made while off are not propagated later: the members' values become the base.
        for (T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) {
            JVariant value;
            if (mmsIsSuccess(Base::getPrmFast(&value, nullptr, root, m->nodeIndexes, m->arrayIndexes, m->depth, 1,
                                              kLinkTaskId))) {
                m->value = LinkInfoPrivate::of(value, link->valueKind);
            }
        }
    }
    (void)setLinkCollectionDirty(link->dirty, 2, markOwn, taskId);
    (void)sendEventTriggerLocal(markOwn, taskId);
    return kMmsOk;
}

uint32_t LinkBase::_getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId)
{
    if (onOff == nullptr) return kMmsBadArgument;
    const T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr || link->first == nullptr) return kMmsBadArgument;
    *onOff = link->onOff;
    return kMmsOk;
}

uint32_t LinkBase::_setLinkType(const char* root, uint32_t linkId, uint16_t linkType, uint8_t markOwn,
                                uint32_t taskId)
{
    T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr || link->first == nullptr) return kMmsBadArgument;
    if (linkType == link->linkType) return kMmsOk;
    const uint16_t accepted = isBooleanLink(*link) ? 1 : 0;
    if (linkType != accepted) return kMmsBadArgument;
    link->linkType = linkType;
    (void)setLinkCollectionDirty(link->dirty, 3, markOwn, taskId);
    (void)sendEventTriggerLocal(markOwn, taskId);
    return kMmsOk;
}

uint32_t LinkBase::_getLinkType(uint16_t* linkType, const char* root, uint32_t linkId)
{
    if (linkType == nullptr) return kMmsBadArgument;
    const T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr || link->first == nullptr) return kMmsBadArgument;
    *linkType = link->linkType;
    return kMmsOk;
}

// ---- Members ----

uint32_t LinkBase::setLinkCptInfo(T_LINK_COLLECTION* link, uint32_t type, const JVariant& minimum,
                                  const JVariant& maximum, const JVariant& step)
{
    const uint32_t kind = LinkInfoPrivate::kindOf(type);
    if (kind == 0) return kMmsBadArgument;  // strings and unknown types cannot follow one another
    const LinkInfoPrivate min = LinkInfoPrivate::of(minimum, kind);
    const LinkInfoPrivate max = LinkInfoPrivate::of(maximum, kind);
    const LinkInfoPrivate stp = LinkInfoPrivate::of(step, kind);
    if (link->first != nullptr) {
        if (kind != link->valueKind || !LinkInfoPrivate::same(min, link->minimum, kind) ||
            !LinkInfoPrivate::same(max, link->maximum, kind) || !LinkInfoPrivate::same(stp, link->step, kind)) {
            return kMmsBadArgument;
        }
        return kMmsOk;
    }
    link->onOff = 1;
    link->linkType = (kind == LinkInfoPrivate::kKindInt && minimum.toUInt32() == 0 && maximum.toUInt32() == 1) ? 1 : 0;
    link->minimum = min;
    link->maximum = max;
    link->step = stp;
    link->valueKind = kind;
    return kMmsOk;
}

uint32_t LinkBase::createLinkItem(T_LINK_TREE_LIST* chain, T_LINK_COLLECTION* link, const char* root,
                                  const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                  const LinkInfoPrivate& value, uint8_t markOwn, uint32_t taskId)
{
    if (depth == 0 || depth > 5) return kMmsBadArgument;
    T_LINK_ITEM* member = new (std::nothrow) T_LINK_ITEM();
    T_LINK_TREE_LIST* element = new (std::nothrow) T_LINK_TREE_LIST();
    uint8_t* bits = reallocDirtyMemory(nullptr, 0, m_itemBitBytes);
    if (member == nullptr || element == nullptr || (m_itemBitBytes != 0 && bits == nullptr)) {
        delete member;
        delete element;
        (void)mmsFree(bits);
        return kMmsNoMemory;
    }

    T_LINK_TREE_LIST* last = chain;
    while (last != nullptr && last->next != nullptr) last = last->next;
    if (last != nullptr) {
        last->next = element;
        element->previous = last;
    } else if (mmsIsFailure(m_pSearchTree->set(element, root, nodes, depth))) {
        delete member;
        delete element;
        (void)mmsFree(bits);
        return kMmsMissing;
    }

    std::memcpy(element->arrayIndexes, indices, depth * sizeof(uint32_t));
    std::memcpy(member->nodeIndexes, nodes, depth * sizeof(uint32_t));
    std::memcpy(member->arrayIndexes, indices, depth * sizeof(uint32_t));
    member->depth = depth;
    member->value = value;
    member->dirty = bits;

    T_LINK_ITEM* at = link->first;
    T_LINK_ITEM* behind = nullptr;
    while (at != nullptr) {
        const int8_t order = addressCompare(at, member);
        if (order == 0) {
            (void)unhookElement(root, nodes, depth, last != nullptr ? chain : element, element);
            delete element;
            releaseMember(member);
            return kMmsMissing;
        }
        if (order > 0) break;
        behind = at;
        at = at->next;
    }
    member->previous = behind;
    member->next = at;
    if (at != nullptr) at->previous = member;
    if (behind != nullptr) {
        behind->next = member;
    } else {
        link->first = member;
    }

    (void)setLinkItemDirty(member->dirty, 1, markOwn, taskId);
    element->link = link;
    return kMmsOk;
}

uint32_t LinkBase::_addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                               uint32_t depth, uint8_t markOwn, uint32_t taskId)
{
    if (indices == nullptr) return kMmsBadArgument;
    T_LINK_TREE_LIST* chain = nullptr;
    uint32_t r = getSearchTreeList(&chain, root, nodes, depth);
    if (mmsIsFailure(r)) return r;
    if (srchChannelAddr(chain, indices, depth) != nullptr) return kMmsBadArgument;  // in a link already
    T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr) return kMmsBadArgument;

    JVariant value;
    JVariant minimum;
    JVariant maximum;
    JVariant step;
    uint32_t type = 0;
    if (mmsIsFailure(Base::getPrmFast(&value, nullptr, root, nodes, indices, depth, 0, 0)) ||
        mmsIsFailure(Base::getPrmMinFast(&minimum, root, nodes, depth)) ||
        mmsIsFailure(Base::getPrmMaxFast(&maximum, root, nodes, depth)) ||
        mmsIsFailure(Base::getPrmStepFast(&step, root, nodes, depth)) ||
        mmsIsFailure(Base::getPrmTypeFast(&type, root, nodes, depth))) {
        return kMmsNoSuchItem;
    }

    // A first member shapes the link; a refused member must leave the link as it was.
    const T_LINK_COLLECTION before = *link;
    r = setLinkCptInfo(link, type, minimum, maximum, step);
    if (mmsIsFailure(r)) return r;
    r = createLinkItem(chain, link, root, nodes, indices, depth, LinkInfoPrivate::of(value, link->valueKind), markOwn,
                       taskId);
    if (mmsIsFailure(r)) {
        *link = before;
        return r;
    }
    (void)setLinkCollectionDirty(link->dirty, 0, markOwn, taskId);
    (void)sendEventTriggerLocal(markOwn, taskId);
    return kMmsOk;
}

uint32_t LinkBase::_removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                                  uint32_t depth, uint8_t markOwn, uint32_t taskId)
{
    T_LINK_TREE_LIST* chain = nullptr;
    const uint32_t r = getSearchTreeList(&chain, root, nodes, depth);
    if (mmsIsFailure(r)) return r;
    T_LINK_TREE_LIST* element = srchChannelAddr(chain, indices, depth);
    if (element == nullptr) return kMmsBadArgument;
    if (mmsIsFailure(unhookElement(root, nodes, depth, chain, element))) return kMmsMissing;
    T_LINK_COLLECTION* link = element->link;
    delete element;
    if (link == nullptr) return kMmsMissing;

    T_LINK_ITEM* member = srchLinkItem(link, nodes, indices, depth);
    if (member != nullptr) {
        if (member->previous != nullptr) {
            member->previous->next = member->next;
        } else {
            link->first = member->next;
        }
        if (member->next != nullptr) member->next->previous = member->previous;
        releaseMember(member);
    }
    if (link->first == nullptr) {
        link->onOff = 1;
        link->linkType = 0;
        link->minimum = LinkInfoPrivate();
        link->maximum = LinkInfoPrivate();
        link->step = LinkInfoPrivate();
        link->valueKind = 0;
    }
    (void)setLinkCollectionDirty(link->dirty, 0, markOwn, taskId);
    (void)sendEventTriggerLocal(markOwn, taskId);
    return kMmsOk;
}

uint32_t LinkBase::_getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId)
{
    if (count == nullptr) return kMmsBadArgument;
    const T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr) return kMmsBadArgument;
    uint32_t n = 0;
    for (const T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) ++n;
    *count = n;
    return kMmsOk;
}

uint32_t LinkBase::_getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, JVariant* value,
                                    uint32_t capacity, const char* root, uint32_t linkId, uint32_t position)
{
    if ((capacity != 0 && (nodesOut == nullptr || indicesOut == nullptr)) || depthOut == nullptr || value == nullptr) {
        return kMmsBadArgument;
    }
    const T_LINK_COLLECTION* link = srchLinkCollection(root, linkId);
    if (link == nullptr) return kMmsBadArgument;
    const T_LINK_ITEM* m = link->first;
    for (uint32_t i = 0; m != nullptr && i < position; ++i) m = m->next;
    if (m == nullptr) return kMmsNotFound;
    if (capacity < m->depth) return kMmsBadArgument;
    std::memcpy(nodesOut, m->nodeIndexes, m->depth * sizeof(uint32_t));
    std::memcpy(indicesOut, m->arrayIndexes, m->depth * sizeof(uint32_t));
    *depthOut = m->depth;
    if (link->valueKind == LinkInfoPrivate::kKindInt) {
        *value = static_cast<int>(m->value.asInt());
    } else {
        *value = m->value.asFloat();
    }
    return kMmsOk;
}

}  // namespace MMS
