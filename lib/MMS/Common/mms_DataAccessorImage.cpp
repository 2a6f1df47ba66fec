// Roots of an image, opening a root's export image and resolving addresses along its tags.
#include <cstring>

#include "internal/mms_DataAccessorImage.h"
#include "internal/mms_ImageParameterType.h"
#include "mms_DumpHeaderInfo.h"
#include "mms_Result.h"

namespace MMS {

void GetTagVisitorFor1Param::outputTagInfo(const T_COLLECTION_TAG* tag)
{
    m_info.category = kMmsNodeCollection;
    m_info.tag = reinterpret_cast<const unsigned char*>(tag);
    m_count = 1;
}

void GetTagVisitorFor1Param::outputTagInfo(const T_PARAMETER_TAG* tag)
{
    m_info.category = kMmsNodeParameter;
    m_info.tag = reinterpret_cast<const unsigned char*>(tag);
    m_count = 1;
}

const T_NODE_TAGINFO* GetTagVisitorFor1Param::tagInfo(uint32_t index) const
{
    (void)index;
    return m_count == 0 ? nullptr : &m_info;
}

void GetTagVisitorForArray::add(uint8_t category, const void* tag)
{
    if (m_count >= kMaxRecords) {
        m_overflow = true;
        return;
    }
    m_info[m_count].category = category;
    m_info[m_count].tag = static_cast<const unsigned char*>(tag);
    ++m_count;
}

void GetTagVisitorForArray::outputTagInfo(const T_COLLECTION_TAG* tag) { add(kMmsNodeCollection, tag); }
void GetTagVisitorForArray::outputTagInfo(const T_PARAMETER_TAG* tag) { add(kMmsNodeParameter, tag); }

const T_NODE_TAGINFO* GetTagVisitorForArray::tagInfo(uint32_t index) const
{
    return index < m_count ? &m_info[index] : nullptr;
}

uint32_t skip(const unsigned char** cursor, uint32_t* remaining, uint32_t n)
{
    if (cursor == nullptr || *cursor == nullptr || remaining == nullptr || *remaining < n) return kMmsFailed;
    *cursor += n;
    *remaining -= n;
    return kMmsOk;
}

uint32_t DataAccessor::getRootNum(const void* image, uint32_t size)
{
    if (image == nullptr || size == 0) return 0;
    const auto* bytes = static_cast<const unsigned char*>(image);
    T_DUMP_FIELD_HEADER field;
    unsigned char order = 0;
    if (DumpHeaderInfo::readFieldHeader(&field, &order, bytes, size) == kMmsOk) return field.rootCount;
    T_EXPORT_TAG header;
    if (CollectionTagInfo::readExportTagHeader(&header, &order, bytes, size) == kMmsOk) return 1;
    return 0;
}

namespace internal {

RootCursor::RootCursor(const void* image, uint32_t size)
    : m_bytes(static_cast<const unsigned char*>(image)), m_size(size)
{
    if (m_bytes == nullptr || size == 0) return;
    m_count = 1;  // anything but a dump is taken as one export image
    T_DUMP_FIELD_HEADER field;
    if (DumpHeaderInfo::readFieldHeader(&field, &m_order, m_bytes, size) != kMmsOk) return;
    m_dump = true;
    m_count = field.rootCount;
    m_position = field.length;
}

uint32_t RootCursor::next(const void** rootImage, uint32_t* rootSize, const char** rootId)
{
    if (m_bytes == nullptr || m_size == 0) return kMmsBadArgument;
    if (m_index >= m_count) return kMmsNotFound;
    if (!m_dump) {
        ++m_index;
        *rootImage = m_bytes;
        *rootSize = m_size;
        *rootId = nullptr;
        return kMmsOk;
    }
    if (m_position > m_size) return kMmsLimit;
    T_DUMP_ROOT_HEADER root;
    if (m_size - m_position < kMmsDumpRootHeaderSize ||
        DumpHeaderInfo::readRootHeader(&root, m_bytes + m_position, static_cast<uint32_t>(m_size - m_position),
                                       m_order) != kMmsOk) {
        return kMmsLimit;
    }
    // A shorter header has no size field to step by.
    if (root.length < kMmsDumpRootHeaderSize) return kMmsBadArgument;
    const uint64_t end = m_position + root.length + root.size;
    if (end > m_size) return kMmsLimit;
    *rootImage = m_bytes + m_position + root.length;
    *rootSize = root.size;
    *rootId = reinterpret_cast<const char*>(m_bytes + m_position + 4);
    m_position = end;
    ++m_index;
    return kMmsOk;
}

}  // namespace internal

uint32_t DataAccessor::getExportData(const void** rootImage, uint32_t* rootSize, const char** rootId,
                                     const void* image, uint32_t size, uint32_t index)
{
    if (image == nullptr || size == 0) return kMmsBadArgument;
    internal::RootCursor roots(image, size);
    if (index >= roots.count()) return kMmsNotFound;
    const void* found = nullptr;
    uint32_t foundSize = 0;
    const char* id = nullptr;
    // A root is found by stepping over the ones before it.
    do {
        const uint32_t r = roots.next(&found, &foundSize, &id);
        if (r != kMmsOk) return r;
    } while (roots.index() <= index);
    if (rootImage != nullptr) *rootImage = found;
    if (rootSize != nullptr) *rootSize = foundSize;
    if (rootId != nullptr) *rootId = id;
    return kMmsOk;
}

uint32_t DataAccessor::getExportData(void** rootImage, uint32_t* rootSize, const char** rootId, void* image,
                                     uint32_t size, uint32_t index)
{
    const void* found = nullptr;
    const uint32_t r = getExportData(&found, rootSize, rootId, image, size, index);
    if (r == kMmsOk && rootImage != nullptr) *rootImage = const_cast<void*>(found);
    return r;
}

uint32_t DataAccessor::getRootId(const char** rootId, const void* image, uint32_t size, uint32_t index)
{
    if (rootId == nullptr) return kMmsBadArgument;
    return getExportData(static_cast<const void**>(nullptr), nullptr, rootId, image, size, index);
}

uint32_t DataAccessor::searchExportData(const void** rootImage, uint32_t* rootSize, const void* image, uint32_t size,
                                        const char* rootName)
{
    if (rootImage == nullptr || rootSize == nullptr || image == nullptr || size == 0) return kMmsBadArgument;
    // One pass over the roots: a dump of many small roots must not cost a walk from its start per root.
    internal::RootCursor roots(image, size);
    for (;;) {
        const void* found = nullptr;
        uint32_t foundSize = 0;
        const char* id = nullptr;
        const uint32_t r = roots.next(&found, &foundSize, &id);
        if (r != kMmsOk) return r;
        if (rootName == nullptr || id == nullptr || std::strncmp(id, rootName, 24) == 0) {
            *rootImage = found;
            *rootSize = foundSize;
            return kMmsOk;
        }
    }
}

uint32_t DataAccessor::searchExportData(void** rootImage, uint32_t* rootSize, void* image, uint32_t size,
                                        const char* rootName)
{
    if (rootImage == nullptr) return kMmsBadArgument;
    const void* found = nullptr;
    const uint32_t r = searchExportData(&found, rootSize, static_cast<const void*>(image), size, rootName);
    if (r == kMmsOk) *rootImage = const_cast<void*>(found);
    return r;
}

uint32_t DataAccessor::getRootName(const char** name, const void* image, uint32_t size, const char* rootName)
{
    if (name == nullptr) return kMmsBadArgument;
    internal::ImageView view;
    const uint32_t r = internal::openRoot(&view, image, size, rootName);
    if (r != kMmsOk) return r;
    *name = reinterpret_cast<const char*>(view.topAt() + 4);
    return kMmsOk;
}

uint32_t DataAccessor::getPrmArea(const void** data, const T_COLLECTION_TAG** topHead, const void* image,
                                  uint32_t size, const char* rootName)
{
    if (data == nullptr || topHead == nullptr) return kMmsBadArgument;
    internal::ImageView view;
    const uint32_t r = internal::openRoot(&view, image, size, rootName);
    if (r != kMmsOk) return r;
    *data = view.data();
    *topHead = reinterpret_cast<const T_COLLECTION_TAG*>(view.topAt());
    return kMmsOk;
}

uint32_t DataAccessor::getPrmArea(void** data, const T_COLLECTION_TAG** topHead, void* image, uint32_t size,
                                  const char* rootName)
{
    if (data == nullptr) return kMmsBadArgument;
    const void* found = nullptr;
    const uint32_t r = getPrmArea(&found, topHead, static_cast<const void*>(image), size, rootName);
    if (r == kMmsOk) *data = const_cast<void*>(found);
    return r;
}

namespace internal {

namespace {

// Reads a collection head at at with room bytes up to the end of its enclosing area: "COL", a
// length byte of at least 48 and a tag tree that stays inside the area.
bool readHead(T_COLLECTION_TAG* head, uint32_t* treeSize, const unsigned char* at, uint64_t room)
{
    if (room < kMmsCollectionTagSize || std::memcmp(at, "COL", 3) != 0) return false;
    if (CollectionTagInfo::readCollTagInfo(head, at, static_cast<uint32_t>(room > UINT32_MAX ? UINT32_MAX : room),
                                           false) != kMmsOk) {
        return false;
    }
    if (head->length < kMmsCollectionTagSize) return false;
    const uint64_t tree = uint64_t{head->length} + head->parameterTagsSize + head->childTagsSize;
    if (tree > room) return false;
    *treeSize = static_cast<uint32_t>(tree);
    return true;
}

bool readParameter(T_PARAMETER_TAG* tag, const unsigned char* at, uint64_t room)
{
    if (room < kMmsParameterTagSize || std::memcmp(at, "PR", 2) != 0) return false;
    if (CollectionTagInfo::readPrmTagInfo(tag, at, static_cast<uint32_t>(room > UINT32_MAX ? UINT32_MAX : room),
                                          false) != kMmsOk) {
        return false;
    }
    return tag->length >= kMmsParameterTagSize && tag->length <= room;
}

bool sameName(const char* field, const char* name, uint32_t length)
{
    if (length > 24 || std::memcmp(field, name, length) != 0) return false;
    return length == 24 || field[length] == '\0';
}

// The names of a string address one after another: runs of "/" separate, a NUL ends the text.
class NameCursor {
public:
    NameCursor(const char* text, uint32_t length) : m_text(text), m_length(text == nullptr ? 0 : length) {}

    bool next(const char** name, uint32_t* length)
    {
        while (m_pos < m_length && m_text[m_pos] == '/') ++m_pos;
        if (m_pos >= m_length || m_text[m_pos] == '\0') return false;
        const uint32_t start = m_pos;
        while (m_pos < m_length && m_text[m_pos] != '/' && m_text[m_pos] != '\0') ++m_pos;
        *name = m_text + start;
        *length = m_pos - start;
        return true;
    }
    bool startsWithSeparator() const { return m_length > 0 && m_text[0] == '/'; }

private:
    const char* m_text;
    uint32_t m_length;
    uint32_t m_pos = 0;
};

// One collection instance on the path: its head in the image and its data offset.
struct Level {
    const unsigned char* at;
    T_COLLECTION_TAG head;
    uint32_t treeSize;
    uint64_t base;
};

}  // namespace

uint32_t nodeType(const NodeTag& node)
{
    if (node.category != kMmsNodeParameter) return 0;
    return imageParameterType(node.prm.dataClass, node.prm.elementSize);
}

uint32_t nodeDataSize(const NodeTag& node)
{
    return node.category == kMmsNodeParameter ? node.prm.elementSize : node.col.elementDataSize;
}

uint32_t nodeCount(const NodeTag& node)
{
    return node.category == kMmsNodeParameter ? node.prm.arraySize : node.col.arraySize;
}

uint32_t openRootImage(ImageView* view, const void* rootImage, uint32_t rootSize)
{
    const auto* bytes = static_cast<const unsigned char*>(rootImage);
    if (bytes == nullptr || rootSize < 4 || std::memcmp(bytes, "MMS", 3) != 0) return kMmsBadArgument;
    const uint32_t headerLength = bytes[3];
    if (headerLength < kMmsExportHeaderSize || headerLength > rootSize) return kMmsBadArgument;
    ImageView v;
    v.base = const_cast<unsigned char*>(bytes);
    v.size = rootSize;
    v.headerLength = headerLength;
    if (!readHead(&v.top, &v.topTreeSize, bytes + headerLength, rootSize - headerLength)) return kMmsBadArgument;
    v.dataStart = headerLength + v.topTreeSize;
    const uint32_t announced = loadU32(bytes + kHeaderDataSize);
    const uint32_t room = rootSize - v.dataStart;
    v.dataSize = announced < room ? announced : room;
    *view = v;
    return kMmsOk;
}

uint32_t openRoot(ImageView* view, const void* image, uint32_t size, const char* rootName)
{
    if (image == nullptr || size == 0) return kMmsBadArgument;
    const void* rootImage = nullptr;
    uint32_t rootSize = 0;
    const uint32_t r = DataAccessor::searchExportData(&rootImage, &rootSize, image, size, rootName);
    if (r != kMmsOk) return r;
    return openRootImage(view, rootImage, rootSize);
}

bool loadNode(const ImageView& view, const T_NODE_TAGINFO* info, NodeTag* node)
{
    if (info == nullptr || info->tag == nullptr || info->tag < view.base || info->tag >= view.base + view.size) {
        return false;
    }
    const uint64_t room = view.base + view.size - info->tag;
    node->category = info->category;
    node->at = info->tag;
    if (info->category == kMmsNodeCollection) {
        uint32_t tree = 0;
        return readHead(&node->col, &tree, info->tag, room);
    }
    return readParameter(&node->prm, info->tag, room);
}

uint32_t resolve(const ImageView& view, IGetTagVisitor& visitor, const Address& address, Position* position,
                 NodeTag* last)
{
    NameCursor names(address.byName ? address.text : nullptr, address.byName ? address.length : 0);
    const char* name = nullptr;
    uint32_t nameLength = 0;
    if (address.byName && names.startsWithSeparator()) {
        // The root part names the image's top collection.
        if (!names.next(&name, &nameLength) || !sameName(view.top.name, name, nameLength)) return kMmsBadArgument;
    }
    if (!address.byName && address.depth > 0 && address.nodes == nullptr) return kMmsBadArgument;
    if (address.byName && address.indexes == nullptr && address.depth > 0) return kMmsBadArgument;

    Level level{view.topAt(), view.top, view.topTreeSize, 0};
    visitor.outputTagInfo(reinterpret_cast<const T_COLLECTION_TAG*>(level.at));
    uint32_t remaining = address.depth;  // levels the index vector still covers
    for (uint32_t depthIndex = 0;; ++depthIndex) {
        // An empty collection can neither be addressed nor passed through.
        if (level.head.parameterTagsSize == 0 && level.head.childTagsSize == 0) return kMmsBadArgument;
        if (level.base + level.head.elementDataSize > view.dataSize) return kMmsBadArgument;
        bool more = false;
        uint32_t wanted = 0;
        if (address.byName) {
            more = names.next(&name, &nameLength);
            if (!more) {
                if (remaining != 0) return kMmsNoSuchItem;
            } else if (remaining == 0 && address.indexes != nullptr) {
                return kMmsNoSuchItem;
            }
        } else {
            more = depthIndex < address.depth;
            if (more) wanted = address.nodes[depthIndex];
        }
        if (!more) {
            position->offset = level.base;
            position->bit = 0;
            last->category = kMmsNodeCollection;
            last->at = level.at;
            last->col = level.head;
            return kMmsOk;
        }
        const uint32_t index = address.indexes != nullptr ? address.indexes[depthIndex] : 0;

        // Parameters first, keeping the layout's running offset and bit position.
        const unsigned char* p = level.at + level.head.length;
        const unsigned char* const parametersEnd = p + level.head.parameterTagsSize;
        uint64_t offset = 0;
        uint32_t bit = 0;
        uint32_t number = 0;
        while (p < parametersEnd) {
            T_PARAMETER_TAG tag;
            if (!readParameter(&tag, p, parametersEnd - p)) return kMmsBadArgument;
            const bool match = address.byName ? sameName(tag.name, name, nameLength) : number == wanted;
            const bool bitParameter = isBitParameter(tag);
            if (match) {
                NameCursor rest = names;
                const char* ignored = nullptr;
                uint32_t ignoredLength = 0;
                const bool lastLevel =
                    address.byName ? !rest.next(&ignored, &ignoredLength) && remaining <= 1 : depthIndex + 1 == address.depth;
                if (!lastLevel || index >= tag.arraySize) return kMmsNoSuchItem;
                if (bitParameter) {
                    position->offset = level.base + offset + (bit + index) / 8;
                    position->bit = static_cast<uint8_t>((bit + index) % 8);
                } else {
                    position->offset = level.base + offset + (bit != 0 ? 1 : 0) + uint64_t{tag.elementSize} * index;
                    position->bit = 0;
                }
                visitor.outputTagInfo(reinterpret_cast<const T_PARAMETER_TAG*>(p));
                last->category = kMmsNodeParameter;
                last->at = p;
                last->prm = tag;
                return kMmsOk;
            }
            if (bitParameter) {
                offset += (bit + uint64_t{tag.arraySize}) / 8;
                bit = (bit + tag.arraySize) % 8;
            } else {
                if (bit != 0) ++offset;
                bit = 0;
                offset += uint64_t{tag.elementSize} * tag.arraySize;
            }
            p += tag.length;
            ++number;
        }

        // Then the child collections.
        const unsigned char* const childrenEnd = parametersEnd + level.head.childTagsSize;
        bool found = false;
        while (p < childrenEnd) {
            T_COLLECTION_TAG head;
            uint32_t tree = 0;
            if (!readHead(&head, &tree, p, childrenEnd - p)) return kMmsBadArgument;
            const bool match = address.byName ? sameName(head.name, name, nameLength) : number == wanted;
            if (match) {
                if (index >= head.arraySize) return kMmsNoSuchItem;
                visitor.outputTagInfo(reinterpret_cast<const T_COLLECTION_TAG*>(p));
                level.base = level.base + head.dataOffset + uint64_t{index} * head.elementDataSize;
                level.at = p;
                level.head = head;
                level.treeSize = tree;
                found = true;
                break;
            }
            p += tree;
            ++number;
        }
        if (!found) return kMmsNoSuchItem;
        if (remaining > 0) --remaining;
    }
}

}  // namespace internal

}  // namespace MMS
