#include "mms_Collection.h"

#include "jlib/jlib_result.h"
#include "mms_CollectionTagInfo.h"
#include "mms_CommonFunction.h"
#include "mms_Parameter.h"
#include "mms_ProcessOption.h"
#include "mms_SharedMemWrapper.h"
#include "mms_StringConverter.h"
#include "mms_sharedRootInfo.h"

namespace MMS {

namespace {

constexpr uint32_t kMaxArraySize = 65535;
constexpr uint32_t kNameField = 24;
constexpr uint8_t kKindParameter = 0;
constexpr uint8_t kKindCollection = 1;
// Element counters before the parameters: the summary dirty bit, the element's own import bit,
// the 48-byte collection tag and the collection's own scalar number.
constexpr uint32_t kOwnDirtyBits = 1;
constexpr uint32_t kOwnImportBits = 1;
constexpr uint32_t kOwnScalars = 1;

// a + b into *sum unless that passes 32 bits.
bool addChecked(uint32_t* sum, uint32_t a, uint32_t b)
{
    const uint64_t total = static_cast<uint64_t>(a) + b;
    if (total > 0xFFFFFFFFu) return false;
    *sum = static_cast<uint32_t>(total);
    return true;
}

// a x b, or 0x80000002 when that passes 32 bits.
uint32_t multiplyChecked(uint32_t* product, uint32_t a, uint32_t b)
{
    const uint64_t total = static_cast<uint64_t>(a) * b;
    if (total > 0xFFFFFFFFu) return kMmsBadArgument;
    *product = static_cast<uint32_t>(total);
    return kMmsOk;
}

uint32_t nameLength(const char* name) { return mmsStrnlen(name, kNameField); }

// The walk of the read-only node queries: down to the node the address names, which answers.
// A parameter must be the end of the address.
template <class AtCollection, class AtParameter>
uint32_t walkToNode(const Collection& collection, const T_FAST_ADDRESS* address, uint32_t level,
                    AtCollection atCollection, AtParameter atParameter)
{
    const Collection* here = &collection;
    for (;;) {
        bool endsHere = false;
        Collection* child = nullptr;
        Parameter* parameter = nullptr;
        JLIB_RETURN_IF_FAILED(here->nextNode(&endsHere, &child, &parameter, address, level));
        if (endsHere) return atCollection(*here, level);
        ++level;
        if (parameter != nullptr) {
            if (address->depth != level) return kMmsNoSuchItem;
            return atParameter(*parameter);
        }
        here = child;
    }
}

}  // namespace

Collection::Collection(uint32_t* result, const char* name, uint32_t arraySize) : m_name{}, m_arraySize(arraySize)
{
    *result = kMmsMissing;
    if (mmsIsFailure(StringConverter::nodeNameCopy(m_name, name))) return;
    if (arraySize == 0 || arraySize > kMaxArraySize) return;
    *result = kMmsOk;
}

uint32_t Collection::release(SharedMemWrapper* wrapper)
{
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        if (Parameter* parameter = getPrmItem(i)) (void)parameter->release();  // always 0
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        if (Collection* child = getCollectionItem(i)) (void)child->release(wrapper);  // always 0
    }
    (void)m_parameters.clear(wrapper);  // always 0; without wrapper the tables stay with their memory
    (void)m_collections.clear(wrapper);
    delete this;
    return kMmsOk;
}

uint32_t Collection::releaseItems(SharedMemWrapper* wrapper)
{
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        if (Parameter* parameter = getPrmItem(i)) (void)parameter->releaseItems(wrapper);  // a leaf holds nothing
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        if (Collection* child = getCollectionItem(i)) (void)child->releaseItems(wrapper);  // always 0
    }
    (void)m_parameters.clear(wrapper);  // always 0
    (void)m_collections.clear(wrapper);
    return kMmsOk;
}

Parameter* Collection::getPrmItem(uint32_t listIndex) const
{
    return static_cast<Parameter*>(m_parameters.get(listIndex));
}

Collection* Collection::getCollectionItem(uint32_t listIndex) const
{
    return static_cast<Collection*>(m_collections.get(listIndex));
}

template <class Node>
uint32_t Collection::appendNode(uint32_t* index, SharedMemWrapper* wrapper, NodeItemList& list, Node* node)
{
    if (index == nullptr || node == nullptr) return kMmsBadArgument;
    char name[kNameField] = {};
    JLIB_RETURN_IF_FAILED(node->getNodeName(name));
    uint8_t kind = 0;
    uint32_t listIndex = 0;
    if (mmsIsSuccess(searchedChildNode(&kind, &listIndex, name, nameLength(name)))) return kMmsAlreadyPresent;
    JLIB_RETURN_IF_FAILED(list.append(wrapper, node));
    // Counted after the append: parameters come first, collections after them.
    *index = &list == &m_parameters ? m_parameters.getNum() - 1
                                    : m_parameters.getNum() + m_collections.getNum() - 1;
    return kMmsOk;
}

uint32_t Collection::addCollection(uint32_t* index, SharedMemWrapper* wrapper, Collection* child)
{
    return appendNode(index, wrapper, m_collections, child);
}

uint32_t Collection::addPrm(uint32_t* index, SharedMemWrapper* wrapper, Parameter* parameter)
{
    return appendNode(index, wrapper, m_parameters, parameter);
}

uint32_t Collection::addCollection(uint32_t* index, SharedMemWrapper* wrapper, Collection* child,
                                   const T_FAST_ADDRESS* address, uint32_t level)
{
    if (level >= kMmsMaxDepth) return kMmsLimit;
    bool endsHere = false;
    Collection* next = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &next, &parameter, address, level));
    if (endsHere) return addCollection(index, wrapper, child);
    if (next == nullptr) return kMmsNoSuchItem;  // only collections take children
    return next->addCollection(index, wrapper, child, address, level + 1);
}

uint32_t Collection::addPrm(uint32_t* index, SharedMemWrapper* wrapper, Parameter* parameter,
                            const T_FAST_ADDRESS* address, uint32_t level)
{
    if (level >= kMmsMaxDepth) return kMmsLimit;
    bool endsHere = false;
    Collection* next = nullptr;
    Parameter* leaf = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &next, &leaf, address, level));
    if (endsHere) return addPrm(index, wrapper, parameter);
    if (next == nullptr) return kMmsNoSuchItem;
    return next->addPrm(index, wrapper, parameter, address, level + 1);
}

uint32_t Collection::delCollection(const T_FAST_ADDRESS*, uint32_t) { return kMmsNotSupported; }

uint32_t Collection::delPrm(const T_FAST_ADDRESS*, uint32_t) { return kMmsNotSupported; }

uint32_t Collection::nextNode(bool* endsHere, Collection** collection, Parameter** parameter,
                              const T_FAST_ADDRESS* address, uint32_t level) const
{
    *endsHere = false;
    *collection = nullptr;
    *parameter = nullptr;
    if (address == nullptr || address->depth == level) {
        *endsHere = true;
        return kMmsOk;
    }
    if (address->nodes == nullptr) return kMmsMissing;
    const uint32_t nodeIndex = address->nodes[level];
    const uint32_t parameters = m_parameters.getNum();
    if (nodeIndex < parameters) {
        *parameter = getPrmItem(nodeIndex);
        return *parameter == nullptr ? kMmsMissing : kMmsOk;
    }
    if (nodeIndex - parameters < m_collections.getNum()) {
        *collection = getCollectionItem(nodeIndex - parameters);
        return *collection == nullptr ? kMmsMissing : kMmsOk;
    }
    return kMmsNoSuchItem;
}

uint32_t Collection::elementIndex(uint32_t* element, const T_FAST_ADDRESS* address, uint32_t level) const
{
    *element = 0;
    if (level == 0) return kMmsOk;
    if (address == nullptr || address->indexes == nullptr) return kMmsMissing;
    const uint32_t index = address->indexes[level - 1];
    if (index >= m_arraySize) return kMmsBadArgument;
    *element = index;
    return kMmsOk;
}

uint32_t Collection::setMemAddrInfo(uint32_t* dataSize, uint32_t* dirtyBits, uint32_t* importBits,
                                    uint32_t* serialCount, uint32_t* tagSize, uint32_t* scalarCount,
                                    uint32_t dataStart, uint32_t dirtyStart, uint32_t importStart,
                                    uint32_t serialStart, uint32_t tagStart, uint32_t scalarStart)
{
    if (dataSize == nullptr || dirtyBits == nullptr || importBits == nullptr || serialCount == nullptr ||
        tagSize == nullptr || scalarCount == nullptr) {
        return kMmsBadArgument;
    }
    // Counters of one element, relative to the element's start.
    uint32_t values = 0;
    uint32_t dirty = kOwnDirtyBits;
    uint32_t imports = kOwnImportBits;
    uint32_t serials = 0;
    uint32_t tags = kMmsCollectionTagSize;
    uint32_t scalars = kOwnScalars;
    uint32_t bitPosition = 0;
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        Parameter* parameter = getPrmItem(i);
        if (parameter == nullptr) return kMmsMissing;
        JLIB_RETURN_IF_FAILED(parameter->setMemAddrInfo(&values, &dirty, &serials, &tags, &scalars, &bitPosition));
    }
    // A partly used bit byte belongs to the bit parameters alone.
    if (bitPosition % 8 != 0 && !addChecked(&values, values, 1)) return kMmsBadArgument;

    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        Collection* child = getCollectionItem(i);
        if (child == nullptr) return kMmsMissing;
        uint32_t childValues = 0;
        uint32_t childDirty = 0;
        uint32_t childImports = 0;
        uint32_t childSerials = 0;
        uint32_t childTags = 0;
        uint32_t childScalars = 0;
        JLIB_RETURN_IF_FAILED(child->setMemAddrInfo(&childValues, &childDirty, &childImports, &childSerials,
                                                    &childTags, &childScalars, values, dirty, imports, serials,
                                                    tags, scalars));
        if (!addChecked(&values, values, childValues) || !addChecked(&dirty, dirty, childDirty) ||
            !addChecked(&imports, imports, childImports) || !addChecked(&serials, serials, childSerials) ||
            !addChecked(&tags, tags, childTags) || !addChecked(&scalars, scalars, childScalars)) {
            return kMmsBadArgument;
        }
    }

    m_dataInfo = {dataStart, values};
    m_dirtyInfo = {dirtyStart, dirty};
    m_importInfo = {importStart, imports};
    m_serialInfo = {serialStart, serials};
    m_tagInfo = {tagStart, tags};
    m_scalarInfo = {scalarStart, scalars};
    uint32_t result = kMmsOk;
    result |= multiplyChecked(dataSize, values, m_arraySize);
    result |= multiplyChecked(dirtyBits, dirty, m_arraySize);
    result |= multiplyChecked(importBits, imports, m_arraySize);
    result |= multiplyChecked(serialCount, serials, m_arraySize);
    *tagSize = tags;
    *scalarCount = scalars;
    return result;
}

uint32_t Collection::getCollNodeNum(uint32_t* collections, uint32_t* parameters, uint32_t number, uint32_t,
                                    uint8_t assign)
{
    if (collections == nullptr || parameters == nullptr) return kMmsBadArgument;
    if (assign != 0) m_collNumInfo = {number, 1};
    uint32_t running = 1;
    uint32_t parameterNodes = m_parameters.getNum();
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        Collection* child = getCollectionItem(i);
        if (child == nullptr) return kMmsMissing;
        uint32_t childCollections = 0;
        uint32_t childParameters = 0;
        JLIB_RETURN_IF_FAILED(child->getCollNodeNum(&childCollections, &childParameters, running, 0, assign));
        running += childCollections;
        parameterNodes += childParameters;
    }
    *collections = running;
    *parameters = parameterNodes;
    return kMmsOk;
}

uint32_t Collection::getDepth() const
{
    uint32_t deepest = 0;
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        const Collection* child = getCollectionItem(i);
        if (child == nullptr) continue;
        const uint32_t depth = child->getDepth();
        if (depth > deepest) deepest = depth;
    }
    return deepest + 1;
}

uint32_t Collection::setImportTags(unsigned char* tagBase, uint32_t level) const
{
    if (tagBase == nullptr) return kMmsMissing;
    unsigned char* base = level > 0 ? tagBase + m_tagInfo.offset : tagBase;
    const uint32_t parameterTags = kMmsParameterTagSize * m_parameters.getNum();
    // Before the layout there is no tag block to describe; the sizes would wrap around.
    if (m_tagInfo.unit < static_cast<uint64_t>(parameterTags) + kMmsCollectionTagSize) return kMmsMissing;
    const uint32_t childTags = m_tagInfo.unit - parameterTags - kMmsCollectionTagSize;
    JLIB_RETURN_IF_FAILED(CollectionTagInfo::appendCollectionTag(base, m_name, parameterTags, childTags,
                                                                 m_dataInfo.offset, m_dataInfo.unit, m_arraySize));
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        const Parameter* parameter = getPrmItem(i);
        if (parameter == nullptr) return kMmsMissing;
        JLIB_RETURN_IF_FAILED(parameter->setImportTags(base, level + 1));
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        const Collection* child = getCollectionItem(i);
        if (child == nullptr) return kMmsMissing;
        JLIB_RETURN_IF_FAILED(child->setImportTags(base, level + 1));
    }
    return kMmsOk;
}

uint32_t Collection::getNodeName(char* buffer) const
{
    if (buffer == nullptr) return kMmsBadArgument;
    (void)mmsMemcpy(buffer, m_name, kNameField);  // both valid
    return kMmsOk;
}

uint32_t Collection::getChildNodeName(char* buffer, uint32_t nodeIndex) const
{
    if (buffer == nullptr) return kMmsBadArgument;
    const uint32_t parameters = m_parameters.getNum();
    if (nodeIndex < parameters) {
        const Parameter* parameter = getPrmItem(nodeIndex);
        return parameter == nullptr ? kMmsMissing : parameter->getNodeName(buffer);
    }
    const Collection* child = getCollectionItem(nodeIndex - parameters);
    return child == nullptr ? kMmsMissing : child->getNodeName(buffer);
}

uint32_t Collection::getNumOfChildNodes(uint32_t* count) const
{
    if (count == nullptr) return kMmsBadArgument;
    *count = m_parameters.getNum() + m_collections.getNum();
    return kMmsOk;
}

uint32_t Collection::getNodeArraySize(uint32_t* count, uint32_t level) const
{
    if (count == nullptr) return kMmsBadArgument;
    *count = level == 0 ? 1 : m_arraySize;
    return kMmsOk;
}

uint32_t Collection::getNodeCategory(uint32_t* category) const
{
    if (category == nullptr) return kMmsBadArgument;
    *category = 0;
    return kMmsOk;
}

uint32_t Collection::getNodePrmNum(uint32_t* count) const
{
    if (count == nullptr) return kMmsBadArgument;
    *count = m_serialInfo.unit;
    return kMmsOk;
}

uint32_t Collection::getNodeDirtyBitNum(uint32_t* count) const
{
    if (count == nullptr) return kMmsBadArgument;
    *count = m_dirtyInfo.unit;
    return kMmsOk;
}

uint32_t Collection::getNodeDataSize(uint32_t* size) const
{
    if (size == nullptr) return kMmsBadArgument;
    *size = m_dataInfo.unit;
    return kMmsOk;
}

uint32_t Collection::getDataSize(uint32_t* count) const
{
    if (count == nullptr) return kMmsBadArgument;
    return multiplyChecked(count, *count, m_dataInfo.unit);
}

uint32_t Collection::getNodeNameFast(char* buffer, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNodeName(buffer); },
        [&](const Parameter& p) { return p.getNodeName(buffer); });
}

uint32_t Collection::getChildNodeNameFast(char* buffer, uint32_t nodeIndex, const T_FAST_ADDRESS* address,
                                          uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getChildNodeName(buffer, nodeIndex); },
        [&](const Parameter& p) { return p.getChildNodeName(buffer, nodeIndex); });
}

uint32_t Collection::getNumOfChildNodesFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNumOfChildNodes(count); },
        [&](const Parameter& p) { return p.getNumOfChildNodes(count); });
}

uint32_t Collection::getNodeArraySizeFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t at) { return c.getNodeArraySize(count, at); },
        [&](const Parameter& p) { return p.getNodeArraySize(count); });
}

uint32_t Collection::getNodeCategoryFast(uint32_t* category, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNodeCategory(category); },
        [&](const Parameter& p) { return p.getNodeCategory(category); });
}

uint32_t Collection::getNodePrmNumFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNodePrmNum(count); },
        [&](const Parameter& p) { return p.getNodePrmNum(count); });
}

uint32_t Collection::getNodeDirtyBitNumFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNodeDirtyBitNum(count); },
        [&](const Parameter& p) { return p.getNodeDirtyBitNum(count); });
}

uint32_t Collection::getNodeDataSizeFast(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToNode(
        *this, address, level, [&](const Collection& c, uint32_t) { return c.getNodeDataSize(size); },
        [&](const Parameter& p) { return p.getNodeDataSize(size); });
}

uint32_t Collection::searchedChildNode(uint8_t* kind, uint32_t* listIndex, const char* name,
                                       uint32_t length) const
{
    if (kind == nullptr || listIndex == nullptr || name == nullptr) return kMmsBadArgument;
    if (length == 0 || length >= kNameField) return kMmsNotFound;
    char childName[kNameField] = {};
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        const Parameter* parameter = getPrmItem(i);
        if (parameter == nullptr || mmsIsFailure(parameter->getNodeName(childName))) continue;
        if (nameLength(childName) == length && mmsMemcmp(childName, name, length) == 0) {
            *kind = kKindParameter;
            *listIndex = i;
            return kMmsOk;
        }
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        const Collection* child = getCollectionItem(i);
        if (child == nullptr) continue;
        if (nameLength(child->m_name) == length && mmsMemcmp(child->m_name, name, length) == 0) {
            *kind = kKindCollection;
            *listIndex = i;
            return kMmsOk;
        }
    }
    return kMmsNotFound;
}

uint32_t Collection::stringAddressReader(uint8_t* kind, uint32_t* listIndex, const char** rest,
                                         uint32_t* restLength, const char* text, uint32_t length) const
{
    if (rest == nullptr || restLength == nullptr) return kMmsBadArgument;
    uint32_t nameSize = 0;
    uint32_t next = 0;
    JLIB_RETURN_IF_FAILED(StringConverter::getAddressFirstNameSize(&nameSize, &next, text, length));
    JLIB_RETURN_IF_FAILED(searchedChildNode(kind, listIndex, text, nameSize));
    *rest = text + next;
    *restLength = length - next;
    return kMmsOk;
}

uint32_t Collection::cnvStrToFastAddr(uint32_t* nodeVector, uint32_t* depth, uint32_t capacity, const char* text,
                                      uint32_t length) const
{
    // A terminator or the end of the text after a separator ends the address here.
    if (length == 0 || (text != nullptr && text[0] == '\0')) return kMmsOk;
    if (nodeVector == nullptr || depth == nullptr || text == nullptr) return kMmsBadArgument;
    if (capacity <= *depth) return kMmsBadArgument;
    uint8_t kind = 0;
    uint32_t listIndex = 0;
    const char* rest = nullptr;
    uint32_t restLength = 0;
    const uint32_t found = stringAddressReader(&kind, &listIndex, &rest, &restLength, text, length);
    if (found == kMmsNotFound) return kMmsNoSuchItem;
    JLIB_RETURN_IF_FAILED(found);
    if (kind == kKindParameter) {
        // Anything after a parameter's name is not part of the address.
        nodeVector[(*depth)++] = listIndex;
        return kMmsOk;
    }
    const Collection* child = getCollectionItem(listIndex);
    if (child == nullptr) return kMmsMissing;
    nodeVector[(*depth)++] = m_parameters.getNum() + listIndex;
    return child->cnvStrToFastAddr(nodeVector, depth, capacity, rest, restLength);
}

uint32_t Collection::cnvFastToStrAddr(char* buffer, uint32_t size, const T_FAST_ADDRESS* address, uint32_t level,
                                      uint8_t topName) const
{
    if (buffer == nullptr) return kMmsBadArgument;
    if (level > 0) {
        JLIB_RETURN_IF_FAILED(StringConverter::appendStringAddress(buffer, size, m_name, 0));
    } else if (topName != 0) {
        JLIB_RETURN_IF_FAILED(StringConverter::appendStringAddress(buffer, size, m_name, 1));
    }
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsOk;
    if (parameter != nullptr) return parameter->cnvFastToStrAddr(buffer, size, address, level + 1);
    return child->cnvFastToStrAddr(buffer, size, address, level + 1, topName);
}

uint32_t Collection::getStrAddrSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level,
                                    uint8_t topName) const
{
    if (size == nullptr) return kMmsBadArgument;
    if (level > 0) {
        JLIB_RETURN_IF_FAILED(StringConverter::getAddressSize(size, m_name, 0));
    } else if (topName != 0) {
        JLIB_RETURN_IF_FAILED(StringConverter::getAddressSize(size, m_name, 1));
    }
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsOk;
    if (parameter != nullptr) {
        if (address->depth != level + 1) return kMmsNoSuchItem;
        return parameter->getStrAddrSize(size, 0);
    }
    return child->getStrAddrSize(size, address, level + 1, topName);
}

uint32_t Collection::cnvFastToScalarAddr(uint32_t* scalar, uint32_t base, const T_FAST_ADDRESS* address,
                                         uint32_t level) const
{
    if (scalar == nullptr) return kMmsBadArgument;
    const uint32_t here = level > 0 ? base + m_scalarInfo.offset : base;
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) {
        *scalar = here;
        return kMmsOk;
    }
    if (parameter != nullptr) return parameter->cnvFastToScalarAddr(scalar, here, address, level + 1);
    return child->cnvFastToScalarAddr(scalar, here, address, level + 1);
}

uint32_t Collection::isScalarRange(uint32_t scalar, uint32_t) const
{
    if (scalar < m_scalarInfo.offset) return 1;
    if (scalar - m_scalarInfo.offset < m_scalarInfo.unit) return 0;
    return 2;
}

uint32_t Collection::findScalarAddr(uint32_t* listIndex, uint8_t kind, uint32_t scalar, uint32_t level) const
{
    const NodeItemList& list = kind == kKindParameter ? m_parameters : m_collections;
    if (list.getNum() == 0) return kMmsNotFound;
    uint32_t low = 0;
    uint32_t high = list.getNum();  // search in [low, high)
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        uint32_t where = 0;
        if (kind == kKindParameter) {
            const Parameter* parameter = getPrmItem(middle);
            if (parameter == nullptr) return kMmsMissing;
            where = parameter->isScalarRange(scalar, level + 1);
        } else {
            const Collection* child = getCollectionItem(middle);
            if (child == nullptr) return kMmsMissing;
            where = child->isScalarRange(scalar, level + 1);
        }
        if (where == 0) {
            *listIndex = middle;
            return kMmsOk;
        }
        if (where == 1) {
            high = middle;
        } else if (where == 2) {
            low = middle + 1;
        } else {
            return kMmsMissing;
        }
    }
    return kMmsNotFound;
}

uint32_t Collection::cnvScalarToFastAddr(uint32_t* nodeVector, uint32_t* depth, uint32_t capacity, uint32_t scalar,
                                         uint32_t level) const
{
    if (nodeVector == nullptr || depth == nullptr || capacity < level + 1) return kMmsBadArgument;
    uint32_t relative = scalar;
    if (level > 0) {
        if (scalar < m_scalarInfo.offset) return kMmsNotFound;
        relative = scalar - m_scalarInfo.offset;
    }
    if (relative == 0) {
        *depth = level;
        return kMmsOk;
    }
    const Collection* first = getCollectionItem(0);
    uint32_t listIndex = 0;
    if (first != nullptr && relative >= first->m_scalarInfo.offset) {
        JLIB_RETURN_IF_FAILED(findScalarAddr(&listIndex, kKindCollection, relative, level));
        nodeVector[level] = m_parameters.getNum() + listIndex;
        return getCollectionItem(listIndex)->cnvScalarToFastAddr(nodeVector, depth, capacity, relative, level + 1);
    }
    JLIB_RETURN_IF_FAILED(findScalarAddr(&listIndex, kKindParameter, relative, level));
    nodeVector[level] = listIndex;
    return getPrmItem(listIndex)->cnvScalarToFastAddr(nodeVector, depth, capacity, relative, level + 1);
}

uint32_t Collection::isPrmIndexRange(uint32_t prmIndex, uint32_t) const
{
    if (prmIndex < m_serialInfo.offset) return 1;
    const uint64_t span = static_cast<uint64_t>(m_serialInfo.unit) * m_arraySize;
    if (prmIndex - m_serialInfo.offset < span) return 0;
    return 2;
}

uint32_t Collection::findPrmIndex(uint32_t* listIndex, uint8_t kind, uint32_t prmIndex, uint32_t level) const
{
    const NodeItemList& list = kind == kKindParameter ? m_parameters : m_collections;
    if (list.getNum() == 0) return kMmsNotFound;
    uint32_t low = 0;
    uint32_t high = list.getNum();
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        uint32_t where = 0;
        if (kind == kKindParameter) {
            const Parameter* parameter = getPrmItem(middle);
            if (parameter == nullptr) return kMmsMissing;
            where = parameter->isPrmIndexRange(prmIndex, level + 1);
        } else {
            const Collection* child = getCollectionItem(middle);
            if (child == nullptr) return kMmsMissing;
            where = child->isPrmIndexRange(prmIndex, level + 1);
        }
        if (where == 0) {
            *listIndex = middle;
            return kMmsOk;
        }
        if (where == 1) {
            high = middle;
        } else if (where == 2) {
            low = middle + 1;
        } else {
            return kMmsMissing;
        }
    }
    return kMmsNotFound;
}

uint32_t Collection::cnvPrmIndexToFastAddr(uint32_t* nodeVector, uint32_t* indexVector, uint32_t* depth,
                                           uint32_t capacity, uint32_t prmIndex, uint32_t level) const
{
    if (nodeVector == nullptr || indexVector == nullptr || depth == nullptr || capacity < level + 1) {
        return kMmsBadArgument;
    }
    uint32_t relative = prmIndex;
    if (level > 0) {
        if (prmIndex < m_serialInfo.offset) return kMmsNotFound;
        relative = prmIndex - m_serialInfo.offset;
    }
    const uint32_t perElement = m_serialInfo.unit;
    if (perElement == 0) return kMmsNotFound;
    const uint32_t element = relative / perElement;
    relative %= perElement;
    if (isChannelSize(element, level) != kMmsOk) return kMmsNotFound;
    if (level > 0) indexVector[level - 1] = element;

    const Collection* first = getCollectionItem(0);
    uint32_t listIndex = 0;
    if (first != nullptr && relative >= first->m_serialInfo.offset) {
        JLIB_RETURN_IF_FAILED(findPrmIndex(&listIndex, kKindCollection, relative, level));
        nodeVector[level] = m_parameters.getNum() + listIndex;
        return getCollectionItem(listIndex)->cnvPrmIndexToFastAddr(nodeVector, indexVector, depth, capacity,
                                                                   relative, level + 1);
    }
    JLIB_RETURN_IF_FAILED(findPrmIndex(&listIndex, kKindParameter, relative, level));
    nodeVector[level] = listIndex;
    return getPrmItem(listIndex)->cnvPrmIndexToFastAddr(nodeVector, indexVector, depth, capacity, relative,
                                                         level + 1);
}

uint32_t Collection::getChannelSize(const uint32_t* firstIndexes, const uint32_t* lastIndexes, uint32_t level) const
{
    if (level == 0) return 1;
    const uint32_t first = firstIndexes != nullptr ? firstIndexes[level - 1] : 0;
    if (lastIndexes != nullptr && lastIndexes[level - 1] != 0xFFFFFFFFu) {
        const uint32_t last = lastIndexes[level - 1];
        return last < first ? 1 : last - first + 1;
    }
    return first >= m_arraySize ? 1 : m_arraySize - first;
}

uint32_t Collection::isChannelSize(uint32_t index, uint32_t level) const
{
    const uint32_t count = level == 0 ? 1 : m_arraySize;
    return index < count ? kMmsOk : kMmsNoSuchItem;
}

uint32_t Collection::shareRoot(sharedRootInfo* info, const T_FAST_ADDRESS* address, uint32_t level) const
{
    if (info == nullptr) return kMmsBadArgument;
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    if (level > 0) {
        // Into this collection's element: values and factors by the element, tags and plug-in
        // slots by this collection's place in its parent.
        if (info->values != nullptr) info->values += CommonFunction::offsetCalculation(m_dataInfo, element);
        if (info->factors != nullptr) info->factors += CommonFunction::offsetCalculation(m_dirtyInfo, element);
        if (info->tagArea != nullptr) info->tagArea += m_tagInfo.offset;
        if (info->plugins != nullptr) info->plugins += m_collNumInfo.offset;
    }
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (parameter != nullptr) return kMmsNoSuchItem;
    if (!endsHere) return child->shareRoot(info, address, level + 1);
    if (level == 0) return kMmsOk;  // the whole root: the root's own description stands
    info->topNode = const_cast<Collection*>(this);
    info->values = nullptr;
    info->factors = nullptr;
    info->taskListOrigin = nullptr;
    info->tagAreaSize = m_tagInfo.unit;
    info->valueSize = m_dataInfo.unit;
    info->factorSize = m_dirtyInfo.unit;
    info->dirtySize = (m_dirtyInfo.unit + 7) / 8;
    return kMmsOk;
}

}  // namespace MMS
