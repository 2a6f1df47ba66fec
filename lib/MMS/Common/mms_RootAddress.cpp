// Root addressing and node queries: text addresses to node-index vectors and back, scalar numbers
// and parameter indexes, and the read-only queries on nodes and parameter attributes. All thin:
// they check arguments first, then the status, and hand a fast address to the top collection.
#include "jlib/JVariant.h"
#include "mms_Collection.h"
#include "mms_PrmAttrib.h"
#include "mms_Root.h"
#include "mms_StringConverter.h"

namespace MMS {

namespace {

T_FAST_ADDRESS fastAddress(const uint32_t* nodes, const uint32_t* indexes, uint32_t depth)
{
    T_FAST_ADDRESS address;
    address.nodes = nodes;
    address.indexes = indexes;
    address.depth = depth;
    return address;
}

constexpr uint32_t kNodeNameField = 24;

}  // namespace

uint32_t Root::isSameRootName(const char* name, uint32_t length) const
{
    if (m_pTop == nullptr) return kMmsMissing;
    char topName[kNodeNameField] = {};
    if (mmsIsFailure(m_pTop->getNodeName(topName))) return kMmsMissing;
    const uint32_t topLength = mmsStrnlen(topName, kNodeNameField);
    if (name == nullptr || length != topLength) return kMmsNoSuchItem;
    return mmsMemcmp(name, topName, length) == 0 ? kMmsOk : kMmsNoSuchItem;
}

uint32_t Root::rootAddressChecker(const char** rest, uint32_t* restLength, const char* text, uint32_t length) const
{
    if (rest == nullptr || restLength == nullptr) return kMmsBadArgument;
    const char* rootName = nullptr;
    uint32_t rootLength = 0;
    const uint32_t result = StringConverter::getRootName(&rootName, &rootLength, rest, restLength, text, length);
    if (mmsIsFailure(result)) return result;
    if (rootName != nullptr) return isSameRootName(rootName, rootLength);
    return kMmsOk;
}

uint32_t Root::convertAddress(uint32_t* nodesOut, uint32_t* depthOut, const char* text, uint32_t length) const
{
    if (nodesOut == nullptr || depthOut == nullptr) return kMmsBadArgument;
    if (m_pTop == nullptr) return kMmsWrongState;
    const char* rest = nullptr;
    uint32_t restLength = 0;
    const uint32_t result = rootAddressChecker(&rest, &restLength, text, length);
    if (mmsIsFailure(result)) return result;
    *depthOut = 0;
    if (rest == nullptr || restLength == 0) return kMmsOk;
    return m_pTop->cnvStrToFastAddr(nodesOut, depthOut, kMmsMaxDepth, rest, restLength);
}

uint32_t Root::convertAddress(uint32_t* nodesOut, uint32_t* depthOut, const char* text, uint32_t length,
                              uint32_t indexCount) const
{
    const uint32_t result = convertAddress(nodesOut, depthOut, text, length);
    if (mmsIsFailure(result)) return result;
    // The caller's index vector must reach every level of the address.
    if (*depthOut > indexCount) return kMmsNoSuchItem;
    return result;
}

uint32_t Root::cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* text,
                                uint32_t length) const
{
    if ((text == nullptr && length != 0) || (nodesOut == nullptr && capacity != 0) || depthOut == nullptr) {
        return kMmsBadArgument;
    }
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const char* rest = nullptr;
    uint32_t restLength = 0;
    const uint32_t result = rootAddressChecker(&rest, &restLength, text, length);
    if (mmsIsFailure(result)) return result;
    *depthOut = 0;
    if (rest == nullptr || restLength == 0) return kMmsOk;
    return m_pTop->cnvStrToFastAddr(nodesOut, depthOut, capacity, rest, restLength);
}

uint32_t Root::cnvFastToStrAddr(char* buffer, uint32_t size, const uint32_t* nodes, uint32_t depth,
                                uint8_t withRootName) const
{
    if (buffer == nullptr || size == 0 || (nodes == nullptr && depth != 0)) return kMmsBadArgument;
    // The caller always gets a terminated (possibly empty) text back.
    (void)mmsMemset(buffer, 0, size);
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const T_FAST_ADDRESS address = fastAddress(nodes, nullptr, depth);
    return m_pTop->cnvFastToStrAddr(buffer, size, &address, 0, withRootName);
}

uint32_t Root::cnvFastToScalarAddr(uint32_t* scalarOut, const uint32_t* nodes, uint32_t depth) const
{
    if (scalarOut == nullptr || (nodes == nullptr && depth != 0)) return kMmsBadArgument;
    *scalarOut = 0;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const T_FAST_ADDRESS address = fastAddress(nodes, nullptr, depth);
    return m_pTop->cnvFastToScalarAddr(scalarOut, 0, &address, 0);
}

uint32_t Root::cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, uint32_t scalar) const
{
    if ((nodesOut == nullptr && capacity != 0) || depthOut == nullptr) return kMmsBadArgument;
    *depthOut = 0;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    return m_pTop->cnvScalarToFastAddr(nodesOut, depthOut, capacity, scalar, 0);
}

uint32_t Root::cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                     uint32_t capacity, uint32_t prmIndex) const
{
    if (((nodesOut == nullptr || indicesOut == nullptr) && capacity != 0) || depthOut == nullptr) {
        return kMmsBadArgument;
    }
    *depthOut = 0;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    return m_pTop->cnvPrmIndexToFastAddr(nodesOut, indicesOut, depthOut, capacity, prmIndex, 0);
}

uint32_t Root::cnvPrmIndexToStrAddr(char* buffer, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
                                    uint32_t capacity, uint32_t prmIndex, uint8_t withRootName) const
{
    if ((indicesOut == nullptr && capacity != 0) || depthOut == nullptr) return kMmsBadArgument;
    uint32_t nodes[kMmsMaxDepth] = {};
    // The own node vector has five entries; no tree is deeper.
    const uint32_t nodeCapacity = capacity < kMmsMaxDepth ? capacity : kMmsMaxDepth;
    const uint32_t result = cnvPrmIndexToFastAddr(nodes, indicesOut, depthOut, nodeCapacity, prmIndex);
    if (mmsIsFailure(result)) return result;
    return cnvFastToStrAddr(buffer, size, nodes, *depthOut, withRootName);
}

uint32_t Root::getStrAddrMaxSize(uint32_t* out, uint8_t withRootName) const
{
    if (out == nullptr) return kMmsBadArgument;
    if (!isReady()) return kMmsWrongState;
    *out = m_depth * kNodeNameField + (withRootName != 0 ? kNodeNameField + 1 : 0);
    return kMmsOk;
}

uint32_t Root::getStrAddrSize(uint32_t* out, const uint32_t* nodes, uint32_t depth, uint8_t withRootName) const
{
    if (out == nullptr || (nodes == nullptr && depth != 0)) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    uint32_t size = 0;
    const T_FAST_ADDRESS address = fastAddress(nodes, nullptr, depth);
    const uint32_t result = m_pTop->getStrAddrSize(&size, &address, 0, withRootName);
    if (mmsIsFailure(result)) return result;
    *out = size + 1;
    return result;
}

uint32_t Root::queryCheck(const uint32_t* nodes, uint32_t depth) const
{
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    return kMmsOk;
}

// The Fast node queries: argument and status check, then the top collection at level 0.
#define MMS_ROOT_QUERY(call)                                     \
    do {                                                         \
        const uint32_t checked = queryCheck(nodes, depth);       \
        if (mmsIsFailure(checked)) return checked;               \
        const T_FAST_ADDRESS address = fastAddress(nodes, nullptr, depth); \
        return m_pTop->call;                                     \
    } while (0)

// The string forms: convert (five entries on the stack), then the Fast form through the table.
#define MMS_ROOT_STRING_QUERY(call)                                           \
    do {                                                                      \
        uint32_t nodes[kMmsMaxDepth] = {};                                    \
        uint32_t depth = 0;                                                   \
        const uint32_t converted = convertAddress(nodes, &depth, address, length); \
        if (mmsIsFailure(converted)) return converted;                        \
        return call;                                                          \
    } while (0)

uint32_t Root::getNumOfChildNodesFast(uint32_t* count, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getNumOfChildNodesFast(count, &address, 0));
}

uint32_t Root::getNumOfChildNodes(uint32_t* count, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getNumOfChildNodesFast(count, nodes, depth));
}

uint32_t Root::getNodeNameFast(char* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getNodeNameFast(out, &address, 0));
}

uint32_t Root::getChildNodeNameFast(char* out, const uint32_t* nodes, uint32_t depth, uint32_t childIndex) const
{
    MMS_ROOT_QUERY(getChildNodeNameFast(out, childIndex, &address, 0));
}

uint32_t Root::getChildNodeName(char* out, const char* address, uint32_t length, uint32_t childIndex) const
{
    MMS_ROOT_STRING_QUERY(getChildNodeNameFast(out, nodes, depth, childIndex));
}

uint32_t Root::getNodePrmNumFast(uint32_t* count, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getNodePrmNumFast(count, &address, 0));
}

uint32_t Root::getNodePrmNum(uint32_t* count, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getNodePrmNumFast(count, nodes, depth));
}

uint32_t Root::getNodeDirtyBitNumFast(uint32_t* count, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getNodeDirtyBitNumFast(count, &address, 0));
}

uint32_t Root::getNodeDirtyBitNum(uint32_t* count, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getNodeDirtyBitNumFast(count, nodes, depth));
}

uint32_t Root::getPrmAttribFast(T_PRM_ATTRIB* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmAttrib(out, &address, 0, m_stringPool.getPoolPointer()));
}

uint32_t Root::getPrmAttrib(T_PRM_ATTRIB* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmAttribFast(out, nodes, depth));
}

uint32_t Root::getPrmTypeFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmType(out, &address, 0));
}

uint32_t Root::getPrmType(uint32_t* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmTypeFast(out, nodes, depth));
}

uint32_t Root::getPrmMinFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmMin(out, &address, 0));
}

uint32_t Root::getPrmMin(JVariant* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmMinFast(out, nodes, depth));
}

uint32_t Root::getPrmMaxFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmMax(out, &address, 0));
}

uint32_t Root::getPrmMax(JVariant* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmMaxFast(out, nodes, depth));
}

uint32_t Root::getPrmDefFast(JVariant* out, const uint32_t* nodes, const uint32_t* indices, uint32_t depth) const
{
    const uint32_t checked = queryCheck(nodes, depth);
    if (mmsIsFailure(checked)) return checked;
    const T_FAST_ADDRESS address = fastAddress(nodes, indices, depth);
    return m_pTop->getPrmDef(nullptr, out, &address, 0, m_stringPool.getPoolPointer(), m_pPlugins);
}

uint32_t Root::getPrmDef(JVariant* out, const char* address, uint32_t length, const uint32_t* indices,
                         uint32_t indexCount) const
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t converted = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(converted)) return converted;
    if (indexCount < depth) return kMmsBadArgument;
    return getPrmDefFast(out, nodes, indices, depth);
}

uint32_t Root::getPrmStepFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmStep(out, &address, 0));
}

uint32_t Root::getPrmStep(JVariant* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmStepFast(out, nodes, depth));
}

uint32_t Root::getPrmNominalFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmNominal(out, &address, 0, m_stringPool.getPoolPointer()));
}

uint32_t Root::getPrmNominal(JVariant* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmNominalFast(out, nodes, depth));
}

uint32_t Root::getPrmUnitSizeFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmUnitSize(out, &address, 0));
}

uint32_t Root::getPrmUnitSize(uint32_t* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmUnitSizeFast(out, nodes, depth));
}

uint32_t Root::getPrmUnitFast(char* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmUnit(out, &address, 0, m_stringPool.getPoolPointer()));
}

uint32_t Root::getPrmUnit(char* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmUnitFast(out, nodes, depth));
}

uint32_t Root::getPrmScalingFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmScaling(out, &address, 0));
}

uint32_t Root::getPrmScaling(uint32_t* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmScalingFast(out, nodes, depth));
}

uint32_t Root::getPrmKindFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmKind(out, &address, 0));
}

uint32_t Root::getPrmKind(uint32_t* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmKindFast(out, nodes, depth));
}

uint32_t Root::getPrmNameFormatSizeFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmNameFormatSize(out, &address, 0));
}

uint32_t Root::getPrmNameFormatSize(uint32_t* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmNameFormatSizeFast(out, nodes, depth));
}

uint32_t Root::getPrmNameFormatFast(char* out, const uint32_t* nodes, uint32_t depth) const
{
    MMS_ROOT_QUERY(getPrmNameFormat(out, &address, 0, m_stringPool.getPoolPointer()));
}

uint32_t Root::getPrmNameFormat(char* out, const char* address, uint32_t length) const
{
    MMS_ROOT_STRING_QUERY(getPrmNameFormatFast(out, nodes, depth));
}

#undef MMS_ROOT_QUERY
#undef MMS_ROOT_STRING_QUERY

uint32_t Root::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                               uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const uint32_t* nodes) const
{
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const T_FAST_ADDRESS address = fastAddress(nodes, nullptr, depth);
    uint32_t firstFailure = kMmsOk;
    const auto keep = [&firstFailure](uint32_t result) {
        if (mmsIsFailure(result) && firstFailure == kMmsOk) firstFailure = result;
        return result;
    };
    uint32_t nodeCategory = 0;
    bool haveCategory = false;
    if (category != nullptr) {
        haveCategory = mmsIsSuccess(keep(m_pTop->getNodeCategoryFast(&nodeCategory, &address, 0)));
        *category = static_cast<uint8_t>(nodeCategory);
    }
    if (type != nullptr) {
        *type = 0;
        if (!haveCategory) haveCategory = mmsIsSuccess(keep(m_pTop->getNodeCategoryFast(&nodeCategory, &address, 0)));
        if (haveCategory && nodeCategory == 1) (void)keep(m_pTop->getPrmType(type, &address, 0));
    }
    if (dataSize != nullptr) (void)keep(m_pTop->getNodeDataSizeFast(dataSize, &address, 0));
    if (arraySize != nullptr) (void)keep(m_pTop->getNodeArraySizeFast(arraySize, &address, 0));
    if (maxIndices != nullptr) {
        for (uint32_t level = 1; level <= depth; ++level) {
            const T_FAST_ADDRESS prefix = fastAddress(nodes, nullptr, level);
            uint32_t size = 0;
            const uint32_t result = keep(m_pTop->getNodeArraySizeFast(&size, &prefix, 0));
            maxIndices[level - 1] = (mmsIsSuccess(result) && size > 0) ? size - 1 : 0;
        }
    }
    if (depthOut != nullptr) *depthOut = depth;
    return firstFailure;
}

uint32_t Root::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                           uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* address,
                           uint32_t length) const
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t converted = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(converted)) return converted;
    if (maxIndices != nullptr && capacity < depth) return kMmsBadArgument;
    return getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, nodes);
}

uint32_t Root::getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount) const
{
    if (!isReady()) return kMmsWrongState;
    const unsigned char* tags = m_tagInfo.getTagInfoPointer();
    if (tags == nullptr) return kMmsMissing;
    const uint32_t size = m_tagInfo.getTagInfoSize();
    uint32_t collections = 0;
    uint32_t parameters = 0;
    uint32_t result = kMmsOk;
    uint32_t position = 0;
    while (position < size) {
        const uint32_t left = size - position;
        uint32_t tagLength = 0;
        if (left >= 4 && mmsMemcmp(tags + position, "COL", 3) == 0) {
            tagLength = tags[position + 3];
            ++collections;
        } else if (left >= 3 && mmsMemcmp(tags + position, "PR", 2) == 0) {
            tagLength = tags[position + 2];
            ++parameters;
        } else {
            result = kMmsNoSuchItem;
            break;
        }
        // A tag of length 0 would never move the walk on: a damaged area ends it.
        if (tagLength == 0 || tagLength > left) {
            result = kMmsNoSuchItem;
            break;
        }
        position += tagLength;
    }
    if (collectionCount != nullptr) *collectionCount = collections;
    if (parameterCount != nullptr) *parameterCount = parameters;
    return result;
}

uint32_t Root::getDepth(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    if (!isReady()) return kMmsWrongState;
    *out = m_depth;
    return kMmsOk;
}

uint32_t Root::getPrmNum(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    uint32_t elements = 0;
    const uint32_t result = m_pTop->getNodePrmNum(&elements);
    if (mmsIsFailure(result)) return result;
    *out = m_pTop->getArraySize() * elements;
    return kMmsOk;
}

}  // namespace MMS
