#include "mms_CollectionTagInfo.h"

#include <cstddef>
#include <cstring>

#include "mms_SharedMemWrapper.h"
#include "mms_StringConverter.h"

namespace MMS {

static_assert(sizeof(T_EXPORT_TAG) == kMmsExportHeaderSize, "export header layout");
static_assert(offsetof(T_EXPORT_TAG, uuid) == 44 && offsetof(T_EXPORT_TAG, tagSize) == 80, "export header layout");
static_assert(sizeof(T_COLLECTION_TAG) == kMmsCollectionTagSize, "collection tag layout");
static_assert(offsetof(T_COLLECTION_TAG, parameterTagsSize) == 28 && offsetof(T_COLLECTION_TAG, arraySize) == 44,
              "collection tag layout");
static_assert(sizeof(T_PARAMETER_TAG) == kMmsParameterTagSize, "parameter tag layout");
static_assert(offsetof(T_PARAMETER_TAG, elementSize) == 4 && offsetof(T_PARAMETER_TAG, name) == 8,
              "parameter tag layout");

namespace {

constexpr uint32_t kUuidSize = 36;
constexpr uint32_t kNameSize = 24;
constexpr uint32_t kVersionSize = 12;

// Byte offsets of the numbers inside the tags.
constexpr uint32_t kColNumbers = 28;  // five 32-bit numbers from here
constexpr uint32_t kColParameterTags = 28;
constexpr uint32_t kColChildTags = 32;
constexpr uint32_t kColDataOffset = 36;
constexpr uint32_t kColElementSize = 40;
constexpr uint32_t kColArraySize = 44;
constexpr uint32_t kPrClass = 3;
constexpr uint32_t kPrElementSize = 4;
constexpr uint32_t kPrArraySize = 6;

bool hostIsBig()
{
    const uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 0;
}

void reverseBytes(unsigned char* p, uint32_t n)
{
    for (uint32_t i = 0; i < n / 2; ++i) {
        const unsigned char t = p[i];
        p[i] = p[n - 1 - i];
        p[n - 1 - i] = t;
    }
}

// count elements of size bytes back to back, each reversed; the common sizes word by word, since
// whole value areas go through here.
void reverseElements(unsigned char* p, uint32_t count, uint32_t size)
{
    if (size == 4) {
        for (uint32_t k = 0; k < count; ++k, p += 4) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            v = __builtin_bswap32(v);
            std::memcpy(p, &v, 4);
        }
    } else if (size == 2) {
        for (uint32_t k = 0; k < count; ++k, p += 2) {
            uint16_t v;
            std::memcpy(&v, p, 2);
            v = __builtin_bswap16(v);
            std::memcpy(p, &v, 2);
        }
    } else {
        for (uint32_t k = 0; k < count; ++k, p += size) reverseBytes(p, size);
    }
}

uint32_t swap32(uint32_t v) { return __builtin_bswap32(v); }
uint16_t swap16(uint16_t v) { return __builtin_bswap16(v); }

uint32_t load32(const unsigned char* p, bool swap)
{
    uint32_t v = 0;
    std::memcpy(&v, p, sizeof(v));
    return swap ? swap32(v) : v;
}

uint16_t load16(const unsigned char* p, bool swap)
{
    uint16_t v = 0;
    std::memcpy(&v, p, sizeof(v));
    return swap ? swap16(v) : v;
}

void store32(unsigned char* p, uint32_t v) { std::memcpy(p, &v, sizeof(v)); }

// One collection tag of an image as the walks need it, numbers in host order.
struct CollectionHead {
    uint32_t length = 0;
    uint32_t parameterTags = 0;
    uint32_t childTags = 0;
    uint32_t dataOffset = 0;
    uint32_t elementSize = 0;
    uint32_t arraySize = 0;
    bool visitsData() const { return elementSize != 0 && arraySize != 0; }
};

struct ParameterHead {
    uint32_t length = 0;
    uint8_t dataClass = 0;
    uint16_t elementSize = 0;
    uint16_t arraySize = 0;
    bool isBit() const { return dataClass == kMmsClassUnsigned && elementSize == 0; }
    // Integers and floats of 2, 4 or 8 bytes change with the byte order; strings, single bytes
    // and bits never do.
    bool isSwapped() const
    {
        return dataClass >= kMmsClassSigned && dataClass <= kMmsClassFloat &&
               (elementSize == 2 || elementSize == 4 || elementSize == 8);
    }
};

// Running position of the parameters inside one element: bit parameters share bytes, packed from
// the least significant bit; any other parameter starts on a whole byte.
class ElementLayout {
public:
    // The byte offset where the parameter's data begins; advances past it.
    uint64_t place(const ParameterHead& p)
    {
        if (p.isBit()) {
            const uint64_t start = m_offset;
            const uint64_t bits = uint64_t{m_bit} + p.arraySize;
            m_offset += bits / 8;
            m_bit = static_cast<uint32_t>(bits % 8);
            return start;
        }
        if (m_bit != 0) {
            ++m_offset;
            m_bit = 0;
        }
        const uint64_t start = m_offset;
        m_offset += uint64_t{p.elementSize} * p.arraySize;
        return start;
    }
    // Bytes used, a partly filled bit byte completed.
    uint64_t end() const { return m_offset + (m_bit != 0 ? 1 : 0); }

private:
    uint64_t m_offset = 0;
    uint32_t m_bit = 0;
};

// A walk over the tag area of an image. foreign: the numbers of the tags are stored in the order
// the host does not use. missingTag: the code for a place where a tag is due and absent.
struct TagArea {
    unsigned char* tags;
    uint64_t size;
    bool foreign;
    uint32_t missingTag;

    uint32_t readCollection(uint64_t pos, uint64_t end, CollectionHead* out) const
    {
        if (end - pos < 4) return kMmsBadArgument;  // no length byte to step by
        if (std::memcmp(tags + pos, "COL", 3) != 0) return missingTag;
        out->length = tags[pos + 3];
        // A tag that does not carry all its numbers cannot be walked.
        if (out->length < kMmsCollectionTagSize || out->length > end - pos) return kMmsBadArgument;
        const unsigned char* at = tags + pos;
        out->parameterTags = load32(at + kColParameterTags, foreign);
        out->childTags = load32(at + kColChildTags, foreign);
        out->dataOffset = load32(at + kColDataOffset, foreign);
        out->elementSize = load32(at + kColElementSize, foreign);
        out->arraySize = load32(at + kColArraySize, foreign);
        const uint64_t sequence = uint64_t{out->length} + out->parameterTags + out->childTags;
        if (sequence > end - pos) return kMmsBadArgument;
        return kMmsOk;
    }

    uint32_t readParameter(uint64_t pos, uint64_t end, ParameterHead* out) const
    {
        if (end - pos < 3) return kMmsBadArgument;
        if (std::memcmp(tags + pos, "PR", 2) != 0) return missingTag;
        out->length = tags[pos + 2];
        if (out->length < kMmsParameterTagSize || out->length > end - pos) return kMmsBadArgument;
        const unsigned char* at = tags + pos;
        out->dataClass = at[kPrClass];
        out->elementSize = load16(at + kPrElementSize, foreign);
        out->arraySize = load16(at + kPrArraySize, foreign);
        return kMmsOk;
    }

    // Checks the tag sequence at pos (within end) without writing: tags within their areas, at most
    // six levels, and for collections whose data is visited their elements within the parent's
    // element (parentSize) and their parameters within their own element.
    uint32_t check(uint64_t pos, uint64_t end, uint32_t level, bool visited, uint64_t parentSize,
                   uint64_t* consumed) const
    {
        if (level > kMmsMaxCollectionLevels) return kMmsBadArgument;
        CollectionHead head;
        uint32_t r = readCollection(pos, end, &head);
        if (mmsIsFailure(r)) return r;
        const bool visits = visited && head.visitsData();
        if (visits && uint64_t{head.dataOffset} + uint64_t{head.arraySize} * head.elementSize > parentSize) {
            return kMmsBadArgument;
        }
        ElementLayout layout;
        uint64_t p = pos + head.length;
        const uint64_t parametersEnd = p + head.parameterTags;
        while (p < parametersEnd) {
            ParameterHead prm;
            r = readParameter(p, parametersEnd, &prm);
            if (mmsIsFailure(r)) return r;
            (void)layout.place(prm);
            p += prm.length;
        }
        if (visits && layout.end() > head.elementSize) return kMmsBadArgument;
        const uint64_t childrenEnd = parametersEnd + head.childTags;
        while (p < childrenEnd) {
            uint64_t used = 0;
            r = check(p, childrenEnd, level + 1, visits, head.elementSize, &used);
            if (mmsIsFailure(r)) return r;
            p += used;
        }
        *consumed = uint64_t{head.length} + head.parameterTags + head.childTags;
        return kMmsOk;
    }

    // Reverses the numbers of every tag of a checked sequence in place.
    void swapTags(uint64_t pos, uint64_t end, uint64_t* consumed) const
    {
        CollectionHead head;
        if (mmsIsFailure(readCollection(pos, end, &head))) return;  // checked before
        for (uint32_t i = 0; i < 5; ++i) reverseBytes(tags + pos + kColNumbers + 4 * i, 4);
        uint64_t p = pos + head.length;
        const uint64_t parametersEnd = p + head.parameterTags;
        while (p < parametersEnd) {
            ParameterHead prm;
            if (mmsIsFailure(readParameter(p, parametersEnd, &prm))) return;
            reverseBytes(tags + p + kPrElementSize, 2);
            reverseBytes(tags + p + kPrArraySize, 2);
            p += prm.length;
        }
        const uint64_t childrenEnd = parametersEnd + head.childTags;
        while (p < childrenEnd) {
            uint64_t used = 0;
            swapTags(p, childrenEnd, &used);
            p += used;
        }
        *consumed = uint64_t{head.length} + head.parameterTags + head.childTags;
    }

    // Reverses every swapped element of a checked sequence whose tags are in host order; base is
    // the start of the parent element in the data area.
    void swapData(unsigned char* data, uint64_t pos, uint64_t end, uint64_t base, uint64_t* consumed) const
    {
        CollectionHead head;
        if (mmsIsFailure(readCollection(pos, end, &head))) return;  // checked before
        *consumed = uint64_t{head.length} + head.parameterTags + head.childTags;
        if (!head.visitsData()) return;
        const uint64_t parametersStart = pos + head.length;
        const uint64_t parametersEnd = parametersStart + head.parameterTags;
        const uint64_t childrenEnd = parametersEnd + head.childTags;
        for (uint64_t i = 0; i < head.arraySize; ++i) {
            const uint64_t element = base + head.dataOffset + i * head.elementSize;
            ElementLayout layout;
            uint64_t p = parametersStart;
            while (p < parametersEnd) {
                ParameterHead prm;
                if (mmsIsFailure(readParameter(p, parametersEnd, &prm))) return;
                const uint64_t start = element + layout.place(prm);
                if (prm.isSwapped()) {
                    reverseElements(data + start, prm.arraySize, prm.elementSize);
                }
                p += prm.length;
            }
            while (p < childrenEnd) {
                uint64_t used = 0;
                swapData(data, p, childrenEnd, element, &used);
                p += used;
            }
        }
    }
};

// Checks, then converts: data and tags in the order the direction needs.
uint32_t convertAreas(unsigned char* tags, uint32_t tagSize, unsigned char* data, uint32_t dataSize,
                      bool toHost, uint32_t missingTag)
{
    if (data == nullptr && dataSize != 0) return kMmsBadArgument;
    TagArea area{tags, tagSize, toHost, missingTag};
    uint64_t used = 0;
    const uint32_t r = area.check(0, tagSize, 1, true, dataSize, &used);
    if (mmsIsFailure(r)) return r;
    TagArea hostTags{tags, tagSize, false, missingTag};
    if (toHost) {
        area.swapTags(0, tagSize, &used);
        hostTags.swapData(data, 0, tagSize, 0, &used);
    } else {
        hostTags.swapData(data, 0, tagSize, 0, &used);
        hostTags.swapTags(0, tagSize, &used);
    }
    return kMmsOk;
}

void copyBoundedText(char* field, uint32_t fieldSize, const char* text)
{
    std::memset(field, 0, fieldSize);
    if (text != nullptr) (void)mmsStrncpy(field, text, fieldSize - 1);  // 5 (cut) is expected
}

}  // namespace

CollectionTagInfo::CollectionTagInfo() : m_hostBigEndian(hostIsBig() ? 1 : 0)
{
    std::memset(m_projectName, 0, sizeof(m_projectName));
    std::memset(m_projectVersion, 0, sizeof(m_projectVersion));
    std::memset(m_uuid, 0, sizeof(m_uuid));
}

CollectionTagInfo::~CollectionTagInfo() = default;

void CollectionTagInfo::setProjectName(const char* name) { copyBoundedText(m_projectName, kNameSize, name); }

void CollectionTagInfo::setProjectVersion(const char* version)
{
    copyBoundedText(m_projectVersion, kVersionSize, version);
}

uint32_t CollectionTagInfo::getProjectName(char* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    std::memcpy(out, m_projectName, kNameSize);
    return kMmsOk;
}

uint32_t CollectionTagInfo::getProjectVersion(char* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    std::memcpy(out, m_projectVersion, kVersionSize);
    return kMmsOk;
}

uint32_t CollectionTagInfo::createMemoryArea(SharedMemWrapper* wrapper, uint32_t size)
{
    if (size == 0) return kMmsMissing;
    return allocMemoryPool(wrapper, size);
}

uint32_t CollectionTagInfo::allocMemoryPool(SharedMemWrapper* wrapper, uint32_t size)
{
    if (wrapper == nullptr) return kMmsMissing;
    (void)releaseMemoryPool(wrapper);  // cannot fail with a wrapper
    auto* area = static_cast<unsigned char*>(wrapper->malloc(size));
    if (area == nullptr) return kMmsNoMemory;
    std::memset(area, 0, size);
    m_pTags = area;
    m_tagSize = size;
    m_owner = 1;
    return kMmsOk;
}

void CollectionTagInfo::createMD5()
{
    std::memset(m_uuid, 0, sizeof(m_uuid));
    if (m_pTags == nullptr || m_tagSize == 0) return;
    (void)mmsCalcMD5(m_uuid, m_pTags, m_tagSize);  // both pointers are valid
}

uint32_t CollectionTagInfo::restore(SharedMemWrapper* wrapper, const unsigned char* tags, uint32_t size)
{
    if (tags == nullptr || size == 0) return kMmsBadArgument;
    const uint32_t r = allocMemoryPool(wrapper, size);
    if (mmsIsFailure(r)) return r;
    std::memcpy(m_pTags, tags, size);
    createMD5();
    return kMmsOk;
}

uint32_t CollectionTagInfo::joint(const unsigned char* tags, uint32_t size)
{
    if (tags == nullptr || size == 0) return kMmsBadArgument;
    if (m_owner != 0 && m_pTags != nullptr) return kMmsMissing;  // cannot be freed without a wrapper
    // Never written through: a joined area stays the other root's.
    m_pTags = const_cast<unsigned char*>(tags);
    m_tagSize = size;
    m_owner = 0;
    createMD5();
    return kMmsOk;
}

uint32_t CollectionTagInfo::releaseMemoryPool(SharedMemWrapper* wrapper)
{
    if (m_owner != 0 && m_pTags != nullptr) {
        if (wrapper == nullptr) return kMmsMissing;
        (void)wrapper->free(m_pTags);  // always 0
    }
    m_pTags = nullptr;
    m_tagSize = 0;
    m_owner = 0;
    std::memset(m_uuid, 0, sizeof(m_uuid));
    return kMmsOk;
}

uint32_t CollectionTagInfo::destroy(SharedMemWrapper* wrapper)
{
    (void)releaseMemoryPool(wrapper);  // a root going away keeps nothing either way
    return kMmsOk;
}

uint32_t CollectionTagInfo::getUuid(char* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    std::memcpy(out, m_uuid, kUuidSize);
    return kMmsOk;
}

bool CollectionTagInfo::isSameUuid(const char* uuid) const
{
    if (uuid == nullptr || uuid[0] == '\0' || m_uuid[0] == '\0') return false;
    return std::memcmp(uuid, m_uuid, kUuidSize) == 0;
}

uint32_t CollectionTagInfo::getExportTagInfo(unsigned char* image, uint32_t tagSize, uint32_t dataSize,
                                             uint8_t byteOrder) const
{
    if (image == nullptr) return kMmsBadArgument;
    T_EXPORT_TAG header;
    std::memset(&header, 0, sizeof(header));
    std::memcpy(header.magic, "MMS", 3);
    header.length = kMmsExportHeaderSize;
    std::memcpy(header.byteOrder, m_hostBigEndian ? "BIG" : "LIT", 4);
    std::memcpy(header.projectName, m_projectName, kNameSize);
    std::memcpy(header.projectVersion, m_projectVersion, kVersionSize);
    header.tagSize = tagSize;
    header.dataSize = dataSize;
    // The tags as stored in this image: another order gives another UUID.
    (void)mmsCalcMD5(header.uuid, image + kMmsExportHeaderSize, tagSize);  // both pointers are valid
    if (isEndianConvert(byteOrder)) (void)endianCnvOfExportTagInfo(&header);  // not null
    std::memcpy(image, &header, sizeof(header));
    return kMmsOk;
}

uint32_t CollectionTagInfo::readImportData(unsigned char* sameOut, unsigned char** tags, uint32_t* tagSize,
                                           unsigned char** data, uint32_t* dataSize, unsigned char* orderOut,
                                           void* image, uint32_t length) const
{
    if (sameOut == nullptr || tags == nullptr || tagSize == nullptr || data == nullptr || dataSize == nullptr ||
        orderOut == nullptr || image == nullptr) {
        return kMmsBadArgument;
    }
    auto* bytes = static_cast<unsigned char*>(image);
    T_EXPORT_TAG header;
    unsigned char order = 0;
    uint32_t r = readExportTagHeader(&header, &order, bytes, length);
    if (mmsIsFailure(r)) return r;
    const uint32_t headerLength = header.length;
    // A shorter header does not carry its sizes and UUID.
    if (headerLength < kMmsExportHeaderSize) return kMmsBadArgument;
    if (uint64_t{headerLength} + header.tagSize + header.dataSize > length) return kMmsBadArgument;
    unsigned char* tagArea = bytes + headerLength;
    unsigned char* dataArea = tagArea + header.tagSize;
    if (order != 0) {
        // Checked now so that the image is either refused unchanged or converted whole.
        TagArea area{tagArea, header.tagSize, true, kMmsBadArgument};
        uint64_t used = 0;
        r = area.check(0, header.tagSize, 1, true, header.dataSize, &used);
        if (mmsIsFailure(r)) return r;
        std::memcpy(bytes, &header, kMmsExportHeaderSize);
    }
    // The UUID of an image in the other order was taken over its converted tags.
    *sameOut = (order == 0 && isSameUuid(header.uuid)) ? 1 : 0;
    *tags = tagArea;
    *tagSize = header.tagSize;
    *data = dataArea;
    *dataSize = header.dataSize;
    *orderOut = order;
    return kMmsOk;
}

uint32_t CollectionTagInfo::readImportFilterData(const unsigned char** tags, uint32_t* tagSize,
                                                 const unsigned char** data, uint32_t* dataSize,
                                                 unsigned char* orderOut, const void* image, uint32_t length) const
{
    if (data == nullptr || dataSize == nullptr) return kMmsBadArgument;
    *data = nullptr;
    *dataSize = 0;
    if (image == nullptr) return kMmsOk;  // no filter
    const auto* bytes = static_cast<const unsigned char*>(image);
    T_EXPORT_TAG header;
    unsigned char order = 0;
    const uint32_t r = readExportTagHeader(&header, &order, bytes, length);
    if (mmsIsFailure(r)) return r;
    const uint32_t headerLength = header.length;
    if (headerLength < kMmsExportHeaderSize) return kMmsBadArgument;
    if (uint64_t{headerLength} + header.tagSize + header.dataSize > length) return kMmsBadArgument;
    if (tags != nullptr || tagSize != nullptr || orderOut != nullptr) {
        if (tags != nullptr) *tags = bytes + headerLength;
        if (tagSize != nullptr) *tagSize = header.tagSize;
        if (orderOut != nullptr) *orderOut = order;
    } else {
        // Without its tags the filter is used as this root's own: it must be of this definition.
        if (order != 0 || header.uuid[0] == '\0') return kMmsBadArgument;
        if (m_uuid[0] != '\0') {
            if (!isSameUuid(header.uuid)) return kMmsBadArgument;
        } else if (header.tagSize != m_tagSize) {
            return kMmsBadArgument;
        }
    }
    *data = bytes + headerLength + header.tagSize;
    *dataSize = header.dataSize;
    return kMmsOk;
}

uint32_t CollectionTagInfo::appendCollectionTag(unsigned char* at, const char* name, uint32_t parameterTagsSize,
                                                uint32_t childTagsSize, uint32_t dataOffset, uint32_t elementDataSize,
                                                uint32_t arraySize)
{
    if (at == nullptr) return kMmsMissing;
    T_COLLECTION_TAG tag;
    std::memset(&tag, 0, sizeof(tag));
    const uint32_t r = StringConverter::nodeNameCopy(tag.name, name);
    if (mmsIsFailure(r)) return r;
    std::memcpy(tag.magic, "COL", 3);
    tag.length = kMmsCollectionTagSize;
    tag.parameterTagsSize = parameterTagsSize;
    tag.childTagsSize = childTagsSize;
    tag.dataOffset = dataOffset;
    tag.elementDataSize = elementDataSize;
    tag.arraySize = arraySize;
    std::memcpy(at, &tag, sizeof(tag));
    return r;
}

uint32_t CollectionTagInfo::appendParameterTag(unsigned char* at, const char* name, uint32_t elementSize,
                                               uint32_t arraySize, uint32_t type)
{
    if (at == nullptr) return kMmsMissing;
    // A size the 16-bit fields cannot hold would describe a layout other than the data's.
    if (elementSize > 0xFFFF || arraySize > 0xFFFF) return kMmsBadArgument;
    T_PARAMETER_TAG tag;
    std::memset(&tag, 0, sizeof(tag));
    const uint32_t r = StringConverter::nodeNameCopy(tag.name, name);
    if (mmsIsFailure(r)) return r;
    std::memcpy(tag.magic, "PR", 2);
    tag.length = kMmsParameterTagSize;
    tag.dataClass = dataTypeConverter(type);
    tag.elementSize = static_cast<uint16_t>(elementSize);
    tag.arraySize = static_cast<uint16_t>(arraySize);
    std::memcpy(at, &tag, sizeof(tag));
    return r;
}

uint8_t CollectionTagInfo::dataTypeConverter(uint32_t type)
{
    switch (type) {
    case 0x001:
    case 0x002:
    case 0x004:
        return kMmsClassSigned;
    case 0x100:
    case 0x101:
    case 0x102:
    case 0x104:
        return kMmsClassUnsigned;
    case 0x304:
        return kMmsClassFloat;
    default:
        return kMmsClassString;
    }
}

const unsigned char* CollectionTagInfo::getCollectionTag(const unsigned char* tags, uint32_t position)
{
    if (tags == nullptr || std::memcmp(tags + position, "COL", 3) != 0) return nullptr;
    return tags + position;
}

const unsigned char* CollectionTagInfo::getParameterTag(const unsigned char* tags, uint32_t position)
{
    if (tags == nullptr || std::memcmp(tags + position, "PR", 2) != 0) return nullptr;
    return tags + position;
}

uint32_t CollectionTagInfo::getCollectionTagSize(uint32_t* out, const unsigned char* tags, uint32_t position)
{
    if (out == nullptr) return kMmsBadArgument;
    const unsigned char* tag = getCollectionTag(tags, position);
    if (tag == nullptr) return kMmsMissing;
    const uint64_t size = uint64_t{kMmsCollectionTagSize} + load32(tag + kColParameterTags, false) +
                          load32(tag + kColChildTags, false);
    if (size > 0xFFFFFFFFu) return kMmsBadArgument;
    *out = static_cast<uint32_t>(size);
    return kMmsOk;
}

uint32_t CollectionTagInfo::getCollectionTags(unsigned char* out, const unsigned char* tags, uint32_t position,
                                              uint32_t arraySize)
{
    if (out == nullptr || tags == nullptr) return kMmsBadArgument;
    uint32_t size = 0;
    const uint32_t r = getCollectionTagSize(&size, tags, position);
    if (mmsIsFailure(r)) return r;
    std::memmove(out, tags + position, size);
    store32(out + kColDataOffset, 0);
    if (arraySize != 0) store32(out + kColArraySize, arraySize);
    return kMmsOk;
}

uint32_t CollectionTagInfo::readExportTagHeader(T_EXPORT_TAG* out, unsigned char* orderOut, const unsigned char* image,
                                                uint32_t length)
{
    if (out == nullptr || orderOut == nullptr || image == nullptr || length <= 2) return kMmsBadArgument;
    if (std::memcmp(image, "MMS", 3) != 0 || length < 4) return kMmsBadArgument;
    T_EXPORT_TAG header;
    std::memset(&header, 0, sizeof(header));
    uint32_t copy = image[3];
    if (copy > kMmsExportHeaderSize) copy = kMmsExportHeaderSize;
    if (copy > length) copy = length;
    std::memcpy(&header, image, copy);
    const bool host = hostIsBig();
    unsigned char order = 0;
    if (std::memcmp(header.byteOrder, "BIG", 4) == 0) {
        order = host ? 0 : kMmsByteOrderBig;
    } else if (std::memcmp(header.byteOrder, "LIT", 4) == 0) {
        order = host ? kMmsByteOrderLittle : 0;
    } else {
        return kMmsBadArgument;
    }
    if (order != 0) (void)endianCnvOfExportTagInfo(&header);  // not null
    *out = header;
    *orderOut = order;
    return kMmsOk;
}

uint32_t CollectionTagInfo::readCollTagInfo(T_COLLECTION_TAG* out, const unsigned char* at, uint32_t length,
                                            bool convert)
{
    if (out == nullptr || at == nullptr || length < 3) return kMmsBadArgument;
    if (std::memcmp(at, "COL", 3) != 0 || length < 4 || at[3] == 0) return kMmsBadArgument;
    const uint32_t copy = at[3] < kMmsCollectionTagSize ? at[3] : kMmsCollectionTagSize;
    if (copy > length) return kMmsBadArgument;
    std::memset(out, 0, sizeof(*out));
    std::memcpy(out, at, copy);
    if (convert) (void)endianCnvOfCollTagInfo(out);  // not null
    return kMmsOk;
}

uint32_t CollectionTagInfo::readPrmTagInfo(T_PARAMETER_TAG* out, const unsigned char* at, uint32_t length,
                                           bool convert)
{
    if (out == nullptr || at == nullptr || length < 2) return kMmsBadArgument;
    if (std::memcmp(at, "PR", 2) != 0 || length < 3 || at[2] == 0) return kMmsBadArgument;
    const uint32_t copy = at[2] < kMmsParameterTagSize ? at[2] : kMmsParameterTagSize;
    if (copy > length) return kMmsBadArgument;
    std::memset(out, 0, sizeof(*out));
    std::memcpy(out, at, copy);
    if (convert) (void)endianCnvOfPrmTagInfo(out);  // not null
    return kMmsOk;
}

uint32_t CollectionTagInfo::endianCnvOfExportTagInfo(T_EXPORT_TAG* header)
{
    if (header == nullptr) return kMmsBadArgument;
    header->tagSize = swap32(header->tagSize);
    header->dataSize = swap32(header->dataSize);
    if (std::memcmp(header->byteOrder, "BIG", 4) == 0) {
        std::memcpy(header->byteOrder, "LIT", 4);
    } else if (std::memcmp(header->byteOrder, "LIT", 4) == 0) {
        std::memcpy(header->byteOrder, "BIG", 4);
    }
    return kMmsOk;
}

uint32_t CollectionTagInfo::endianCnvOfCollTagInfo(T_COLLECTION_TAG* tag)
{
    if (tag == nullptr) return kMmsBadArgument;
    tag->parameterTagsSize = swap32(tag->parameterTagsSize);
    tag->childTagsSize = swap32(tag->childTagsSize);
    tag->dataOffset = swap32(tag->dataOffset);
    tag->elementDataSize = swap32(tag->elementDataSize);
    tag->arraySize = swap32(tag->arraySize);
    return kMmsOk;
}

uint32_t CollectionTagInfo::endianCnvOfPrmTagInfo(T_PARAMETER_TAG* tag)
{
    if (tag == nullptr) return kMmsBadArgument;
    tag->elementSize = swap16(tag->elementSize);
    tag->arraySize = swap16(tag->arraySize);
    return kMmsOk;
}

bool CollectionTagInfo::isChildTagMemcmp(const unsigned char* tags, uint32_t position, const unsigned char* other,
                                         uint32_t otherSize)
{
    if (tags == nullptr || other == nullptr || otherSize < kMmsCollectionTagSize) return false;
    return std::memcmp(tags + position + kMmsCollectionTagSize, other + kMmsCollectionTagSize,
                       otherSize - kMmsCollectionTagSize) == 0;
}

bool CollectionTagInfo::isChildPrmTagMemcmp(const unsigned char* tags, uint32_t position, const unsigned char* other,
                                            uint32_t otherSize)
{
    if (tags == nullptr || other == nullptr) return false;
    return std::memcmp(tags + position + kMmsCollectionTagSize, other, otherSize) == 0;
}

bool CollectionTagInfo::isSameImportDataType(const T_PARAMETER_TAG& tag, uint32_t type)
{
    return tag.dataClass == dataTypeConverter(type);
}

bool CollectionTagInfo::isHostBigEndian() { return hostIsBig(); }

bool CollectionTagInfo::isEndianConvert(uint8_t byteOrder)
{
    if (byteOrder == kMmsByteOrderLittle) return hostIsBig();
    if (byteOrder == kMmsByteOrderBig) return !hostIsBig();
    return false;
}

uint32_t CollectionTagInfo::endianCnvOfExportData(unsigned char* tags, uint32_t tagSize, unsigned char* data,
                                                  uint32_t dataSize, uint8_t byteOrder)
{
    if (!isEndianConvert(byteOrder)) return kMmsOk;
    if (tags == nullptr || tagSize < kMmsCollectionTagSize) return kMmsMissing;
    return convertAreas(tags, tagSize, data, dataSize, false, kMmsMissing);
}

uint32_t CollectionTagInfo::endianCnvOfImportData(unsigned char* tags, uint32_t tagSize, unsigned char* data,
                                                  uint32_t dataSize, uint8_t byteOrder)
{
    if (!isEndianConvert(byteOrder)) return kMmsOk;
    if (tags == nullptr) return kMmsBadArgument;
    return convertAreas(tags, tagSize, data, dataSize, true, kMmsBadArgument);
}

}  // namespace MMS
