// Root structure, building and memory: construction, the building of a definition node by node,
// the memory builder that lays out values and bookkeeping when building ends, the descriptive
// name, version and UUID, and destruction.
#include "mms_Root.h"

#include <new>

#include "jlib/JVariant.h"
#include "mms_Collection.h"
#include "mms_Parameter.h"
#include "mms_ProcessOption.h"
#include "mms_SharedMemWrapper.h"

namespace MMS {

Root::Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
           const char* topName, uint32_t maxCollections, uint32_t maxParameters, uint32_t stringPoolSize)
    : m_pDefinitionMemory(definition), m_pValueMemory(values), m_pTaskMemory(tasks)
{
    if (result == nullptr) return;
    // Whatever step fails, the owner only learns that the root could not be built.
    *result = kMmsMissing;
    if (mmsIsFailure(m_taskList.createMemoryArea(m_pTaskMemory))) return;
    bool nodeArea = false;
    if (mmsIsFailure(m_nodeFactory.createMemoryArea(&nodeArea, m_pDefinitionMemory, maxCollections, maxParameters))) {
        return;
    }
    if (nodeArea) m_ownership |= kOwnNodePool;
    if (mmsIsFailure(m_stringPool.createMemoryArea(m_pDefinitionMemory, stringPoolSize))) return;
    if (mmsIsFailure(createTopCollection(topName))) return;
    m_status = kStatusBuilding;
    *result = kMmsOk;
}

Root::Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
           const sharedRootInfo& info)
    : m_pDefinitionMemory(definition), m_pValueMemory(values), m_pTaskMemory(tasks)
{
    if (result == nullptr) return;
    *result = kMmsMissing;
    m_ownership = kOwnNodePool;
    if (mmsIsFailure(m_taskList.createMemoryArea(m_pTaskMemory))) return;
    if (mmsIsFailure(restoreRoot(info))) return;
    m_status = kStatusLaidOut;
    *result = kMmsOk;
}

Root::Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
           const sharedRootInfo& info, uint8_t mode, bool recover)
    : m_pDefinitionMemory(definition), m_pValueMemory(values), m_pTaskMemory(tasks)
{
    if (result == nullptr) return;
    *result = kMmsMissing;
    m_ownership = recover ? kOwnNodePool : kOwnDefinition;
    if (mmsIsFailure(jointRoot(info, mode))) return;
    m_status = kStatusLaidOut;
    *result = kMmsOk;
}

Root::~Root()
{
    // Plug-ins first: they may still look at the tree through their collection wrappers.
    if ((m_ownership & kOwnPlugins) == 0 && m_pPlugins != nullptr) {
        if (m_pTop != nullptr) {
            uint32_t collections = 0;
            uint32_t parameters = 0;
            if (mmsIsFailure(m_pTop->getCollNodeNum(&collections, &parameters, 0, 0, 0))) collections = 0;
            for (uint32_t i = 0; i < collections; ++i) (void)Collection::removePlugin(&m_pPlugins[i]);
        }
        delete[] m_pPlugins;
    }
    m_pPlugins = nullptr;
    m_pluginCount = 0;

    if ((m_ownership & kOwnDefinition) == 0) {
        if (m_pTop != nullptr && !m_treeBorrowed) {
            if ((m_ownership & kOwnNodePool) != 0) {
                (void)m_pTop->releaseItems(m_pDefinitionMemory);  // the nodes go with the area
            } else {
                (void)m_pTop->release(m_pDefinitionMemory);
            }
        }
        (void)m_nodeFactory.destroy(m_pDefinitionMemory);
        (void)m_tagInfo.destroy(m_pDefinitionMemory);
        (void)m_stringPool.destroy(m_pDefinitionMemory);
    }
    m_pTop = nullptr;

    if ((m_ownership & kOwnValues) == 0 && m_pValues != nullptr && m_pValueMemory != nullptr) {
        (void)m_pValueMemory->free(m_pValues);
    }
    m_pValues = nullptr;

    if ((m_ownership & kOwnTaskList) == 0) {
        if (m_pFactors != nullptr && m_pTaskMemory != nullptr) (void)m_pTaskMemory->free(m_pFactors);
        (void)m_taskList.clear(m_pTaskMemory);  // a damaged list keeps what it cannot reach
    }
    m_pFactors = nullptr;
}

uint32_t Root::getStatus(uint8_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_status;
    return kMmsOk;
}

uint32_t Root::linkBuild(uint8_t writeDefaults)
{
    if (m_status == kStatusLaidOut) return kMmsOk;
    if (m_status != kStatusBuilding) return kMmsWrongState;
    const uint32_t result = memoryBuilder(writeDefaults);
    if (mmsIsSuccess(result) || result == kMmsNoDefault) m_status = kStatusLaidOut;
    return result;
}

uint32_t Root::finishBuild(uint8_t writeDefaults)
{
    switch (m_status) {
    case kStatusBuilding: {
        const uint32_t result = memoryBuilder(writeDefaults);
        if (mmsIsSuccess(result) || result == kMmsNoDefault) m_status = kStatusReady;
        return result;
    }
    case kStatusLaidOut:
        m_status = kStatusReady;
        return kMmsOk;
    case kStatusReady:
        return kMmsFound;
    default:
        return kMmsWrongState;
    }
}

uint32_t Root::setDescName(const char* name)
{
    if (!isExecuting()) return kMmsWrongState;
    m_tagInfo.setProjectName(name);
    return kMmsOk;
}

uint32_t Root::getDescName(char* out) const
{
    if (!isReady()) return kMmsWrongState;
    return m_tagInfo.getProjectName(out);
}

uint32_t Root::setDescVersion(const char* version)
{
    if (!isExecuting()) return kMmsWrongState;
    m_tagInfo.setProjectVersion(version);
    return kMmsOk;
}

uint32_t Root::getDescVersion(char* out) const
{
    if (!isReady()) return kMmsWrongState;
    return m_tagInfo.getProjectVersion(out);
}

uint32_t Root::getUuid(char* out) const
{
    if (!isReady()) return kMmsWrongState;
    return m_tagInfo.getUuid(out);
}

uint32_t Root::isSameUuid(const void* image, uint32_t size) const
{
    if (image == nullptr || size == 0) return kMmsBadArgument;
    if (!isReady()) return kMmsWrongState;
    T_EXPORT_TAG header{};
    unsigned char order = 0;
    const uint32_t result =
        CollectionTagInfo::readExportTagHeader(&header, &order, static_cast<const unsigned char*>(image), size);
    if (mmsIsFailure(result)) return result;
    return m_tagInfo.isSameUuid(header.uuid) ? 1u : 0u;
}

uint32_t Root::addCollectionFast(uint32_t* outIndex, const uint32_t* parentNodes, uint32_t parentDepth,
                                 const char* name, uint32_t arraySize)
{
    if (parentNodes == nullptr && parentDepth != 0) return kMmsBadArgument;
    if (!isExecuting() || m_pTop == nullptr) return kMmsWrongState;
    Collection* node = nullptr;
    const uint32_t created = createCollection(&node, name, arraySize);
    if (mmsIsFailure(created)) return created;
    T_FAST_ADDRESS parent;
    parent.nodes = parentNodes;
    parent.depth = parentDepth;
    const uint32_t result = m_pTop->addCollection(outIndex, m_pDefinitionMemory, node, &parent, 0);
    if (mmsIsFailure(result)) undoNode(node, nullptr);
    return result;
}

uint32_t Root::addCollection(uint32_t* outIndex, const char* parentAddress, uint32_t addressLength, const char* name,
                             uint32_t arraySize)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, parentAddress, addressLength);
    if (mmsIsFailure(result)) return result;
    return addCollectionFast(outIndex, nodes, depth, name, arraySize);
}

uint32_t Root::addPrmFast(uint32_t* outIndex, const uint32_t* parentNodes, uint32_t parentDepth, const char* name,
                          uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum,
                          JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
                          uint32_t unitLength, uint32_t scaling, uint32_t kind, const char* nameFormat,
                          uint32_t nameFormatLength)
{
    if (parentNodes == nullptr && parentDepth != 0) return kMmsBadArgument;
    if (!isExecuting() || m_pTop == nullptr) return kMmsWrongState;

    // A missing text makes no entry, like an empty one (a null text would otherwise reserve).
    uint32_t unitOffset = 0;
    uint32_t unitSize = 0;
    if (unit != nullptr &&
        mmsIsFailure(m_stringPool.createStringPool(&unitOffset, &unitSize, unit, unitLength, true))) {
        return kMmsNoMemory;
    }
    uint32_t formatOffset = 0;
    uint32_t formatSize = 0;
    if (nameFormat != nullptr &&
        mmsIsFailure(m_stringPool.createStringPool(&formatOffset, &formatSize, nameFormat, nameFormatLength, true))) {
        return kMmsNoMemory;
    }

    // A string's default and nominal live in the pool; the node keeps their offsets.
    JVariant defaultOffset;
    JVariant nominalOffset;
    if (type == kMmsTypeString) {
        if (defaultValue != nullptr) {
            if (mmsIsFailure(convertStringOffset(&defaultOffset, defaultValue, maximum))) return kMmsBadArgument;
            defaultValue = &defaultOffset;
        }
        if (nominal != nullptr) {
            if (mmsIsFailure(convertStringOffset(&nominalOffset, nominal, maximum))) return kMmsBadArgument;
            nominal = &nominalOffset;
        }
    }

    Parameter* node = nullptr;
    const uint32_t created = createParameter(&node, name, arraySize, type, minimum, maximum, defaultValue, step,
                                             nominal, unitOffset, unitSize, scaling, kind, formatOffset, formatSize);
    if (mmsIsFailure(created)) return created;
    T_FAST_ADDRESS parent;
    parent.nodes = parentNodes;
    parent.depth = parentDepth;
    const uint32_t result = m_pTop->addPrm(outIndex, m_pDefinitionMemory, node, &parent, 0);
    if (mmsIsFailure(result)) undoNode(nullptr, node);
    return result;
}

uint32_t Root::addPrm(uint32_t* outIndex, const char* parentAddress, uint32_t addressLength, const char* name,
                      uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum, JVariant* defaultValue,
                      JVariant* step, JVariant* nominal, const char* unit, uint32_t unitLength, uint32_t scaling,
                      uint32_t kind, const char* nameFormat, uint32_t nameFormatLength)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, parentAddress, addressLength);
    if (mmsIsFailure(result)) return result;
    return addPrmFast(outIndex, nodes, depth, name, arraySize, type, minimum, maximum, defaultValue, step, nominal,
                      unit, unitLength, scaling, kind, nameFormat, nameFormatLength);
}

// Nodes are never taken out of a definition.
uint32_t Root::delCollectionFast(const uint32_t* nodes, uint32_t depth)
{
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    if (isExecuting() && m_pTop != nullptr) return kMmsNotSupported;
    return kMmsWrongState;
}

uint32_t Root::delCollection(const char* address, uint32_t length)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(result)) return result;
    return delCollectionFast(nodes, depth);
}

uint32_t Root::delPrmFast(const uint32_t* nodes, uint32_t depth)
{
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    if (isExecuting() && m_pTop != nullptr) return kMmsNotSupported;
    return kMmsWrongState;
}

uint32_t Root::delPrm(const char* address, uint32_t length)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(result)) return result;
    return delPrmFast(nodes, depth);
}

uint32_t Root::createTopCollection(const char* name)
{
    if (m_pTop != nullptr) return kMmsAlreadyPresent;
    return createCollection(&m_pTop, name, 1);
}

uint32_t Root::createCollection(Collection** out, const char* name, uint32_t arraySize)
{
    if (out == nullptr) return kMmsBadArgument;
    Collection* node = m_nodeFactory.create(name, arraySize);
    if (node == nullptr) return kMmsNoMemory;
    *out = node;
    return kMmsOk;
}

uint32_t Root::createParameter(Parameter** out, const char* name, uint32_t arraySize, uint32_t type,
                               JVariant* minimum, JVariant* maximum, JVariant* defaultValue, JVariant* step,
                               JVariant* nominal, uint32_t unitOffset, uint32_t unitSize, uint32_t scaling,
                               uint32_t kind, uint32_t nameFormatOffset, uint32_t nameFormatSize)
{
    if (out == nullptr) return kMmsBadArgument;
    Parameter* node = m_nodeFactory.create(name, arraySize, type, minimum, maximum, defaultValue, step, nominal,
                                           unitOffset, unitSize, scaling, kind, nameFormatOffset, nameFormatSize);
    if (node == nullptr) return kMmsNoMemory;
    *out = node;
    return kMmsOk;
}

uint32_t Root::convertStringOffset(JVariant* out, const JVariant* text, const JVariant* maximum)
{
    if (out == nullptr) return kMmsBadArgument;
    const bool integerMaximum = maximum != nullptr && (maximum->getType() == JVariant::kTypeUInt32 ||
                                                       maximum->getType() == JVariant::kTypeInt32);
    if (!integerMaximum) {
        *out = 0u;
        return kMmsOk;
    }
    uint32_t offset = 0;
    uint32_t stored = 0;
    const char* chars = text != nullptr ? text->toString() : nullptr;
    const uint32_t result = m_stringPool.createStringPool(&offset, &stored, chars, maximum->toUInt32(), false);
    if (mmsIsFailure(result)) return kMmsBadArgument;
    *out = offset;
    return kMmsOk;
}

void Root::undoNode(Collection* collection, Parameter* parameter)
{
    // A node from the node area is taken back by the factory; one made by itself is released.
    if (m_nodeFactory.removeLastItem(m_pDefinitionMemory) != kMmsFound) return;
    if (collection != nullptr) (void)collection->release(m_pDefinitionMemory);
    if (parameter != nullptr) (void)parameter->release();
}

uint32_t Root::memoryBuilder(uint8_t writeDefaults)
{
    if (m_pTop == nullptr) return kMmsMissing;
    uint32_t valueSize = 0;
    uint32_t dirtyBits = 0;
    uint32_t importBits = 0;
    uint32_t serialCount = 0;
    uint32_t tagSize = 0;
    uint32_t scalarCount = 0;
    if (mmsIsFailure(m_pTop->setMemAddrInfo(&valueSize, &dirtyBits, &importBits, &serialCount, &tagSize,
                                            &scalarCount, 0, 0, 0, 0, 0, 0))) {
        return kMmsMissing;
    }
    m_depth = m_pTop->getDepth();
    const auto bytesOf = [](uint32_t bits) { return static_cast<uint32_t>((static_cast<uint64_t>(bits) + 7) / 8); };
    if (mmsIsFailure(createMainMemoryPool(valueSize, bytesOf(dirtyBits), bytesOf(importBits), dirtyBits))) {
        return kMmsMissing;
    }

    uint32_t result = m_tagInfo.createMemoryArea(m_pDefinitionMemory, tagSize);
    if (mmsIsFailure(result)) return result;
    if (mmsIsFailure(m_pTop->setImportTags(m_tagInfo.getTagInfoPointer(), 0))) return kMmsMissing;
    m_tagInfo.createMD5();

    uint32_t collections = 0;
    uint32_t parameters = 0;
    result = m_pTop->getCollNodeNum(&collections, &parameters, 0, 0, 1);
    if (mmsIsFailure(result)) return result;
    result = createPluginList(collections, parameters);
    if (mmsIsFailure(result)) return result;

    if (writeDefaults != 0 &&
        mmsIsFailure(m_pTop->setDefaultPrms(m_pValues, m_stringPool.getPoolPointer(), 0))) {
        return kMmsNoDefault;
    }
    return kMmsOk;
}

uint32_t Root::createMainMemoryPool(uint32_t valueSize, uint32_t dirtySize, uint32_t importFlagSize,
                                    uint32_t factorSize)
{
    if (m_pDefinitionMemory == nullptr || m_pValueMemory == nullptr || m_pTaskMemory == nullptr) return kMmsMissing;
    if (valueSize == 0 || dirtySize == 0 || importFlagSize == 0 || factorSize == 0) return kMmsBadArgument;
    // A second run after a failed one must not leave the first blocks behind.
    if (m_pValues != nullptr) (void)m_pValueMemory->free(m_pValues);
    if (m_pFactors != nullptr) (void)m_pTaskMemory->free(m_pFactors);
    m_pValues = nullptr;
    m_pFactors = nullptr;

    m_valueSize = valueSize;
    m_factorSize = factorSize;
    m_pValues = static_cast<unsigned char*>(m_pValueMemory->malloc(valueSize));
    if (m_pValues == nullptr) return kMmsNoMemory;
    (void)mmsMemset(m_pValues, 0, valueSize);

    uint32_t result = m_taskList.setDirtySize(dirtySize);
    if (mmsIsFailure(result)) return result;
    result = m_taskList.setImportFlagSize(importFlagSize);
    if (mmsIsFailure(result)) return result;

    m_pFactors = static_cast<unsigned char*>(m_pTaskMemory->malloc(factorSize));
    if (m_pFactors == nullptr) return kMmsNoMemory;
    (void)mmsMemset(m_pFactors, 0, factorSize);
    return kMmsOk;
}

uint32_t Root::createPluginList(uint32_t collectionCount, uint32_t)
{
    if (collectionCount == 0) return kMmsOk;
    delete[] m_pPlugins;  // only after a failed earlier run; its slots hold no plug-in yet
    m_pPlugins = new (std::nothrow) ProcessOption[collectionCount];
    if (m_pPlugins == nullptr) return kMmsNoMemory;
    return kMmsOk;
}

}  // namespace MMS
