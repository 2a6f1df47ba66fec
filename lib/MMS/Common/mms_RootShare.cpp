// Root sharing, restoring and copying: describing a root (or one collection instance of it) for
// another root, making a root from such a description with copies or borrowed parts, and copying
// the values of a root of the same definition.
#include "mms_Root.h"

#include <cstring>
#include <new>

#include "mms_Collection.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ProcessOption.h"
#include "mms_SharedMemWrapper.h"
#include "mms_sharedRootInfo.h"

namespace MMS {

namespace {

// A description's name fields need not end in a NUL.
void copyText(char* out, const char* field, size_t size)
{
    memcpy(out, field, size);
    out[size] = '\0';
}

}  // namespace

uint32_t Root::setSharedInfoDef(sharedRootInfo* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    memset(out, 0, sizeof(*out));
    out->recordSize = sizeof(*out);
    out->values = m_pValues;
    out->valueSize = m_valueSize;
    out->taskListOrigin = const_cast<int64_t*>(m_taskList.getListOrigin());
    out->dirtySize = m_taskList.getDirtyMemSize();
    out->factors = m_pFactors;
    out->factorSize = m_factorSize;
    // The top collection is the node pool's first node.
    out->topNode = reinterpret_cast<Collection*>(const_cast<unsigned char*>(m_nodeFactory.getNodeListPointer()));
    out->nodeMemorySize = m_nodeFactory.getNodeListSize();
    out->tagArea = m_tagInfo.getTagInfoPointer();
    out->tagAreaSize = m_tagInfo.getTagInfoSize();
    out->stringPool = m_stringPool.getPoolPointer();
    out->stringPoolSize = m_stringPool.getPoolSize();
    out->plugins = m_pPlugins;
    (void)m_tagInfo.getProjectName(out->descName);  // both outputs exist
    (void)m_tagInfo.getProjectVersion(out->version);
    out->importFlagSize = m_taskList.getImportFlagMemSize();
    return kMmsOk;
}

uint32_t Root::copySrcPrm(sharedRootInfo* out)
{
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    return setSharedInfoDef(out);
}

uint32_t Root::shareRootFast(sharedRootInfo* out, const uint32_t* nodes, const uint32_t* indices, uint32_t depth)
{
    if (out == nullptr || ((nodes == nullptr || indices == nullptr) && depth != 0)) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    // Only a tree in a node pool of its own can be described: nodes made one by one, or a
    // definition that is itself borrowed, cannot be handed on.
    if ((m_ownership & kOwnNodePool) == 0 || (m_ownership & kOwnDefinition) != 0 || m_treeBorrowed ||
        m_nodeFactory.getNodeListPointer() == nullptr) {
        return kMmsBadArgument;
    }
    uint32_t result = setSharedInfoDef(out);
    if (mmsIsFailure(result) || depth == 0) return result;
    const T_FAST_ADDRESS address{nodes, indices, depth};
    return m_pTop->shareRoot(out, &address, 0);
}

uint32_t Root::shareRoot(sharedRootInfo* out, const char* address, uint32_t length, const uint32_t* indices,
                         uint32_t indexCount)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length, indexCount);
    if (mmsIsFailure(result)) return result;
    return shareRootFast(out, nodes, indices, depth);
}

uint32_t Root::restoreRoot(const sharedRootInfo& info)
{
    if (info.valueSize == 0 || info.dirtySize == 0 || info.importFlagSize == 0 || info.factorSize == 0) {
        return kMmsBadArgument;
    }
    uint32_t result = m_nodeFactory.restore(m_pDefinitionMemory, reinterpret_cast<const unsigned char*>(info.topNode),
                                            info.nodeMemorySize);
    if (mmsIsFailure(result)) return result;
    if (info.topNode == nullptr) return kMmsMissing;
    // The child lists are the described tree's: this root must never give them back.
    m_pTop = info.topNode;
    m_treeBorrowed = true;
    result = m_tagInfo.restore(m_pDefinitionMemory, info.tagArea, info.tagAreaSize);
    if (mmsIsFailure(result)) return result;
    result = m_stringPool.restore(m_pDefinitionMemory, info.stringPool, info.stringPoolSize);
    if (mmsIsFailure(result)) return result;
    result = createMainMemoryPool(info.valueSize, info.dirtySize, info.importFlagSize, info.factorSize);
    if (mmsIsFailure(result)) return result;
    uint32_t collections = 0;
    uint32_t parameters = 0;
    result = m_pTop->getCollNodeNum(&collections, &parameters, 0, 0, 0);
    if (mmsIsFailure(result)) return result;
    result = createPluginList(collections, parameters);
    if (mmsIsFailure(result)) return result;
    m_depth = m_pTop->getDepth();
    char text[25];
    copyText(text, info.descName, sizeof(info.descName));
    m_tagInfo.setProjectName(text);
    copyText(text, info.version, sizeof(info.version));
    m_tagInfo.setProjectVersion(text);
    return kMmsOk;
}

uint32_t Root::jointPrmMemoryOnly(const sharedRootInfo& info)
{
    if (info.values == nullptr || info.valueSize == 0 || info.dirtySize == 0 || info.importFlagSize == 0 ||
        info.factorSize == 0) {
        return kMmsBadArgument;
    }
    if (m_pTaskMemory == nullptr) return kMmsMissing;
    uint32_t result = m_taskList.setDirtySize(info.dirtySize);
    if (mmsIsFailure(result)) return result;
    result = m_taskList.setImportFlagSize(info.importFlagSize);
    if (mmsIsFailure(result)) return result;
    auto* factors = static_cast<unsigned char*>(m_pTaskMemory->malloc(info.factorSize));
    if (factors == nullptr) return kMmsNoMemory;
    (void)mmsMemset(factors, 0, info.factorSize);
    m_pFactors = factors;
    m_factorSize = info.factorSize;
    m_pValues = info.values;
    m_valueSize = info.valueSize;
    m_ownership |= kOwnValues;
    return kMmsOk;
}

uint32_t Root::jointPrmMemory(const sharedRootInfo& info)
{
    if (info.values == nullptr || info.valueSize == 0 || info.taskListOrigin == nullptr || info.dirtySize == 0 ||
        info.importFlagSize == 0 || info.factors == nullptr || info.factorSize == 0) {
        return kMmsBadArgument;
    }
    uint32_t result = m_taskList.setDirtySize(info.dirtySize);
    if (mmsIsFailure(result)) return result;
    result = m_taskList.setImportFlagSize(info.importFlagSize);
    if (mmsIsFailure(result)) return result;
    result = m_taskList.joint(info.taskListOrigin);
    if (mmsIsFailure(result)) return result;
    m_pValues = info.values;
    m_valueSize = info.valueSize;
    m_pFactors = info.factors;
    m_factorSize = info.factorSize;
    m_ownership |= kOwnValues | kOwnTaskList;
    return kMmsOk;
}

uint32_t Root::jointRoot(const sharedRootInfo& info, uint8_t mode)
{
    uint32_t result = m_nodeFactory.joint(reinterpret_cast<const unsigned char*>(info.topNode), info.nodeMemorySize);
    if (mmsIsFailure(result)) {
        undoJoint();
        return result;
    }
    if (info.topNode == nullptr) {
        undoJoint();
        return kMmsMissing;
    }
    m_pTop = info.topNode;
    result = m_tagInfo.joint(info.tagArea, info.tagAreaSize);
    if (mmsIsSuccess(result)) {
        m_tagInfo.createMD5();
        if (info.stringPool != nullptr && info.stringPoolSize != 0) {
            result = m_stringPool.joint(info.stringPool, info.stringPoolSize);
        }
    }
    if (mmsIsSuccess(result)) {
        if ((mode & 0x04) != 0) {
            result = m_taskList.createMemoryArea(m_pTaskMemory);
            if (mmsIsSuccess(result)) result = jointPrmMemoryOnly(info);
        } else if ((mode & 0x01) != 0) {
            result = jointPrmMemory(info);
        } else {
            result = m_taskList.createMemoryArea(m_pTaskMemory);
            if (mmsIsSuccess(result)) {
                result = createMainMemoryPool(info.valueSize, info.dirtySize, info.importFlagSize, info.factorSize);
            }
        }
    }
    uint32_t collections = 0;
    uint32_t parameters = 0;
    if (mmsIsSuccess(result)) result = m_pTop->getCollNodeNum(&collections, &parameters, 0, 0, 0);
    if (mmsIsSuccess(result)) {
        if ((mode & 0x06) != 0 || info.plugins == nullptr) {
            result = createPluginList(collections, parameters);
        } else {
            m_pPlugins = info.plugins;
            m_ownership |= kOwnPlugins;
            m_pluginCount = 0;
            for (uint32_t i = 0; i < collections; ++i) {
                if (m_pPlugins[i].m_pPlugin != nullptr) ++m_pluginCount;
            }
        }
    }
    if (mmsIsFailure(result)) {
        undoJoint();
        return result;
    }
    m_depth = m_pTop->getDepth();
    char text[25];
    copyText(text, info.descName, sizeof(info.descName));
    m_tagInfo.setProjectName(text);
    copyText(text, info.version, sizeof(info.version));
    m_tagInfo.setProjectVersion(text);
    return kMmsOk;
}

void Root::undoJoint()
{
    if ((m_ownership & kOwnPlugins) == 0) delete[] m_pPlugins;  // an own list holds no plug-in yet
    m_pPlugins = nullptr;
    m_pluginCount = 0;
    m_ownership &= static_cast<uint8_t>(~kOwnPlugins);

    if ((m_ownership & kOwnTaskList) == 0 && m_pFactors != nullptr && m_pTaskMemory != nullptr) {
        (void)m_pTaskMemory->free(m_pFactors);
    }
    m_pFactors = nullptr;
    m_factorSize = 0;
    if ((m_ownership & kOwnValues) == 0 && m_pValues != nullptr && m_pValueMemory != nullptr) {
        (void)m_pValueMemory->free(m_pValues);
    }
    m_pValues = nullptr;
    m_valueSize = 0;
    m_ownership &= static_cast<uint8_t>(~kOwnValues);

    if ((m_ownership & kOwnTaskList) == 0) {
        (void)m_taskList.clear(m_pTaskMemory);  // an own list: its origin goes back
    }
    // A borrowed list is only forgotten: clearing it would drop the other root's subscribers.
    m_taskList.~TaskItemList();
    new (&m_taskList) TaskItemList();
    m_ownership &= static_cast<uint8_t>(~kOwnTaskList);

    (void)m_stringPool.destroy(m_pDefinitionMemory);  // a joined pool is only forgotten
    (void)m_tagInfo.destroy(m_pDefinitionMemory);
    (void)m_nodeFactory.destroy(m_pDefinitionMemory);
    m_pTop = nullptr;
    m_ownership &= static_cast<uint8_t>(~kOwnDefinition);
}

uint32_t Root::copyInfoCheck(const sharedRootInfo& source) const
{
    const unsigned char* own = m_tagInfo.getTagInfoPointer();
    if (own == nullptr || source.tagArea == nullptr || source.tagAreaSize != m_tagInfo.getTagInfoSize() ||
        memcmp(source.tagArea, own, source.tagAreaSize) != 0) {
        return kMmsBadArgument;
    }
    return kMmsOk;
}

uint32_t Root::importCopyPrm(const sharedRootInfo& source, uint32_t subscribeMode)
{
    DirtyFlagHolder holder(&m_taskList, subscribeMode, 1, 0);
    const T_FAST_ADDRESS address{nullptr, nullptr, 0};
    return m_pTop->importData(1, &address, 0, 0, m_tagInfo.getTagInfoPointer(), m_tagInfo.getTagInfoSize(),
                              source.values, m_valueSize, nullptr, m_pValues, nullptr, E_FILTER_STRUCTURE_VALUES,
                              &holder, 0, 0, m_pFactors, m_tagInfo.getTagInfoPointer());
}

uint32_t Root::memoryPoolCopy(const sharedRootInfo& source, uint8_t flags, uint32_t subscribeMode)
{
    // Checked before anything is copied: a copy stops half-way on nothing.
    if (source.values == nullptr || source.valueSize < m_valueSize) return kMmsBadArgument;
    if ((flags & 0x02) != 0 && (source.factors == nullptr || source.factorSize < m_factorSize)) {
        return kMmsBadArgument;
    }
    uint32_t result = kMmsOk;
    if ((flags & 0x01) != 0) {
        result = importCopyPrm(source, subscribeMode);
        if (mmsIsFailure(result)) return result;
    } else {
        memmove(m_pValues, source.values, m_valueSize);  // a joined root may share the block
    }
    if ((flags & 0x02) != 0) memmove(m_pFactors, source.factors, m_factorSize);
    return result;
}

uint32_t Root::copyDstPrm(const sharedRootInfo& source, uint8_t flags, uint32_t subscribeMode,
                          const void* sourceDirty)
{
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    uint32_t result = copyInfoCheck(source);
    if (mmsIsFailure(result)) return result;
    result = memoryPoolCopy(source, flags, subscribeMode);
    if (mmsIsFailure(result)) return result;
    if ((flags & 0x04) != 0 && sourceDirty != nullptr) {
        const auto* bits = static_cast<const unsigned char*>(sourceDirty);
        const uint64_t count = static_cast<uint64_t>(source.dirtySize) * 8;
        for (uint64_t bit = 0; bit < count; ++bit) {
            if ((bits[bit / 8] & bitShiftTable[bit % 8]) == 0) continue;
            (void)m_taskList.setDirtyFlag(subscribeMode, static_cast<uint32_t>(bit), 0, 1, 0);  // always 0
        }
    }
    return (flags & 0x01) != 0 ? (result & kMmsChanged) : kMmsOk;
}

}  // namespace MMS
