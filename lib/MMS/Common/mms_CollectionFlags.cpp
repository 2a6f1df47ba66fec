// The collection's change and import flags, its part of export images and every import of an
// export image into it.
#include <cstring>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "mms_Collection.h"
#include "mms_CollectionTagInfo.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ISetChecker.h"
#include "mms_Parameter.h"

namespace MMS {

namespace {

constexpr uint8_t kKindParameter = 0;
constexpr uint8_t kKindCollection = 1;
constexpr uint32_t kImportCleared = 0x200;
constexpr uint32_t kStillSet = 0x1000;
constexpr uint32_t kNameField = 24;
// Offsets of the 32-bit fields of a "COL" tag that an export rewrites.
constexpr uint32_t kColParameterTags = 28;
constexpr uint32_t kColChildTags = 32;
constexpr uint32_t kColDataOffset = 36;
constexpr uint32_t kColElementSize = 40;
constexpr uint32_t kColArraySize = 44;

// Values of bit parameters are packed least significant bit first.
bool readPackedBit(const unsigned char* base, uint32_t bit) { return ((base[bit / 8] >> (bit % 8)) & 1u) != 0; }

void writePackedBit(unsigned char* base, uint32_t bit, bool on)
{
    const auto mask = static_cast<unsigned char>(1u << (bit % 8));
    base[bit / 8] = static_cast<unsigned char>(on ? (base[bit / 8] | mask) : (base[bit / 8] & ~mask));
}

bool anyNonZero(const unsigned char* bytes, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) {
        if (bytes[i] != 0) return true;
    }
    return false;
}

void store32(unsigned char* at, uint32_t value) { std::memcpy(at, &value, 4); }

// Whether size bytes from offset lie within total bytes.
bool fits(uint64_t offset, uint64_t size, uint64_t total) { return offset <= total && size <= total - offset; }

// Level 0 counts one element whatever the array size.
uint32_t elementCount(const Collection& collection, uint32_t level)
{
    return level == 0 ? 1 : collection.getArraySize();
}

// A base moved to one element of the collection; nothing moves at level 0.
uint32_t elementBit(uint32_t base, const T_ADDR_INFO& layout, uint32_t element, uint32_t level)
{
    return level > 0 ? base + CommonFunction::offsetCalculation(layout, element) : base;
}

template <class Byte>
Byte* elementBytes(Byte* base, const T_ADDR_INFO& layout, uint32_t element, uint32_t level)
{
    if (base == nullptr || level == 0) return base;
    return base + CommonFunction::offsetCalculation(layout, element);
}

// The start address only applies to the child it names.
const T_FAST_ADDRESS* startFor(const T_FAST_ADDRESS* start, uint32_t level, uint32_t node)
{
    if (start == nullptr || start->depth <= level || start->nodes == nullptr) return nullptr;
    return start->nodes[level] == node ? start : nullptr;
}

// Where a search begins at this level: the start address's element and node while it reaches the
// level; the first node of the element where it ends. Answers the start address to keep (null
// when it does not reach this level).
const T_FAST_ADDRESS* searchStart(uint32_t* firstElement, uint32_t* firstNode, const T_FAST_ADDRESS* start,
                                  uint32_t level)
{
    *firstElement = 0;
    *firstNode = 0;
    if (start == nullptr || start->depth < level) return nullptr;
    if (level > 0 && start->indexes == nullptr) return nullptr;
    if (start->depth > level && start->nodes == nullptr) return nullptr;
    if (level > 0) *firstElement = start->indexes[level - 1];
    if (start->depth > level) *firstNode = start->nodes[level];
    return start;
}

// After a child cleared a dirty bit of the element at elementDirty: keep the element's summary
// bit (adding 0x1000) while anything else inside is set, else clear it.
uint32_t summaryUpkeep(const Collection& collection, uint32_t result, unsigned char* dirtyMemory,
                       uint32_t elementDirty, uint32_t level, uint8_t kind, uint32_t listIndex, uint32_t arrayIndex)
{
    if (mmsIsFailure(result) || (result & kMmsChanged) == 0 || (result & kStillSet) != 0) return result;
    if (collection.isChildDirty(dirtyMemory, elementDirty, level, kind, listIndex, arrayIndex) != 0) {
        return result | kStillSet;
    }
    result &= ~kMmsChanged;
    return result | CommonFunction::dirtyFlagController(dirtyMemory, elementDirty, 0);
}

// After a child cleared an import flag or searcher bit below the element at elementImport: its
// searcher bit goes when no child element is flagged in either memory.
uint32_t importSummaryUpkeep(const Collection& collection, uint32_t result, unsigned char* searcherMemory,
                             unsigned char* flagMemory, uint32_t elementImport, uint32_t level)
{
    if (mmsIsFailure(result) || (result & kMmsChanged) == 0) return result;
    if (collection.getChildImportFlag(searcherMemory, elementImport, level) != 0 ||
        collection.getChildImportFlag(flagMemory, elementImport, level) != 0) {
        return result;
    }
    result &= ~kMmsChanged;
    return result | CommonFunction::dirtyFlagController(searcherMemory, elementImport, 0);
}

uint32_t markChanged(IDirtyFlagHolder* holder, unsigned char* factorMemory, uint32_t bit, uint8_t factor)
{
    (void)holder->set(bit);  // a root without subscribers marks nothing
    factorMemory[bit] = factor;
    return kMmsChanged;
}

bool isSameElement(const unsigned char* a, const unsigned char* b, uint32_t size)
{
    switch (size) {
    case 1: return *a == *b;
    case 2: {
        uint16_t x;
        uint16_t y;
        std::memcpy(&x, a, 2);
        std::memcpy(&y, b, 2);
        return x == y;
    }
    case 4: {
        uint32_t x;
        uint32_t y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        return x == y;
    }
    default: return std::memcmp(a, b, size) == 0;
    }
}

// One parameter whose image block is laid out exactly like the own one: image, values and filter
// point at the element that holds the parameter.
uint32_t importSameLayoutParameter(const Parameter& parameter, uint8_t factor, const unsigned char* image,
                                   unsigned char* values, const unsigned char* filter, IDirtyFlagHolder* holder,
                                   uint32_t dirtyBase, unsigned char* factorMemory)
{
    const uint32_t offset = parameter.getParamAddrInfo().offset;
    const uint32_t firstBit = dirtyBase + parameter.getDirtyFlagAddrInfo().offset;
    const uint32_t size = parameter.getElementSize();
    uint32_t result = kMmsOk;
    if (parameter.getType() == kMmsTypeBit) {
        const uint32_t bitOffset = parameter.getBitOffset();
        for (uint32_t i = 0; i < parameter.getArraySize(); ++i) {
            const bool on = readPackedBit(image + offset, bitOffset + i);
            if (readPackedBit(values + offset, bitOffset + i) == on) continue;
            if (filter != nullptr && readPackedBit(filter + offset, bitOffset + i)) continue;
            writePackedBit(values + offset, bitOffset + i, on);
            result |= markChanged(holder, factorMemory, firstBit + i, factor);
        }
        return result;
    }
    // An import usually changes few values: equal runs are skipped a chunk at a time, and the
    // elements of a differing chunk compared without a library call for the common sizes.
    constexpr uint32_t kChunk = 16;
    const uint32_t count = parameter.getArraySize();
    for (uint32_t first = 0; first < count; first += kChunk) {
        const uint32_t last = count - first < kChunk ? count : first + kChunk;
        const uint32_t from = offset + first * size;
        if (std::memcmp(image + from, values + from, size_t{last - first} * size) == 0) continue;
        for (uint32_t i = first; i < last; ++i) {
            const uint32_t at = offset + i * size;
            if (isSameElement(image + at, values + at, size)) continue;
            if (filter != nullptr && anyNonZero(filter + at, size)) continue;
            std::memcpy(values + at, image + at, size);
            result |= markChanged(holder, factorMemory, firstBit + i, factor);
        }
    }
    return result;
}

}  // namespace

// ---- change and import flags ----

uint32_t Collection::isChanged(uint8_t* changed, unsigned char* flagMemory, uint32_t bit, uint32_t clearCount)
{
    if (changed == nullptr) return kMmsBadArgument;
    *changed = CommonFunction::isDirty(flagMemory, bit) ? 1 : 0;
    if (*changed == 0 || clearCount == 0) return kMmsOk;
    return CommonFunction::dirtyFlagRengeController(flagMemory, bit, clearCount, 0);
}

uint32_t Collection::isChanged(uint8_t* changed, const T_FAST_ADDRESS* address, uint32_t level, uint8_t clear,
                               unsigned char* dirtyMemory, uint32_t dirtyBase) const
{
    if (changed == nullptr) return kMmsBadArgument;
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    const uint32_t elementDirty = elementBit(dirtyBase, m_dirtyInfo, element, level);
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return isChanged(changed, dirtyMemory, elementDirty, clear != 0 ? m_dirtyInfo.unit : 0);
    const uint32_t node = address->nodes[level];
    const uint32_t arrayIndex = address->indexes != nullptr ? address->indexes[level] : 0;
    uint32_t result = 0;
    if (parameter != nullptr) {
        result = parameter->isChanged(changed, address, level + 1, clear, dirtyMemory, elementDirty);
        return summaryUpkeep(*this, result, dirtyMemory, elementDirty, level, kKindParameter, node, arrayIndex);
    }
    result = child->isChanged(changed, address, level + 1, clear, dirtyMemory, elementDirty);
    return summaryUpkeep(*this, result, dirtyMemory, elementDirty, level, kKindCollection, node - getPrmCount(),
                         arrayIndex);
}

uint32_t Collection::getChangedPrm(const unsigned char* flagMemory, uint32_t base, const T_ADDR_INFO& layout,
                                   uint32_t firstElement, uint32_t elementCount)
{
    for (uint32_t i = firstElement; i < elementCount; ++i) {
        if (CommonFunction::isDirty(flagMemory, base + CommonFunction::offsetCalculation(layout, i))) return 1;
    }
    return 0;
}

uint32_t Collection::isChildDirty(const unsigned char* dirtyMemory, uint32_t dirtyBase, uint32_t, uint8_t, uint32_t,
                                  uint32_t) const
{
    // An element's own bit comes first and every bit below it follows within its unit, so one
    // range test answers for all children: it runs on every clear of a read, which a scan child by
    // child made cost as much as the element count.
    if (m_dirtyInfo.unit <= 1) return 0;
    return CommonFunction::isAnyDirty(dirtyMemory, dirtyBase + 1, m_dirtyInfo.unit - 1) ? 1 : 0;
}

uint32_t Collection::getChangedPrmAddr(JVariant* value, uint8_t* factor, uint32_t* nodeVector,
                                       uint32_t* indexVector, uint32_t* depth, uint32_t capacity,
                                       const T_FAST_ADDRESS* startAddress, uint32_t level, uint8_t clear,
                                       const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                       uint32_t dirtyBase, const unsigned char* factorMemory) const
{
    if (nodeVector == nullptr || indexVector == nullptr || depth == nullptr) return kMmsBadArgument;
    uint32_t firstElement = 0;
    uint32_t firstNode = 0;
    const T_FAST_ADDRESS* start = searchStart(&firstElement, &firstNode, startAddress, level);
    const uint32_t parameters = getPrmCount();
    const uint32_t nodes = parameters + getCollectionCount();
    const uint32_t elements = elementCount(*this, level);
    for (uint32_t i = firstElement; i < elements; ++i, start = nullptr, firstNode = 0) {
        const uint32_t elementDirty = elementBit(dirtyBase, m_dirtyInfo, i, level);
        if (!CommonFunction::isDirty(dirtyMemory, elementDirty)) continue;
        const unsigned char* values = elementBytes(valueMemory, m_dataInfo, i, level);
        for (uint32_t node = firstNode; node < nodes; ++node, start = nullptr) {
            const T_FAST_ADDRESS* from = startFor(start, level, node);
            uint32_t result = 0;
            uint8_t kind = kKindParameter;
            uint32_t listIndex = node;
            if (node < parameters) {
                const Parameter* parameter = getPrmItem(node);
                if (parameter == nullptr) return kMmsMissing;
                result = parameter->getChangedPrmAddr(value, factor, nodeVector, indexVector, depth, capacity, from,
                                                      level + 1, clear, values, dirtyMemory, elementDirty,
                                                      factorMemory);
            } else {
                const Collection* child = getCollectionItem(node - parameters);
                if (child == nullptr) return kMmsMissing;
                kind = kKindCollection;
                listIndex = node - parameters;
                result = child->getChangedPrmAddr(value, factor, nodeVector, indexVector, depth, capacity, from,
                                                  level + 1, clear, values, dirtyMemory, elementDirty, factorMemory);
            }
            if (mmsIsFailure(result)) return result;
            if ((result & kMmsFound) == 0) continue;
            if (capacity <= level) return kMmsBadArgument;
            nodeVector[level] = node;
            if (level > 0) indexVector[level - 1] = i;
            return summaryUpkeep(*this, result, dirtyMemory, elementDirty, level, kind, listIndex,
                                 indexVector[level]);
        }
    }
    return kMmsOk;
}

uint32_t Collection::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indexVector, uint32_t* depth,
                                     uint32_t capacity, const T_FAST_ADDRESS* address, uint32_t level, uint8_t clear,
                                     const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                     uint32_t dirtyBase, const unsigned char* factorMemory) const
{
    if (indexVector == nullptr || depth == nullptr) return kMmsBadArgument;
    const uint32_t elements = elementCount(*this, level);
    const uint32_t* indexes = address != nullptr ? address->indexes : nullptr;
    if (address == nullptr || address->depth == level) {
        uint32_t first = 0;
        if (level > 0 && indexes != nullptr) {
            if (indexes[level - 1] >= elements) return kMmsOk;  // nothing after the last element
            first = indexes[level - 1] + 1;
        }
        for (uint32_t e = first; e < elements; ++e) {
            const uint32_t bit = elementBit(dirtyBase, m_dirtyInfo, e, level);
            if (!CommonFunction::isDirty(dirtyMemory, bit)) continue;
            if (capacity < level) return kMmsBadArgument;
            uint32_t result = kMmsFound;
            *depth = level;
            if (level > 0) indexVector[level - 1] = e;
            if (clear != 0) result |= CommonFunction::dirtyFlagRengeController(dirtyMemory, bit, m_dirtyInfo.unit, 0);
            if (value != nullptr) (void)value->invalid();  // a collection element has no value
            if (factor != nullptr && factorMemory != nullptr) *factor = factorMemory[bit];
            return result;
        }
        return kMmsOk;
    }
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (parameter != nullptr && address->depth != level + 1) return kMmsNoSuchItem;
    const uint32_t node = address->nodes[level];
    uint32_t first = 0;
    if (level > 0 && indexes != nullptr) first = indexes[level - 1];
    T_FAST_ADDRESS rest = *address;
    for (uint32_t e = first; e < elements; ++e, rest.indexes = nullptr) {
        const uint32_t elementDirty = elementBit(dirtyBase, m_dirtyInfo, e, level);
        if (!CommonFunction::isDirty(dirtyMemory, elementDirty)) continue;
        const unsigned char* values = elementBytes(valueMemory, m_dataInfo, e, level);
        uint32_t result = 0;
        if (parameter != nullptr) {
            uint32_t nodeOut[kMmsMaxDepth + 1] = {};
            result = parameter->getChangedPrmAddr(value, factor, nodeOut, indexVector, depth, capacity, &rest,
                                                  level + 1, clear, values, dirtyMemory, elementDirty, factorMemory);
        } else {
            result = child->getChangedPrmCh(value, factor, indexVector, depth, capacity, &rest, level + 1, clear,
                                            values, dirtyMemory, elementDirty, factorMemory);
        }
        if (mmsIsFailure(result)) return result;
        if ((result & kMmsFound) == 0) continue;
        if (capacity < level + 1) return kMmsBadArgument;
        if (level > 0) indexVector[level - 1] = e;
        const uint8_t kind = parameter != nullptr ? kKindParameter : kKindCollection;
        const uint32_t listIndex = parameter != nullptr ? node : node - getPrmCount();
        return summaryUpkeep(*this, result, dirtyMemory, elementDirty, level, kind, listIndex, indexVector[level]);
    }
    return kMmsOk;
}

uint32_t Collection::getChildImportFlag(const unsigned char* flagMemory, uint32_t importBase, uint32_t) const
{
    for (uint32_t i = 0; i < getCollectionCount(); ++i) {
        const Collection* child = getCollectionItem(i);
        if (child == nullptr) return 1;  // kept rather than losing an import mark
        if (getChangedPrm(flagMemory, importBase, child->m_importInfo, 0, child->m_arraySize) != 0) return 1;
    }
    return 0;
}

uint32_t Collection::isImported(uint8_t* imported, const T_FAST_ADDRESS* address, uint32_t level, uint8_t clear,
                                unsigned char* searcherMemory, unsigned char* flagMemory, uint32_t importBase) const
{
    if (imported == nullptr) return kMmsBadArgument;
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    const uint32_t elementImport = elementBit(importBase, m_importInfo, element, level);
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (parameter != nullptr) return kMmsNoSuchItem;
    if (endsHere) {
        *imported = CommonFunction::isDirty(flagMemory, elementImport) ? 1 : 0;
        if (*imported == 0 || clear == 0) return kMmsOk;
        return CommonFunction::dirtyFlagController(flagMemory, elementImport, 0);
    }
    const uint32_t result =
        child->isImported(imported, address, level + 1, clear, searcherMemory, flagMemory, elementImport);
    return importSummaryUpkeep(*this, result, searcherMemory, flagMemory, elementImport, level);
}

uint32_t Collection::getImportedCollectionAddr(uint32_t* nodeVector, uint32_t* indexVector, uint32_t* depth,
                                               uint32_t capacity, const T_FAST_ADDRESS* startAddress, uint32_t level,
                                               uint8_t clear, unsigned char* searcherMemory,
                                               unsigned char* flagMemory, uint32_t importBase) const
{
    if (nodeVector == nullptr || indexVector == nullptr || depth == nullptr) return kMmsBadArgument;
    uint32_t firstElement = 0;
    uint32_t firstNode = 0;
    const T_FAST_ADDRESS* start = searchStart(&firstElement, &firstNode, startAddress, level);
    const uint32_t parameters = getPrmCount();
    const uint32_t nodes = parameters + getCollectionCount();
    const uint32_t elements = elementCount(*this, level);
    for (uint32_t i = firstElement; i < elements; ++i, start = nullptr, firstNode = 0) {
        const uint32_t elementImport = elementBit(importBase, m_importInfo, i, level);
        if (CommonFunction::isDirty(flagMemory, elementImport)) {
            if (capacity < level) return kMmsBadArgument;
            uint32_t result = kMmsFound;
            *depth = level;
            if (level > 0) indexVector[level - 1] = i;
            if (clear != 0) result |= CommonFunction::dirtyFlagController(flagMemory, elementImport, 0);
            return result;
        }
        if (!CommonFunction::isDirty(searcherMemory, elementImport)) continue;
        // Parameters hold no import flags.
        for (uint32_t node = firstNode < parameters ? parameters : firstNode; node < nodes; ++node, start = nullptr) {
            const Collection* child = getCollectionItem(node - parameters);
            if (child == nullptr) return kMmsMissing;
            const uint32_t result =
                child->getImportedCollectionAddr(nodeVector, indexVector, depth, capacity, startFor(start, level, node),
                                                 level + 1, clear, searcherMemory, flagMemory, elementImport);
            if (mmsIsFailure(result)) return result;
            if ((result & kMmsFound) == 0) continue;
            if (capacity <= level) return kMmsBadArgument;
            nodeVector[level] = node;
            if (level > 0) indexVector[level - 1] = i;
            return importSummaryUpkeep(*this, result, searcherMemory, flagMemory, elementImport, level);
        }
    }
    return kMmsOk;
}

// ---- export ----

uint32_t Collection::getExportTagSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level,
                                      uint8_t withParents) const
{
    if (size == nullptr) return kMmsBadArgument;
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) {
        *size = m_tagInfo.unit;
        return kMmsOk;
    }
    if (parameter != nullptr) return kMmsNoSuchItem;
    JLIB_RETURN_IF_FAILED(child->getExportTagSize(size, address, level + 1, withParents));
    if (withParents != 0) {
        if (*size > 0xFFFFFFFFu - kMmsCollectionTagSize) return kMmsBadArgument;
        *size += kMmsCollectionTagSize;
    }
    return kMmsOk;
}

uint32_t Collection::getExportDataSize(uint32_t* size, uint32_t count) const
{
    if (size == nullptr) return kMmsBadArgument;
    const uint64_t total = m_tagInfo.unit + static_cast<uint64_t>(count) * m_dataInfo.unit;
    if (total > 0xFFFFFFFFu) return kMmsBadArgument;
    *size = static_cast<uint32_t>(total);
    return kMmsOk;
}

uint32_t Collection::getExportDataSize(uint32_t* size, const T_FAST_ADDRESS* address, const uint32_t* lastIndexes,
                                       uint32_t level, uint32_t multiplier, uint8_t withParents) const
{
    if (size == nullptr) return kMmsBadArgument;
    const uint64_t count =
        static_cast<uint64_t>(multiplier) * getChannelSize(address != nullptr ? address->indexes : nullptr,
                                                           lastIndexes, level);
    if (count > 0xFFFFFFFFu) return kMmsBadArgument;
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return getExportDataSize(size, static_cast<uint32_t>(count));
    if (parameter != nullptr) return kMmsNoSuchItem;
    JLIB_RETURN_IF_FAILED(child->getExportDataSize(size, address, lastIndexes, level + 1,
                                                   static_cast<uint32_t>(count), withParents));
    if (withParents != 0) {
        if (*size > 0xFFFFFFFFu - kMmsCollectionTagSize) return kMmsBadArgument;
        *size += kMmsCollectionTagSize;
    }
    return kMmsOk;
}

uint32_t Collection::exportData(unsigned char* tagOut, unsigned char* dataOut, uint32_t* tagSize, uint32_t* dataSize,
                                unsigned char* factorsOut, uint32_t* factorCount, uint32_t factorCapacity,
                                uint32_t tagCapacity, uint32_t dataCapacity, const T_FAST_ADDRESS* address,
                                const uint32_t* lastIndexes, uint32_t level, uint32_t multiplier, uint8_t withParents,
                                uint8_t clearDirty, uint8_t clearImport, const unsigned char* valueMemory,
                                unsigned char* dirtyMemory, uint32_t dirtyBase, unsigned char* searcherMemory,
                                unsigned char* flagMemory, uint32_t importBase, const unsigned char* factorMemory,
                                const unsigned char* tagBase) const
{
    if (address == nullptr || address->depth == level) {
        return exportDataLocal(tagOut, dataOut, tagSize, dataSize, factorsOut, factorCount, factorCapacity,
                               tagCapacity, dataCapacity, address, lastIndexes, level, clearDirty, clearImport,
                               valueMemory, dirtyMemory, dirtyBase, searcherMemory, flagMemory, importBase,
                               factorMemory, tagBase);
    }
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (parameter != nullptr) return kMmsNoSuchItem;
    if (tagOut == nullptr || dataOut == nullptr || tagSize == nullptr || dataSize == nullptr) return kMmsBadArgument;
    if (tagBase == nullptr) return kMmsMissing;

    uint32_t first = 0;
    uint32_t last = 0;
    if (level > 0) {
        if (address->indexes == nullptr) return kMmsMissing;
        first = address->indexes[level - 1];
        last = lastIndexes != nullptr && lastIndexes[level - 1] != 0xFFFFFFFFu ? lastIndexes[level - 1]
                                                                                : m_arraySize - 1;
    }
    const uint32_t head = withParents != 0 ? kMmsCollectionTagSize : 0;
    if (tagCapacity < head) return kMmsBadArgument;
    const unsigned char* ownTags = level > 0 ? tagBase + m_tagInfo.offset : tagBase;
    const uint32_t count = getChannelSize(address->indexes, lastIndexes, level);
    const uint32_t node = address->nodes[level];

    *tagSize = 0;
    *dataSize = 0;
    uint32_t factorsWritten = 0;
    uint32_t tagWritten = 0;
    uint32_t exported = 0;
    uint32_t result = kMmsOk;
    for (uint32_t i = first; i <= last && i < elementCount(*this, level); ++i) {
        const unsigned char* values = elementBytes(valueMemory, m_dataInfo, i, level);
        const uint32_t elementDirty = elementBit(dirtyBase, m_dirtyInfo, i, level);
        const uint32_t elementImport = elementBit(importBase, m_importInfo, i, level);
        uint32_t childTags = 0;
        uint32_t childData = 0;
        uint32_t childFactors = 0;
        uint32_t r = child->exportData(tagOut + head, dataOut, &childTags, &childData, factorsOut, &childFactors,
                                       factorCapacity, tagCapacity - head, dataCapacity, address, lastIndexes,
                                       level + 1, multiplier * count, withParents, clearDirty, clearImport, values,
                                       dirtyMemory, elementDirty, searcherMemory, flagMemory, elementImport,
                                       factorMemory, ownTags);
        if (mmsIsFailure(r)) return r;
        dataOut += childData;
        *dataSize += childData;
        dataCapacity -= childData;
        if (factorsOut != nullptr) factorsOut += childFactors;
        factorsWritten += childFactors;
        factorCapacity -= childFactors;
        tagWritten = childTags;
        ++exported;
        const uint32_t arrayIndex = address->indexes != nullptr ? address->indexes[level] : 0;
        r = summaryUpkeep(*this, r, dirtyMemory, elementDirty, level, kKindCollection, node - getPrmCount(),
                          arrayIndex);
        if ((r & kImportCleared) != 0 && getChildImportFlag(searcherMemory, elementImport, level) == 0 &&
            getChildImportFlag(flagMemory, elementImport, level) == 0) {
            r &= ~kImportCleared;
            if ((CommonFunction::dirtyFlagController(searcherMemory, elementImport, 0) & kMmsChanged) != 0) {
                r |= kImportCleared;
            }
        }
        result |= r;
    }
    if (factorCount != nullptr) *factorCount = factorsWritten;
    if (withParents != 0) {
        // The head of this level describes exactly the instances written below it.
        const uint32_t written = exported == 0 ? 1 : exported;
        std::memcpy(tagOut, ownTags, kMmsCollectionTagSize);
        store32(tagOut + kColParameterTags, 0);
        store32(tagOut + kColChildTags, tagWritten);
        store32(tagOut + kColDataOffset, 0);
        store32(tagOut + kColElementSize, *dataSize / written);
        store32(tagOut + kColArraySize, exported);
        tagWritten += kMmsCollectionTagSize;
    }
    *tagSize = tagWritten;
    return result;
}

uint32_t Collection::exportDataLocal(unsigned char* tagOut, unsigned char* dataOut, uint32_t* tagSize,
                                     uint32_t* dataSize, unsigned char* factorsOut, uint32_t* factorCount,
                                     uint32_t factorCapacity, uint32_t tagCapacity, uint32_t dataCapacity,
                                     const T_FAST_ADDRESS* address, const uint32_t* lastIndexes, uint32_t level,
                                     uint8_t clearDirty, uint8_t clearImport, const unsigned char* valueMemory,
                                     unsigned char* dirtyMemory, uint32_t dirtyBase, unsigned char* searcherMemory,
                                     unsigned char* flagMemory, uint32_t importBase, const unsigned char* factorMemory,
                                     const unsigned char* tagBase) const
{
    if (tagOut == nullptr || dataOut == nullptr || tagSize == nullptr || dataSize == nullptr) return kMmsBadArgument;
    if (tagCapacity < m_tagInfo.unit) return kMmsBadArgument;
    if (tagBase == nullptr || valueMemory == nullptr) return kMmsMissing;
    uint32_t first = 0;
    uint32_t count = 1;
    if (level > 0) {
        if (address == nullptr || address->indexes == nullptr) return kMmsMissing;
        first = address->indexes[level - 1];
        if (first >= m_arraySize) return kMmsNoSuchItem;
        count = m_arraySize - first;
        if (lastIndexes != nullptr && lastIndexes[level - 1] != 0xFFFFFFFFu) {
            const uint32_t last = lastIndexes[level - 1];
            if (last >= m_arraySize) return kMmsNoSuchItem;
            if (last < first) return kMmsBadArgument;
            count = last - first + 1;
        }
    }
    const unsigned char* values = elementBytes(valueMemory, m_dataInfo, first, level);
    const uint32_t firstDirty = elementBit(dirtyBase, m_dirtyInfo, first, level);
    const uint32_t firstImport = elementBit(importBase, m_importInfo, first, level);
    const unsigned char* ownTags = level > 0 ? tagBase + m_tagInfo.offset : tagBase;

    const uint64_t bytes = static_cast<uint64_t>(count) * m_dataInfo.unit;
    if (bytes > dataCapacity) return kMmsBadArgument;
    JLIB_RETURN_IF_FAILED(CollectionTagInfo::getCollectionTags(tagOut, ownTags, 0, count));
    std::memcpy(dataOut, values, static_cast<size_t>(bytes));

    uint32_t result = kMmsOk;
    if (clearDirty != 0) {
        result |= CommonFunction::dirtyFlagRengeController(dirtyMemory, firstDirty, count * m_dirtyInfo.unit, 0);
    }
    if (clearImport != 0) {
        const uint32_t bits = count * m_importInfo.unit;
        if ((CommonFunction::dirtyFlagRengeController(flagMemory, firstImport, bits, 0) & kMmsChanged) != 0) {
            result |= kImportCleared;
        }
        (void)CommonFunction::dirtyFlagRengeController(searcherMemory, firstImport, bits, 0);  // a summary only
    }
    *tagSize = m_tagInfo.unit;
    *dataSize = static_cast<uint32_t>(bytes);
    uint32_t copied = 0;
    if (factorsOut != nullptr && factorMemory != nullptr) {
        for (; copied < count && copied < factorCapacity; ++copied) {
            factorsOut[copied] = factorMemory[firstDirty + copied * m_dirtyInfo.unit];
        }
    }
    if (factorCount != nullptr) *factorCount = copied;
    return result;
}

// ---- import ----

uint32_t Collection::importData(uint8_t sameDefinition, const T_FAST_ADDRESS* address, uint32_t level,
                                uint8_t factor, const unsigned char* imageTags, uint32_t imageTagSize,
                                const unsigned char* imageData, uint32_t imageDataSize, const ISetChecker* checker,
                                unsigned char* valueMemory, const unsigned char* filter,
                                E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                uint32_t importBase, unsigned char* factorMemory, const unsigned char* tagBase) const
{
    if (valueMemory == nullptr || holder == nullptr || factorMemory == nullptr || tagBase == nullptr) {
        return kMmsBadArgument;
    }
    uint32_t element = 0;
    const uint32_t index = elementIndex(&element, address, level);
    if (mmsIsFailure(index)) return index == kMmsMissing ? kMmsMissing : kMmsBadArgument;
    unsigned char* values = elementBytes(valueMemory, m_dataInfo, element, level);
    const uint32_t elementDirty = elementBit(dirtyBase, m_dirtyInfo, element, level);
    const uint32_t elementImport = elementBit(importBase, m_importInfo, element, level);
    const unsigned char* ownTags = level > 0 ? tagBase + m_tagInfo.offset : tagBase;
    // A filter laid out like the value memory follows it; one laid out like the image stays with
    // the image, which begins at the addressed instances.
    const unsigned char* ownFilter =
        filterLayout == E_FILTER_STRUCTURE_VALUES ? elementBytes(filter, m_dataInfo, element, level) : filter;

    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (parameter != nullptr) return kMmsNoSuchItem;
    if (!endsHere) {
        const uint32_t result = child->importData(sameDefinition, address, level + 1, factor, imageTags, imageTagSize,
                                                  imageData, imageDataSize, checker, values, ownFilter, filterLayout,
                                                  holder, elementDirty, elementImport, factorMemory, ownTags);
        if (mmsIsSuccess(result) && (result & kMmsChanged) != 0) {
            (void)holder->set(elementDirty);  // marks nothing without subscribers
            (void)holder->setImportSearcher(elementImport);
        }
        return result;
    }

    if (checker != nullptr && checker->isBlocked(factorMemory[elementDirty], factor)) return kMmsOk;
    uint32_t count = 0;
    uint32_t result = kMmsOk;
    if (level == 0 && sameDefinition != 0) {
        uint32_t tagBytes = 0;
        uint32_t dataBytes = 0;
        uint32_t dirtyBits = 0;
        uint32_t factorSlots = 0;
        result = importCollectionData(level, factor, imageData, imageDataSize, values, ownFilter, holder, elementDirty,
                                      factorMemory, ownTags, 1, &count, &tagBytes, &dataBytes, &dirtyBits,
                                      &factorSlots);
    } else {
        result = importUnmatchedTags(level, element, factor, imageTags, imageTagSize, imageData, imageDataSize, values,
                                     ownFilter, filterLayout, holder, elementDirty, factorMemory, ownTags, &count);
    }
    if (mmsIsFailure(result) || (result & kMmsChanged) == 0) return result;
    for (uint32_t i = 0; i < count; ++i) {
        (void)holder->setImportFlag(elementImport + i * m_importInfo.unit);
        factorMemory[elementDirty + i * m_dirtyInfo.unit] = factor;
    }
    return result;
}

uint32_t Collection::importCollectionData(uint32_t level, uint8_t factor, const unsigned char* imageData,
                                          uint32_t imageDataSize, unsigned char* valueMemory,
                                          const unsigned char* filter, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                          unsigned char* factorMemory, const unsigned char* tagBase, uint32_t count,
                                          uint32_t* countOut, uint32_t* tagBytesOut, uint32_t* dataBytesOut,
                                          uint32_t* dirtyBitsOut, uint32_t* factorSlotsOut) const
{
    if (countOut == nullptr || tagBytesOut == nullptr || dataBytesOut == nullptr || dirtyBitsOut == nullptr ||
        factorSlotsOut == nullptr || imageData == nullptr || valueMemory == nullptr || holder == nullptr ||
        factorMemory == nullptr) {
        return kMmsBadArgument;
    }
    T_COLLECTION_TAG head{};
    if (tagBase == nullptr || mmsIsFailure(CollectionTagInfo::readCollTagInfo(&head, tagBase, kMmsCollectionTagSize,
                                                                              false))) {
        return kMmsMissing;
    }
    const uint32_t instances = count != 0 ? count : head.arraySize;
    const uint32_t unit = m_dataInfo.unit;
    const uint64_t bytes = static_cast<uint64_t>(instances) * unit;
    if (bytes > imageDataSize) return kMmsBadArgument;

    uint32_t result = kMmsOk;
    for (uint32_t k = 0; k < instances; ++k) {
        const unsigned char* image = imageData + static_cast<size_t>(k) * unit;
        unsigned char* values = valueMemory + static_cast<size_t>(k) * unit;
        // An instance that already holds the image's bytes has nothing to change.
        if (std::memcmp(image, values, unit) == 0) continue;
        const unsigned char* instanceFilter = filter != nullptr ? filter + static_cast<size_t>(k) * unit : nullptr;
        const uint32_t instanceDirty = dirtyBase + k * m_dirtyInfo.unit;
        uint32_t changed = kMmsOk;
        for (uint32_t p = 0; p < getPrmCount(); ++p) {
            const Parameter* parameter = getPrmItem(p);
            if (parameter == nullptr) return kMmsMissing;
            changed |= importSameLayoutParameter(*parameter, factor, image, values, instanceFilter, holder,
                                                 instanceDirty, factorMemory);
        }
        for (uint32_t c = 0; c < getCollectionCount(); ++c) {
            const Collection* child = getCollectionItem(c);
            if (child == nullptr) return kMmsMissing;
            const T_ADDR_INFO& layout = child->m_dataInfo;
            uint32_t childCount = 0;
            uint32_t tagBytes = 0;
            uint32_t dataBytes = 0;
            uint32_t dirtyBits = 0;
            uint32_t factorSlots = 0;
            const uint32_t r = child->importCollectionData(
                level + 1, factor, image + layout.offset, unit - layout.offset, values + layout.offset,
                instanceFilter != nullptr ? instanceFilter + layout.offset : nullptr, holder,
                instanceDirty + child->m_dirtyInfo.offset, factorMemory, tagBase + child->m_tagInfo.offset,
                child->m_arraySize, &childCount, &tagBytes, &dataBytes, &dirtyBits, &factorSlots);
            if (mmsIsFailure(r)) return r;
            changed |= r;
        }
        if ((changed & kMmsChanged) != 0) (void)holder->set(instanceDirty);
        result |= changed;
    }
    *countOut = instances;
    *tagBytesOut = m_tagInfo.unit;
    *dataBytesOut = static_cast<uint32_t>(bytes);
    *dirtyBitsOut = instances * m_dirtyInfo.unit;
    *factorSlotsOut = instances * m_dirtyInfo.unit;
    return result;
}

uint32_t Collection::isSameCollectionTag(uint8_t* same, const unsigned char* imageTags, uint32_t imageTagSize,
                                         const unsigned char* tagBase) const
{
    if (same == nullptr) return kMmsBadArgument;
    *same = 0;
    T_COLLECTION_TAG head{};
    if (imageTags == nullptr || tagBase == nullptr ||
        mmsIsFailure(CollectionTagInfo::readCollTagInfo(&head, imageTags, imageTagSize, false))) {
        return kMmsBadArgument;
    }
    const uint64_t tree = static_cast<uint64_t>(imageTags[3]) + head.parameterTagsSize + head.childTagsSize;
    if (imageTags[3] != kMmsCollectionTagSize || tree != m_tagInfo.unit || tree > imageTagSize) return kMmsOk;
    *same = CollectionTagInfo::isChildTagMemcmp(tagBase, 0, imageTags, m_tagInfo.unit) ? 1 : 0;
    return kMmsOk;
}

uint32_t Collection::importUnmatchedTags(uint32_t level, uint32_t firstIndex, uint8_t factor,
                                         const unsigned char* imageTags, uint32_t imageTagSize,
                                         const unsigned char* imageData, uint32_t imageDataSize,
                                         unsigned char* valueMemory, const unsigned char* filter,
                                         E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                         unsigned char* factorMemory, const unsigned char* tagBase,
                                         uint32_t* countOut) const
{
    if (countOut == nullptr) return kMmsBadArgument;
    *countOut = 0;
    if (imageTags == nullptr || imageTagSize == 0 || imageData == nullptr || imageDataSize == 0) return kMmsOk;
    T_COLLECTION_TAG head{};
    if (mmsIsFailure(CollectionTagInfo::readCollTagInfo(&head, imageTags, imageTagSize, false))) return kMmsBadArgument;
    // The image's sizes are checked against what it holds before anything is read through them.
    const uint32_t headLength = imageTags[3];
    if (!fits(headLength, static_cast<uint64_t>(head.parameterTagsSize) + head.childTagsSize, imageTagSize)) {
        return kMmsBadArgument;
    }
    const uint32_t elements = elementCount(*this, level);
    uint32_t count = firstIndex < elements ? elements - firstIndex : 0;
    if (head.arraySize < count) count = head.arraySize;
    const uint32_t imageUnit = head.elementDataSize;
    if (imageUnit != 0 && count > imageDataSize / imageUnit) count = imageDataSize / imageUnit;

    uint8_t same = 0;
    JLIB_RETURN_IF_FAILED(isSameCollectionTag(&same, imageTags, imageTagSize, tagBase));
    if (same != 0 && imageUnit == m_dataInfo.unit) {
        uint32_t tagBytes = 0;
        uint32_t dataBytes = 0;
        uint32_t dirtyBits = 0;
        uint32_t factorSlots = 0;
        if (count == 0) return kMmsOk;
        return importCollectionData(level, factor, imageData, imageDataSize, valueMemory, filter, holder, dirtyBase,
                                    factorMemory, tagBase, count, countOut, &tagBytes, &dataBytes, &dirtyBits,
                                    &factorSlots);
    }
    uint32_t result = kMmsOk;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* instanceFilter = nullptr;
        if (filter != nullptr) {
            const uint32_t stride = filterLayout == E_FILTER_STRUCTURE_VALUES ? m_dataInfo.unit : imageUnit;
            instanceFilter = filter + static_cast<size_t>(i) * stride;
        }
        const uint32_t r = importChildNodes(level, factor, imageTags + headLength, head.parameterTagsSize,
                                            head.childTagsSize, imageData + static_cast<size_t>(i) * imageUnit,
                                            imageUnit, valueMemory + static_cast<size_t>(i) * m_dataInfo.unit,
                                            instanceFilter, filterLayout, holder, dirtyBase + i * m_dirtyInfo.unit,
                                            factorMemory, tagBase);
        if (mmsIsSuccess(r)) result |= r;  // one bad instance does not stop the others
    }
    *countOut = count;
    return result;
}

uint32_t Collection::importDataEx(uint32_t level, uint8_t factor, const unsigned char* imageTags,
                                  uint32_t imageTagSize, const unsigned char* imageData, uint32_t imageDataSize,
                                  unsigned char* valueMemory, const unsigned char* filter,
                                  E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                  unsigned char* factorMemory, const unsigned char* tagBase) const
{
    if (valueMemory == nullptr || tagBase == nullptr) return kMmsBadArgument;
    const unsigned char* ownFilter = filter;
    if (filter != nullptr && filterLayout == E_FILTER_STRUCTURE_VALUES) ownFilter = filter + m_dataInfo.offset;
    uint32_t count = 0;
    return importUnmatchedTags(level, 0, factor, imageTags, imageTagSize, imageData, imageDataSize,
                               valueMemory + m_dataInfo.offset, ownFilter, filterLayout, holder,
                               dirtyBase + m_dirtyInfo.offset, factorMemory, tagBase + m_tagInfo.offset, &count);
}

uint32_t Collection::importChildNodes(uint32_t level, uint8_t factor, const unsigned char* imageParamTags,
                                      uint32_t imageParamTagBytes, uint32_t imageChildTagBytes,
                                      const unsigned char* imageInstance, uint32_t imageInstanceBytes,
                                      unsigned char* valueMemory, const unsigned char* filter,
                                      E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                      unsigned char* factorMemory, const unsigned char* tagBase) const
{
    if (imageInstance == nullptr || imageInstanceBytes == 0 || imageParamTags == nullptr) return kMmsOk;
    if (imageParamTagBytes == 0 && imageChildTagBytes == 0) return kMmsOk;
    uint32_t result = importChildPrms(factor, imageParamTags, imageParamTagBytes, imageInstance, imageInstanceBytes,
                                      valueMemory, filter, filterLayout, holder, dirtyBase, factorMemory, tagBase);
    if (mmsIsFailure(result)) result = kMmsOk;  // the child collections are imported all the same

    if (imageChildTagBytes != 0) {
        if (tagBase == nullptr || CollectionTagInfo::getCollectionTag(tagBase, 0) == nullptr) return kMmsMissing;
        const unsigned char* imageTrees = imageParamTags + imageParamTagBytes;
        const uint32_t ownTreesOffset = kMmsCollectionTagSize + kMmsParameterTagSize * getPrmCount();
        const uint32_t ownTreeBytes = m_tagInfo.unit > ownTreesOffset ? m_tagInfo.unit - ownTreesOffset : 0;
        const uint32_t shorter = ownTreeBytes < imageChildTagBytes ? ownTreeBytes : imageChildTagBytes;
        // Trees inside a common prefix belong to the own children at the same position.
        const bool prefix = shorter != 0 && std::memcmp(tagBase + ownTreesOffset, imageTrees, shorter) == 0;
        uint32_t position = 0;
        for (uint32_t k = 0; position < imageChildTagBytes; ++k) {
            T_COLLECTION_TAG head{};
            const uint32_t remaining = imageChildTagBytes - position;
            const unsigned char* tree = imageTrees + position;
            if (mmsIsFailure(CollectionTagInfo::readCollTagInfo(&head, tree, remaining, false))) break;
            const uint64_t treeSize = static_cast<uint64_t>(tree[3]) + head.parameterTagsSize + head.childTagsSize;
            if (treeSize > remaining) break;
            const Collection* target = nullptr;
            if (prefix && position + treeSize <= shorter) {
                target = getCollectionItem(k);
            } else {
                uint8_t kind = 0;
                uint32_t listIndex = 0;
                const uint32_t length = mmsStrnlen(head.name, kNameField);
                if (mmsIsSuccess(searchedChildNode(&kind, &listIndex, head.name, length)) && kind == kKindCollection) {
                    target = getCollectionItem(listIndex);
                }
            }
            position += static_cast<uint32_t>(treeSize);
            if (target == nullptr) continue;
            // A child tree's instances must lie within the image instance.
            const uint64_t treeData = static_cast<uint64_t>(head.elementDataSize) * head.arraySize;
            if (!fits(head.dataOffset, treeData, imageInstanceBytes)) continue;
            const unsigned char* treeFilter = filter;
            if (filter != nullptr && filterLayout == E_FILTER_STRUCTURE_IMAGE) treeFilter = filter + head.dataOffset;
            const uint32_t r = target->importDataEx(level + 1, factor, tree, static_cast<uint32_t>(treeSize),
                                                    imageInstance + head.dataOffset, static_cast<uint32_t>(treeData),
                                                    valueMemory, treeFilter, filterLayout, holder, dirtyBase,
                                                    factorMemory, tagBase);
            if (mmsIsSuccess(r)) result |= r;
        }
    }
    if ((result & kMmsChanged) != 0) (void)holder->set(dirtyBase);
    return result;
}

uint32_t Collection::importChildPrms(uint8_t factor, const unsigned char* imageParamTags, uint32_t imageParamTagBytes,
                                     const unsigned char* imageInstance, uint32_t imageInstanceBytes,
                                     unsigned char* valueMemory, const unsigned char* filter,
                                     E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                     unsigned char* factorMemory, const unsigned char* tagBase) const
{
    const uint32_t parameters = getPrmCount();
    if (imageParamTags == nullptr || imageParamTagBytes == 0 || imageInstance == nullptr || parameters == 0) {
        return kMmsOk;
    }
    if (tagBase == nullptr || CollectionTagInfo::getCollectionTag(tagBase, 0) == nullptr) return kMmsMissing;
    if (holder == nullptr || factorMemory == nullptr || valueMemory == nullptr) return kMmsBadArgument;
    uint32_t result = kMmsOk;

    if (imageParamTagBytes == kMmsParameterTagSize * parameters &&
        CollectionTagInfo::isChildPrmTagMemcmp(tagBase, 0, imageParamTags, imageParamTagBytes)) {
        // Same parameter tags: the image instance lays them out like the own element.
        for (uint32_t p = 0; p < parameters; ++p) {
            const Parameter* parameter = getPrmItem(p);
            if (parameter == nullptr) return kMmsMissing;
            const uint32_t offset = parameter->getParamAddrInfo().offset;
            const uint64_t count = parameter->getArraySize();
            const uint64_t bytes = parameter->getType() == kMmsTypeBit ? (parameter->getBitOffset() + count + 7) / 8
                                                                         : parameter->getElementSize() * count;
            if (!fits(offset, bytes, imageInstanceBytes)) continue;
            const unsigned char* own = filter;
            // The filter is at the element either way; the two layouts agree here.
            result |= importSameLayoutParameter(*parameter, factor, imageInstance, valueMemory, own, holder, dirtyBase,
                                                factorMemory);
        }
        return result;
    }

    uint64_t offset = 0;
    uint32_t bitPosition = 0;
    uint32_t position = 0;
    for (uint32_t k = 0; position < imageParamTagBytes; ++k) {
        const unsigned char* at = imageParamTags + position;
        const uint32_t remaining = imageParamTagBytes - position;
        T_PARAMETER_TAG tag{};
        if (mmsIsFailure(CollectionTagInfo::readPrmTagInfo(&tag, at, remaining, false))) {
            // What was imported before the bad tag stays marked: the caller must see the change.
            return result != kMmsOk ? result : kMmsBadArgument;
        }
        position += at[2] < remaining ? at[2] : remaining;
        if (tag.elementSize != 0 && bitPosition != 0) {
            // A partly used bit byte of the image is closed before a byte-sized parameter.
            ++offset;
            bitPosition = 0;
        }
        const uint64_t bytes = tag.elementSize == 0 ? (static_cast<uint64_t>(bitPosition) + tag.arraySize + 7) / 8
                                                    : static_cast<uint64_t>(tag.elementSize) * tag.arraySize;
        const uint64_t blockOffset = offset;
        const uint32_t blockBit = bitPosition;
        if (tag.elementSize == 0) {
            const uint64_t bits = static_cast<uint64_t>(bitPosition) + tag.arraySize;
            offset += bits / 8;
            bitPosition = static_cast<uint32_t>(bits % 8);
        } else {
            offset += static_cast<uint64_t>(tag.elementSize) * tag.arraySize;
        }

        Parameter* parameter = nullptr;
        if (tag.name[0] != '\0') {
            uint8_t kind = 0;
            uint32_t listIndex = 0;
            if (mmsIsFailure(searchedChildNode(&kind, &listIndex, tag.name, mmsStrnlen(tag.name, kNameField)))) {
                continue;  // a parameter this definition does not have
            }
            if (kind != kKindParameter) return result != kMmsOk ? result : kMmsBadArgument;
            parameter = getPrmItem(listIndex);
        } else if (k < parameters) {
            parameter = getPrmItem(k);
        }
        if (parameter == nullptr) continue;
        // A block the image instance does not hold whole is not imported.
        if (!fits(blockOffset, bytes, imageInstanceBytes)) continue;
        const unsigned char* blockFilter = filter;
        if (filter != nullptr && filterLayout == E_FILTER_STRUCTURE_IMAGE) blockFilter = filter + blockOffset;
        const uint32_t r = parameter->importDataEx(
            factor, at, remaining, imageInstance + blockOffset, static_cast<uint32_t>(bytes), valueMemory,
            blockFilter, filterLayout, holder, dirtyBase, factorMemory, tagBase, blockBit);
        if (mmsIsFailure(r)) return result != kMmsOk ? result : r;
        result |= r;
    }
    return result;
}

}  // namespace MMS
