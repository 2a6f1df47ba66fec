// Link propagation: after the base has set a value, every element marked for the link task moves
// the other members of its link. Every read made here clears the link task's mark, so a member the
// link has just set is not propagated again.
#include "MMS/Common/mms_Platform.h"
#include "MMS/mms_LinkBase.h"
#include "jlib/JVariant.h"

namespace MMS {

// ---- Set overrides ----

uint32_t LinkBase::setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                              const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator,
                              uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                              const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const uint32_t r = Base::setPrmFast(value, root, nodes, indices, depth, factor, includeOriginator, setOptions,
                                        notifyOptions, originatorId, checker, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    // A failure here (0x80000002: the tree does not index the root) tells the caller that the
    // value is stored but links were not followed.
    m_walkNeedless = false;
    const uint32_t own = execParameterLink(root, nodes, indices, depth, factor, includeOriginator, 0, 0, kLinkTaskId,
                                           notifyMode, externalArg);
    if (mmsIsFailure(own) || m_walkNeedless) return own;
    return execChangedPrmLink(root, factor, includeOriginator, 0, 0, kLinkTaskId, notifyMode, externalArg);
}

uint32_t LinkBase::setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
                          const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
                          uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                          const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    uint32_t r = Base::setPrm(value, root, address, length, indices, indexCount, factor, includeOriginator,
                              setOptions, notifyOptions, originatorId, checker, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    uint32_t nodes[5] = {};
    uint32_t depth = 0;
    r = Base::cnvStrToFastAddr(nodes, &depth, 5, root, address, length);
    if (mmsIsFailure(r)) return r;
    if (indexCount != depth) return kMmsBadArgument;
    m_walkNeedless = false;
    const uint32_t own = execParameterLink(root, nodes, indices, depth, factor, includeOriginator, 0, 0, kLinkTaskId,
                                           notifyMode, externalArg);
    if (mmsIsFailure(own) || m_walkNeedless) return own;
    return execChangedPrmLink(root, factor, includeOriginator, 0, 0, kLinkTaskId, notifyMode, externalArg);
}

uint32_t LinkBase::setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                   const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor,
                                   uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions,
                                   uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                                   uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const uint32_t r = Base::setPrmArrayFast(values, root, nodes, first, last, depth, factor, repeat,
                                             includeOriginator, setOptions, notifyOptions, originatorId, checker,
                                             rootFlags, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    return execChangedPrmLink(root, factor, includeOriginator, 0, notifyOptions, kLinkTaskId, notifyMode,
                              externalArg);
}

uint32_t LinkBase::setPrmArray(const JVariantArray& values, const char* root, const char* address, uint32_t length,
                               const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor,
                               uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                               uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                               uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const uint32_t r = Base::setPrmArray(values, root, address, length, first, last, indexCount, factor, repeat,
                                         includeOriginator, setOptions, notifyOptions, originatorId, checker,
                                         rootFlags, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    return execChangedPrmLink(root, factor, includeOriginator, 0, notifyOptions, kLinkTaskId, notifyMode,
                              externalArg);
}

uint32_t LinkBase::setPrmAndFactorArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                            const uint32_t* first, const uint32_t* last, uint32_t depth,
                                            const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
                                            uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                            uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                                            uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const uint32_t r = Base::setPrmAndFactorArrayFast(values, root, nodes, first, last, depth, factors, repeat,
                                                      singleFactor, includeOriginator, setOptions, notifyOptions,
                                                      originatorId, checker, rootFlags, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    return execChangedPrmLink(root, factors != nullptr ? factors[0] : 0, includeOriginator, 0, notifyOptions,
                              kLinkTaskId, notifyMode, externalArg);
}

uint32_t LinkBase::setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
                                        uint32_t length, const uint32_t* first, const uint32_t* last,
                                        uint32_t indexCount, const uint8_t* factors, uint8_t repeat,
                                        uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions,
                                        uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                                        uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const uint32_t r = Base::setPrmAndFactorArray(values, root, address, length, first, last, indexCount, factors,
                                                  repeat, singleFactor, includeOriginator, setOptions, notifyOptions,
                                                  originatorId, checker, rootFlags, notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    return execChangedPrmLink(root, factors != nullptr ? factors[0] : 0, includeOriginator, 0, notifyOptions,
                              kLinkTaskId, notifyMode, externalArg);
}

// ---- Steps ----

uint32_t LinkBase::execChangedPrmLink(const char* root, uint8_t factor, uint8_t markOwn, uint16_t setOptions,
                                      uint8_t notifyOptions, uint32_t taskId, uint32_t notifyMode,
                                      const ExternalSetArg* externalArg)
{
    for (;;) {
        uint32_t nodes[5] = {};
        uint32_t indices[5] = {};
        uint32_t depth = 0;
        uint32_t r = Base::getChangedPrmAddrFast(nodes, indices, &depth, 5, root, nullptr, nullptr, 0, 1, taskId);
        if (mmsIsFailure(r)) return (r & 0xFFu) == 7 ? kMmsOk : r;  // 7: nothing more is marked
        r = execParameterLink(root, nodes, indices, depth, factor, markOwn, setOptions, notifyOptions, taskId,
                              notifyMode, externalArg);
        if (mmsIsFailure(r)) return r;
    }
}

uint32_t LinkBase::execParameterLink(const char* root, const uint32_t* nodes, const uint32_t* indices,
                                     uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t setOptions,
                                     uint8_t notifyOptions, uint32_t taskId, uint32_t notifyMode,
                                     const ExternalSetArg* externalArg)
{
    // The element's mark for the link task goes in every case; its value is read only when a link
    // that is on will use it, which keeps a set of an unlinked element cheap.
    T_LINK_TREE_LIST* chain = nullptr;
    const uint32_t found = getSearchTreeList(&chain, root, nodes, depth);
    const T_LINK_TREE_LIST* element = mmsIsSuccess(found) ? srchChannelAddr(chain, indices, depth) : nullptr;
    T_LINK_COLLECTION* link = element != nullptr ? element->link : nullptr;
    if (link == nullptr || isLinkOnOffCheck(link) == 0) {
        uint8_t marked = 0;
        const uint32_t r = Base::isChangedFast(&marked, root, nodes, indices, depth, 1, taskId);
        if (mmsIsFailure(r)) return r;
        return mmsIsFailure(found) ? found : kMmsOk;  // not linked, or the link is off
    }
    JVariant value;
    const uint32_t r = Base::getPrmFast(&value, nullptr, root, nodes, indices, depth, 1, taskId);
    if (mmsIsFailure(r)) return r;
    T_LINK_ITEM* member = srchLinkItem(link, nodes, indices, depth);
    if (member == nullptr) return kMmsMissing;
    return setLinkPrmSub(link, member, value, root, factor, markOwn, setOptions, notifyOptions, taskId, notifyMode,
                         externalArg);
}

uint32_t LinkBase::setLinkPrmSub(T_LINK_COLLECTION* link, T_LINK_ITEM* member, const JVariant& value,
                                 const char* root, uint8_t factor, uint8_t markOwn, uint16_t setOptions,
                                 uint8_t notifyOptions, uint32_t taskId, uint32_t notifyMode,
                                 const ExternalSetArg* externalArg)
{
    LinkInfoPrivate offset;
    if (link->valueKind == LinkInfoPrivate::kKindInt) {
        const int32_t v = value.toInt32();
        offset.setInt(static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(member->value.asInt())));
        member->value.setInt(v);
    } else {
        const float v = value.toFloat();
        offset.setFloat(v - member->value.asFloat());
        member->value.setFloat(v);
    }
    // A member the link has just set carries exactly its remembered value: the chain stops here.
    // A float offset of -0.0 has its sign bit and still counts.
    if (offset.bits() == 0) return kMmsOk;

    // The member sets name the task as their originator: without markOwn they mark nothing for it.
    // When nothing of the root is marked for the task either, no member can be marked, and the
    // checks and read-backs below would only find clear bits.
    const bool setsMark = markOwn != 0;
    const bool othersMarked = setsMark || mayHaveChanges(root, taskId);
    uint32_t status = kMmsOk;
    for (T_LINK_ITEM* other = link->first; other != nullptr; other = other->next) {
        if (other == member) continue;
        uint8_t marked = 0;
        uint32_t r = kMmsOk;
        if (othersMarked) {
            r = Base::isChangedFast(&marked, root, other->nodeIndexes, other->arrayIndexes, other->depth, 1, taskId);
            if (mmsIsFailure(r)) return r;
        }
        // The read-back takes the mark that the set has just made for the link task. A member set
        // here remembers what the link computed, not what the base's range rules kept, so only a
        // marked member needs its value read.
        if (marked == 0) {
            JVariant next;
            r = getNewValue(next, link, offset, other->value);
            if (mmsIsFailure(r)) return r;
            r = Base::setPrmFast(next, root, other->nodeIndexes, other->arrayIndexes, other->depth, factor, markOwn,
                                 setOptions, notifyOptions, taskId, nullptr, notifyMode, externalArg);
            if (mmsIsFailure(r)) return r;
            if (setsMark) {
                r = Base::isChangedFast(&marked, root, other->nodeIndexes, other->arrayIndexes, other->depth, 1,
                                        taskId);
            }
            if (mmsIsFailure(r)) {
                status = r;
                continue;
            }
            other->value = LinkInfoPrivate::of(next, link->valueKind);
            continue;
        }
        JVariant stored;
        r = Base::getPrmFast(&stored, nullptr, root, other->nodeIndexes, other->arrayIndexes, other->depth, 1, taskId);
        if (mmsIsFailure(r)) {
            status = r;
            continue;
        }
        other->value = LinkInfoPrivate::of(stored, link->valueKind);
    }
    m_walkNeedless = !othersMarked;
    return status;
}

uint32_t LinkBase::getNewValue(JVariant& result, const T_LINK_COLLECTION* link, const LinkInfoPrivate& offset,
                               const LinkInfoPrivate& member) const
{
    if (link->valueKind == LinkInfoPrivate::kKindInt) {
        if (link->linkType == 0) {
            result = static_cast<int>(
                static_cast<int32_t>(static_cast<uint32_t>(member.asInt()) + static_cast<uint32_t>(offset.asInt())));
            return kMmsOk;
        }
        if (link->linkType == 1) {
            result = member.asInt() == 0 ? 1 : 0;
            return kMmsOk;
        }
        return kMmsMissing;
    }
    if (link->valueKind == LinkInfoPrivate::kKindFloat) {
        result = member.asFloat() + offset.asFloat();
        return kMmsOk;
    }
    return kMmsMissing;  // a link without members propagates nothing
}

}  // namespace MMS
