#include "pdb_LocalParameterDB.h"

#include <algorithm>
#include <new>

#include "internal/pdb_DatabaseImage.h"
#include "jlib/jlib_cfg.h"
#include "pdb_AddressId.h"
#include "pdb_ComponentInfoRepository.h"
#include "pdb_ComponentNULL.h"
#include "pdb_ParameterArray.h"
#include "pdb_ParameterDBCollection.h"
#include "pdb_ParameterStrategy.h"

namespace PDB {

namespace {

constexpr JLIB::JResult kUnknownType = 0x80200000u;
constexpr JLIB::JResult kComponentInitFailed = 0x80010000u;

[[noreturn]] void notOffered(int line) { jlib_cfg_dbgbrk(__FILE__, line); }

}  // namespace

LocalParameterDB::LocalParameterDB() = default;

LocalParameterDB::LocalParameterDB(const IParameterDB& source) : IParameterDB()
{
    (void)copyFrom(source);  // a failed copy leaves this database empty
}

LocalParameterDB::LocalParameterDB(const LocalParameterDB& source) : IParameterDB()
{
    (void)copyFrom(source);  // as above
}

LocalParameterDB& LocalParameterDB::operator=(const IParameterDB& source)
{
    if (&source != this) (void)copyFrom(source);  // as above
    return *this;
}

LocalParameterDB& LocalParameterDB::operator=(const LocalParameterDB& source)
{
    if (&source != this) (void)copyFrom(source);  // as above
    return *this;
}

LocalParameterDB::~LocalParameterDB() { (void)clear(); }

JLIB::JResult LocalParameterDB::initialize(const IParameterDB& source)
{
    if (&source == this) return JLIB::kOk;  // clearing first would lose what is to be copied
    return copyFrom(source);
}

JLIB::JResult LocalParameterDB::initialize(uint32_t instanceId, const char* name)
{
    (void)clear();  // cannot fail
    m_instanceId = instanceId;
    m_name = name ? name : "";
    return JLIB::kOk;
}

JLIB::JResult LocalParameterDB::copyFrom(const IParameterDB& source)
{
    MutexReadLocker guard(source);
    (void)clear();  // cannot fail
    const uint32_t slots = source.componentIndexNum();
    if (slots == 0) return JLIB::kOk;
    m_instanceId = source.instanceId();
    m_name = source.name();
    m_components.resize(slots);
    for (uint32_t ci = 0; ci < slots; ++ci) {
        const IComponent& component = source._getComponent(ci);
        if (!component.isValid()) continue;
        std::unique_ptr<LocalComponent> copy(new (std::nothrow) LocalComponent(component));
        if (!copy) {
            (void)clear();
            return kNoMemory;
        }
        const UniqId id = copy->componentInfo().uniqId();
        m_components[ci] = std::move(copy);
        m_slotMap[id] = ci;
        if (id.isValid() && std::find(m_usedIds.begin(), m_usedIds.end(), id.id()) == m_usedIds.end()) {
            m_usedIds.push_back(id.id());
        }
    }
    return JLIB::kOk;
}

JLIB::JResult LocalParameterDB::clear()
{
    for (auto& component : m_components) component.reset();
    m_slotMap.clear();
    m_usedIds.clear();
    return JLIB::kOk;
}

// ---- operations a local database does not offer ---------------------------------------------

JLIB::JResult LocalParameterDB::addDirtyFlag(uint32_t, IParameterDBCallback*, const SubscribeAttr&)
{
    notOffered(__LINE__);
}
int32_t LocalParameterDB::getDirtyFlagSet(uint32_t) const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::captureDirtyFlag(int32_t) { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&, bool)
{
    notOffered(__LINE__);
}
JLIB::JResult LocalParameterDB::clearAllDirty(int32_t) { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::reevaluate(uint8_t) { notOffered(__LINE__); }
UniqId LocalParameterDB::makeNewId() const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::reqRemoveComponent(const UniqId&) { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::useComponent(const UniqId&) { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::useComponent() { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::releaseComponent(const UniqId&) { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::releaseComponent() { notOffered(__LINE__); }
bool LocalParameterDB::isComponentUsed(const UniqId&) const { notOffered(__LINE__); }
bool LocalParameterDB::isComponentUsed() const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::newComponentList(UniqIdList&) const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::removingComponentList(UniqIdList&) const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::setDirty(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) { notOffered(__LINE__); }
bool LocalParameterDB::getDirty(int32_t, uint32_t, uint32_t, uint32_t, uint32_t) const { notOffered(__LINE__); }
uint8_t LocalParameterDB::getFactor(uint32_t, uint32_t, uint32_t, uint32_t) const { notOffered(__LINE__); }
JLIB::JResult LocalParameterDB::setDirty(const AddressId&, uint32_t, uint32_t, uint8_t) { notOffered(__LINE__); }
bool LocalParameterDB::getDirty(int32_t, const AddressId&, uint32_t, uint32_t) const { notOffered(__LINE__); }
uint8_t LocalParameterDB::getFactor(const AddressId&, uint32_t, uint32_t) const { notOffered(__LINE__); }

// ---- components ----------------------------------------------------------------------------

JLIB::JResult LocalParameterDB::addComponent(const UniqId& id, const char* typeName, uint32_t majorVersion,
                                             uint32_t sizeX, uint32_t sizeY, int16_t generation)
{
    if (!typeName || generation < 0) return JLIB::kInvalidArgument;
    ComponentInfo info = getComponentInfoRepository().getComponentInfo(typeName, majorVersion);
    if (!info.isValid()) return kUnknownType;
    (void)info.setUniqId(id);
    JLIB_RETURN_IF_FAILED(info.resize(sizeX, sizeY, generation));
    return insertComponent(info, nullptr);
}

JLIB::JResult LocalParameterDB::addComponent(const UniqId& id, const ComponentInfo& definition)
{
    if (!definition.isValid()) return JLIB::kInvalidArgument;
    ComponentInfo info = definition;
    (void)info.setUniqId(id);
    JLIB_RETURN_IF_FAILED(info.resize(0, 0, 0));
    return insertComponent(info, nullptr);
}

JLIB::JResult LocalParameterDB::insertComponent(const ComponentInfo& info, uint32_t* slot)
{
    const UniqId id = info.uniqId();
    if (m_slotMap.count(id) != 0) return JLIB::kInvalidArgument;
    const auto empty = std::find(m_components.begin(), m_components.end(), nullptr);
    const uint32_t ci = uint32_t(empty - m_components.begin());

    std::unique_ptr<LocalComponent> component(new (std::nothrow) LocalComponent);
    if (!component) return kNoMemory;
    if (JLIB::isFailure(component->initialize(info))) return kComponentInitFailed;
    if (ci == m_components.size()) {
        m_components.push_back(std::move(component));
    } else {
        m_components[ci] = std::move(component);
    }
    // The strategy hooks see the component in its slot.
    fillDefaults(ci);
    m_slotMap[id] = ci;
    if (id.isValid() && std::find(m_usedIds.begin(), m_usedIds.end(), id.id()) == m_usedIds.end()) {
        m_usedIds.push_back(id.id());
    }
    if (slot) *slot = ci;
    return JLIB::kOk;
}

void LocalParameterDB::fillDefaults(uint32_t ci)
{
    LocalComponent& component = *m_components[ci];
    ParameterStrategy* strategy = component.componentInfo().parameterStrategy();
    if (!strategy) strategy = &ParameterStrategy::getNullObject();
    for (uint32_t ai = 0; ai < component.addressNum(); ++ai) {
        // The array's own extents: after a resize they can differ from the definition's.
        const ParameterInfo& info = component.params(ai).paramInfo();
        for (uint32_t y = 0; y < info.numY; ++y) {
            for (uint32_t x = 0; x < info.numX; ++x) {
                JVariant value(info.def);
                (void)strategy->getDefaultValueProc(*this, ci, ai, x, y, info, value);  // a hook's word
                (void)component.setVariant(ai, x, y, value, 0xFF);  // stored unchanged: cannot fail in range
            }
        }
    }
}

JLIB::JResult LocalParameterDB::removeComponent(const UniqId& id)
{
    const uint32_t ci = getComponentIndex(id);
    if (ci >= m_components.size()) return JLIB::kInvalidArgument;
    const auto used = std::find(m_usedIds.begin(), m_usedIds.end(), id.id());
    if (used != m_usedIds.end()) m_usedIds.erase(used);
    m_components[ci].reset();
    m_slotMap.erase(id);
    return JLIB::kOk;
}

JLIB::JResult LocalParameterDB::resizeComponent(uint32_t ci, uint32_t sizeX, uint32_t sizeY, bool keepValues,
                                                uint8_t f)
{
    // Without a component the null component answers, as for every other access by index.
    if (ci >= m_components.size() || !m_components[ci]) {
        return _getComponent(ci).resizeComponent(sizeX, sizeY, keepValues, f);
    }
    LocalComponent& component = *m_components[ci];
    const LocalComponent backup(component);
    JLIB_RETURN_IF_FAILED(component.resizeComponent(sizeX, sizeY, false, f));
    fillDefaults(ci);
    if (keepValues) {
        for (uint32_t ai = 0; ai < component.addressNum(); ++ai) {
            (void)component.recall(ai, backup, ImportAttr(0), f);  // copies the overlap; nothing is spared
        }
    }
    return JLIB::kOk;
}

// ---- addressing and metadata ---------------------------------------------------------------

uint32_t LocalParameterDB::getComponentIndex(const UniqId& id) const
{
    const auto it = m_slotMap.find(id);
    return it == m_slotMap.end() ? kNoIndex : it->second;
}

uint32_t LocalParameterDB::getAddressIndex(const UniqId& id, const char* address) const
{
    const uint32_t ci = getComponentIndex(id);
    if (ci == kNoIndex) return kNoIndex;
    return m_components[ci]->addressIndex(address);
}

AddressId LocalParameterDB::getAddressId(const UniqId& id, const char* address) const
{
    AddressId result(m_name.c_str(), _getComponent(getComponentIndex(id)).componentInfo().uniqId(), address);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(result, ci, ai);
    return result;
}

AddressId LocalParameterDB::getAddressId(uint32_t ci, uint32_t ai) const
{
    const ComponentInfo& info = _getComponent(ci).componentInfo();
    AddressId result(m_name.c_str(), info.uniqId(), info.paramInfo(ai).strAddress.c_str());
    (void)result.updateCache(m_instanceId, ci, info.generation(), ai);  // refused for a missing component
    return result;
}

void LocalParameterDB::resolve(const AddressId& address, uint32_t& ci, uint32_t& ai) const
{
    // A cached address selects by its numbers: a copy has its source's slot layout.
    if (!address.isCached()) {
        const uint32_t found = getComponentIndex(address.uniqId());
        // A refusal leaves the address uncached, with both indexes reading 0xFFFFFFFF.
        (void)address.updateCache(m_instanceId, found, _getComponent(found).componentInfo().generation(),
                                  getAddressIndex(address.uniqId(), address.strAddress()));
    }
    ci = address.componentIndex();
    ai = address.addressIndex();
}

JLIB::JResult LocalParameterDB::setUserName(uint32_t ci, const char* userName)
{
    return _getComponent(ci).setUserName(userName);
}

JLIB::JResult LocalParameterDB::setAttribute(uint32_t ci, uint32_t attribute)
{
    return _getComponent(ci).setAttribute(attribute);
}

const ComponentInfo& LocalParameterDB::componentInfo(uint32_t ci) const { return _getComponent(ci).componentInfo(); }

const char* LocalParameterDB::componentName(uint32_t ci) const
{
    return _getComponent(ci).componentInfo().componentName().c_str();
}

uint32_t LocalParameterDB::componentVersion(uint32_t ci) const
{
    return _getComponent(ci).componentInfo().componentVersion();
}

int16_t LocalParameterDB::generation(uint32_t ci) const { return _getComponent(ci).componentInfo().generation(); }

UniqId LocalParameterDB::uniqId(uint32_t ci) const { return _getComponent(ci).componentInfo().uniqId(); }

const char* LocalParameterDB::userName(uint32_t ci) const
{
    return _getComponent(ci).componentInfo().userName().c_str();
}

uint32_t LocalParameterDB::attribute(uint32_t ci) const { return _getComponent(ci).componentInfo().attribute(); }

uint32_t LocalParameterDB::addressNum(uint32_t ci) const { return _getComponent(ci).componentInfo().addressNum(); }

const ParameterInfo& LocalParameterDB::paramInfo(uint32_t ci, uint32_t ai) const
{
    return _getComponent(ci).paramInfo(ai);
}

IComponent& LocalParameterDB::_getComponent(uint32_t ci)
{
    if (ci >= m_components.size() || !m_components[ci]) return ComponentNULL::getNullObject();
    return *m_components[ci];
}

const IComponent& LocalParameterDB::_getComponent(uint32_t ci) const
{
    if (ci >= m_components.size() || !m_components[ci]) return ComponentNULL::getNullObject();
    return *m_components[ci];
}

// ---- typed access by index -----------------------------------------------------------------

JLIB::JResult LocalParameterDB::setVariant(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                           uint8_t f)
{
    return _getComponent(ci).setVariant(ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setVariants(uint32_t ci, uint32_t ai, const IParameterArray& source, uint8_t f)
{
    return _getComponent(ci).setVariants(ai, source, f);
}

JLIB::JResult LocalParameterDB::setUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint32_t value,
                                          uint8_t f)
{
    return _getComponent(ci).setUInt32(ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, int32_t value, uint8_t f)
{
    return _getComponent(ci).setSInt32(ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, float value, uint8_t f)
{
    return _getComponent(ci).setFloat(ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, bool value, uint8_t f)
{
    return _getComponent(ci).setBool(ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setString(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const char* text,
                                          uint8_t f)
{
    return _getComponent(ci).setString(ai, x, y, text, f);
}

JLIB::JResult LocalParameterDB::setBinary(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length, uint8_t f)
{
    return _getComponent(ci).setBinary(ai, x, y, bytes, length, f);
}

JLIB::JResult LocalParameterDB::setDefault(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f)
{
    return _getComponent(ci).setDefault(ai, x, y, f);
}

JLIB::JResult LocalParameterDB::setDefault(uint32_t ci, uint32_t ai, uint8_t f)
{
    return _getComponent(ci).setDefault(ai, f);
}

JLIB::JResult LocalParameterDB::setDefault(uint32_t ci, uint8_t f) { return _getComponent(ci).setDefault(f); }

JLIB::JResult LocalParameterDB::getVariant(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                           uint8_t* f) const
{
    return _getComponent(ci).getVariant(value, ai, x, y, f);
}

JLIB::JResult LocalParameterDB::getVariants(IParameterArray& destination, uint32_t ci, uint32_t ai) const
{
    return _getComponent(ci).getVariants(destination, ai);
}

uint32_t LocalParameterDB::getUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    return _getComponent(ci).getUInt32(ai, x, y, f);
}

int32_t LocalParameterDB::getSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    return _getComponent(ci).getSInt32(ai, x, y, f);
}

float LocalParameterDB::getFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    return _getComponent(ci).getFloat(ai, x, y, f);
}

bool LocalParameterDB::getBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    return _getComponent(ci).getBool(ai, x, y, f);
}

JLIB::JResult LocalParameterDB::getDefault(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    return _getComponent(ci).getDefault(value, ai, x, y);
}

bool LocalParameterDB::checkPosRange(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const
{
    return _getComponent(ci).checkPosRange(ai, x, y);
}

// ---- typed access by address ---------------------------------------------------------------

const ParameterInfo& LocalParameterDB::paramInfo(const AddressId& address) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return paramInfo(ci, ai);
}

JLIB::JResult LocalParameterDB::setVariant(const AddressId& address, uint32_t x, uint32_t y, const JVariant& value,
                                           uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setVariant(ci, ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setVariants(const AddressId& address, const IParameterArray& source, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setVariants(ci, ai, source, f);
}

JLIB::JResult LocalParameterDB::setUInt32(const AddressId& address, uint32_t x, uint32_t y, uint32_t value,
                                          uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setUInt32(ci, ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setSInt32(const AddressId& address, uint32_t x, uint32_t y, int32_t value, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setSInt32(ci, ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setFloat(const AddressId& address, uint32_t x, uint32_t y, float value, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setFloat(ci, ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setBool(const AddressId& address, uint32_t x, uint32_t y, bool value, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setBool(ci, ai, x, y, value, f);
}

JLIB::JResult LocalParameterDB::setString(const AddressId& address, uint32_t x, uint32_t y, const char* text,
                                          uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setString(ci, ai, x, y, text, f);
}

JLIB::JResult LocalParameterDB::setBinary(const AddressId& address, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setBinary(ci, ai, x, y, bytes, length, f);
}

JLIB::JResult LocalParameterDB::setDefault(const AddressId& address, uint32_t x, uint32_t y, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setDefault(ci, ai, x, y, f);
}

JLIB::JResult LocalParameterDB::setDefault(const AddressId& address, uint8_t f)
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return setDefault(ci, ai, f);
}

JLIB::JResult LocalParameterDB::getVariant(JVariant& value, const AddressId& address, uint32_t x, uint32_t y,
                                           uint8_t* f) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getVariant(value, ci, ai, x, y, f);
}

JLIB::JResult LocalParameterDB::getVariants(IParameterArray& destination, const AddressId& address) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getVariants(destination, ci, ai);
}

uint32_t LocalParameterDB::getUInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getUInt32(ci, ai, x, y, f);
}

int32_t LocalParameterDB::getSInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getSInt32(ci, ai, x, y, f);
}

float LocalParameterDB::getFloat(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getFloat(ci, ai, x, y, f);
}

bool LocalParameterDB::getBool(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getBool(ci, ai, x, y, f);
}

JLIB::JResult LocalParameterDB::getDefault(JVariant& value, const AddressId& address, uint32_t x, uint32_t y) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return getDefault(value, ci, ai, x, y);
}

bool LocalParameterDB::checkPosRange(const AddressId& address, uint32_t x, uint32_t y) const
{
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return checkPosRange(ci, ai, x, y);
}

// ---- recall --------------------------------------------------------------------------------

JLIB::JResult LocalParameterDB::recall(const IParameterDB& source, const ImportAttr& attr, uint8_t f)
{
    MutexReadLocker guard(source);
    for (uint32_t ci = 0; ci < source.componentIndexNum(); ++ci) JLIB_RETURN_IF_FAILED(recallSlot(ci, source, attr, f));
    return JLIB::kOk;
}

JLIB::JResult LocalParameterDB::recall(uint32_t ci, const IParameterDB& source, const ImportAttr& attr, uint8_t f)
{
    MutexReadLocker guard(source);
    return recallSlot(ci, source, attr, f);
}

JLIB::JResult LocalParameterDB::recallSlot(uint32_t ci, const IParameterDB& source, const ImportAttr& attr, uint8_t f)
{
    IComponent& target = _getComponent(ci);
    const IComponent& from = source._getComponent(ci);
    for (uint32_t ai = 0; ai < from.addressNum(); ++ai) JLIB_RETURN_IF_FAILED(target.recall(ai, from, attr, f));
    return JLIB::kOk;
}

JLIB::JResult LocalParameterDB::recall(uint32_t ci, uint32_t ai, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f)
{
    MutexReadLocker guard(source);
    return _getComponent(ci).recall(ai, source._getComponent(ci), attr, f);
}

JLIB::JResult LocalParameterDB::recall(const AddressId& address, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f)
{
    MutexReadLocker guard(source);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).recall(ai, source._getComponent(ci), attr, f);
}

// ---- images --------------------------------------------------------------------------------

ComponentIndexList LocalParameterDB::wholeList() const
{
    ComponentIndexList list;
    list.reserve(m_slotMap.size());
    for (const auto& [id, ci] : m_slotMap) list.push_back(ci);  // ascending identifiers
    return list;
}

ComponentIndexList LocalParameterDB::indexesOf(const UniqIdList& ids) const
{
    ComponentIndexList list;
    list.reserve(ids.size());
    for (const UniqId& id : ids) list.push_back(getComponentIndex(id));
    return list;
}

JLIB::JResult LocalParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord) const
{
    return DatabaseImage::write(*this, buffer, size, dbWord, wholeList());
}

uint32_t LocalParameterDB::exportBinarySize() const
{
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, wholeList()));
}

JLIB::JResult LocalParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const UniqIdList& ids) const
{
    return DatabaseImage::write(*this, buffer, size, dbWord, indexesOf(ids));
}

uint32_t LocalParameterDB::exportBinarySize(const UniqIdList& ids) const
{
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, indexesOf(ids)));
}

JLIB::JResult LocalParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const ComponentIndexList& indexes) const
{
    return DatabaseImage::write(*this, buffer, size, dbWord, indexes);
}

uint32_t LocalParameterDB::exportBinarySize(const ComponentIndexList& indexes) const
{
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, indexes));
}

JLIB::JResult LocalParameterDB::importBinary(const uint8_t* image, uint32_t size, const ImportAttr& attr,
                                             JLIB::HeapId heap)
{
    std::vector<DatabaseImage::Entry> entries;
    JLIB_RETURN_IF_FAILED(DatabaseImage::read(image, size, entries));
    const bool withConfig = attr.withConfig();
    if (withConfig) {
        (void)clear();  // cannot fail
    } else {
        JLIB_RETURN_IF_FAILED(DatabaseImage::checkTypes(*this, entries));
    }
    const ImportAttr valueAttr(uint8_t(attr.value() & ~ImportAttr::kConfig));
    for (const DatabaseImage::Entry& entry : entries) {
        if (!entry.known) continue;
        uint32_t ci = kNoIndex;
        if (withConfig) {
            if (JLIB::isFailure(insertComponent(entry.info, &ci))) continue;  // e.g. an identifier twice
        } else {
            ci = getComponentIndex(entry.info.uniqId());
            if (ci == kNoIndex) continue;
        }
        const JLIB::JResult imported = m_components[ci]->importBinary(
            ParameterDBNULL::getNullObject(), ci, image + entry.offset, entry.room, valueAttr, 0, heap);
        if (JLIB::isFailure(imported)) {
            if (withConfig) (void)removeComponent(entry.info.uniqId());  // it was added just now
            return imported;
        }
    }
    return JLIB::kOk;
}

}  // namespace PDB
