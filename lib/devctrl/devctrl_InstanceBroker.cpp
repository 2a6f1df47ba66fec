#include "devctrl/devctrl_InstanceBroker.h"

#include <cstring>
#include <new>

#include "MMS/Common/mms_MutexLock.h"
#include "comctrl/TCM/CommandRepository.h"
#include "jlib/jlib_result.h"
#include "devctrl/devctrl_CompositeMmsItem.h"
#include "devctrl/devctrl_IBrokerNotifier.h"
#include "devctrl/devctrl_ReadwriteFacade.h"
#include "oswrap/oswrap_task.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kNoTaskId = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoObject = 0x80000005u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kSubscribeFailed = 0x80000008u;
constexpr uint32_t kNotInitializedYet = 0x80000009u;
constexpr uint32_t kNotPermitted = 0x8000000au;
constexpr uint32_t kUnknownName = 6;

constexpr uint32_t kEventTreeChanged = 0;
constexpr uint32_t kEventDeletionPending = 1;
constexpr uint32_t kEventFree = 2;

constexpr uint32_t kFacadeReadwrite = 0;
constexpr uint32_t kFacadeReadonly = 1;

bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

// The calling task's OS id. Id 0 is what the task layer gives (with a status) when it has no slot
// left for the thread: such a caller cannot be told apart from any other, so it has no id here.
uint32_t readTaskId(uint16_t* id)
{
    uint16_t value = 0;
    if (isFailure(oswrap_GetTskId(&value)) || value == 0) return kNoTaskId;
    *id = value;
    return 0;
}

}  // namespace

BaseItem::NODE_TYPE cnvItemType2NodeType(MMSInstanceBroker::CATEGORY_ITEM_TYPE type)
{
    switch (type) {
    case MMSInstanceBroker::ITEM_TYPE_FIELD:
    case MMSInstanceBroker::ITEM_TYPE_REPOSITORY:
        return BaseItem::NODE_LEAF;
    case MMSInstanceBroker::ITEM_TYPE_UNIT:
        return BaseItem::NODE_COMPOSITE;
    default:
        return static_cast<BaseItem::NODE_TYPE>(2);
    }
}

MMSInstanceBroker::CATEGORY_ITEM_TYPE getItemType(const BaseMmsItem* item)
{
    if (!item) return MMSInstanceBroker::ITEM_TYPE_UNKNOWN;
    if (item->nodeType() == BaseItem::NODE_COMPOSITE) return MMSInstanceBroker::ITEM_TYPE_UNIT;
    if (item->field()) return MMSInstanceBroker::ITEM_TYPE_FIELD;
    if (item->repository()) return MMSInstanceBroker::ITEM_TYPE_REPOSITORY;
    return MMSInstanceBroker::ITEM_TYPE_UNKNOWN;
}

MMSInstanceBroker& MMSInstanceBroker::getInstance()
{
    static MMSInstanceBroker broker;
    return broker;
}

MMSInstanceBroker::MMSInstanceBroker() : m_pRoot(new (std::nothrow) CompositeMmsItem) {}

MMSInstanceBroker::~MMSInstanceBroker() { delete m_pRoot; }

uint32_t MMSInstanceBroker::initialize(MMS::IMutex& mutex, IBrokerNotifier* notifier)
{
    int expected = kNotInitialized;
    if (!m_initialized.compare_exchange_strong(expected, kInitializing)) return kWrongState;
    m_pMutex = &mutex;
    m_pNotifier = notifier;
    // Published last: a task that sees the broker initialised also sees its lock and notifier.
    m_initialized.store(kInitialized, std::memory_order_release);
    return 0;
}

template <typename Step>
uint32_t MMSInstanceBroker::underLock(Step step)
{
    if (m_initialized.load(std::memory_order_acquire) != kInitialized) return kNotInitializedYet;
    const MMS::MutexLock lock(m_pMutex, MMS::MutexLock::kCtrl);
    return step();
}

BaseMmsItem* MMSInstanceBroker::findItem(const char* name) const
{
    if (!m_pRoot || !name) return nullptr;
    return dynamic_cast<BaseMmsItem*>(m_pRoot->item(name, 0));
}

void MMSInstanceBroker::notify(uint16_t taskId, uint32_t event) const
{
    if (m_pNotifier) m_pNotifier->notify(taskId, event);
}

// ---- Public operations ----

uint32_t MMSInstanceBroker::createVirtualUnit(const char* name)
{
    return underLock([&] { return _createItem(nullptr, nullptr, ITEM_TYPE_UNIT, name, 0, 0); });
}

uint32_t MMSInstanceBroker::deleteVirtualUnit(const char* name)
{
    return underLock([&] { return _deleteItem(nullptr, nullptr, ITEM_TYPE_UNIT, name); });
}

uint32_t MMSInstanceBroker::registerMmsInstance(MMS::IField* field, const char* name,
    CATEGORY_MMS_PERMISSION permission, unsigned short setter)
{
    return underLock([&] { return _createItem(field, nullptr, ITEM_TYPE_FIELD, name, permission, setter); });
}

uint32_t MMSInstanceBroker::unregisterMmsInstance(MMS::IField** field, const char* name)
{
    return underLock([&] { return _deleteItem(field, nullptr, ITEM_TYPE_FIELD, name); });
}

uint32_t MMSInstanceBroker::registerCommandRepository(TCM::CommandRepository* repository, const char* name)
{
    return underLock([&] { return _createItem(nullptr, repository, ITEM_TYPE_REPOSITORY, name, 0, 0); });
}

uint32_t MMSInstanceBroker::unregisterCommandRepository(TCM::CommandRepository** repository, const char* name)
{
    return underLock([&] { return _deleteItem(nullptr, repository, ITEM_TYPE_REPOSITORY, name); });
}

uint32_t MMSInstanceBroker::getField(MMS::IField** field, const char* name)
{
    return underLock([&] { return _getField(field, name); });
}

uint32_t MMSInstanceBroker::releaseField(MMS::IField** field, const char* name)
{
    return underLock([&] { return _releaseField(field, name); });
}

uint32_t MMSInstanceBroker::assignLinkFramework(ParameterProc::ILinkFramework* framework, const char* unitName)
{
    return underLock([&] { return _assignLinkFramework(framework, unitName); });
}

uint32_t MMSInstanceBroker::removeLinkFramework(ParameterProc::ILinkFramework** framework, const char* unitName)
{
    return underLock([&] { return _removeLinkFramework(framework, unitName); });
}

uint32_t MMSInstanceBroker::getFacade(IFacade** facade, const char* name, bool subscribe, unsigned subscribeMode,
    unsigned areaCount, unsigned taskId)
{
    ObjectSlot out;
    out.facade = facade;
    return underLock(
        [&] { return _getObject(out, OBJECT_FACADE, name, subscribe, subscribeMode, areaCount, taskId); });
}

uint32_t MMSInstanceBroker::releaseFacade(IFacade** facade, const char* name)
{
    ObjectSlot in;
    in.facade = facade;
    return underLock([&] { return _releaseObject(in, OBJECT_FACADE, name); });
}

uint32_t MMSInstanceBroker::getCommunicator(TCM::ICommunicator** communicator, const char* name)
{
    ObjectSlot out;
    out.communicator = communicator;
    return underLock([&] { return _getObject(out, OBJECT_COMMUNICATOR, name, false, 0, 0, 0); });
}

uint32_t MMSInstanceBroker::releaseCommunicator(TCM::ICommunicator** communicator, const char* name)
{
    ObjectSlot in;
    in.communicator = communicator;
    return underLock([&] { return _releaseObject(in, OBJECT_COMMUNICATOR, name); });
}

uint32_t MMSInstanceBroker::getRepository(TCM::IRepository** repository, const char* name)
{
    ObjectSlot out;
    out.repository = repository;
    return underLock([&] { return _getObject(out, OBJECT_REPOSITORY, name, false, 0, 0, 0); });
}

uint32_t MMSInstanceBroker::releaseRepository(TCM::IRepository** repository, const char* name)
{
    ObjectSlot in;
    in.repository = repository;
    return underLock([&] { return _releaseObject(in, OBJECT_REPOSITORY, name); });
}

uint32_t MMSInstanceBroker::checkItem(CATEGORY_ITEM_TYPE* type, const char* name)
{
    return underLock([&] { return _checkItem(type, name); });
}

uint32_t MMSInstanceBroker::getState(CATEGORY_ITEM_STATE* state, const char* name)
{
    return underLock([&] { return _getState(state, name); });
}

// ---- Steps, run under the ctrl lock ----

uint32_t MMSInstanceBroker::_createItem(MMS::IField* field, TCM::CommandRepository* repository,
    CATEGORY_ITEM_TYPE type, const char* name, int permission, uint16_t setter)
{
    if (!m_pRoot) return kNoObject;
    uint16_t taskId = 0;
    JLIB_RETURN_IF_FAILED(readTaskId(&taskId));
    if (setter == 0) setter = taskId;
    JLIB_RETURN_IF_FAILED(m_pRoot->add(name, 0, cnvItemType2NodeType(type)));
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoTaskId;
    item->setOwner(taskId);
    // A freshly made leaf stores every value; its setters cannot fail.
    if (type == ITEM_TYPE_FIELD) {
        (void)item->setField(field);
        (void)item->setState(ITEM_STATE_AVAILABLE);
        (void)item->setPermission(permission);
        (void)item->setSetter(setter);
    } else if (type == ITEM_TYPE_REPOSITORY) {
        (void)item->setCommandRepository(repository);
        (void)item->setState(ITEM_STATE_AVAILABLE);
    }
    notify(0, kEventTreeChanged);
    return 0;
}

uint32_t MMSInstanceBroker::_deleteItem(MMS::IField** field, TCM::CommandRepository** repository,
    CATEGORY_ITEM_TYPE type, const char* name)
{
    if (!name) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    uint16_t taskId = 0;
    JLIB_RETURN_IF_FAILED(readTaskId(&taskId));
    // The owner test comes before the test for children: a group made on the way has owner 0.
    if (taskId != item->owner()) return kNotPermitted;
    if (item->childNum() > 0) return kWrongState;
    MMS::IField* const heldField = item->field();
    TCM::CommandRepository* const heldRepository = item->repository();
    const bool sameCategory = (type == ITEM_TYPE_FIELD && heldField) ||
                              (type == ITEM_TYPE_REPOSITORY && heldRepository) ||
                              (type == ITEM_TYPE_UNIT && !heldField && !heldRepository);
    if (!sameCategory) return kNoSuchItem;
    if (item->ref() > 0) {
        (void)item->setState(ITEM_STATE_DELETING);  // a leaf: cannot fail
        notify(0, kEventDeletionPending);
        return kWrongState;
    }
    const uint32_t r = m_pRoot->remove(name, 0);
    if (isFailure(r)) return r;
    if (field) *field = heldField;
    if (repository) *repository = heldRepository;
    notify(0, kEventTreeChanged);
    return r;
}

uint32_t MMSInstanceBroker::_getField(MMS::IField** field, const char* name)
{
    if (!name || !field) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    if (item->state() != ITEM_STATE_AVAILABLE) return kWrongState;
    *field = item->field();
    if (!*field) return kNoObject;
    (void)item->addRef();  // a count at its limit is not the caller's failure
    return 0;
}

uint32_t MMSInstanceBroker::_releaseField(MMS::IField** field, const char* name)
{
    if (!name || !field || !*field) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    (void)item->release();  // a count already at 0 stays there
    if (item->ref() == 0) {
        *field = nullptr;
        if (item->state() == ITEM_STATE_DELETING) notify(item->owner(), kEventFree);
    }
    return 0;
}

uint32_t MMSInstanceBroker::_assignLinkFramework(ParameterProc::ILinkFramework* framework, const char* unitName)
{
    if (!framework) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* target = m_pRoot;
    if (unitName && unitName[0] != '\0') {
        target = findItem(unitName);
        if (!target) return kNoSuchItem;
    }
    if (target->nodeType() == BaseItem::NODE_LEAF) return kWrongState;
    return isFailure(target->setLinkFramework(framework)) ? kNoTaskId : 0;
}

uint32_t MMSInstanceBroker::_removeLinkFramework(ParameterProc::ILinkFramework** framework, const char* unitName)
{
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* target = m_pRoot;
    if (unitName && unitName[0] != '\0') {
        target = findItem(unitName);
        if (!target) return kNoSuchItem;
    }
    if (target->nodeType() == BaseItem::NODE_LEAF) return kWrongState;
    if (framework) *framework = target->linkFramework();
    (void)target->setLinkFramework(nullptr);  // clearing is always accepted
    return 0;
}

uint32_t MMSInstanceBroker::_getFacadeType(uint16_t taskId, const BaseMmsItem& item)
{
    switch (item.permission()) {
    case PERMISSION_ALL_WRITE:
        return kFacadeReadwrite;
    case PERMISSION_SETTER_WRITE:
        return taskId == item.setter() ? kFacadeReadwrite : kFacadeReadonly;
    default:
        return kBadArgument;
    }
}

uint32_t MMSInstanceBroker::_getObject(const ObjectSlot& out, CATEGORY_OBJECT_TYPE type, const char* name,
    bool subscribe, uint32_t subscribeMode, uint32_t areaCount, uint32_t taskId)
{
    const bool outMissing = (type == OBJECT_FACADE && !out.facade) ||
                            (type == OBJECT_COMMUNICATOR && !out.communicator) ||
                            (type == OBJECT_REPOSITORY && !out.repository) || type > OBJECT_REPOSITORY;
    if (!name || outMissing) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    if (item->state() != ITEM_STATE_AVAILABLE) return kWrongState;
    uint16_t callerId = 0;
    JLIB_RETURN_IF_FAILED(readTaskId(&callerId));
    if (taskId == 0) taskId = callerId;

    // The first segment of a path with "/" names the unit; a path without one has no unit.
    const char* const slash = strchr(name, '/');
    const uint32_t unitLength = slash ? static_cast<uint32_t>(slash - name) : 0;
    BaseMmsItem* unit = m_pRoot;
    if (slash) {
        const char* rest = slash;
        while (*rest == '/') ++rest;
        if (*rest == '\0') return kNoSuchItem;
        unit = dynamic_cast<BaseMmsItem*>(m_pRoot->item(name, unitLength));
    }

    if (type == OBJECT_FACADE) {
        MMS::IField* const field = item->field();
        if (!field) return kNoObject;
        ParameterProc::ILinkFramework* const framework = unit ? unit->linkFramework() : nullptr;
        const char* const unitName = slash ? name : nullptr;
        IFacade* facade = nullptr;
        const uint32_t facadeType = _getFacadeType(callerId, *item);
        if (facadeType == kFacadeReadwrite) {
            facade = new (std::nothrow) ReadwriteFacade(field, taskId, framework, unitName, unitLength);
        } else if (facadeType == kFacadeReadonly) {
            facade = new (std::nothrow) ReadonlyFacade(field, taskId, framework, unitName, unitLength);
        } else {
            *out.facade = nullptr;
            return kNoObject;
        }
        *out.facade = facade;
        if (!facade) return kNoMemory;
        if (subscribe && isFailure(facade->subscribe(subscribeMode, areaCount, false))) {
            delete facade;
            *out.facade = nullptr;
            return kSubscribeFailed;
        }
    } else {
        TCM::CommandRepository* const repository = item->repository();
        if (type == OBJECT_COMMUNICATOR) {
            *out.communicator = repository;
        } else {
            *out.repository = repository;
        }
        if (!repository) return kNoObject;
    }
    (void)item->addRef();  // a count at its limit is not the caller's failure
    return 0;
}

uint32_t MMSInstanceBroker::_releaseObject(const ObjectSlot& in, CATEGORY_OBJECT_TYPE type, const char* name)
{
    const bool inMissing = (type == OBJECT_FACADE && (!in.facade || !*in.facade)) ||
                           (type == OBJECT_COMMUNICATOR && (!in.communicator || !*in.communicator)) ||
                           (type == OBJECT_REPOSITORY && (!in.repository || !*in.repository)) ||
                           type > OBJECT_REPOSITORY;
    if (!name || inMissing) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    uint16_t callerId = 0;
    JLIB_RETURN_IF_FAILED(readTaskId(&callerId));
    if (type == OBJECT_FACADE) {
        const uint32_t facadeType = _getFacadeType(callerId, *item);
        if (facadeType != kFacadeReadwrite && facadeType != kFacadeReadonly) return kNoObject;
        delete *in.facade;
        *in.facade = nullptr;
    } else if (type == OBJECT_COMMUNICATOR) {
        *in.communicator = nullptr;
    } else {
        *in.repository = nullptr;
    }
    (void)item->release();  // a count already at 0 stays there
    if (item->ref() == 0 && item->state() == ITEM_STATE_DELETING) notify(item->owner(), kEventFree);
    return 0;
}

uint32_t MMSInstanceBroker::_checkItem(CATEGORY_ITEM_TYPE* type, const char* name)
{
    if (!name) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kUnknownName;
    if (type) *type = getItemType(item);
    return 0;
}

uint32_t MMSInstanceBroker::_getState(CATEGORY_ITEM_STATE* state, const char* name)
{
    if (!state || !name) return kBadArgument;
    if (!m_pRoot) return kNoObject;
    BaseMmsItem* item = findItem(name);
    if (!item) return kNoSuchItem;
    *state = static_cast<CATEGORY_ITEM_STATE>(item->state());
    return 0;
}

}  // namespace DeviceControl
