#include "MMS/mms_LinkField.h"

#include <functional>

#include "MMS/Common/mms_FieldDualMutex.h"
#include "MMS/Common/mms_MutexLock.h"
#include "MMS/Common/mms_sharedRootInfo.h"

namespace MMS {

namespace {

// Named apart from the thread-safe field's own constants, which lookup inside a member would find first.
constexpr uint8_t kQueryLocks = MutexLock::kCtrl | MutexLock::kGet;
constexpr uint8_t kEditLocks = MutexLock::kCtrl | MutexLock::kSet;

}  // namespace

// The base binds its table to the core before the core exists; nothing runs on it until the
// constructor's body.
LinkField::LinkField(IEventFlagTrigger* trigger, IEventFlagTrigger* linkTrigger, IMutex* mutex,
                     ISharedMemory* definition, ISharedMemory* values, ISharedMemory* tasks)
    : Field(m_linkCore, mutex),
      m_searchTree(),
      m_linkCore(trigger, linkTrigger, definition, values, tasks, &m_searchTree),
      m_pMutex(mutex)
{
}

LinkField::~LinkField() = default;

uint32_t LinkField::finishBuild(uint8_t option)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    const uint32_t r = m_linkCore.finishBuild(option);
    if (mmsIsSuccess(r) || r == kMmsNoDefault) {
        // Roots indexed before keep their blocks (0x80000009); a root that cannot be indexed has
        // no entry, and its sets report that they could not follow links.
        (void)m_searchTree.initialize(&m_linkCore);
    }
    return r;
}

uint32_t LinkField::subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.subscribe(kindMask, taskId, areaCount, raiseAll);
}

uint32_t LinkField::copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
                            uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions,
                            uint32_t notifyMode)
{
    // The destination's copyDstPrm asks for its set lock while this field holds get: into this
    // field, or into one over the same lock object, that would wait for ever.
    if (dst == static_cast<IField*>(this)) return kMmsBadArgument;
    IMutex* const theirs = dst != nullptr ? dst->getMutex() : nullptr;
    if (m_pMutex != nullptr && theirs == m_pMutex) return kMmsBadArgument;
    // Both ctrl locks first, lower address first, as the thread-safe field's copy takes them: two
    // copies in opposite directions then cannot each hold what the other waits for. The
    // destination's own ctrl lock is taken again inside its copyDstPrm (ctrl is re-entrant).
    const bool theirsFirst = std::less<IMutex*>()(theirs, m_pMutex);
    FieldDualMutex both(theirsFirst ? theirs : m_pMutex, theirsFirst ? m_pMutex : theirs);
    const MutexLock ctrl(&both, MutexLock::kCtrl);
    const MutexLock get(m_pMutex, MutexLock::kGet);
    return _copyPrm(srcRoot, dst, dstRoot, copyFlags, notifyOptions, notifyMode, originatorId, taskId, clear);
}

uint32_t LinkField::_copyPrm(const char* srcRoot, IField* dstField, const char* dstRoot, uint8_t copyOptions,
                             uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId,
                             uint8_t clearSourceFlags)
{
    // Only a thread-safe or linked field has copyDstPrm; another interface is refused, not misread.
    Field* const dst = dynamic_cast<Field*>(dstField);
    if (dst == nullptr) return kMmsBadArgument;
    sharedRootInfo description;
    const uint32_t described = m_linkCore.copyPrm(&description, srcRoot);
    if (mmsIsFailure(described)) return described;
    uint8_t* const sourceFlags = m_linkCore.getTaskDirtyMem(srcRoot, taskId);
    const uint32_t result =
        dst->copyDstPrm(dstRoot, description, copyOptions, notifyOptions, notifyMode, eventValue, sourceFlags);
    // Whatever the destination gave: a caller that asks to clear counts the flags as consumed.
    if (clearSourceFlags != 0 && sourceFlags != nullptr) (void)mmsMemset(sourceFlags, 0, description.dirtySize);
    return result;
}

// ---- Link operations ----

uint32_t LinkField::linkSubscribe(uint32_t taskId, uint32_t unused, bool raise)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.linkSubscribe(taskId, unused, raise);
}

uint32_t LinkField::linkUnsubscribe(uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.linkUnsubscribe(taskId);
}

uint32_t LinkField::linkHndlOpen(uint32_t* handle)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.linkHndlOpen(handle);
}

uint32_t LinkField::linkHndlClose(uint32_t handle)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.linkHndlClose(handle);
}

uint32_t LinkField::createLink(uint32_t* linkId, const char* root, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.createLink(linkId, root, handle, markOwn, taskId);
}

uint32_t LinkField::deleteLink(const char* root, uint32_t linkId, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.deleteLink(root, linkId, handle, markOwn, taskId);
}

uint32_t LinkField::addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                               uint32_t depth, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.addLinkPrm(root, linkId, nodes, indices, depth, handle, markOwn, taskId);
}

uint32_t LinkField::removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes, const uint32_t* indices,
                                  uint32_t depth, uint32_t handle, uint8_t markOwn, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.removeLinkPrm(root, linkId, nodes, indices, depth, handle, markOwn, taskId);
}

uint32_t LinkField::setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint32_t handle, uint8_t markOwn,
                                 uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.setLinkOnOff(root, linkId, onOff, handle, markOwn, taskId);
}

uint32_t LinkField::getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.getLinkOnOff(onOff, root, linkId);
}

uint32_t LinkField::setLinkType(const char* root, uint32_t linkId, uint16_t linkType, uint32_t handle,
                                uint8_t markOwn, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kEditLocks);
    return m_linkCore.setLinkType(root, linkId, linkType, handle, markOwn, taskId);
}

uint32_t LinkField::getLinkType(uint16_t* linkType, const char* root, uint32_t linkId)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.getLinkType(linkType, root, linkId);
}

uint32_t LinkField::getNumOfLink(uint32_t* count, const char* root)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.getNumOfLink(count, root);
}

uint32_t LinkField::getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.getNumOfLinkPrm(count, root, linkId);
}

uint32_t LinkField::cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.cnvIndexToLinkID(linkId, root, position);
}

uint32_t LinkField::getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, JVariant* value,
                                    uint32_t capacity, const char* root, uint32_t linkId, uint32_t position)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.getLinkItemInfo(nodesOut, indicesOut, depthOut, value, capacity, root, linkId, position);
}

uint32_t LinkField::isLinkChanged(uint8_t* changed, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.isLinkChanged(changed, root, address, length, indices, indexCount, clear, taskId);
}

uint32_t LinkField::isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                      const uint32_t* indices, uint32_t levels, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kQueryLocks);
    return m_linkCore.isLinkChangedFast(changed, root, codes, indices, levels, clear, taskId);
}

}  // namespace MMS
