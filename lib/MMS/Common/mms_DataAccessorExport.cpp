// Partial export, import between images and re-rooting of an image under new ancestors.
#include <cstring>

#include "internal/mms_DataAccessorImage.h"
#include "mms_Result.h"

namespace MMS {

namespace {

using internal::Address;
using internal::ImageView;
using internal::loadU32;
using internal::NodeTag;
using internal::Position;
using internal::storeU32;

struct ResolvedPath {
    ImageView view;
    GetTagVisitorForArray visitor;
    NodeTag node;
    Position position;
};

uint32_t resolvePath(ResolvedPath* path, const void* image, uint32_t size, const char* rootName,
                     const Address& address)
{
    uint32_t r = internal::openRoot(&path->view, image, size, rootName);
    if (r != kMmsOk) return r;
    r = internal::resolve(path->view, path->visitor, address, &path->position, &path->node);
    if (path->visitor.overflowed()) return kMmsLimit;
    return r;
}

// Instances a partial export holds: all of them with wholeArray (not for the top), else one.
uint32_t exportCount(const ResolvedPath& path, uint8_t wholeArray)
{
    const bool top = path.visitor.tagNum() <= 1;
    return wholeArray != 0 && !top ? path.node.col.arraySize : 1;
}

uint32_t exportSize(uint32_t* sizeOut, const ResolvedPath& path, uint8_t wholeArray, uint8_t withParents)
{
    if (path.visitor.tagNum() == 0) return kMmsNoSuchItem;
    if (path.node.category != kMmsNodeCollection) return kMmsNoSuchItem;
    const T_COLLECTION_TAG& head = path.node.col;
    uint64_t size = uint64_t{path.view.headerLength} + head.length + head.parameterTagsSize + head.childTagsSize +
                    uint64_t{exportCount(path, wholeArray)} * head.elementDataSize;
    if (withParents != 0) {
        for (uint32_t i = 0; i + 1 < path.visitor.tagNum(); ++i) {
            const T_NODE_TAGINFO* info = path.visitor.tagInfo(i);
            if (info == nullptr || info->category != kMmsNodeCollection) return kMmsMissing;
            size += info->tag[3];
        }
    }
    if (size > UINT32_MAX) return kMmsBadArgument;
    *sizeOut = static_cast<uint32_t>(size);
    return kMmsOk;
}

Address addressOf(bool byName, const char* text, uint32_t length, const uint32_t* nodes, const uint32_t* indexes,
                  uint32_t depth)
{
    Address a;
    a.byName = byName;
    a.text = text;
    a.length = length;
    a.nodes = nodes;
    a.indexes = indexes;
    a.depth = depth;
    return a;
}

uint32_t sizeCore(uint32_t* sizeOut, const void* image, uint32_t size, const char* rootName, const Address& address,
                  uint8_t wholeArray, uint8_t withParents)
{
    if (sizeOut == nullptr) return kMmsBadArgument;
    ResolvedPath path;
    const uint32_t r = resolvePath(&path, image, size, rootName, address);
    if (r != kMmsOk) return r;
    return exportSize(sizeOut, path, wholeArray, withParents);
}

uint32_t extractData(void* destination, uint32_t* written, uint32_t capacity, const void* image, uint32_t size,
                     const char* rootName, const Address& address, uint8_t wholeArray, uint8_t withParents)
{
    if (destination == nullptr || written == nullptr) return kMmsBadArgument;
    ResolvedPath path;
    uint32_t r = resolvePath(&path, image, size, rootName, address);
    if (r != kMmsOk) return r;
    uint32_t total = 0;
    r = exportSize(&total, path, wholeArray, withParents);
    if (r != kMmsOk) return kMmsBadArgument;
    *written = total;
    if (capacity < total) return kMmsBadArgument;

    const T_COLLECTION_TAG& head = path.node.col;
    const uint32_t count = exportCount(path, wholeArray);
    // All instances start at instance 0 of the node, whatever instance the address names.
    uint64_t start = path.position.offset;
    const uint32_t levels = path.visitor.tagNum() - 1;
    if (wholeArray != 0 && levels > 0) {
        const uint32_t index = address.indexes != nullptr ? address.indexes[levels - 1] : 0;
        start -= uint64_t{index} * head.elementDataSize;
    }
    const uint64_t dataBytes = uint64_t{count} * head.elementDataSize;
    if (start + dataBytes > path.view.dataSize) return kMmsBadArgument;

    auto* out = static_cast<unsigned char*>(destination);
    std::memmove(out, path.view.base, path.view.headerLength);
    uint32_t at = path.view.headerLength;
    uint32_t ancestorAt[GetTagVisitorForArray::kMaxRecords] = {};
    uint32_t ancestors = 0;
    if (withParents != 0) {
        for (uint32_t i = 0; i < levels; ++i) {
            const unsigned char* tag = path.visitor.tagInfo(i)->tag;
            std::memmove(out + at, tag, tag[3]);
            ancestorAt[ancestors++] = at;
            at += tag[3];
        }
    }
    const uint32_t nodeAt = at;
    const uint32_t tree = head.length + head.parameterTagsSize + head.childTagsSize;
    std::memmove(out + at, path.node.at, tree);
    at += tree;
    std::memmove(out + at, path.view.data() + start, static_cast<uint32_t>(dataBytes));
    storeU32(out + nodeAt + internal::kHeadOffset, 0);
    storeU32(out + nodeAt + internal::kHeadCount, count);

    // From the node outwards, every ancestor holds exactly the level below it once.
    uint32_t belowTree = tree;
    uint32_t belowBytes = static_cast<uint32_t>(dataBytes);
    for (uint32_t i = ancestors; i-- > 0;) {
        unsigned char* a = out + ancestorAt[i];
        storeU32(a + internal::kHeadParameterTags, 0);
        storeU32(a + internal::kHeadChildTags, belowTree);
        storeU32(a + internal::kHeadOffset, 0);
        storeU32(a + internal::kHeadInstanceBytes, belowBytes);
        storeU32(a + internal::kHeadCount, 1);
        belowTree += a[3];
    }
    std::memset(out + internal::kHeaderMd5, 0, internal::kHeaderMd5Size);
    storeU32(out + internal::kHeaderTagSize, belowTree);
    storeU32(out + internal::kHeaderDataSize, belowBytes);
    return kMmsOk;
}

// The instances of one collection pair, on both sides at once: a base and, per level from the
// import's target down, a stride and a count. Enumerated like an odometer, the last level fastest.
struct Span {
    static constexpr uint32_t kMaxDims = kMmsMaxCollectionLevels + 1;
    uint32_t dims = 0;
    uint64_t dstBase = 0;
    uint64_t srcBase = 0;
    uint64_t dstStride[kMaxDims] = {};
    uint64_t srcStride[kMaxDims] = {};
    uint32_t count[kMaxDims] = {};

    // Calls f(dstBase, srcBase) for every instance until f answers false.
    template <typename F>
    void forEach(F&& f) const
    {
        for (uint32_t d = 0; d < dims; ++d) {
            if (count[d] == 0) return;
        }
        uint32_t index[kMaxDims] = {};
        for (;;) {
            uint64_t dst = dstBase;
            uint64_t src = srcBase;
            for (uint32_t d = 0; d < dims; ++d) {
                dst += index[d] * dstStride[d];
                src += index[d] * srcStride[d];
            }
            if (!f(dst, src)) return;
            uint32_t d = dims;
            for (; d > 0; --d) {
                if (++index[d - 1] < count[d - 1]) break;
                index[d - 1] = 0;
            }
            if (d == 0) return;
        }
    }
};

// The values of one image merged into another, as the import describes. The child pairs of each
// collection pair are looked up once, not per instance, and the work has a budget that an image
// of sound layout never reaches (each destination element or instance is written at most once), so
// crafted counts can neither overrun the images nor make the merge run for hours.
class Merger {
public:
    Merger(const ImageView& destination, const ImageView& source)
        : m_dst(destination), m_src(source), m_budget(16 * uint64_t{destination.dataSize} + 64)
    {
    }

    void insert(const NodeTag& dst, uint64_t dstBase, uint32_t dstFirst, const NodeTag& src, uint64_t srcBase)
    {
        const uint32_t dstCount = dst.col.arraySize > dstFirst ? dst.col.arraySize - dstFirst : 0;
        Span span;
        span.dstBase = dstBase;
        span.srcBase = srcBase;
        if (!addLevel(&span, dst, src, dstCount)) return;
        merge(dst, src, span, 0);
    }

private:
    // Appends the instances of a collection pair: min of both counts, no more than either data
    // area can hold.
    bool addLevel(Span* span, const NodeTag& dst, const NodeTag& src, uint32_t dstCount) const
    {
        if (span->dims >= Span::kMaxDims) return false;
        uint32_t n = dstCount < src.col.arraySize ? dstCount : src.col.arraySize;
        n = fitting(n, dst.col.elementDataSize, m_dst.dataSize);
        n = fitting(n, src.col.elementDataSize, m_src.dataSize);
        if (n == 0) return false;
        span->dstStride[span->dims] = dst.col.elementDataSize;
        span->srcStride[span->dims] = src.col.elementDataSize;
        span->count[span->dims] = n;
        ++span->dims;
        return true;
    }

    static uint32_t fitting(uint32_t n, uint32_t instanceBytes, uint32_t dataSize)
    {
        const uint64_t fit = instanceBytes == 0 ? 1 : uint64_t{dataSize} / instanceBytes + 1;
        return n > fit ? static_cast<uint32_t>(fit) : n;
    }

    bool spend()
    {
        if (m_budget == 0) return false;
        --m_budget;
        return true;
    }

    // The last level of span enumerates the instances of dst and src themselves.
    void merge(const NodeTag& dst, const NodeTag& src, const Span& span, uint32_t level)
    {
        const uint32_t dstBelow = dst.col.parameterTagsSize + dst.col.childTagsSize;
        const uint32_t srcBelow = src.col.parameterTagsSize + src.col.childTagsSize;
        if (dst.col.elementDataSize == src.col.elementDataSize && dstBelow == srcBelow &&
            std::memcmp(dst.at + dst.col.length, src.at + src.col.length, dstBelow) == 0) {
            // The same layout: the instances are one block per parent instance.
            const uint64_t bytes = uint64_t{span.count[span.dims - 1]} * src.col.elementDataSize;
            if (bytes == 0) return;
            Span outer = span;
            --outer.dims;
            outer.forEach([&](uint64_t dstAt, uint64_t srcAt) {
                if (!spend()) return false;
                // Both ranges are checked: a crafted head must not lead the copy outside an image.
                if (dstAt + bytes <= m_dst.dataSize && srcAt + bytes <= m_src.dataSize) {
                    std::memmove(m_dst.data() + dstAt, m_src.data() + srcAt, static_cast<size_t>(bytes));
                }
                return true;
            });
            return;
        }
        // Nested deeper than any root can be: a crafted image, left alone.
        if (level >= kMmsMaxCollectionLevels) return;
        for (uint32_t number = 0; m_budget != 0; ++number) {
            Child from;
            if (!findChild(src, nullptr, number, &from)) return;
            const char* name = from.node.category == kMmsNodeParameter ? from.node.prm.name : from.node.col.name;
            Child to;
            // A tag without a name is matched by its node number.
            const bool found = name[0] != '\0' ? findChild(dst, name, UINT32_MAX, &to)
                                               : findChild(dst, nullptr, number, &to);
            if (!found || to.node.category != from.node.category) continue;
            if (from.node.category == kMmsNodeParameter) {
                copyElements(to, from, span);
                continue;
            }
            Span inner = span;
            inner.dstBase += to.offset;
            inner.srcBase += from.offset;
            if (addLevel(&inner, to.node, from.node, to.node.col.arraySize)) merge(to.node, from.node, inner, level + 1);
        }
    }

    struct Child {
        NodeTag node;
        uint64_t offset;  // parameters: from the instance start; collections: their head's offset
        uint8_t bit;
    };

    // The child of a collection by name (or, for number != UINT32_MAX, by node number).
    static bool findChild(const NodeTag& parent, const char* name, uint32_t number, Child* out)
    {
        const unsigned char* p = parent.at + parent.col.length;
        const unsigned char* const parametersEnd = p + parent.col.parameterTagsSize;
        const unsigned char* const childrenEnd = parametersEnd + parent.col.childTagsSize;
        uint64_t offset = 0;
        uint32_t bit = 0;
        for (uint32_t n = 0; p < childrenEnd; ++n) {
            Child c;
            c.node.at = p;
            const bool isParameter = p < parametersEnd;
            const uint64_t room = (isParameter ? parametersEnd : childrenEnd) - p;
            uint32_t step = 0;
            if (isParameter) {
                c.node.category = kMmsNodeParameter;
                if (room < kMmsParameterTagSize || std::memcmp(p, "PR", 2) != 0 ||
                    CollectionTagInfo::readPrmTagInfo(&c.node.prm, p, static_cast<uint32_t>(room), false) !=
                        kMmsOk ||
                    c.node.prm.length < kMmsParameterTagSize) {
                    return false;
                }
                step = c.node.prm.length;
                const bool bitParameter = internal::isBitParameter(c.node.prm);
                c.offset = offset + (!bitParameter && bit != 0 ? 1 : 0);
                c.bit = static_cast<uint8_t>(bitParameter ? bit : 0);
                if (bitParameter) {
                    offset += (bit + uint64_t{c.node.prm.arraySize}) / 8;
                    bit = (bit + c.node.prm.arraySize) % 8;
                } else {
                    if (bit != 0) ++offset;
                    bit = 0;
                    offset += uint64_t{c.node.prm.elementSize} * c.node.prm.arraySize;
                }
            } else {
                c.node.category = kMmsNodeCollection;
                if (room < kMmsCollectionTagSize || std::memcmp(p, "COL", 3) != 0 ||
                    CollectionTagInfo::readCollTagInfo(&c.node.col, p, static_cast<uint32_t>(room), false) !=
                        kMmsOk ||
                    c.node.col.length < kMmsCollectionTagSize) {
                    return false;
                }
                const uint64_t tree =
                    uint64_t{c.node.col.length} + c.node.col.parameterTagsSize + c.node.col.childTagsSize;
                if (tree > room) return false;
                step = static_cast<uint32_t>(tree);
                c.offset = c.node.col.dataOffset;
                c.bit = 0;
            }
            const char* childName = isParameter ? c.node.prm.name : c.node.col.name;
            const bool match = number != UINT32_MAX ? n == number : std::strncmp(childName, name, 24) == 0;
            if (match) {
                *out = c;
                return true;
            }
            p += step;
        }
        return false;
    }

    // min(source count, destination count) elements per instance, each converted through a value.
    void copyElements(const Child& to, const Child& from, const Span& span)
    {
        const uint32_t n = to.node.prm.arraySize < from.node.prm.arraySize ? to.node.prm.arraySize
                                                                           : from.node.prm.arraySize;
        const bool fromBits = internal::isBitParameter(from.node.prm);
        const bool toBits = internal::isBitParameter(to.node.prm);
        // An element of no bytes holds nothing to copy.
        if (n == 0 || (!toBits && to.node.prm.elementSize == 0)) return;
        span.forEach([&](uint64_t dstAt, uint64_t srcAt) {
            for (uint32_t k = 0; k < n; ++k) {
                if (!spend()) return false;
                JVariant value;
                if (internal::readElement(&value, m_src, from.node,
                                          at(srcAt + from.offset, from.bit, fromBits, from.node.prm.elementSize, k)) !=
                    kMmsOk) {
                    continue;
                }
                (void)internal::writeElement(value, m_dst, to.node,
                                             at(dstAt + to.offset, to.bit, toBits, to.node.prm.elementSize, k),
                                             SETTYPE_VALUE);  // a refused element stays as it was
            }
            return true;
        });
    }

    static Position at(uint64_t offset, uint8_t bit, bool bits, uint32_t elementSize, uint32_t k)
    {
        Position p;
        if (bits) {
            p.offset = offset + (bit + uint64_t{k}) / 8;
            p.bit = static_cast<uint8_t>((bit + k) % 8);
        } else {
            p.offset = offset + uint64_t{elementSize} * k;
        }
        return p;
    }

    const ImageView& m_dst;
    const ImageView& m_src;
    uint64_t m_budget;
};

uint32_t importCore(void* image, uint32_t size, const void* source, uint32_t sourceSize, const char* rootName,
                    const Address& address)
{
    ResolvedPath path;
    uint32_t r = resolvePath(&path, image, size, rootName, address);
    if (r != kMmsOk) return r;
    ImageView from;
    if (source == nullptr || internal::openRootImage(&from, source, sourceSize) != kMmsOk) return kMmsBadArgument;
    if (path.node.category != kMmsNodeCollection) return kMmsBadArgument;
    const uint32_t levels = path.visitor.tagNum() - 1;
    const uint32_t first = levels > 0 && address.indexes != nullptr ? address.indexes[address.depth - 1] : 0;
    NodeTag top;
    top.category = kMmsNodeCollection;
    top.at = from.topAt();
    top.col = from.top;
    // The target position is the addressed instance; the instances before it are not counted.
    Merger(path.view, from).insert(path.node, path.position.offset, first, top, 0);
    return kMmsOk;
}

// Names of a re-rooting address: runs of "/" separate, empty names do not count.
template <typename F>
void forEachName(const char* address, uint32_t length, F&& f)
{
    uint32_t i = 0;
    while (i < length && address[i] != '\0') {
        while (i < length && address[i] == '/') ++i;
        const uint32_t start = i;
        while (i < length && address[i] != '/' && address[i] != '\0') ++i;
        if (i > start) f(address + start, i - start);
    }
}

struct RerootPlan {
    uint32_t headerLength;
    uint32_t tagSize;
    uint32_t dataSize;
    uint32_t headLength;
    uint32_t names;
    uint32_t total;
};

uint32_t planReroot(RerootPlan* plan, const char* address, uint32_t addressLength, const void* image,
                    uint32_t imageSize)
{
    const auto* bytes = static_cast<const unsigned char*>(image);
    if (bytes == nullptr) return kMmsBadArgument;
    if (imageSize < 4 || std::memcmp(bytes, "MMS", 3) != 0) return kMmsNotSupported;
    const uint32_t headerLength = bytes[3];
    if (headerLength < kMmsExportHeaderSize || headerLength > imageSize) return kMmsBadArgument;
    const uint32_t tagSize = loadU32(bytes + internal::kHeaderTagSize);
    const uint32_t dataSize = loadU32(bytes + internal::kHeaderDataSize);
    if (uint64_t{headerLength} + tagSize + dataSize > imageSize) return kMmsBadArgument;
    const unsigned char* top = bytes + headerLength;
    if (tagSize < kMmsCollectionTagSize || std::memcmp(top, "COL", 3) != 0 || top[3] < kMmsCollectionTagSize ||
        top[3] > tagSize) {
        return kMmsBadArgument;
    }
    if (address == nullptr || addressLength == 0) return kMmsBadArgument;
    uint32_t names = 0;
    forEachName(address, addressLength, [&](const char*, uint32_t) { ++names; });
    if (names == 0) return kMmsBadArgument;
    const uint64_t total = uint64_t{headerLength} + tagSize + dataSize + uint64_t{names} * top[3];
    if (total > UINT32_MAX) return kMmsBadArgument;
    *plan = RerootPlan{headerLength, tagSize, dataSize, top[3], names, static_cast<uint32_t>(total)};
    return kMmsOk;
}

}  // namespace

uint32_t DataAccessor::getExportDataSize(uint32_t* sizeOut, const void* image, uint32_t size, const char* rootName,
                                         const char* address, uint32_t addressLength, uint8_t wholeArray,
                                         uint8_t withParents)
{
    return sizeCore(sizeOut, image, size, rootName, addressOf(true, address, addressLength, nullptr, nullptr, 0),
                    wholeArray, withParents);
}

uint32_t DataAccessor::getExportDataSizeFast(uint32_t* sizeOut, const void* image, uint32_t size,
                                             const char* rootName, const uint32_t* nodeVector, uint32_t depth,
                                             uint8_t wholeArray, uint8_t withParents)
{
    return sizeCore(sizeOut, image, size, rootName, addressOf(false, nullptr, 0, nodeVector, nullptr, depth),
                    wholeArray, withParents);
}

uint32_t DataAccessor::exportData(void* destination, uint32_t* written, uint32_t capacity, const void* image,
                                  uint32_t size, const char* rootName, const char* address, uint32_t addressLength,
                                  const uint32_t* indexVector, uint32_t depth, uint8_t wholeArray,
                                  uint8_t withParents)
{
    return extractData(destination, written, capacity, image, size, rootName,
                       addressOf(true, address, addressLength, nullptr, indexVector, depth), wholeArray,
                       withParents);
}

uint32_t DataAccessor::exportDataFast(void* destination, uint32_t* written, uint32_t capacity, const void* image,
                                      uint32_t size, const char* rootName, const uint32_t* nodeVector,
                                      const uint32_t* indexVector, uint32_t depth, uint8_t wholeArray,
                                      uint8_t withParents)
{
    return extractData(destination, written, capacity, image, size, rootName,
                       addressOf(false, nullptr, 0, nodeVector, indexVector, depth), wholeArray, withParents);
}

uint32_t DataAccessor::importData(void* image, uint32_t size, const void* source, uint32_t sourceSize,
                                  const char* rootName, const char* address, uint32_t addressLength,
                                  const uint32_t* indexVector, uint32_t depth)
{
    return importCore(image, size, source, sourceSize, rootName,
                      addressOf(true, address, addressLength, nullptr, indexVector, depth));
}

uint32_t DataAccessor::importDataFast(void* image, uint32_t size, const void* source, uint32_t sourceSize,
                                      const char* rootName, const uint32_t* nodeVector, const uint32_t* indexVector,
                                      uint32_t depth)
{
    return importCore(image, size, source, sourceSize, rootName,
                      addressOf(false, nullptr, 0, nodeVector, indexVector, depth));
}

uint32_t DataAccessor::getTopAddrChangedSize(uint32_t* sizeOut, const char* address, uint32_t addressLength,
                                             const void* image, uint32_t imageSize)
{
    if (sizeOut == nullptr) return kMmsBadArgument;
    RerootPlan plan;
    const uint32_t r = planReroot(&plan, address, addressLength, image, imageSize);
    if (r != kMmsOk) return r;
    *sizeOut = plan.total;
    return kMmsOk;
}

uint32_t DataAccessor::getTopAddrChangedData(void* destination, uint32_t* written, uint32_t capacity,
                                             const char* address, uint32_t addressLength, const void* image,
                                             uint32_t imageSize, const char* newTopName)
{
    if (image == nullptr || destination == nullptr || written == nullptr) return kMmsBadArgument;
    RerootPlan plan;
    const uint32_t r = planReroot(&plan, address, addressLength, image, imageSize);
    if (r != kMmsOk) return r;
    if (capacity < plan.total) return kMmsBadArgument;
    bool tooLong = false;
    forEachName(address, addressLength, [&](const char*, uint32_t length) { tooLong |= length > 23; });
    if (tooLong) return kMmsBadArgument;

    const auto* in = static_cast<const unsigned char*>(image);
    auto* out = static_cast<unsigned char*>(destination);
    const uint32_t heads = plan.names * plan.headLength;
    // Body first, then the header: an image re-rooted in place stays intact.
    std::memmove(out + plan.headerLength + heads, in + plan.headerLength, plan.tagSize + plan.dataSize);
    std::memmove(out, in, plan.headerLength);
    uint32_t at = plan.headerLength;
    forEachName(address, addressLength, [&](const char* name, uint32_t length) {
        unsigned char* head = out + at;
        std::memset(head, 0, plan.headLength);
        std::memcpy(head, "COL", 3);
        head[3] = static_cast<unsigned char>(plan.headLength);
        std::memcpy(head + 4, name, length);
        storeU32(head + internal::kHeadCount, 1);
        at += plan.headLength;
    });
    unsigned char* oldTop = out + at;
    if (newTopName != nullptr) {
        std::memset(oldTop + 4, 0, 24);
        std::memcpy(oldTop + 4, newTopName, strnlen(newTopName, 23));
    }
    // From the innermost new head outwards, each holds the level below it once.
    uint64_t belowTree = uint64_t{oldTop[3]} + loadU32(oldTop + internal::kHeadParameterTags) +
                         loadU32(oldTop + internal::kHeadChildTags);
    uint64_t belowBytes =
        uint64_t{loadU32(oldTop + internal::kHeadInstanceBytes)} * loadU32(oldTop + internal::kHeadCount);
    for (uint32_t i = plan.names; i-- > 0;) {
        unsigned char* head = out + plan.headerLength + i * plan.headLength;
        storeU32(head + internal::kHeadChildTags, static_cast<uint32_t>(belowTree));
        storeU32(head + internal::kHeadInstanceBytes, static_cast<uint32_t>(belowBytes));
        belowTree += plan.headLength;
    }
    storeU32(out + internal::kHeaderTagSize, plan.tagSize + heads);
    std::memset(out + internal::kHeaderMd5, 0, internal::kHeaderMd5Size);
    *written = plan.total;
    return kMmsOk;
}

}  // namespace MMS
