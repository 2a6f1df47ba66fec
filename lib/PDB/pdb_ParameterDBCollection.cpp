#include "pdb_ParameterDBCollection.h"

#include <cstring>
#include <memory>
#include <new>

#include "jlib/jlib_cfg.h"
#include "pdb_LocalParameterDB.h"
#include "pdb_ParameterArray.h"
#include "pdb_ParameterDB.h"

#include "pdb_AddressId.h"
#include "pdb_ComponentInfo.h"
#include "pdb_ComponentNULL.h"
#include "pdb_IComponent.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

ParameterDBNULL& ParameterDBNULL::getNullObject()
{
    // Constant-initialised: usable from the constructors of other static objects.
    static constinit ParameterDBNULL s_instance;
    return s_instance;
}

JLIB::JResult ParameterDBNULL::checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&, bool)
{
    return kNoMoreDirty;
}

JLIB::JResult ParameterDBNULL::newComponentList(UniqIdList& list) const
{
    list.clear();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::removingComponentList(UniqIdList& list) const
{
    list.clear();
    return JLIB::kOk;
}

AddressId ParameterDBNULL::getAddressId(const UniqId&, const char*) const { return AddressId(); }

AddressId ParameterDBNULL::getAddressId(uint32_t, uint32_t) const { return AddressId(); }

const ComponentInfo& ParameterDBNULL::componentInfo(uint32_t) const
{
    static const ComponentInfo s_empty;
    return s_empty;
}

const ParameterInfo& ParameterDBNULL::paramInfo(uint32_t, uint32_t) const
{
    static const ParameterInfo s_byIndex;
    return s_byIndex;
}

const ParameterInfo& ParameterDBNULL::paramInfo(const AddressId&) const
{
    static const ParameterInfo s_byAddress;
    return s_byAddress;
}

JLIB::JResult ParameterDBNULL::getVariant(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getDefault(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getVariant(JVariant& value, const AddressId&, uint32_t, uint32_t, uint8_t*) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBNULL::getDefault(JVariant& value, const AddressId&, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

IComponent& ParameterDBNULL::_getComponent(uint32_t) { return ComponentNULL::getNullObject(); }

const IComponent& ParameterDBNULL::_getComponent(uint32_t) const { return ComponentNULL::getNullObject(); }

// ---- registry ------------------------------------------------------------------------------

ParameterDBCollection gPDBCollection;

ParameterDBCollection::ParameterDBCollection()
{
    m_slots.reserve(kMaxSlots);  // registration never moves the slots that readers walk
}

ParameterDBCollection::ParameterDBCollection(const ParameterDBCollection& source) : m_owning(true)
{
    m_slots.reserve(kMaxSlots);
    m_slots.assign(source.m_slots.size(), &ParameterDBNULL::getNullObject());
    for (size_t i = 0; i < source.m_slots.size(); ++i) {
        const IParameterDB* db = source.m_slots[i];
        if (db == &ParameterDBNULL::getNullObject()) continue;
        LocalParameterDB* copy = new (std::nothrow) LocalParameterDB(*db);
        if (copy) m_slots[i] = copy;
    }
}

ParameterDBCollection::~ParameterDBCollection()
{
    if (m_owning) {
        for (IParameterDB*& db : m_slots) {
            if (db == &ParameterDBNULL::getNullObject()) continue;
            delete static_cast<LocalParameterDB*>(db);  // an owning registry holds only its copies
            db = &ParameterDBNULL::getNullObject();
        }
    }
    m_slots.clear();
}

IParameterDB& ParameterDBCollection::getPDB(uint32_t instanceId)
{
    if (instanceId >= m_slots.size()) return ParameterDBNULL::getNullObject();
    return *m_slots[instanceId];
}

const IParameterDB& ParameterDBCollection::getPDB(uint32_t instanceId) const
{
    if (instanceId >= m_slots.size()) return ParameterDBNULL::getNullObject();
    return *m_slots[instanceId];
}

IParameterDB& ParameterDBCollection::getPDB(const char* name) { return getPDB(_instanceId(name)); }

const IParameterDB& ParameterDBCollection::getPDB(const char* name) const { return getPDB(_instanceId(name)); }

uint32_t ParameterDBCollection::_instanceId(const char* name) const
{
    if (!name) name = "";
    const size_t length = std::strlen(name);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const char* slotName = m_slots[i]->name();
        if (std::strlen(slotName) == length && std::memcmp(slotName, name, length) == 0) return uint32_t(i);
    }
    return kNoInstance;
}

JLIB::JResult ParameterDBCollection::addPDB(IParameterDB& db)
{
    JLIB_ASSERT(!m_owning);
    const uint32_t id = db.instanceId();
    if (id < m_slots.size()) {
        JLIB_ASSERT(m_slots[id] == &ParameterDBNULL::getNullObject());  // one database per instance id
    } else {
        JLIB_ASSERT(id < kMaxSlots);
        m_slots.resize(id + 1, &ParameterDBNULL::getNullObject());
    }
    m_slots[id] = &db;
    return JLIB::kOk;
}

JLIB::JResult ParameterDBCollection::removePDB(uint32_t instanceId)
{
    JLIB_ASSERT(!m_owning);
    JLIB_ASSERT(instanceId < m_slots.size());
    m_slots[instanceId] = &ParameterDBNULL::getNullObject();
    return JLIB::kOk;
}

JLIB::JResult ParameterDBCollection::import(const ParameterDBCollection& other)
{
    for (const IParameterDB* source : other.m_slots) {
        if (!source->isValid()) continue;
        IParameterDB& target = getPDB(source->name());
        if (!target.isValid()) continue;
        static_cast<IMutex&>(target) = *source;  // the interface's assignment: no state moves
    }
    return JLIB::kOk;
}

JLIB::JResult createPDB(uint32_t instanceId, const char* name, IMutex* lock, JLIB::HeapId heap)
{
    ParameterDB* db = JLIB::JNew<ParameterDB>(heap, "PDB Instance", 1);
    if (!db) return kNoMemory;
    const JLIB::JResult initialized = db->initialize(instanceId, name, lock);
    if (JLIB::isFailure(initialized)) {
        // A database that never became valid must not be found by other tasks.
        JLIB_LOG("[E] PDB::createPDB - Initialization failed. [id=%u, result=0x%08x]\n", instanceId, initialized);
        (void)JLIB::JDelete(db);  // the block came from JNew just above
        return initialized;
    }
    return gPDBCollection.addPDB(*db);
}

JLIB::JResult destroyPDB(uint32_t instanceId)
{
    IParameterDB& found = gPDBCollection.getPDB(instanceId);
    JLIB_ASSERT(&found != &ParameterDBNULL::getNullObject());
    (void)gPDBCollection.removePDB(instanceId);  // answers 0: the slot exists
    (void)JLIB::JDelete(static_cast<ParameterDB*>(&found));  // gPDBCollection holds only createPDB's databases
    return JLIB::kOk;
}

}  // namespace PDB
