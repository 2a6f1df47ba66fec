#include "pdb_ParameterDB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "jlib/jlib_cfg.h"
#include "pdb_ComponentInfo.h"
#include "pdb_ComponentInfoRepository.h"
#include "pdb_ComponentNULL.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

namespace {

constexpr JLIB::JResult kComponentInitFailed = 0x80010000u;

// Removes the first occurrence only: a list may legitimately hold an id twice.
void eraseFirst(UniqIdList& list, const UniqId& id)
{
    const auto it = std::find(list.begin(), list.end(), id);
    if (it != list.end()) list.erase(it);
}

}  // namespace

ParameterDB::ParameterDB() : m_pLock(&NullMutex::getNullObject()) {}

ParameterDB::~ParameterDB()
{
    (void)finalize();  // refused off the owner thread or while used: the members go all the same
    m_components.clear();
}

JLIB::JResult ParameterDB::initialize(uint32_t instanceId, const char* name, IMutex* lock)
{
    MutexWriteLocker guard(*m_pLock);  // the lock held so far; the guard releases that same one
    if (!name) name = "";
    if (std::strlen(name) > kMaxNameLength) return JLIB::kInvalidArgument;
    m_pLock = lock ? lock : &NullMutex::getNullObject();
    m_owner = getCurrentThreadId();
    if (anyComponentUsed()) return kInUse;
    m_instanceId = instanceId;
    std::memcpy(m_name, name, std::strlen(name) + 1);
    clearComponents(true);
    m_valid = true;
    return JLIB::kOk;
}

uint32_t ParameterDB::readLock() const { return m_pLock->readLock(); }
uint32_t ParameterDB::readUnlock() const { return m_pLock->readUnlock(); }
uint32_t ParameterDB::writeLock() { return m_pLock->writeLock(); }
uint32_t ParameterDB::writeUnlock() { return m_pLock->writeUnlock(); }

JLIB::JResult ParameterDB::finalize() { return clear(); }

JLIB::JResult ParameterDB::clear()
{
    MutexWriteLocker guard(*m_pLock);
    if (getCurrentThreadId() != m_owner || anyComponentUsed()) return kInUse;
    clearComponents(true);
    return JLIB::kOk;
}

void ParameterDB::clearComponents(bool withSubscriptions)
{
    m_components.clear();
    m_users.clear();
    m_slotMap.clear();
    m_usedIds.clear();
    if (withSubscriptions) {
        m_subscribers.clear();
        m_threads.clear();
        return;
    }
    for (auto& [thread, record] : m_threads) {
        record.newComponents.clear();
        record.removingComponents.clear();
    }
}

bool ParameterDB::anyComponentUsed() const
{
    return std::any_of(m_users.begin(), m_users.end(), [](const RefThreadList& users) { return !users.empty(); });
}

// ---- subscriptions -------------------------------------------------------------------------

JLIB::JResult ParameterDB::addDirtyFlag(uint32_t subscriberId, IParameterDBCallback* callback,
                                        const SubscribeAttr& attr)
{
    MutexWriteLocker guard(*m_pLock);
    if (m_subscribers.count(subscriberId) != 0) return JLIB::kOk;
    SubscribeInfo info;
    info.slot = int32_t(m_subscribers.size());
    info.callback = callback;
    info.attr = attr;
    m_subscribers[subscriberId] = info;

    JLIB::JResult result = JLIB::kOk;
    const uint32_t count = uint32_t(m_subscribers.size());
    for (auto& component : m_components) {
        if (!component) continue;
        result |= component->resizeDirtyFlag(count);
        result |= component->setSubscribeAttr(info.slot, attr);
    }

    const ThreadId thread = getCurrentThreadId();
    if (m_threads.count(thread) == 0) {
        SubscribeThread record;
        record.callback = callback;
        for (const auto& component : m_components) {
            if (component) record.newComponents.push_back(component->componentInfo().uniqId());
        }
        m_threads.emplace(thread, std::move(record));
    }
    return result;
}

int32_t ParameterDB::getDirtyFlagSet(uint32_t subscriberId) const
{
    MutexReadLocker guard(*m_pLock);
    const auto it = m_subscribers.find(subscriberId);
    return it == m_subscribers.end() ? -1 : it->second.slot;
}

JLIB::JResult ParameterDB::captureDirtyFlag(int32_t slot)
{
    MutexReadLocker guard(*m_pLock);
    JLIB::JResult result = JLIB::kOk;
    for (auto& component : m_components) {
        if (component) result |= component->captureDirtyFlag(slot);
    }
    return result;
}

JLIB::JResult ParameterDB::checkNextDirty(int32_t slot, uint32_t& ci, uint32_t& ai, uint32_t& x, uint32_t& y,
                                          bool stopAtComponentEnd)
{
    MutexReadLocker guard(*m_pLock);
    while (ci < m_components.size()) {
        Component* component = m_components[ci].get();
        if (component) {
            // The component moves the position only when it finds something.
            uint32_t a = ai, px = x, py = y;
            const JLIB::JResult result = component->checkNextDirty(slot, a, px, py);
            if (JLIB::isFailure(result)) return result;
            if (result != kNoMoreDirty) {
                ai = a;
                x = px;
                y = py;
                return result;
            }
            if (stopAtComponentEnd) return kNoMoreDirty;
        }
        ++ci;
        ai = x = y = 0;
    }
    return kNoMoreDirty;
}

JLIB::JResult ParameterDB::clearAllDirty(int32_t slot)
{
    MutexWriteLocker guard(*m_pLock);
    for (auto& component : m_components) {
        if (component) (void)component->clearAllDirty(slot);  // a bad slot leaves nothing to clear
    }
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::reevaluate(uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    JLIB::JResult result = JLIB::kOk;
    for (auto& component : m_components) {
        if (component) result |= component->reevaluate(f);
    }
    return result;
}

uint32_t ParameterDB::rawCallbackSetPDBParameter()
{
    for (const auto& [thread, record] : m_threads) {
        if (record.callback) (void)record.callback->rawCallbackSetPDBParameter();  // a wake-up only
    }
    return 0;
}

std::vector<IParameterDBCallback*> ParameterDB::threadCallbacks() const
{
    std::vector<IParameterDBCallback*> callbacks;
    for (const auto& [thread, record] : m_threads) {
        if (record.callback) callbacks.push_back(record.callback);
    }
    return callbacks;
}

void ParameterDB::notifyConfigChange() const
{
    for (IParameterDBCallback* callback : threadCallbacks()) {
        (void)callback->rawCallbackChangePDBConfig();  // a wake-up only
    }
}

// ---- components ----------------------------------------------------------------------------

UniqId ParameterDB::makeNewId() const
{
    MutexReadLocker guard(*m_pLock);
    for (;;) {
        const uint32_t candidate = uint32_t(std::rand());
        if (candidate == UniqId::kInvalidId) continue;
        if (std::find(m_usedIds.begin(), m_usedIds.end(), candidate) == m_usedIds.end()) return UniqId(candidate);
    }
}

JLIB::JResult ParameterDB::addComponent(const UniqId& id, const char* typeName, uint32_t majorVersion,
                                        uint32_t sizeX, uint32_t sizeY, int16_t generation)
{
    MutexWriteLocker guard(*m_pLock);
    if (!typeName || generation < 0) return JLIB::kInvalidArgument;
    ComponentInfo info = getComponentInfoRepository().getComponentInfo(typeName, majorVersion);
    if (!info.isValid()) {
        JLIB_LOG("[E] ParameterDB::addComponent - Unknown component type. [name=%s, ver=%u]\n", typeName,
                 majorVersion);
        return kUnknownType;
    }
    (void)info.setUniqId(id);
    JLIB_RETURN_IF_FAILED(info.resize(sizeX, sizeY, generation));
    JLIB_RETURN_IF_FAILED(insertComponent(info));
    notifyConfigChange();
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::addComponent(const UniqId& id, const ComponentInfo& definition)
{
    MutexWriteLocker guard(*m_pLock);
    if (!definition.isValid()) return JLIB::kInvalidArgument;
    ComponentInfo info = definition;
    (void)info.setUniqId(id);
    JLIB_RETURN_IF_FAILED(info.resize(0, 0, 0));
    JLIB_RETURN_IF_FAILED(insertComponent(info));
    notifyConfigChange();
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::insertComponent(const ComponentInfo& info)
{
    const UniqId& id = info.uniqId();
    if (m_slotMap.count(id) != 0) return JLIB::kInvalidArgument;

    const auto empty = std::find(m_components.begin(), m_components.end(), nullptr);
    const uint32_t ci = uint32_t(empty - m_components.begin());

    std::unique_ptr<Component> component(new (std::nothrow) Component);
    if (!component) return kNoMemory;
    if (JLIB::isFailure(component->initialize(this, ci, info, this, 0))) return kComponentInitFailed;
    JLIB_RETURN_IF_FAILED(component->resizeDirtyFlag(uint32_t(m_subscribers.size())));
    for (const auto& [subscriberId, subscriber] : m_subscribers) {
        (void)component->setSubscribeAttr(subscriber.slot, subscriber.attr);  // always 0
    }

    if (ci == m_components.size()) {
        m_components.push_back(std::move(component));
        m_users.emplace_back();
    } else {
        m_components[ci] = std::move(component);
        m_users[ci].clear();
    }
    m_slotMap[id] = ci;
    m_usedIds.push_back(id.id());
    for (auto& [thread, record] : m_threads) record.newComponents.push_back(id);
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::removeSlot(uint32_t ci)
{
    if (ci >= m_components.size()) return JLIB::kInvalidArgument;
    if (!m_components[ci]) return JLIB::kOk;
    const UniqId id = m_components[ci]->componentInfo().uniqId();
    m_components[ci].reset();
    m_users[ci].clear();
    m_slotMap.erase(id);
    const auto used = std::find(m_usedIds.begin(), m_usedIds.end(), id.id());
    if (used != m_usedIds.end()) m_usedIds.erase(used);
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::reqRemoveComponent(const UniqId& id)
{
    std::vector<IParameterDBCallback*> callbacks;
    {
        MutexWriteLocker guard(*m_pLock);
        for (auto& [thread, record] : m_threads) {
            UniqIdList& removing = record.removingComponents;
            if (std::find(removing.begin(), removing.end(), id) == removing.end()) removing.push_back(id);
        }
        // Taken under the lock: another thread may register while the callbacks run.
        callbacks = threadCallbacks();
    }
    for (IParameterDBCallback* callback : callbacks) {
        (void)callback->rawCallbackChangePDBConfig();  // a wake-up only
    }
    return JLIB::kOk;
}

void ParameterDB::addUser(uint32_t ci, ThreadId thread)
{
    RefThreadList& users = m_users[ci];
    if (std::find(users.begin(), users.end(), thread) == users.end()) users.push_back(thread);
}

JLIB::JResult ParameterDB::dropUser(uint32_t ci, ThreadId thread)
{
    RefThreadList& users = m_users[ci];
    const auto it = std::find(users.begin(), users.end(), thread);
    if (it != users.end()) users.erase(it);
    return users.empty() ? removeSlot(ci) : JLIB::kOk;
}

JLIB::JResult ParameterDB::useComponent(const UniqId& id)
{
    MutexWriteLocker guard(*m_pLock);
    const uint32_t ci = findComponent(id);
    if (ci == kNoIndex) return JLIB::kInvalidArgument;
    const ThreadId thread = getCurrentThreadId();
    addUser(ci, thread);
    const auto record = m_threads.find(thread);
    if (record != m_threads.end()) eraseFirst(record->second.newComponents, id);
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::useComponent()
{
    MutexWriteLocker guard(*m_pLock);
    const ThreadId thread = getCurrentThreadId();
    for (const auto& [id, ci] : m_slotMap) addUser(ci, thread);
    const auto record = m_threads.find(thread);
    if (record != m_threads.end()) record->second.newComponents.clear();
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::releaseComponent(const UniqId& id)
{
    MutexWriteLocker guard(*m_pLock);
    const uint32_t ci = findComponent(id);
    if (ci == kNoIndex) return JLIB::kInvalidArgument;
    const ThreadId thread = getCurrentThreadId();
    const auto record = m_threads.find(thread);
    if (record != m_threads.end()) eraseFirst(record->second.removingComponents, id);
    return dropUser(ci, thread);
}

JLIB::JResult ParameterDB::releaseComponent()
{
    MutexWriteLocker guard(*m_pLock);
    const ThreadId thread = getCurrentThreadId();
    const auto record = m_threads.find(thread);
    if (record != m_threads.end()) record->second.removingComponents.clear();
    // Snapshot: removals change the map while we walk it.
    const std::map<UniqId, uint32_t> present = m_slotMap;
    JLIB::JResult result = JLIB::kOk;
    for (const auto& [id, ci] : present) result |= dropUser(ci, thread);
    return result;
}

bool ParameterDB::isComponentUsed(const UniqId& id) const
{
    MutexReadLocker guard(*m_pLock);
    const uint32_t ci = findComponent(id);
    return ci != kNoIndex && !m_users[ci].empty();
}

bool ParameterDB::isComponentUsed() const
{
    MutexReadLocker guard(*m_pLock);
    return anyComponentUsed();
}

JLIB::JResult ParameterDB::newComponentList(UniqIdList& list) const
{
    MutexReadLocker guard(*m_pLock);
    list.clear();
    const auto record = m_threads.find(getCurrentThreadId());
    if (record != m_threads.end()) list = record->second.newComponents;
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::removingComponentList(UniqIdList& list) const
{
    MutexReadLocker guard(*m_pLock);
    list.clear();
    const auto record = m_threads.find(getCurrentThreadId());
    if (record != m_threads.end()) list = record->second.removingComponents;
    return JLIB::kOk;
}

// ---- addressing and metadata ---------------------------------------------------------------

uint32_t ParameterDB::findComponent(const UniqId& id) const
{
    const auto it = m_slotMap.find(id);
    return it == m_slotMap.end() ? kNoIndex : it->second;
}

uint32_t ParameterDB::findAddress(const UniqId& id, const char* address) const
{
    const uint32_t ci = findComponent(id);
    if (ci == kNoIndex) return kNoIndex;
    return m_components[ci]->addressIndex(address);
}

void ParameterDB::resolve(const AddressId& address, uint32_t& ci, uint32_t& ai) const
{
    if (address.isCached()) {
        const IComponent& cached = _getComponent(address.componentIndex());
        if (cached.isValid() && cached.componentInfo().uniqId() == address.uniqId()) {
            ci = address.componentIndex();
            ai = address.addressIndex();
            return;
        }
        // The slot now holds another component (or none), or the cache was filled by a database
        // with other slots: writing through it would reach the wrong component.
        ci = findComponent(address.uniqId());
        ai = findAddress(address.uniqId(), address.strAddress());
        if (address.pdbInstanceId() == m_instanceId) {
            // Refused when the component is gone: the access below then finds the null component.
            (void)address.updateCache(m_instanceId, ci, _getComponent(ci).componentInfo().generation(), ai);
        }
        if (ai == kNoIndex) ci = kNoIndex;
        return;
    }
    const uint32_t found = findComponent(address.uniqId());
    // A refusal leaves the address uncached, with both indexes reading 0xFFFFFFFF.
    (void)address.updateCache(m_instanceId, found, _getComponent(found).componentInfo().generation(),
                              findAddress(address.uniqId(), address.strAddress()));
    ci = address.componentIndex();
    ai = address.addressIndex();
}

AddressId ParameterDB::getAddressId(const UniqId& id, const char* address) const
{
    MutexReadLocker guard(*m_pLock);
    const uint32_t ci = findComponent(id);
    AddressId result(m_name, _getComponent(ci).componentInfo().uniqId(), address);
    uint32_t rci = kNoIndex, rai = kNoIndex;
    resolve(result, rci, rai);
    return result;
}

AddressId ParameterDB::getAddressId(uint32_t ci, uint32_t ai) const
{
    MutexReadLocker guard(*m_pLock);
    const ComponentInfo& info = _getComponent(ci).componentInfo();
    AddressId result(m_name, info.uniqId(), info.paramInfo(ai).strAddress.c_str());
    (void)result.updateCache(m_instanceId, ci, info.generation(), ai);  // refused for a missing component
    return result;
}

uint32_t ParameterDB::getComponentIndex(const UniqId& id) const
{
    MutexReadLocker guard(*m_pLock);
    return findComponent(id);
}

uint32_t ParameterDB::getAddressIndex(const UniqId& id, const char* address) const
{
    MutexReadLocker guard(*m_pLock);
    return findAddress(id, address);
}

uint32_t ParameterDB::componentNum() const
{
    MutexReadLocker guard(*m_pLock);
    return uint32_t(m_slotMap.size());
}

uint32_t ParameterDB::componentIndexNum() const
{
    MutexReadLocker guard(*m_pLock);
    return uint32_t(m_components.size());
}

JLIB::JResult ParameterDB::setUserName(uint32_t ci, const char* userName)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setUserName(userName);
}

JLIB::JResult ParameterDB::setAttribute(uint32_t ci, uint32_t attribute)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setAttribute(attribute);
}

JLIB::JResult ParameterDB::resizeComponent(uint32_t ci, uint32_t sizeX, uint32_t sizeY, bool keepValues, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    IComponent& component = _getComponent(ci);
    const JLIB::JResult result = component.resizeComponent(sizeX, sizeY, keepValues, f);
    if (component.isValid() && JLIB::isSuccess(result)) notifyConfigChange();  // nothing changed without one
    return result;
}

const ComponentInfo& ParameterDB::componentInfo(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo();
}

const char* ParameterDB::componentName(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().componentName().c_str();
}

uint32_t ParameterDB::componentVersion(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().componentVersion();
}

int16_t ParameterDB::generation(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().generation();
}

UniqId ParameterDB::uniqId(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().uniqId();
}

const char* ParameterDB::userName(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().userName().c_str();
}

uint32_t ParameterDB::attribute(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).componentInfo().attribute();
}

uint32_t ParameterDB::addressNum(uint32_t ci) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).addressNum();
}

const ParameterInfo& ParameterDB::paramInfo(uint32_t ci, uint32_t ai) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).paramInfo(ai);
}

IComponent& ParameterDB::_getComponent(uint32_t ci)
{
    if (ci >= m_components.size() || !m_components[ci]) return ComponentNULL::getNullObject();
    return *m_components[ci];
}

const IComponent& ParameterDB::_getComponent(uint32_t ci) const
{
    if (ci >= m_components.size() || !m_components[ci]) return ComponentNULL::getNullObject();
    return *m_components[ci];
}

// ---- typed access by index -----------------------------------------------------------------

JLIB::JResult ParameterDB::setVariant(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                      uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setVariant(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setVariants(uint32_t ci, uint32_t ai, const IParameterArray& source, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setVariants(ai, source, f);
}

JLIB::JResult ParameterDB::setUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint32_t value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setUInt32(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, int32_t value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setSInt32(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, float value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setFloat(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, bool value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setBool(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setString(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const char* text, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setString(ai, x, y, text, f);
}

JLIB::JResult ParameterDB::setBinary(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                     uint32_t length, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setBinary(ai, x, y, bytes, length, f);
}

JLIB::JResult ParameterDB::setDefault(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setDefault(ai, x, y, f);
}

JLIB::JResult ParameterDB::setDefault(uint32_t ci, uint32_t ai, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setDefault(ai, f);
}

JLIB::JResult ParameterDB::setDefault(uint32_t ci, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setDefault(f);
}

JLIB::JResult ParameterDB::getVariant(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                      uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getVariant(value, ai, x, y, f);
}

JLIB::JResult ParameterDB::getVariants(IParameterArray& destination, uint32_t ci, uint32_t ai) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getVariants(destination, ai);
}

uint32_t ParameterDB::getUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getUInt32(ai, x, y, f);
}

int32_t ParameterDB::getSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getSInt32(ai, x, y, f);
}

float ParameterDB::getFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getFloat(ai, x, y, f);
}

bool ParameterDB::getBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getBool(ai, x, y, f);
}

JLIB::JResult ParameterDB::getDefault(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getDefault(value, ai, x, y);
}

JLIB::JResult ParameterDB::setDirty(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    return _getComponent(ci).setDirty(ai, x, y, f);
}

bool ParameterDB::getDirty(int32_t slot, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getDirty(slot, ai, x, y);
}

uint8_t ParameterDB::getFactor(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).getFactor(ai, x, y);
}

bool ParameterDB::checkPosRange(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    return _getComponent(ci).checkPosRange(ai, x, y);
}

// ---- typed access by address ---------------------------------------------------------------

const ParameterInfo& ParameterDB::paramInfo(const AddressId& address) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).paramInfo(ai);
}

JLIB::JResult ParameterDB::setVariant(const AddressId& address, uint32_t x, uint32_t y, const JVariant& value,
                                      uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setVariant(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setVariants(const AddressId& address, const IParameterArray& source, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setVariants(ai, source, f);
}

JLIB::JResult ParameterDB::setUInt32(const AddressId& address, uint32_t x, uint32_t y, uint32_t value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setUInt32(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setSInt32(const AddressId& address, uint32_t x, uint32_t y, int32_t value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setSInt32(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setFloat(const AddressId& address, uint32_t x, uint32_t y, float value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setFloat(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setBool(const AddressId& address, uint32_t x, uint32_t y, bool value, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setBool(ai, x, y, value, f);
}

JLIB::JResult ParameterDB::setString(const AddressId& address, uint32_t x, uint32_t y, const char* text, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setString(ai, x, y, text, f);
}

JLIB::JResult ParameterDB::setBinary(const AddressId& address, uint32_t x, uint32_t y, const uint8_t* bytes,
                                     uint32_t length, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setBinary(ai, x, y, bytes, length, f);
}

JLIB::JResult ParameterDB::setDefault(const AddressId& address, uint32_t x, uint32_t y, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setDefault(ai, x, y, f);
}

JLIB::JResult ParameterDB::setDefault(const AddressId& address, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setDefault(ai, f);
}

JLIB::JResult ParameterDB::getVariant(JVariant& value, const AddressId& address, uint32_t x, uint32_t y,
                                      uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getVariant(value, ai, x, y, f);
}

JLIB::JResult ParameterDB::getVariants(IParameterArray& destination, const AddressId& address) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getVariants(destination, ai);
}

uint32_t ParameterDB::getUInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getUInt32(ai, x, y, f);
}

int32_t ParameterDB::getSInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getSInt32(ai, x, y, f);
}

float ParameterDB::getFloat(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getFloat(ai, x, y, f);
}

bool ParameterDB::getBool(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getBool(ai, x, y, f);
}

JLIB::JResult ParameterDB::getDefault(JVariant& value, const AddressId& address, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getDefault(value, ai, x, y);
}

JLIB::JResult ParameterDB::setDirty(const AddressId& address, uint32_t x, uint32_t y, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).setDirty(ai, x, y, f);
}

bool ParameterDB::getDirty(int32_t slot, const AddressId& address, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getDirty(slot, ai, x, y);
}

uint8_t ParameterDB::getFactor(const AddressId& address, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).getFactor(ai, x, y);
}

bool ParameterDB::checkPosRange(const AddressId& address, uint32_t x, uint32_t y) const
{
    MutexReadLocker guard(*m_pLock);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).checkPosRange(ai, x, y);
}

// ---- link flag and recall bracket ----------------------------------------------------------

uint32_t ParameterDB::_SuppressLink()
{
    m_linkSuppressed = true;
    return 0;
}

uint32_t ParameterDB::_UnsuppressLink()
{
    m_linkSuppressed = false;
    return 0;
}

uint32_t ParameterDB::_BeginRecall()
{
    MutexWriteLocker guard(*m_pLock);
    m_recalling = true;
    return 0;
}

uint32_t ParameterDB::_EndRecall()
{
    MutexWriteLocker guard(*m_pLock);
    m_recalling = false;
    return 0;
}

}  // namespace PDB
