// Single values, node information, renaming, the tag walk and index vectors of images.
#include <cstring>

#include "internal/mms_DataAccessorImage.h"
#include "internal/mms_ImageParameterType.h"
#include "mms_Result.h"

namespace MMS {

const unsigned char* StringSetJVariantStrategy::getPtr(const JVariant& value) const
{
    if (value.getType() != JVariant::kTypeString) return nullptr;
    return reinterpret_cast<const unsigned char*>(value.toString());
}

uint32_t StringSetJVariantStrategy::getLength(const JVariant& value) const
{
    if (value.getType() != JVariant::kTypeString || value.toString() == nullptr) return 0;
    return static_cast<uint32_t>(std::strlen(value.toString()));
}

const unsigned char* BinarySetJVariantStrategy::getPtr(const JVariant& value) const
{
    if (value.getType() != JVariant::kTypeBinary) return nullptr;
    return value.toBinary();
}

uint32_t BinarySetJVariantStrategy::getLength(const JVariant& value) const
{
    if (value.getType() != JVariant::kTypeBinary) return 0;
    return value.getBinaryLength();
}

uint32_t setJVariant(unsigned char* element, uint32_t elementSize, const JVariant& value,
                     const ISetJVariantStrategy& strategy)
{
    const unsigned char* bytes = strategy.getPtr(value);
    const uint32_t length = strategy.getLength(value);
    if (element == nullptr || bytes == nullptr || length > elementSize) return kMmsMissing;
    std::memcpy(element, bytes, length);
    std::memset(element + length, 0, elementSize - length);
    return kMmsOk;
}

namespace {

template <typename T>
void store(unsigned char* element, T v)
{
    std::memcpy(element, &v, sizeof(T));
}

template <typename T>
T load(const unsigned char* element)
{
    T v;
    std::memcpy(&v, element, sizeof(T));
    return v;
}

}  // namespace

uint32_t setJVariant(unsigned char* element, uint32_t type, uint32_t elementSize, uint8_t bitPosition,
                     const JVariant& value)
{
    if (element == nullptr) return kMmsBadArgument;
    switch (type) {
    case 0x100:
        if (elementSize != 0) return kMmsMissing;
        if (value.toUInt32() != 0) {
            *element = static_cast<unsigned char>(*element | (1u << (bitPosition & 7)));
        } else {
            *element = static_cast<unsigned char>(*element & ~(1u << (bitPosition & 7)));
        }
        return kMmsOk;
    case 0x001: store(element, static_cast<int8_t>(value.toInt32())); return kMmsOk;
    case 0x002: store(element, static_cast<int16_t>(value.toInt32())); return kMmsOk;
    case 0x004: store(element, static_cast<int32_t>(value.toInt32())); return kMmsOk;
    case 0x101:
        if (elementSize == 1 && value.getType() != JVariant::kTypeBinary) {
            store(element, static_cast<uint8_t>(value.toUInt32()));
            return kMmsOk;
        }
        return setJVariant(element, elementSize, value, BinarySetJVariantStrategy());
    case 0x102: store(element, static_cast<uint16_t>(value.toUInt32())); return kMmsOk;
    case 0x104: store(element, static_cast<uint32_t>(value.toUInt32())); return kMmsOk;
    case 0x201: return setJVariant(element, elementSize, value, StringSetJVariantStrategy());
    case 0x304: store(element, value.toFloat()); return kMmsOk;
    default: return kMmsMissing;
    }
}

uint32_t getJVariant(JVariant* value, const unsigned char* element, uint32_t type, uint32_t elementSize,
                     uint8_t bitPosition)
{
    if (value == nullptr || element == nullptr) return kMmsBadArgument;
    switch (type) {
    case 0x100: value->setUInt32((*element >> (bitPosition & 7)) & 1u); return kMmsOk;
    case 0x001: value->setInt32(load<int8_t>(element)); return kMmsOk;
    case 0x002: value->setInt32(load<int16_t>(element)); return kMmsOk;
    case 0x004: value->setInt32(load<int32_t>(element)); return kMmsOk;
    case 0x101:
        if (elementSize == 1) {
            value->setUInt32(*element);
            return kMmsOk;
        }
        return value->setBinary(element, elementSize) == JVariant::kOk ? kMmsOk : kMmsMissing;
    case 0x102: value->setUInt32(load<uint16_t>(element)); return kMmsOk;
    case 0x104: value->setUInt32(load<uint32_t>(element)); return kMmsOk;
    case 0x201: {
        const void* end = std::memchr(element, 0, elementSize);
        const uint32_t length = end == nullptr ? elementSize : static_cast<uint32_t>(
                                                                    static_cast<const unsigned char*>(end) - element);
        if (length > JVariant::kMaxStringLength) return kMmsMissing;
        // setString stops at a NUL, which an element filled to its size does not have.
        char text[JVariant::kMaxStringLength + 1];
        std::memcpy(text, element, length);
        text[length] = '\0';
        return value->setString(text, length) == JVariant::kOk ? kMmsOk : kMmsMissing;
    }
    case 0x304: value->setFloat(load<float>(element)); return kMmsOk;
    default: return kMmsMissing;
    }
}

namespace internal {

uint32_t readElement(JVariant* value, const ImageView& view, const NodeTag& node, const Position& position)
{
    if (node.category != kMmsNodeParameter) return kMmsBadArgument;
    const uint32_t type = nodeType(node);
    const uint64_t bytes = type == 0x100 ? 1 : node.prm.elementSize;
    if (position.offset + bytes > view.dataSize) return kMmsBadArgument;
    if (type == 0) return kMmsMissing;
    return getJVariant(value, view.data() + position.offset, type, node.prm.elementSize, position.bit);
}

uint32_t writeElement(const JVariant& value, const ImageView& view, const NodeTag& node, const Position& position,
                      uint8_t setType)
{
    if (setType > SETTYPE_FLAG) return kMmsBadArgument;
    if (node.category != kMmsNodeCollection && node.category != kMmsNodeParameter) return kMmsBadArgument;
    const uint32_t dataSize = nodeDataSize(node);
    const uint32_t type = nodeType(node);
    const bool bit = node.category == kMmsNodeParameter && type == 0x100;
    const uint64_t touched = bit ? 1 : dataSize;
    if (touched != 0 && position.offset + touched > view.dataSize) return kMmsBadArgument;
    unsigned char* element = view.data() + position.offset;
    if (dataSize != 0 && setType != SETTYPE_VALUE) {
        // A fill is all or nothing: the whole span was checked above.
        const unsigned char fill = setType == SETTYPE_FILL ? static_cast<unsigned char>(value.toUInt32())
                                                           : (value.toUInt32() != 0 ? 0xFF : 0x00);
        std::memset(element, fill, dataSize);
        return kMmsOk;
    }
    if (node.category == kMmsNodeCollection) return setType == SETTYPE_VALUE ? kMmsMissing : kMmsOk;
    if (bit && setType == SETTYPE_FILL) return kMmsBadArgument;
    return setJVariant(element, type, dataSize, position.bit, value);
}

}  // namespace internal

namespace {

using internal::Address;
using internal::ImageView;
using internal::NodeTag;
using internal::Position;

Address byName(const char* address, uint32_t length, const uint32_t* indexes, uint32_t depth)
{
    Address a;
    a.byName = true;
    a.text = address;
    a.length = length;
    a.indexes = indexes;
    a.depth = depth;
    return a;
}

Address byNodes(const uint32_t* nodes, const uint32_t* indexes, uint32_t depth)
{
    Address a;
    a.nodes = nodes;
    a.indexes = indexes;
    a.depth = depth;
    return a;
}

uint32_t getCore(JVariant* value, const void* image, uint32_t size, const char* rootName, const Address& address)
{
    if (value == nullptr) return kMmsBadArgument;
    ImageView view;
    uint32_t r = internal::openRoot(&view, image, size, rootName);
    if (r != kMmsOk) return r;
    GetTagVisitorFor1Param visitor;
    Position position;
    NodeTag node;
    r = internal::resolve(view, visitor, address, &position, &node);
    if (r != kMmsOk) return r;
    return internal::readElement(value, view, node, position);
}

uint32_t setCore(const JVariant& value, void* image, uint32_t size, const char* rootName, const Address& address,
                 uint8_t setType)
{
    ImageView view;
    uint32_t r = internal::openRoot(&view, image, size, rootName);
    if (r != kMmsOk) return r;
    GetTagVisitorFor1Param visitor;
    Position position;
    NodeTag node;
    r = internal::resolve(view, visitor, address, &position, &node);
    if (r != kMmsOk) return r;
    return internal::writeElement(value, view, node, position, setType);
}

// Resolves the whole path; *view and the visitor describe it on success.
uint32_t resolvePath(ImageView* view, GetTagVisitorForArray* visitor, NodeTag* node, const void* image,
                     uint32_t size, const char* rootName, const Address& address)
{
    uint32_t r = internal::openRoot(view, image, size, rootName);
    if (r != kMmsOk) return r;
    Position position;
    r = internal::resolve(*view, *visitor, address, &position, node);
    if (visitor->overflowed()) return kMmsLimit;
    return r;
}

uint32_t infoCore(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize, uint32_t* maxIndexes,
                  uint32_t* depthOut, uint32_t capacity, const void* image, uint32_t size, const char* rootName,
                  const Address& address)
{
    ImageView view;
    GetTagVisitorForArray visitor;
    NodeTag node;
    const uint32_t r = resolvePath(&view, &visitor, &node, image, size, rootName, address);
    if (r != kMmsOk) return r;
    if (visitor.tagNum() == 0) return kMmsMissing;
    const uint32_t levels = visitor.tagNum() - 1;
    if (depthOut != nullptr) *depthOut = levels;
    if (maxIndexes != nullptr && capacity >= levels) {
        for (uint32_t i = 0; i < levels; ++i) {
            NodeTag step;
            if (!internal::loadNode(view, visitor.tagInfo(i + 1), &step)) return kMmsBadArgument;
            const uint32_t count = internal::nodeCount(step);
            maxIndexes[i] = count == 0 ? 0 : count - 1;
        }
    }
    if (category != nullptr) *category = node.category;
    if (type != nullptr) *type = internal::nodeType(node);
    if (dataSize != nullptr) *dataSize = internal::nodeDataSize(node);
    if (arraySize != nullptr) *arraySize = internal::nodeCount(node);
    return kMmsOk;
}

uint32_t typeCore(uint32_t* type, const void* image, uint32_t size, const char* rootName, const Address& address)
{
    if (type == nullptr) return kMmsBadArgument;
    uint32_t found = 0;
    const uint32_t r = infoCore(nullptr, &found, nullptr, nullptr, nullptr, nullptr, 0, image, size, rootName, address);
    if (r != kMmsOk) return r;
    *type = found;
    return found == 0 ? kMmsNotFound : kMmsOk;
}

uint32_t changeNameCore(const char* newName, void* image, uint32_t size, const char* rootName,
                        const Address& address)
{
    if (newName == nullptr) return kMmsBadArgument;
    const size_t length = strnlen(newName, 24);
    if (length >= 24) return kMmsLimit;
    if (length == 0) return kMmsBadArgument;
    ImageView view;
    GetTagVisitorForArray visitor;
    NodeTag node;
    const uint32_t r = resolvePath(&view, &visitor, &node, image, size, rootName, address);
    if (r != kMmsOk) return r;
    auto* at = const_cast<unsigned char*>(node.at);
    unsigned char* field = at + (node.category == kMmsNodeParameter ? 8 : 4);
    std::memset(field, 0, 24);
    std::memcpy(field, newName, length);
    std::memset(view.base + internal::kHeaderMd5, 0, internal::kHeaderMd5Size);
    return kMmsOk;
}

// Stops at the first bit parameter.
class BitChecker final : public IPeekCommand {
public:
    bool isParameterSkippable() const override { return false; }
    bool peekParameter(const T_PARAMETER_TAG& tag) const override
    {
        if (internal::imageParameterType(tag.dataClass, tag.elementSize) != 0x100) return false;
        m_found = true;
        return true;
    }
    bool found() const { return m_found; }

private:
    mutable bool m_found = false;
};

class TagCounter final : public IPeekCommand {
public:
    bool isCollectionSkippable() const override { return false; }
    bool isParameterSkippable() const override { return false; }
    bool peekCollection(const T_COLLECTION_TAG&) const override
    {
        ++collections;
        return false;
    }
    bool peekParameter(const T_PARAMETER_TAG&) const override
    {
        ++parameters;
        return false;
    }
    mutable uint32_t collections = 0;
    mutable uint32_t parameters = 0;
};

}  // namespace

uint32_t DataAccessor::getPrm(JVariant* value, const void* image, uint32_t size, const char* rootName,
                              const char* address, uint32_t addressLength, const uint32_t* indexVector,
                              uint32_t depth)
{
    return getCore(value, image, size, rootName, byName(address, addressLength, indexVector, depth));
}

uint32_t DataAccessor::getPrmFast(JVariant* value, const void* image, uint32_t size, const char* rootName,
                                  const uint32_t* nodeVector, const uint32_t* indexVector, uint32_t depth)
{
    return getCore(value, image, size, rootName, byNodes(nodeVector, indexVector, depth));
}

uint32_t DataAccessor::setPrm(const JVariant& value, void* image, uint32_t size, const char* rootName,
                              const char* address, uint32_t addressLength, const uint32_t* indexVector,
                              uint32_t depth, uint8_t setType)
{
    return setCore(value, image, size, rootName, byName(address, addressLength, indexVector, depth), setType);
}

uint32_t DataAccessor::setPrmFast(const JVariant& value, void* image, uint32_t size, const char* rootName,
                                  const uint32_t* nodeVector, const uint32_t* indexVector, uint32_t depth,
                                  uint8_t setType)
{
    return setCore(value, image, size, rootName, byNodes(nodeVector, indexVector, depth), setType);
}

uint32_t DataAccessor::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                   uint32_t* maxIndexes, uint32_t* depthOut, uint32_t capacity, const void* image,
                                   uint32_t size, const char* rootName, const char* address, uint32_t addressLength)
{
    return infoCore(category, type, dataSize, arraySize, maxIndexes, depthOut, capacity, image, size, rootName,
                    byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                       uint32_t* maxIndexes, uint32_t* depthOut, uint32_t depth, const void* image,
                                       uint32_t size, const char* rootName, const uint32_t* nodeVector)
{
    return infoCore(category, type, dataSize, arraySize, maxIndexes, depthOut, depth, image, size, rootName,
                    byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::getPrmType(uint32_t* type, const void* image, uint32_t size, const char* rootName,
                                  const char* address, uint32_t addressLength)
{
    return typeCore(type, image, size, rootName, byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::getPrmTypeFast(uint32_t* type, const void* image, uint32_t size, const char* rootName,
                                      const uint32_t* nodeVector, uint32_t depth)
{
    return typeCore(type, image, size, rootName, byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::getNodeDataSize(uint32_t* dataSize, const void* image, uint32_t size, const char* rootName,
                                       const char* address, uint32_t addressLength)
{
    if (dataSize == nullptr) return kMmsBadArgument;
    return infoCore(nullptr, nullptr, dataSize, nullptr, nullptr, nullptr, 0, image, size, rootName,
                    byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::getNodeDataSizeFast(uint32_t* dataSize, const void* image, uint32_t size,
                                           const char* rootName, const uint32_t* nodeVector, uint32_t depth)
{
    if (dataSize == nullptr) return kMmsBadArgument;
    return infoCore(nullptr, nullptr, dataSize, nullptr, nullptr, nullptr, 0, image, size, rootName,
                    byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::getNodeCategory(uint8_t* category, const void* image, uint32_t size, const char* rootName,
                                       const char* address, uint32_t addressLength)
{
    if (category == nullptr) return kMmsBadArgument;
    return infoCore(category, nullptr, nullptr, nullptr, nullptr, nullptr, 0, image, size, rootName,
                    byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::getNodeCategoryFast(uint8_t* category, const void* image, uint32_t size,
                                           const char* rootName, const uint32_t* nodeVector, uint32_t depth)
{
    if (category == nullptr) return kMmsBadArgument;
    return infoCore(category, nullptr, nullptr, nullptr, nullptr, nullptr, 0, image, size, rootName,
                    byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::getNodeArraySize(uint32_t* arraySize, const void* image, uint32_t size, const char* rootName,
                                        const char* address, uint32_t addressLength)
{
    if (arraySize == nullptr) return kMmsBadArgument;
    return infoCore(nullptr, nullptr, nullptr, arraySize, nullptr, nullptr, 0, image, size, rootName,
                    byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::getNodeArraySizeFast(uint32_t* arraySize, const void* image, uint32_t size,
                                            const char* rootName, const uint32_t* nodeVector, uint32_t depth)
{
    if (arraySize == nullptr) return kMmsBadArgument;
    return infoCore(nullptr, nullptr, nullptr, arraySize, nullptr, nullptr, 0, image, size, rootName,
                    byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::changeNodeName(const char* newName, void* image, uint32_t size, const char* rootName,
                                      const char* address, uint32_t addressLength)
{
    return changeNameCore(newName, image, size, rootName, byName(address, addressLength, nullptr, 0));
}

uint32_t DataAccessor::changeNodeNameFast(const char* newName, void* image, uint32_t size, const char* rootName,
                                          const uint32_t* nodeVector, uint32_t depth)
{
    return changeNameCore(newName, image, size, rootName, byNodes(nodeVector, nullptr, depth));
}

uint32_t DataAccessor::peekData(const void* image, uint32_t size, const IPeekCommand& command)
{
    if (image == nullptr || size == 0) return kMmsBadArgument;
    internal::RootCursor roots(image, size);
    for (;;) {
        const void* rootImage = nullptr;
        uint32_t rootSize = 0;
        const char* id = nullptr;
        if (roots.next(&rootImage, &rootSize, &id) != kMmsOk) return kMmsOk;
        const auto* bytes = static_cast<const unsigned char*>(rootImage);
        T_EXPORT_TAG header;
        unsigned char order = 0;
        uint32_t r = CollectionTagInfo::readExportTagHeader(&header, &order, bytes, rootSize);
        if (r != kMmsOk) return r;
        if (header.length < kMmsExportHeaderSize) return kMmsBadArgument;
        if (uint64_t{header.length} + header.tagSize + header.dataSize > rootSize) return kMmsMissing;
        const unsigned char* at = bytes + header.length;
        uint32_t left = header.tagSize;
        while (left > 0) {
            if (left >= 4 && std::memcmp(at, "COL", 3) == 0) {
                // Every step advances by at least a whole head, so the walk always ends.
                T_COLLECTION_TAG head;
                if (left < kMmsCollectionTagSize || at[3] < kMmsCollectionTagSize || at[3] > left ||
                    CollectionTagInfo::readCollTagInfo(&head, at, left, false) != kMmsOk) {
                    return kMmsBadArgument;
                }
                if (!command.isCollectionSkippable() && command.peekCollection(head)) return kMmsOk;
                r = skip(&at, &left, head.length);
            } else {
                if (left < 3 || std::memcmp(at, "PR", 2) != 0) return kMmsNoSuchItem;
                T_PARAMETER_TAG tag;
                if (left < kMmsParameterTagSize || at[2] < kMmsParameterTagSize || at[2] > left ||
                    CollectionTagInfo::readPrmTagInfo(&tag, at, left, false) != kMmsOk) {
                    return kMmsBadArgument;
                }
                if (!command.isParameterSkippable() && command.peekParameter(tag)) return kMmsOk;
                r = skip(&at, &left, tag.length);
            }
            if (r != kMmsOk) return kMmsBadArgument;
        }
    }
}

bool DataAccessor::containsBitParameter(const void* image, uint32_t size)
{
    BitChecker checker;
    return peekData(image, size, checker) == kMmsOk && checker.found();
}

uint32_t DataAccessor::countNodeTags(uint32_t* collectionTags, uint32_t* parameterTags, const void* image,
                                     uint32_t size)
{
    TagCounter counter;
    const uint32_t r = peekData(image, size, counter);
    if (collectionTags != nullptr) *collectionTags = counter.collections;
    if (parameterTags != nullptr) *parameterTags = counter.parameters;
    return r;
}

uint32_t DataAccessor::incrementVector(uint32_t* current, const uint32_t* first, const uint32_t* last,
                                       uint32_t depth)
{
    if (current == nullptr || first == nullptr || last == nullptr) return kMmsBadArgument;
    for (uint32_t i = 0; i < depth; ++i) {
        if (last[i] < first[i]) return kMmsBadArgument;
    }
    for (uint32_t i = 0; i < depth; ++i) {
        if (current[i] < first[i] || current[i] > last[i]) return kMmsNoSuchItem;
    }
    for (uint32_t i = depth; i-- > 0;) {
        if (current[i] < last[i]) {
            ++current[i];
            return kMmsOk;
        }
        current[i] = first[i];
    }
    return kMmsLimit;
}

}  // namespace MMS
