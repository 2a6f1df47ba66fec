// Export and import of links: a whole-root export appends the root's link image, a whole-root
// import makes the root's links those of the image behind the export image, and a partial import
// propagates its changed values through the links.
#include <cstring>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_Platform.h"
#include "MMS/mms_LinkBase.h"
#include "MMS/mms_LinkHeaderInfo.h"
#include "jlib/JVariant.h"

namespace MMS {

namespace {

constexpr uint32_t kMaxDepth = 5;
constexpr uint32_t kUuidSize = 36;

// A parameter's value against one the link keeps, compared in the link's cell form.
bool sameCell(const JVariant& value, const LinkInfoPrivate& cell, uint32_t kind)
{
    return LinkInfoPrivate::same(LinkInfoPrivate::of(value, kind), cell, kind);
}

// Sets the import's byte-order override for one call and restores it whatever happens.
class ConvertScope {
public:
    ConvertScope(int8_t& slot, int8_t value) : m_slot(slot), m_saved(slot) { m_slot = value; }
    ~ConvertScope() { m_slot = m_saved; }
    ConvertScope(const ConvertScope&) = delete;
    ConvertScope& operator=(const ConvertScope&) = delete;

private:
    int8_t& m_slot;
    int8_t m_saved;
};

}  // namespace

// ---- Sizes ----

uint32_t LinkBase::getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                         uint8_t wholeLastLevel)
{
    return _getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
}

uint32_t LinkBase::getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                          const uint32_t* first, const uint32_t* last, uint32_t depth,
                                          uint8_t rangeMode)
{
    return _getExportArraySizeFast(size, root, nodes, first, last, depth, rangeMode);
}

uint32_t LinkBase::_getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                          uint8_t wholeLastLevel)
{
    if (size == nullptr) return kMmsBadArgument;
    const uint32_t r = Base::getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
    if (mmsIsFailure(r) || depth != 0) return r;
    uint32_t links = 0;
    const uint32_t own = _getExportLinkDataSize(&links, root);
    if (mmsIsSuccess(own)) *size += links;
    return own;
}

uint32_t LinkBase::_getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                           const uint32_t* first, const uint32_t* last, uint32_t depth,
                                           uint8_t rangeMode)
{
    if (size == nullptr) return kMmsBadArgument;
    const uint32_t r = Base::getExportArraySizeFast(size, root, nodes, first, last, depth, rangeMode);
    if (mmsIsFailure(r) || depth != 0) return r;
    uint32_t links = 0;
    const uint32_t own = _getExportLinkDataSize(&links, root);
    if (mmsIsSuccess(own)) *size += links;
    return own;
}

uint32_t LinkBase::getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                     uint8_t wholeLastLevel)
{
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = Base::cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length);
    if (mmsIsFailure(r)) return r;
    return _getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
}

uint32_t LinkBase::getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                      const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                      uint8_t rangeMode)
{
    // The count stands for the depth, and a node vector has five levels.
    if (indexCount > kMaxDepth) return kMmsBadArgument;
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = Base::cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length);
    if (mmsIsFailure(r)) return r;
    return _getExportArraySizeFast(size, root, nodes, first, last, indexCount, rangeMode);
}

uint32_t LinkBase::_getExportLinkDataSize(uint32_t* size, const char* root)
{
    if (size == nullptr) return kMmsBadArgument;
    const T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsMissing;
    return getLinkDataSize(size, head->next);
}

uint32_t LinkBase::getLinkDataSize(uint32_t* size, const T_LINK_LIST* firstNode) const
{
    if (size == nullptr) return kMmsBadArgument;
    *size = 0;
    if (firstNode == nullptr) return kMmsOk;
    uint64_t total = kLinkHeaderSize;
    for (const T_LINK_LIST* node = firstNode; node != nullptr; node = node->next) {
        total += kLinkCollTagSize;
        if (node->link == nullptr) continue;
        for (const T_LINK_ITEM* m = node->link->first; m != nullptr; m = m->next) total += kLinkItemTagSize;
    }
    if (total > 0xFFFFFFFFu) return kMmsLimit;  // an image length is a 32-bit number
    *size = static_cast<uint32_t>(total);
    return kMmsOk;
}

// ---- Export ----

uint32_t LinkBase::exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                  const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                  uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                                  uint8_t clearImport, uint8_t* factorsOut)
{
    return _exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel, clearDirty,
                           byteOrder, taskId, clearImport, factorsOut);
}

uint32_t LinkBase::exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                   const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                   uint32_t depth, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                   uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    return _exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode, clearDirty,
                            byteOrder, taskId, clearImport, factorsOut, factorCount);
}

uint32_t LinkBase::_exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                   const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                   uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                                   uint8_t clearImport, uint8_t* factorsOut)
{
    const uint32_t r = Base::exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel,
                                            clearDirty, byteOrder, taskId, clearImport, factorsOut);
    if (mmsIsFailure(r) || depth != 0 || written == nullptr || *written > bufferSize) return r;
    uint32_t links = 0;
    const uint32_t own = _exportLinkData(static_cast<unsigned char*>(buffer) + *written, &links,
                                         bufferSize - *written, root, byteOrder);
    if (mmsIsSuccess(own)) *written += links;
    return own;
}

uint32_t LinkBase::_exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                    const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                    uint32_t depth, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                    uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    const uint32_t r = Base::exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode,
                                             clearDirty, byteOrder, taskId, clearImport, factorsOut, factorCount);
    if (mmsIsFailure(r) || depth != 0 || written == nullptr || *written > bufferSize) return r;
    uint32_t links = 0;
    const uint32_t own = _exportLinkData(static_cast<unsigned char*>(buffer) + *written, &links,
                                         bufferSize - *written, root, byteOrder);
    if (mmsIsSuccess(own)) *written += links;
    return own;
}

uint32_t LinkBase::exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                              const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                              uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                              uint8_t clearImport, uint8_t* factorsOut)
{
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = Base::cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length);
    if (mmsIsFailure(r)) return r;
    if (indexCount != depth) return kMmsBadArgument;
    return _exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel, clearDirty,
                           byteOrder, taskId, clearImport, factorsOut);
}

uint32_t LinkBase::exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                               const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
                               uint32_t indexCount, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                               uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = Base::cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length);
    if (mmsIsFailure(r)) return r;
    if (indexCount != depth) return kMmsBadArgument;
    return _exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode, clearDirty,
                            byteOrder, taskId, clearImport, factorsOut, factorCount);
}

uint32_t LinkBase::_exportLinkData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                   uint8_t byteOrder)
{
    if (written == nullptr) return kMmsBadArgument;
    const T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsMissing;
    uint32_t size = 0;
    const uint32_t r = getLinkDataSize(&size, head->next);
    if (mmsIsFailure(r)) return r;
    if (size == 0) return kMmsOk;
    if (buffer == nullptr || bufferSize < size) return kMmsBadArgument;
    uint32_t out = 0;
    const uint32_t own = exportLinkData(buffer, &out, bufferSize, head->next, byteOrder);
    if (mmsIsSuccess(own)) *written = out;
    return own;
}

uint32_t LinkBase::exportLinkData(void* buffer, uint32_t* written, uint32_t bufferSize,
                                  const T_LINK_LIST* firstNode, uint8_t byteOrder) const
{
    if (buffer == nullptr || written == nullptr) return kMmsBadArgument;
    auto* image = static_cast<unsigned char*>(buffer);
    uint64_t body = 0;
    for (const T_LINK_LIST* node = firstNode; node != nullptr; node = node->next) {
        const T_LINK_COLLECTION* link = node->link;
        if (link == nullptr) return kMmsBadArgument;
        uint32_t members = 0;
        for (const T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) ++members;
        const uint64_t block = kLinkCollTagSize + uint64_t{kLinkItemTagSize} * members;
        if (kLinkHeaderSize + body + block > bufferSize) return kMmsBadArgument;
        unsigned char* at = image + kLinkHeaderSize + body;
        unsigned char* item = at + kLinkCollTagSize;
        for (const T_LINK_ITEM* m = link->first; m != nullptr; m = m->next, item += kLinkItemTagSize) {
            (void)LinkHeaderInfo::writeLinkItemData(item, m, link->valueKind, byteOrder);  // never null here
        }
        (void)LinkHeaderInfo::writeLinkCollectionData(at, link, kLinkItemTagSize * members, byteOrder);
        body += block;
    }
    if (bufferSize < kLinkHeaderSize) return kMmsBadArgument;
    (void)LinkHeaderInfo::writeLinkHeaderData(image, static_cast<uint32_t>(body), byteOrder);
    *written = static_cast<uint32_t>(body + kLinkHeaderSize);
    return kMmsOk;
}

// ---- Import ----

uint32_t LinkBase::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                  const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                  uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                  uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
                                  const ExternalSetArg* externalArg)
{
    return _importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor,
                           includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t LinkBase::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                              const char* root, const char* address, uint32_t length, const uint32_t* indices,
                              uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                              uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
                              const ExternalSetArg* externalArg)
{
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = Base::cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length);
    if (mmsIsFailure(r)) return r;
    if (indexCount != depth) return kMmsBadArgument;
    return _importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor,
                           includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t LinkBase::_importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                   const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                   uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                   uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
                                   const ExternalSetArg* externalArg)
{
    // The link image stays in the order it was written while the base turns the export image in
    // front of it to host order: remember that order before the base's import.
    int8_t linkConvert = -1;
    if (depth == 0 && image != nullptr) {
        T_EXPORT_TAG header{};
        unsigned char order = 0;
        if (mmsIsSuccess(CollectionTagInfo::readExportTagHeader(&header, &order, static_cast<unsigned char*>(image),
                                                                imageSize))) {
            linkConvert = order != 0 ? 1 : 0;
        }
    }
    const uint32_t r = Base::importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth,
                                            factor, includeOriginator, notifyOptions, originatorId, checker,
                                            notifyMode, externalArg);
    if (mmsIsFailure(r)) return r;
    if (depth == 0) {
        // The imported values are the image's and must not move the links' other members.
        (void)Base::clearDirtyFlag(root, kLinkTaskId);  // a root the import just found
        const ConvertScope scope(m_importConvert, linkConvert);
        (void)_importLinkData(image, imageSize, root, includeOriginator, originatorId);  // never changes the result
    }
    return execChangedPrmLink(root, factor, includeOriginator, 0, 0, kLinkTaskId, notifyMode, externalArg);
}

uint32_t LinkBase::_importLinkData(void* image, uint32_t length, const char* root, uint8_t markOwn, uint32_t taskId)
{
    if (image == nullptr || length == 0) return kMmsBadArgument;
    (void)importLinkData(image, length, root, markOwn, taskId);  // a damaged link image is merged up to its fault
    return kMmsOk;
}

uint32_t LinkBase::importLinkHeaderCheck(const unsigned char** body, uint32_t* bodyLength, uint32_t* slots,
                                         uint8_t* same, uint8_t* convert, const char* root, const void* image,
                                         uint32_t length)
{
    if (body == nullptr || bodyLength == nullptr || slots == nullptr || same == nullptr || convert == nullptr ||
        image == nullptr || length == 0) {
        return kMmsBadArgument;
    }
    *body = nullptr;
    *bodyLength = 0;
    char uuid[kUuidSize + 1] = {};
    if (mmsIsFailure(Base::getUuid(uuid, root))) return kMmsMissing;
    const unsigned char* area = nullptr;
    uint32_t areaLength = 0;
    if (mmsIsFailure(LinkHeaderInfo::getLinkData(&area, &areaLength, same, convert,
                                                 static_cast<const unsigned char*>(image), length, uuid))) {
        return kMmsMissing;
    }
    if (area == nullptr) return kMmsOk;
    if (m_importConvert >= 0) *convert = static_cast<uint8_t>(m_importConvert);
    return LinkHeaderInfo::linkHeaderCheck(body, bodyLength, slots, area, areaLength, *convert);
}

uint32_t LinkBase::getProcessStatus(uint32_t* status, const T_LINK_LIST* existing,
                                    const T_LINK_COLLECTION* imageLink) const
{
    const bool pending = imageLink != nullptr && imageLink->linkId != 0;
    if (existing != nullptr) {
        if (!pending) {
            *status = 1;
            return kMmsOk;
        }
        if (existing->link == nullptr) return kMmsMissing;
        const uint32_t id = existing->link->linkId;
        *status = imageLink->linkId == id ? 0 : (imageLink->linkId < id ? 2 : 1);
        return kMmsOk;
    }
    if (!pending) return kMmsMissing;
    *status = 2;
    return kMmsOk;
}

uint32_t LinkBase::getItemStatus(uint32_t* status, const T_LINK_ITEM* existing, const T_LINK_ITEM* imageMember) const
{
    if (existing != nullptr && imageMember != nullptr) {
        const int8_t order = addressCompare(existing, imageMember);
        *status = order == 0 ? 0 : (order < 0 ? 1 : 2);
        return kMmsOk;
    }
    if (existing != nullptr) {
        *status = 1;
        return kMmsOk;
    }
    if (imageMember != nullptr) {
        *status = 2;
        return kMmsOk;
    }
    return kMmsMissing;
}

uint32_t LinkBase::importLinkData(void* image, uint32_t length, const char* root, uint8_t markOwn, uint32_t taskId)
{
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr) return kMmsBadArgument;
    const unsigned char* body = nullptr;
    uint32_t bodyLength = 0;
    uint32_t slots = 0;
    uint8_t same = 0;
    uint8_t convert = 0;
    uint32_t r = importLinkHeaderCheck(&body, &bodyLength, &slots, &same, &convert, root, image, length);
    if (mmsIsFailure(r)) return r;
    if (body == nullptr || bodyLength == 0) {
        (void)clearRootLink(root);  // always 0
        return kMmsOk;
    }

    T_LINK_LIST* existing = head->next;
    T_LINK_COLLECTION pending;  // the image's link waiting to be merged; id 0: none
    const unsigned char* items = nullptr;
    uint32_t itemLength = 0;
    uint32_t position = 0;
    while (existing != nullptr || pending.linkId != 0 || position < bodyLength) {
        if (pending.linkId == 0 && position < bodyLength) {
            uint32_t tagLength = 0;
            r = LinkHeaderInfo::readLinkCollectionData(&pending, &tagLength, &itemLength, body + position,
                                                       bodyLength - position, convert);
            if (mmsIsFailure(r)) return r;
            items = body + position + tagLength;
            position += tagLength + itemLength;  // both checked against the bytes left
        }
        uint32_t decision = 0;
        r = getProcessStatus(&decision, existing, &pending);
        if (mmsIsFailure(r)) return r;
        if (decision == 0) {
            uint8_t sameInfo = 0;
            r = isSameParamterInfo(&sameInfo, root, image, length, items, itemLength, existing->link, slots, same,
                                   convert);
            if (mmsIsFailure(r)) return r;
            if (sameInfo == 0) {
                const uint32_t id = existing->link->linkId;
                existing = existing->next;
                r = _deleteLink(root, id, markOwn, taskId);
                if (mmsIsFailure(r)) return r;
                decision = 2;
            } else {
                T_LINK_COLLECTION* link = existing->link;
                existing = existing->next;
                (void)sameCollectionData(root, link, image, length, items, itemLength, slots, same, convert, markOwn,
                                         taskId);
                (void)_setLinkOnOff(root, pending.linkId, pending.onOff, markOwn, taskId);
                (void)_setLinkType(root, pending.linkId, pending.linkType, markOwn, taskId);
                pending = T_LINK_COLLECTION();
                continue;
            }
        }
        if (decision == 1) {
            if (existing->link == nullptr) return kMmsMissing;
            const uint32_t id = existing->link->linkId;
            existing = existing->next;
            (void)_deleteLink(root, id, markOwn, taskId);
            continue;
        }
        // Decision 2: the image's link is new to the root.
        (void)importCollectionData(head, root, pending.linkId, items, itemLength, image, length, slots, same, convert,
                                   markOwn, taskId);
        (void)_setLinkOnOff(root, pending.linkId, pending.onOff, markOwn, taskId);
        (void)_setLinkType(root, pending.linkId, pending.linkType, markOwn, taskId);
        pending = T_LINK_COLLECTION();
    }
    return kMmsOk;
}

uint32_t LinkBase::isSameParamterInfo(uint8_t* same, const char* root, const void* image, uint32_t length,
                                      const unsigned char* items, uint32_t itemLength, const T_LINK_COLLECTION* link,
                                      uint32_t slots, uint8_t sameDefinition, uint8_t convert)
{
    if (same == nullptr) return kMmsBadArgument;
    if (link == nullptr || link->first == nullptr || itemLength == 0) {
        *same = 1;
        return kMmsOk;
    }
    T_LINK_ITEM member;
    uint32_t tagLength = 0;
    if (mmsIsFailure(LinkHeaderInfo::readLinkItemData(&member, &tagLength, items, itemLength, slots, convert))) {
        return kMmsMissing;
    }
    if (sameDefinition == 0) {
        uint32_t nodes[kMaxDepth] = {};
        const uint32_t r = rebuildNewAddress(nodes, root, &member, image, length);
        if (mmsIsFailure(r)) return r;
        std::memcpy(member.nodeIndexes, nodes, sizeof nodes);
    }
    JVariant minimum;
    JVariant maximum;
    JVariant step;
    uint32_t type = 0;
    if (mmsIsFailure(Base::getPrmMinFast(&minimum, root, member.nodeIndexes, member.depth)) ||
        mmsIsFailure(Base::getPrmMaxFast(&maximum, root, member.nodeIndexes, member.depth)) ||
        mmsIsFailure(Base::getPrmStepFast(&step, root, member.nodeIndexes, member.depth)) ||
        mmsIsFailure(Base::getPrmTypeFast(&type, root, member.nodeIndexes, member.depth))) {
        return kMmsNoSuchItem;
    }
    const uint32_t kind = LinkInfoPrivate::kindOf(type);
    if (kind == 0) return kMmsBadArgument;
    *same = (kind == link->valueKind && sameCell(minimum, link->minimum, kind) &&
             sameCell(maximum, link->maximum, kind) && sameCell(step, link->step, kind))
                ? 1
                : 0;
    return kMmsOk;
}

uint32_t LinkBase::importCollectionData(T_LINK_LIST* head, const char* root, uint32_t linkId,
                                        const unsigned char* items, uint32_t itemLength, const void* image,
                                        uint32_t length, uint32_t slots, uint8_t sameDefinition, uint8_t convert,
                                        uint8_t markOwn, uint32_t taskId)
{
    uint32_t r = _createLinkFixedLinkID(root, linkId, markOwn, taskId);
    if (mmsIsFailure(r)) return r;
    T_LINK_COLLECTION* link = head != nullptr ? srchLinkCollection(head->next, linkId) : nullptr;
    if (link == nullptr) return kMmsMissing;
    for (uint32_t at = 0; at < itemLength;) {
        T_LINK_ITEM member;
        uint32_t tagLength = 0;
        r = LinkHeaderInfo::readLinkItemData(&member, &tagLength, items + at, itemLength - at, slots, convert);
        if (mmsIsFailure(r)) return r;
        at += tagLength;
        // A member that cannot be taken over is left out; the others still are.
        if (sameDefinition != 0) {
            (void)importLinkItem(link, root, &member, markOwn, taskId);
        } else {
            (void)importLinkItemRebuildAddr(link, &member, root, image, length, markOwn, taskId);
        }
    }
    return kMmsOk;
}

uint32_t LinkBase::sameCollectionData(const char* root, T_LINK_COLLECTION* link, const void* image, uint32_t length,
                                      const unsigned char* items, uint32_t itemLength, uint32_t slots,
                                      uint8_t sameDefinition, uint8_t convert, uint8_t markOwn, uint32_t taskId)
{
    if (link == nullptr || items == nullptr) return kMmsBadArgument;
    T_LINK_ITEM* existing = link->first;
    T_LINK_ITEM incoming;
    bool pending = false;
    uint32_t at = 0;
    while (existing != nullptr || pending || at < itemLength) {
        if (!pending && at < itemLength) {
            uint32_t tagLength = 0;
            const uint32_t r =
                LinkHeaderInfo::readLinkItemData(&incoming, &tagLength, items + at, itemLength - at, slots, convert);
            if (mmsIsFailure(r)) return r;
            at += tagLength;
            pending = true;
            if (sameDefinition == 0) {
                uint32_t nodes[kMaxDepth] = {};
                if (mmsIsFailure(rebuildNewAddress(nodes, root, &incoming, image, length))) {
                    if (existing != nullptr) existing = existing->next;
                    pending = false;
                    continue;
                }
                std::memcpy(incoming.nodeIndexes, nodes, sizeof nodes);
            }
        }
        uint32_t decision = 0;
        if (mmsIsFailure(getItemStatus(&decision, existing, pending ? &incoming : nullptr))) {
            if (existing != nullptr) existing = existing->next;
            pending = false;
            continue;
        }
        if (decision == 0) {
            existing = existing->next;  // kept as it is, with the value it remembers
            pending = false;
        } else if (decision == 1) {
            // The member is released by its removal: take its address first.
            T_LINK_ITEM gone = *existing;
            existing = existing->next;
            (void)_removeLinkPrm(root, link->linkId, gone.nodeIndexes, gone.arrayIndexes, gone.depth, markOwn,
                                 taskId);
        } else {
            (void)importLinkItem(link, root, &incoming, markOwn, taskId);
            pending = false;
        }
    }
    return kMmsOk;
}

uint32_t LinkBase::importLinkItem(T_LINK_COLLECTION* link, const char* root, const T_LINK_ITEM* member,
                                  uint8_t markOwn, uint32_t taskId)
{
    if (link == nullptr || member == nullptr) return kMmsBadArgument;
    T_LINK_TREE_LIST* chain = nullptr;
    uint32_t r = getSearchTreeList(&chain, root, member->nodeIndexes, member->depth);
    if (mmsIsFailure(r)) return r;
    // An image may name an element the parameter does not have: such a member could never be set.
    JVariant current;
    if (mmsIsFailure(Base::getPrmFast(&current, nullptr, root, member->nodeIndexes, member->arrayIndexes,
                                      member->depth, 0, 0))) {
        return kMmsNoSuchItem;
    }
    if (srchChannelAddr(chain, member->arrayIndexes, member->depth) != nullptr) {
        (void)_removeLinkPrm(root, link->linkId, member->nodeIndexes, member->arrayIndexes, member->depth, markOwn,
                             taskId);
        r = getSearchTreeList(&chain, root, member->nodeIndexes, member->depth);
        if (mmsIsFailure(r)) return r;
    }
    if (link->first == nullptr) {
        JVariant minimum;
        JVariant maximum;
        JVariant step;
        uint32_t type = 0;
        if (mmsIsFailure(Base::getPrmMinFast(&minimum, root, member->nodeIndexes, member->depth)) ||
            mmsIsFailure(Base::getPrmMaxFast(&maximum, root, member->nodeIndexes, member->depth)) ||
            mmsIsFailure(Base::getPrmStepFast(&step, root, member->nodeIndexes, member->depth)) ||
            mmsIsFailure(Base::getPrmTypeFast(&type, root, member->nodeIndexes, member->depth))) {
            return kMmsNoSuchItem;
        }
        r = setLinkCptInfo(link, type, minimum, maximum, step);
        if (mmsIsFailure(r)) return r;
    }
    return createLinkItem(chain, link, root, member->nodeIndexes, member->arrayIndexes, member->depth, member->value,
                          markOwn, taskId);
}

uint32_t LinkBase::importLinkItemRebuildAddr(T_LINK_COLLECTION* link, const T_LINK_ITEM* member, const char* root,
                                             const void* image, uint32_t length, uint8_t markOwn, uint32_t taskId)
{
    if (member == nullptr) return kMmsBadArgument;
    T_LINK_ITEM rebuilt = *member;
    uint32_t nodes[kMaxDepth] = {};
    const uint32_t r = rebuildNewAddress(nodes, root, member, image, length);
    if (mmsIsFailure(r)) return r;
    std::memcpy(rebuilt.nodeIndexes, nodes, sizeof nodes);
    return importLinkItem(link, root, &rebuilt, markOwn, taskId);
}

uint32_t LinkBase::rebuildNewAddress(uint32_t* nodesOut, const char* root, const T_LINK_ITEM* member,
                                     const void* image, uint32_t length)
{
    if (nodesOut == nullptr || member == nullptr) return kMmsBadArgument;
    char text[kLinkTextSize] = {};
    uint8_t named = 1;
    uint32_t r = LinkHeaderInfo::cnvLinkPrmAddrRoot(text, &named, member->nodeIndexes, member->depth,
                                                    static_cast<const unsigned char*>(image), length);
    if (mmsIsFailure(r)) return r;
    // A top-level parameter's text is "/name", which an address reads as a root name: the path
    // below the top is the name alone.
    const char* path = text;
    while (*path == '/') ++path;
    uint32_t count = 0;
    r = Base::cnvStrToFastAddr(nodesOut, &count, kMaxDepth, root, path, mmsStrnlen(path, kLinkTextSize));
    if (mmsIsFailure(r)) return r;
    if (named == 0 && count < kMaxDepth && member->depth > 0) {
        nodesOut[count] = member->nodeIndexes[member->depth - 1];
        ++count;
    }
    return count == member->depth ? kMmsOk : kMmsNoSuchItem;
}

}  // namespace MMS
