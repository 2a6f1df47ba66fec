#include "mms_Field.h"

#include <functional>

#include "mms_FieldDualMutex.h"
#include "mms_MutexLock.h"
#include "mms_sharedRootInfo.h"

namespace MMS {

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;
// The linked field's core subscribes itself under this id; no other task may take it.
constexpr uint32_t kLinkTaskId = 0xFFFFFFFFu;
constexpr uint32_t kRootNameSize = 24;

}  // namespace

Field::Field(IEventFlagTrigger* trigger, IMutex* mutex, ISharedMemory* definition, ISharedMemory* values,
             ISharedMemory* tasks)
    : m_ownCore(std::in_place, trigger, definition, values, tasks), m_core(*m_ownCore), m_pMutex(mutex)
{
}

Field::Field(Base& core, IMutex* mutex) : m_core(core), m_pMutex(mutex) {}

Field::~Field() = default;

IEventFlagTrigger* Field::getEventTrigger() const { return m_core.getEventTrigger(); }

IMutex* Field::getMutex() const { return m_pMutex; }

uint32_t Field::getStatus(uint8_t* status) { return m_core.getStatus(status); }

uint32_t Field::subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    if (taskId == kLinkTaskId) return kBadArgument;
    return m_core.subscribe(kindMask, taskId, areaCount, raiseAll);
}

uint32_t Field::copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
    uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode)
{
    IMutex* const mine = m_pMutex;
    IMutex* const theirs = dst ? dst->getMutex() : nullptr;
    // Both copies of a pair running in opposite directions take the two lock objects in one fixed
    // order, the lower address first; calling-field-first would let each hold what the other waits for.
    const bool theirsFirst = std::less<IMutex*>()(theirs, mine);
    FieldDualMutex both(theirsFirst ? theirs : mine, theirsFirst ? mine : theirs);
    const MutexLock lock(&both, kAllLocks);
    return _copyPrm(srcRoot, dst, dstRoot, copyFlags, notifyOptions, notifyMode, originatorId, taskId, clear);
}

uint32_t Field::copyPrm(const char* srcRoot, const char* dstRoot, uint8_t copyFlags, uint32_t originatorId,
    uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    if (!srcRoot && !dstRoot) return kBadArgument;
    // A null name stands for the first root but compares unequal to any name.
    if (srcRoot && dstRoot && mmsStrncmp(srcRoot, dstRoot, kRootNameSize) == 0) return kBadArgument;
    return copyRootInto(m_core, srcRoot, dstRoot, copyFlags, notifyOptions, notifyMode, originatorId, taskId, clear);
}

uint32_t Field::copyDstPrm(const char* dstRoot, const sharedRootInfo& description, uint8_t copyOptions,
    uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, const void* sourceFlags)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.copyDstPrm(dstRoot, description, copyOptions, notifyOptions, notifyMode, eventValue, sourceFlags);
}

uint32_t Field::_copyPrm(const char* srcRoot, IField* dstField, const char* dstRoot, uint8_t copyOptions,
    uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId, uint8_t clearSourceFlags)
{
    // The copy goes straight to the destination's core, whose locks the caller already holds, so
    // only a Field can take it; another implementation of the interface is refused, not misread.
    Field* const dst = dynamic_cast<Field*>(dstField);
    if (!dst) return kBadArgument;
    return copyRootInto(dst->m_core, srcRoot, dstRoot, copyOptions, notifyOptions, notifyMode, eventValue, taskId,
                        clearSourceFlags);
}

uint32_t Field::copyRootInto(Base& dstCore, const char* srcRoot, const char* dstRoot, uint8_t copyOptions,
    uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId, uint8_t clearSourceFlags)
{
    sharedRootInfo description;
    const uint32_t described = m_core.copyPrm(&description, srcRoot);
    if (described & 0x80000000u) return described;
    // Null when the task is not subscribed in the source root: then nothing is carried or cleared.
    uint8_t* const sourceFlags = m_core.getTaskDirtyMem(srcRoot, taskId);
    const uint32_t result =
        dstCore.copyDstPrm(dstRoot, description, copyOptions, notifyOptions, notifyMode, eventValue, sourceFlags);
    // Whatever the copy gave: a caller that asks to clear counts the flags as consumed by this call.
    if (clearSourceFlags != 0 && sourceFlags) (void)mmsMemset(sourceFlags, 0, description.dirtySize);
    return result;
}

}  // namespace MMS
