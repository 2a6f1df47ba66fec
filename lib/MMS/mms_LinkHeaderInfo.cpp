#include "MMS/mms_LinkHeaderInfo.h"

#include <cstring>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_Platform.h"
#include "MMS/mms_LinkBase.h"

namespace MMS {

namespace {

constexpr uint32_t kMaxDepth = 5;
constexpr uint32_t kNameField = 24;

uint32_t swap32(uint32_t v) { return __builtin_bswap32(v); }
uint16_t swap16(uint16_t v) { return __builtin_bswap16(v); }

uint32_t read32(const unsigned char* at, uint8_t convert)
{
    uint32_t v = 0;
    std::memcpy(&v, at, sizeof v);
    return convert != 0 ? swap32(v) : v;
}

// Appends "/" (when asked) and a name of at most 24 bytes; 0x80000006 when the terminated text
// would not fit its kLinkTextSize bytes, so a foreign image with long names cannot overrun it.
uint32_t appendName(char* text, bool slash, const char* name)
{
    const uint32_t used = mmsStrnlen(text, kLinkTextSize);
    const uint32_t length = mmsStrnlen(name, kNameField);
    const uint32_t needed = used + (slash ? 1u : 0u) + length + 1u;
    if (needed > kLinkTextSize) return kMmsNoSuchItem;
    char* at = text + used;
    if (slash) *at++ = '/';
    std::memcpy(at, name, length);
    at[length] = '\0';
    return kMmsOk;
}

}  // namespace

bool LinkHeaderInfo::isEndianConvert(uint8_t byteOrder) { return CollectionTagInfo::isEndianConvert(byteOrder); }

// ---- Writers ----

uint32_t LinkHeaderInfo::writeLinkHeaderData(unsigned char* dest, uint32_t bodyLength, uint8_t byteOrder)
{
    if (dest == nullptr) return kMmsBadArgument;
    T_LINK_INFO_HEADER tag{{'M', 'L', 'H'}, kLinkHeaderSize, bodyLength, kMaxDepth};
    if (isEndianConvert(byteOrder)) (void)endianCnvLinkHeaderTag(&tag);
    std::memcpy(dest, &tag, sizeof tag);
    return kMmsOk;
}

uint32_t LinkHeaderInfo::writeLinkCollectionData(unsigned char* dest, const T_LINK_COLLECTION* link,
                                                 uint32_t itemLength, uint8_t byteOrder)
{
    if (dest == nullptr || link == nullptr) return kMmsBadArgument;
    T_LINK_COLL_TAG tag{{'M', 'L', 'C'}, kLinkCollTagSize, link->linkId, link->linkType, link->onOff, itemLength};
    if (isEndianConvert(byteOrder)) (void)endianCnvLinkCllTag(&tag);
    std::memcpy(dest, &tag, sizeof tag);
    return kMmsOk;
}

uint32_t LinkHeaderInfo::writeLinkItemData(unsigned char* dest, const T_LINK_ITEM* member, uint32_t valueKind,
                                           uint8_t byteOrder)
{
    if (dest == nullptr || member == nullptr) return kMmsBadArgument;
    (void)valueKind;  // an Int32 and a Float share the member's one 32-bit cell
    T_LINK_ITEM_TAG tag{};
    std::memcpy(tag.magic, "MLI", 3);
    tag.length = kLinkItemTagSize;
    const uint32_t depth = member->depth < kMaxDepth ? member->depth : kMaxDepth;
    tag.depth = member->depth;
    tag.value = member->value.bits();
    std::memcpy(tag.nodeIndexes, member->nodeIndexes, depth * sizeof(uint32_t));
    std::memcpy(tag.arrayIndexes, member->arrayIndexes, depth * sizeof(uint32_t));
    if (isEndianConvert(byteOrder)) (void)endianCnvLinkItemTag(&tag);
    std::memcpy(dest, &tag, sizeof tag);
    return kMmsOk;
}

// ---- Byte order ----

uint32_t LinkHeaderInfo::endianCnvLinkHeaderTag(T_LINK_INFO_HEADER* tag)
{
    if (tag == nullptr) return kMmsBadArgument;
    tag->bodyLength = swap32(tag->bodyLength);
    tag->slots = swap32(tag->slots);
    return kMmsOk;
}

uint32_t LinkHeaderInfo::endianCnvLinkCllTag(T_LINK_COLL_TAG* tag)
{
    if (tag == nullptr) return kMmsBadArgument;
    tag->linkId = swap32(tag->linkId);
    tag->linkType = swap16(tag->linkType);
    tag->onOff = swap16(tag->onOff);
    tag->itemLength = swap32(tag->itemLength);
    return kMmsOk;
}

uint32_t LinkHeaderInfo::endianCnvLinkItemTag(T_LINK_ITEM_TAG* tag)
{
    if (tag == nullptr) return kMmsBadArgument;
    tag->depth = swap32(tag->depth);
    tag->value = swap32(tag->value);
    for (uint32_t i = 0; i < kMaxDepth; ++i) {
        tag->nodeIndexes[i] = swap32(tag->nodeIndexes[i]);
        tag->arrayIndexes[i] = swap32(tag->arrayIndexes[i]);
    }
    return kMmsOk;
}

// ---- Readers ----

uint32_t LinkHeaderInfo::getLinkData(const unsigned char** area, uint32_t* areaLength, uint8_t* same,
                                     uint8_t* convert, const unsigned char* image, uint32_t imageLength,
                                     const char* uuid)
{
    if (area == nullptr || areaLength == nullptr || same == nullptr || convert == nullptr || uuid == nullptr) {
        return kMmsBadArgument;
    }
    T_EXPORT_TAG header{};
    unsigned char order = 0;
    if (mmsIsFailure(CollectionTagInfo::readExportTagHeader(&header, &order, image, imageLength))) return kMmsMissing;
    const uint64_t end = uint64_t{header.length} + header.tagSize + header.dataSize;
    if (imageLength > end) {
        *area = image + end;
        *areaLength = static_cast<uint32_t>(imageLength - end);
        *same = std::memcmp(uuid, header.uuid, sizeof header.uuid) == 0 ? 1 : 0;
        *convert = order != 0 ? 1 : 0;
    } else {
        *area = nullptr;
        *areaLength = 0;
    }
    return kMmsOk;
}

uint32_t LinkHeaderInfo::linkHeaderCheck(const unsigned char** body, uint32_t* bodyLength, uint32_t* slots,
                                         const unsigned char* area, uint32_t areaLength, uint8_t convert)
{
    if (body == nullptr || bodyLength == nullptr || slots == nullptr || area == nullptr || areaLength == 0) {
        return kMmsBadArgument;
    }
    uint32_t position = 0;
    while (areaLength - position >= 8) {
        const unsigned char* at = area + position;
        const uint32_t headerLength = at[3];
        if (std::memcmp(at, "MLH", 3) == 0) {
            const uint32_t left = areaLength - position;
            // The body begins behind the header's own length, which must cover the header.
            if (left < kLinkHeaderSize || headerLength < kLinkHeaderSize || headerLength > left) {
                return kMmsBadArgument;
            }
            T_LINK_INFO_HEADER header;
            std::memcpy(&header, at, sizeof header);
            if (convert != 0) (void)endianCnvLinkHeaderTag(&header);
            if (header.bodyLength > left - headerLength) return kMmsBadArgument;
            *body = at + headerLength;
            *bodyLength = header.bodyLength;
            *slots = header.slots;
            return kMmsOk;
        }
        const uint64_t step = uint64_t{headerLength} + read32(at + 4, convert);
        if (step == 0 || position + step > areaLength) break;
        position += static_cast<uint32_t>(step);
    }
    return kMmsOk;
}

uint32_t LinkHeaderInfo::readLinkCollectionData(T_LINK_COLLECTION* link, uint32_t* tagLength, uint32_t* itemLength,
                                                const unsigned char* data, uint32_t length, uint8_t convert)
{
    if (link == nullptr || tagLength == nullptr || itemLength == nullptr || data == nullptr) return kMmsBadArgument;
    if (length < kLinkCollTagSize || std::memcmp(data, "MLC", 3) != 0) return kMmsBadArgument;
    T_LINK_COLL_TAG tag;
    std::memcpy(&tag, data, sizeof tag);
    if (convert != 0) (void)endianCnvLinkCllTag(&tag);
    // A length byte below the tag's own size would let the next read start inside this tag.
    if (tag.length < kLinkCollTagSize || tag.length > length) return kMmsBadArgument;
    if (tag.itemLength > length - tag.length) return kMmsBadArgument;
    link->linkId = tag.linkId;
    link->linkType = tag.linkType;
    link->onOff = tag.onOff;
    *tagLength = tag.length;
    *itemLength = tag.itemLength;
    return kMmsOk;
}

uint32_t LinkHeaderInfo::readLinkItemData(T_LINK_ITEM* member, uint32_t* tagLength, const unsigned char* data,
                                          uint32_t length, uint32_t slots, uint8_t convert)
{
    if (member == nullptr || tagLength == nullptr || data == nullptr) return kMmsBadArgument;
    if (length < 12 || std::memcmp(data, "MLI", 3) != 0) return kMmsBadArgument;
    const uint32_t declared = data[3];
    if (uint64_t{declared} < 12 + uint64_t{8} * slots || declared > length) return kMmsBadArgument;

    T_LINK_ITEM_TAG tag{};
    if (slots == kMaxDepth) {
        std::memcpy(&tag, data, sizeof tag);
        const uint32_t depth = convert != 0 ? swap32(tag.depth) : tag.depth;
        if (depth > kMaxDepth) return kMmsNoSuchItem;
    } else {
        std::memcpy(&tag, data, 12);
        const uint32_t depth = read32(data + 4, convert);
        // Checked before copying: the depth decides how many index bytes are read.
        if (depth > kMaxDepth || depth > slots) return kMmsNoSuchItem;
        std::memcpy(tag.nodeIndexes, data + 12, depth * sizeof(uint32_t));
        std::memcpy(tag.arrayIndexes, data + 12 + 4 * slots, depth * sizeof(uint32_t));
    }
    if (convert != 0) (void)endianCnvLinkItemTag(&tag);

    *member = T_LINK_ITEM();
    member->depth = tag.depth;
    std::memcpy(member->nodeIndexes, tag.nodeIndexes, tag.depth * sizeof(uint32_t));
    std::memcpy(member->arrayIndexes, tag.arrayIndexes, tag.depth * sizeof(uint32_t));
    int32_t cell = 0;
    std::memcpy(&cell, &tag.value, sizeof cell);
    member->value.setInt(cell);  // the 32 bits as stored; the link's kind says how to read them
    *tagLength = declared;
    return kMmsOk;
}

// ---- Member addresses by name ----

uint32_t LinkHeaderInfo::cnvLinkPrmAddrRoot(char* text, uint8_t* named, const uint32_t* nodes, uint32_t depth,
                                            const unsigned char* image, uint32_t imageLength)
{
    if (text == nullptr || named == nullptr || nodes == nullptr || image == nullptr || depth == 0 ||
        depth > kMaxDepth || imageLength == 0) {
        return kMmsNoSuchItem;
    }
    text[0] = '\0';
    T_EXPORT_TAG header{};
    unsigned char order = 0;
    uint32_t r = CollectionTagInfo::readExportTagHeader(&header, &order, image, imageLength);
    if (mmsIsFailure(r)) return r;
    const uint32_t headerLength = header.length;
    if (headerLength >= imageLength) return kMmsBadArgument;
    const bool convert = order != 0;
    T_COLLECTION_TAG top{};
    r = CollectionTagInfo::readCollTagInfo(&top, image + headerLength, imageLength - headerLength, convert);
    if (mmsIsFailure(r)) return r;
    const uint64_t start = uint64_t{headerLength} + top.length;
    if (start >= imageLength) return kMmsBadArgument;
    const uint64_t wanted = uint64_t{top.parameterTagsSize} + top.childTagsSize;
    const uint64_t left = imageLength - start;
    return cnvLinkPrmAddrCollection(text, named, &top, image + start,
                                    static_cast<uint32_t>(wanted < left ? wanted : left), nodes, depth, 0, convert);
}

uint32_t LinkHeaderInfo::cnvLinkPrmAddrCollection(char* text, uint8_t* named, const T_COLLECTION_TAG* tag,
                                                  const unsigned char* area, uint32_t areaLength,
                                                  const uint32_t* nodes, uint32_t depth, uint32_t level, bool convert)
{
    if (tag == nullptr || area == nullptr || areaLength == 0) return kMmsBadArgument;
    if (text == nullptr || named == nullptr || nodes == nullptr || level >= depth || depth > kMaxDepth) {
        return kMmsNoSuchItem;
    }
    const bool last = level + 1 == depth;
    uint32_t counter = 0;

    const uint32_t parameterEnd = tag->parameterTagsSize < areaLength ? tag->parameterTagsSize : areaLength;
    for (uint32_t at = 0; at < parameterEnd;) {
        T_PARAMETER_TAG parameter{};
        const uint32_t r = CollectionTagInfo::readPrmTagInfo(&parameter, area + at, parameterEnd - at, convert);
        if (mmsIsFailure(r)) return r;
        if (counter == nodes[level]) {
            if (!last) return kMmsBadArgument;
            if (mmsStrnlen(parameter.name, kNameField) == 0) {
                *named = 0;
                return kMmsOk;
            }
            *named = 1;
            return appendName(text, true, parameter.name);
        }
        ++counter;
        at += parameter.length;
    }

    uint64_t at = tag->parameterTagsSize;
    while (at < areaLength) {
        T_COLLECTION_TAG child{};
        const uint32_t left = areaLength - static_cast<uint32_t>(at);
        uint32_t r = CollectionTagInfo::readCollTagInfo(&child, area + at, left, convert);
        if (mmsIsFailure(r)) return r;
        const uint64_t areas = uint64_t{child.parameterTagsSize} + child.childTagsSize;
        if (counter == nodes[level]) {
            if (last) return kMmsBadArgument;
            r = appendName(text, level > 0, child.name);
            if (mmsIsFailure(r)) return r;
            if (child.length >= left) return kMmsNoSuchItem;  // nothing lies inside it
            const uint32_t inner = left - child.length;
            return cnvLinkPrmAddrCollection(text, named, &child, area + at + child.length,
                                            static_cast<uint32_t>(areas < inner ? areas : inner), nodes, depth,
                                            level + 1, convert);
        }
        ++counter;
        at += child.length + areas;
    }
    return kMmsNoSuchItem;
}

}  // namespace MMS
