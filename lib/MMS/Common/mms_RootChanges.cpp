// Subscriptions of a root and the questions a task asks about what changed or was imported.
#include "mms_Root.h"

#include "jlib/JVariant.h"
#include "mms_Collection.h"
#include "mms_DirtyFlagList.h"
#include "mms_SetOrderNotifyWrapper.h"

namespace MMS {

uint32_t Root::attachOrderedNotify(void* writer)
{
    if (!isReady()) return kMmsWrongState;
    // A refused writer is not an error of the root: the one already attached keeps working.
    return mmsIsFailure(m_orderNotify.attach(writer)) ? 2u : kMmsOk;
}

uint32_t Root::subscribe(uint32_t subscribeMode, uint32_t taskId, uint32_t areaCount, uint32_t settingIndex,
                         uint32_t gettingIndex)
{
    return m_taskList.append(m_pTaskMemory, subscribeMode, taskId, areaCount, settingIndex, gettingIndex);
}

uint32_t Root::unsubscribe(uint32_t taskId) { return m_taskList.erase(m_pTaskMemory, taskId); }

uint32_t Root::setAdditionFlag(uint8_t flag, uint32_t taskId) { return m_taskList.setRootAdditionFlag(flag, taskId); }

uint32_t Root::getAdditionFlag(uint32_t taskId) const { return m_taskList.getRootAdditionFlag(taskId); }

uint32_t Root::setSettingDirtyArea(uint32_t taskId, uint32_t index)
{
    return m_taskList.setSettingDirtyArea(taskId, index);
}

uint32_t Root::setGettingDirtyArea(uint32_t taskId, uint32_t index)
{
    uint8_t* old = m_taskList.getTaskDirtyMem(taskId);
    const uint32_t size = m_taskList.getDirtyMemSize();
    const uint32_t result = m_taskList.setGettingDirtyArea(taskId, index);
    if (mmsIsFailure(result)) return result;
    uint8_t* now = m_taskList.getTaskDirtyMem(taskId);
    // Bits the reader has not collected follow it; the old area is left clear for the writers.
    if (old != nullptr && now != nullptr && now != old && (old[0] & 0x80u) != 0) {
        for (uint32_t i = 0; i < size; ++i) {
            now[i] |= old[i];
            old[i] = 0;
        }
    }
    return result;
}

uint32_t Root::raiseDirtyFlag(uint32_t taskId) { return m_taskList.setDirtyFlag(taskId); }

uint32_t Root::clearDirtyFlag(uint32_t taskId) { return m_taskList.resetDirtyFlag(taskId); }

uint32_t Root::getTaskList(T_TASK_LIST* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    out->origin = m_taskList.getListOrigin();
    out->first = m_taskList.getFrontTaskItem();
    return kMmsOk;
}

uint8_t* Root::getTaskDirtyMem(uint32_t taskId) const { return m_taskList.getTaskDirtyMem(taskId); }

uint32_t Root::getTransactionDirty(uint8_t* out, uint32_t taskId) const
{
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    return m_taskList.getTransactionDirty(out, taskId);
}

uint32_t Root::isChangedFast(uint8_t* out, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                             uint8_t clearFlag, uint32_t taskId)
{
    if (out == nullptr) return kMmsBadArgument;
    if (depth != 0 && (nodes == nullptr || indices == nullptr)) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* dirty = m_taskList.getTaskDirtyMem(taskId);
    if (dirty == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, indices, depth};
    return m_pTop->isChanged(out, &address, 0, clearFlag, dirty, 0);
}

uint32_t Root::isChanged(uint8_t* out, const char* address, uint32_t length, const uint32_t* indices,
                         uint32_t indexCount, uint8_t clearFlag, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return isChangedFast(out, nodes, indices, depth, clearFlag, taskId);
}

uint32_t Root::isImportedFast(uint8_t* out, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                              uint8_t clearFlag, uint32_t taskId)
{
    if (out == nullptr) return kMmsBadArgument;
    if (depth != 0 && (nodes == nullptr || indices == nullptr)) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* flags = m_taskList.getTaskImportFlagMem(taskId);
    unsigned char* searchers = m_taskList.getTaskImportSearcherMem(taskId);
    if (flags == nullptr || searchers == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, indices, depth};
    return m_pTop->isImported(out, &address, 0, clearFlag, searchers, flags, 0);
}

uint32_t Root::isImported(uint8_t* out, const char* address, uint32_t length, const uint32_t* indices,
                          uint32_t indexCount, uint8_t clearFlag, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return isImportedFast(out, nodes, indices, depth, clearFlag, taskId);
}

namespace {

// A search's 0x8000 is a find; its absence the normal end.
uint32_t searchResult(uint32_t r)
{
    if (mmsIsFailure(r)) return r;
    return (r & kMmsFound) != 0 ? kMmsOk : kMmsNotFound;
}

}  // namespace

uint32_t Root::getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut, uint32_t* indicesOut,
                                     uint32_t* depthOut, uint32_t capacity, const uint32_t* startNodes,
                                     const uint32_t* startIndices, uint32_t startDepth, uint8_t clearFlag,
                                     uint32_t taskId)
{
    if (startDepth != 0 && (startNodes == nullptr || startIndices == nullptr)) return kMmsBadArgument;
    if (nodesOut == nullptr || indicesOut == nullptr || depthOut == nullptr) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* dirty = m_taskList.getTaskDirtyMem(taskId);
    if (dirty == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS start{startNodes, startIndices, startDepth};
    uint32_t depth = 0;
    const uint32_t r = searchResult(m_pTop->getChangedPrmAddr(value, factor, nodesOut, indicesOut, &depth, capacity,
                                                           &start, 0, clearFlag, m_pValues, dirty, 0, m_pFactors));
    if (r == kMmsOk) *depthOut = depth;
    return r;
}

uint32_t Root::getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
                                 uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                 const char* startAddress, uint32_t length, const uint32_t* startIndices,
                                 uint32_t indexCount, uint8_t clearFlag, uint32_t taskId, uint8_t withRootName)
{
    uint32_t start[kMmsMaxDepth] = {};
    uint32_t startDepth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(start, &startDepth, startAddress, length, indexCount));
    // The node path lands in a vector of our own, so the caller's capacity is bounded by it.
    uint32_t found[kMmsMaxDepth] = {};
    if (capacity > kMmsMaxDepth) capacity = kMmsMaxDepth;
    JLIB_RETURN_IF_FAILED(getChangedPrmAddrFast(value, factor, found, indicesOut, depthOut, capacity, start,
                                                startIndices, startDepth, clearFlag, taskId));
    return cnvFastToStrAddr(textOut, textSize, found, *depthOut, withRootName);
}

uint32_t Root::getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                                   uint32_t capacity, const uint32_t* nodes, const uint32_t* startIndices,
                                   uint32_t depth, uint8_t clearFlag, uint32_t taskId)
{
    if (indicesOut == nullptr || depthOut == nullptr || nodes == nullptr) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* dirty = m_taskList.getTaskDirtyMem(taskId);
    if (dirty == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, startIndices, depth};
    uint32_t found = 0;
    const uint32_t r = searchResult(m_pTop->getChangedPrmCh(value, factor, indicesOut, &found, capacity, &address, 0,
                                                         clearFlag, m_pValues, dirty, 0, m_pFactors));
    if (r == kMmsOk) *depthOut = found;
    return r;
}

uint32_t Root::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                               uint32_t capacity, const char* address, uint32_t length, const uint32_t* startIndices,
                               uint32_t indexCount, uint8_t clearFlag, uint32_t taskId)
{
    if (address == nullptr) return kMmsBadArgument;
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length));
    if (startIndices != nullptr && indexCount != depth) return kMmsBadArgument;
    return getChangedPrmChFast(value, factor, indicesOut, depthOut, capacity, nodes, startIndices, depth, clearFlag,
                               taskId);
}

uint32_t Root::getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                             uint32_t capacity, const uint32_t* startNodes,
                                             const uint32_t* startIndices, uint32_t startDepth, uint8_t clearFlag,
                                             uint32_t taskId)
{
    if (startDepth != 0 && (startNodes == nullptr || startIndices == nullptr)) return kMmsBadArgument;
    if (nodesOut == nullptr || indicesOut == nullptr || depthOut == nullptr) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* flags = m_taskList.getTaskImportFlagMem(taskId);
    unsigned char* searchers = m_taskList.getTaskImportSearcherMem(taskId);
    if (flags == nullptr || searchers == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS start{startNodes, startIndices, startDepth};
    uint32_t depth = 0;
    const uint32_t r = searchResult(m_pTop->getImportedCollectionAddr(nodesOut, indicesOut, &depth, capacity, &start, 0,
                                                                   clearFlag, searchers, flags, 0));
    if (r == kMmsOk) *depthOut = depth;
    return r;
}

uint32_t Root::getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                         uint32_t* depthOut, uint32_t capacity, const char* startAddress,
                                         uint32_t length, const uint32_t* startIndices, uint32_t indexCount,
                                         uint8_t clearFlag, uint32_t taskId, uint8_t withRootName)
{
    uint32_t start[kMmsMaxDepth] = {};
    uint32_t startDepth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(start, &startDepth, startAddress, length, indexCount));
    uint32_t found[kMmsMaxDepth] = {};
    if (capacity > kMmsMaxDepth) capacity = kMmsMaxDepth;
    JLIB_RETURN_IF_FAILED(getImportedCollectionAddrFast(found, indicesOut, depthOut, capacity, start, startIndices,
                                                        startDepth, clearFlag, taskId));
    return cnvFastToStrAddr(textOut, textSize, found, *depthOut, withRootName);
}

}  // namespace MMS
