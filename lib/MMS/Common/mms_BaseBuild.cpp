// The field core's build phases, roots and subscriptions.
#include <cstddef>
#include <new>

#include "jlib/jlib_result.h"
#include "mms_Base.h"
#include "mms_Platform.h"
#include "mms_Result.h"
#include "mms_Root.h"
#include "mms_RootList.h"

namespace MMS {

namespace {

// A root's "no default value" answer, which a build counts as success.
bool isNoDefault(uint32_t result) { return mmsIsFailure(result) && (result & 0xFF) == 0x05; }

}  // namespace

// ---- Build ----

uint32_t Base::startBuild()
{
    if (isExecuting()) return kMmsOk;
    if (!isReady()) return kMmsWrongState;
    m_status = kStatusBuilding;
    ++m_buildCount;
    return kMmsOk;
}

uint32_t Base::linkBuild(uint8_t option)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    bool noDefault = false;
    const uint32_t count = m_pRootList->getNum();
    for (uint32_t i = 0; i < count; ++i) {
        Root* root = m_pRootList->get(i);
        if (root == nullptr) return kMmsMissing;
        // A root finished in an earlier build has nothing to link; asking it would stop a later
        // build's linking at the first old root.
        if (root->isReady()) continue;
        const uint32_t result = root->linkBuild(option);
        if (isNoDefault(result)) {
            noDefault = true;
        } else if (mmsIsFailure(result)) {
            return result;
        }
    }
    return noDefault ? kMmsNoDefault : kMmsOk;
}

uint32_t Base::finishBuild(uint8_t option)
{
    if (isReady()) return kMmsOk;
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    bool noDefault = false;
    const uint32_t count = m_pRootList->getNum();
    for (uint32_t i = 0; i < count; ++i) {
        Root* root = m_pRootList->get(i);
        if (root == nullptr) return kMmsMissing;
        const uint32_t result = root->finishBuild(option);
        if (isNoDefault(result)) {
            (void)mmsAssertOutput("[ %s ] Parameters without default value found.\n", "MMS::DEFAULT");
            noDefault = true;
        } else if (mmsIsFailure(result)) {
            return result;
        } else if ((result & kMmsFound) != 0) {
            continue;  // finished in an earlier build: registered and announced then
        }
        if (!isRegisteredRoot(root)) JLIB_RETURN_IF_FAILED(registSubscribeID(root));
        (void)sendRootEvent(root, 1, 0);
    }
    forgetAllRegisteredRoots();
    m_status = kStatusReady;
    return noDefault ? kMmsNoDefault : kMmsOk;
}

// ---- Roots ----

uint32_t Base::createRoot(const char* root, const char* topName, uint32_t maxCollections, uint32_t maxParameters,
                          uint32_t stringPoolSize)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    return m_pRootList->append(root, topName, maxCollections, maxParameters, stringPoolSize);
}

uint32_t Base::addRoot(const char* root, const sharedRootInfo& info)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    JLIB_RETURN_IF_FAILED(m_pRootList->append(root, info));
    return registerAddedRoot(root);
}

uint32_t Base::jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    JLIB_RETURN_IF_FAILED(m_pRootList->append(root, info, mode, false));
    return registerAddedRoot(root);
}

uint32_t Base::recoveryRoot(const char* root, const sharedRootInfo& info, uint8_t mode)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    JLIB_RETURN_IF_FAILED(m_pRootList->append(root, info, mode, true));
    return registerAddedRoot(root);
}

uint32_t Base::registerAddedRoot(const char* name)
{
    Root* root = m_pRootList->get(name);
    if (root == nullptr) return kMmsMissing;
    auto* entry = new (std::nothrow) T_REGISTERED_ROOT{m_pRegisteredRoots, root};
    uint32_t result = entry != nullptr ? registSubscribeID(root) : kMmsNoMemory;
    if (mmsIsFailure(result)) {
        delete entry;
        (void)m_pRootList->destroy(name);  // the name was just appended, so it is found
        return result;
    }
    m_pRegisteredRoots = entry;
    return result;
}

uint32_t Base::destroyRoot(const char* root)
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    // Removing a root ends the build, whether or not it was found.
    m_status = kStatusReady;
    Root* found = searchedRootCollection(root);
    if (found == nullptr) return kMmsNoSuchItem;
    char name[24] = {};
    if (root == nullptr) {
        JLIB_RETURN_IF_FAILED(m_pRootList->getIdentifier(name, 0));
        root = name;
    }
    T_TASK_LIST tasks;
    if (mmsIsFailure(found->getTaskList(&tasks))) tasks = T_TASK_LIST{};
    (void)sendEventTrigger(m_pTrigger, 1, 0, &tasks);
    (void)unregistSubscribeID(found);
    forgetRegisteredRoot(found);
    return m_pRootList->destroy(root);
}

uint32_t Base::getRootAdditionFlag(const char* root, uint32_t taskId, uint8_t clear)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t flag = r->getAdditionFlag(taskId);
    if (clear != 0 && mmsIsSuccess(flag)) (void)r->setAdditionFlag(0, taskId);  // the task is present
    return flag;
}

bool Base::isRegisteredRoot(const Root* root) const
{
    for (const T_REGISTERED_ROOT* entry = m_pRegisteredRoots; entry != nullptr; entry = entry->next) {
        if (entry->root == root) return true;
    }
    return false;
}

void Base::forgetRegisteredRoot(const Root* root)
{
    for (T_REGISTERED_ROOT** at = &m_pRegisteredRoots; *at != nullptr; at = &(*at)->next) {
        if ((*at)->root == root) {
            T_REGISTERED_ROOT* entry = *at;
            *at = entry->next;
            delete entry;
            return;
        }
    }
}

void Base::forgetAllRegisteredRoots()
{
    while (m_pRegisteredRoots != nullptr) {
        T_REGISTERED_ROOT* entry = m_pRegisteredRoots;
        m_pRegisteredRoots = entry->next;
        delete entry;
    }
}

// ---- Subscriptions ----

uint32_t Base::registSubscribeID(Root* root)
{
    for (T_SUBSCRIBE_LIST* record = m_pSubscribeHead; record != nullptr; record = record->next) {
        const uint32_t result = root->subscribe(record->kindMask, record->taskId, record->areaCount,
                                                record->settingIndex, record->gettingIndex);
        if (mmsIsFailure(result)) {
            // Take back what this call registered so the root keeps no half of the field's tasks.
            for (T_SUBSCRIBE_LIST* done = m_pSubscribeHead; done != record; done = done->next) {
                (void)root->unsubscribe(done->taskId);
            }
            return result;
        }
        (void)root->setAdditionFlag(1, record->taskId);  // the task was just subscribed there
    }
    return kMmsOk;
}

uint32_t Base::unregistSubscribeID(Root* root)
{
    for (T_SUBSCRIBE_LIST* record = m_pSubscribeHead; record != nullptr; record = record->next) {
        (void)root->unsubscribe(record->taskId);  // always 0
    }
    return kMmsOk;
}

uint32_t Base::searchedSubscribeInfo(T_SUBSCRIBE_LIST** out, uint32_t taskId) const
{
    for (T_SUBSCRIBE_LIST* record = m_pSubscribeHead; record != nullptr; record = record->next) {
        if (record->taskId == taskId) {
            *out = record;
            return kMmsOk;
        }
    }
    return kMmsNotFound;
}

uint32_t Base::createSubscribeInfo(uint32_t kindMask, uint32_t taskId, uint32_t areaCount)
{
    auto* record = new (std::nothrow) T_SUBSCRIBE_LIST{nullptr, nullptr, taskId, areaCount, kindMask, 0, 0};
    if (record == nullptr) return kMmsNoMemory;
    const uint32_t count = m_pRootList->getNum();
    if (count != 0) {
        auto* done = new (std::nothrow) uint32_t[count];
        if (done == nullptr) {
            delete record;
            return kMmsNoMemory;
        }
        uint32_t doneCount = 0;
        uint32_t result = kMmsOk;
        for (uint32_t i = 0; i < count; ++i) {
            Root* root = m_pRootList->get(i);
            result = root != nullptr ? root->subscribe(kindMask, taskId, areaCount, 0, 0) : kMmsMissing;
            if (mmsIsFailure(result)) break;
            done[doneCount++] = i;
        }
        if (mmsIsFailure(result)) {
            for (uint32_t k = 0; k < doneCount; ++k) (void)m_pRootList->get(done[k])->unsubscribe(taskId);
            delete[] done;
            delete record;
            return result;
        }
        delete[] done;
    }
    record->previous = m_pSubscribeTail;
    if (m_pSubscribeTail != nullptr) {
        m_pSubscribeTail->next = record;
    } else {
        m_pSubscribeHead = record;
    }
    m_pSubscribeTail = record;
    return kMmsOk;
}

void Base::removeTaskInfo(T_SUBSCRIBE_LIST* record)
{
    if (record->previous != nullptr) {
        record->previous->next = record->next;
    } else {
        m_pSubscribeHead = record->next;
    }
    if (record->next != nullptr) {
        record->next->previous = record->previous;
    } else {
        m_pSubscribeTail = record->previous;
    }
    delete record;
}

void Base::removeAllTaskInfo()
{
    while (m_pSubscribeHead != nullptr) removeTaskInfo(m_pSubscribeHead);
}

uint32_t Base::subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll)
{
    if (!isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    if (taskId == 0) return kMmsBadArgument;
    T_SUBSCRIBE_LIST* existing = nullptr;
    if (mmsIsSuccess(searchedSubscribeInfo(&existing, taskId))) return kMmsAlreadyPresent;
    JLIB_RETURN_IF_FAILED(createSubscribeInfo(kindMask, taskId, areaCount));
    if (raiseAll) {
        const uint32_t count = m_pRootList->getNum();
        for (uint32_t i = 0; i < count; ++i) {
            Root* root = m_pRootList->get(i);
            if (root != nullptr) (void)root->raiseDirtyFlag(taskId);  // subscribed just above
        }
        // A one-item list naming only the new task, so only it is woken.
        struct {
            int64_t origin;
            T_TASK_ITEM item;
        } single{0, {0, taskId}};
        T_TASK_LIST tasks{&single.origin, static_cast<int64_t>(offsetof(decltype(single), item))};
        (void)sendEventTrigger(m_pTrigger, 1, 0, &tasks);
    }
    return kMmsOk;
}

uint32_t Base::unsubscribe(uint32_t taskId)
{
    if (!isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    T_SUBSCRIBE_LIST* record = nullptr;
    if (mmsIsFailure(searchedSubscribeInfo(&record, taskId))) return kMmsOk;
    const uint32_t count = m_pRootList->getNum();
    for (uint32_t i = 0; i < count; ++i) {
        Root* root = m_pRootList->get(i);
        if (root != nullptr) (void)root->unsubscribe(taskId);  // always 0
    }
    removeTaskInfo(record);
    return kMmsOk;
}

uint32_t Base::exchangeDirtyArea(uint32_t taskId, bool setting)
{
    if (!isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    T_SUBSCRIBE_LIST* record = nullptr;
    JLIB_RETURN_IF_FAILED(searchedSubscribeInfo(&record, taskId));
    if (record->areaCount <= 1) return kMmsOk;
    uint32_t& index = setting ? record->settingIndex : record->gettingIndex;
    index = (index + 1) % record->areaCount;
    const uint32_t count = m_pRootList->getNum();
    for (uint32_t i = 0; i < count; ++i) {
        Root* root = m_pRootList->get(i);
        if (root == nullptr) continue;
        // Every root holds the task since it was subscribed or registered; a root that lost it
        // has nothing to move.
        (void)(setting ? root->setSettingDirtyArea(taskId, index) : root->setGettingDirtyArea(taskId, index));
    }
    return kMmsOk;
}

uint32_t Base::exchangeSettingDirtyArea(uint32_t taskId) { return exchangeDirtyArea(taskId, true); }

uint32_t Base::exchangeGettingDirtyArea(uint32_t taskId) { return exchangeDirtyArea(taskId, false); }

}  // namespace MMS
