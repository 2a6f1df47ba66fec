// Images, import and recall of the live database.
#include "pdb_ParameterDB.h"

#include <vector>

#include "internal/pdb_DatabaseImage.h"
#include "pdb_ComponentInfo.h"

namespace PDB {

namespace {

ComponentIndexList slotsInIdOrder(const std::map<UniqId, uint32_t>& slotMap)
{
    ComponentIndexList list;
    list.reserve(slotMap.size());
    for (const auto& [id, ci] : slotMap) list.push_back(ci);  // the map orders identifiers ascending
    return list;
}

}  // namespace

// ---- recall --------------------------------------------------------------------------------

JLIB::JResult ParameterDB::recall(const IParameterDB& source, const ImportAttr& attr, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    MutexReadLocker sourceGuard(source);
    for (uint32_t ci = 0; ci < source.componentIndexNum(); ++ci) JLIB_RETURN_IF_FAILED(recall(ci, source, attr, f));
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::recall(uint32_t ci, const IParameterDB& source, const ImportAttr& attr, uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    MutexReadLocker sourceGuard(source);
    IComponent& target = _getComponent(ci);
    const IComponent& from = source._getComponent(ci);
    for (uint32_t ai = 0; ai < from.addressNum(); ++ai) JLIB_RETURN_IF_FAILED(target.recall(ai, from, attr, f));
    return JLIB::kOk;
}

JLIB::JResult ParameterDB::recall(uint32_t ci, uint32_t ai, const IParameterDB& source, const ImportAttr& attr,
                                  uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    MutexReadLocker sourceGuard(source);
    return _getComponent(ci).recall(ai, source._getComponent(ci), attr, f);
}

JLIB::JResult ParameterDB::recall(const AddressId& address, const IParameterDB& source, const ImportAttr& attr,
                                  uint8_t f)
{
    MutexWriteLocker guard(*m_pLock);
    MutexReadLocker sourceGuard(source);
    uint32_t ci = kNoIndex, ai = kNoIndex;
    resolve(address, ci, ai);
    return _getComponent(ci).recall(ai, source._getComponent(ci), attr, f);
}

// ---- export --------------------------------------------------------------------------------

JLIB::JResult ParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord) const
{
    MutexReadLocker guard(*m_pLock);
    return DatabaseImage::write(*this, buffer, size, dbWord, slotsInIdOrder(m_slotMap));
}

uint32_t ParameterDB::exportBinarySize() const
{
    MutexReadLocker guard(*m_pLock);
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, slotsInIdOrder(m_slotMap)));
}

JLIB::JResult ParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord, const UniqIdList& ids) const
{
    MutexReadLocker guard(*m_pLock);
    ComponentIndexList indexes;
    indexes.reserve(ids.size());
    for (const UniqId& id : ids) indexes.push_back(findComponent(id));
    return DatabaseImage::write(*this, buffer, size, dbWord, indexes);
}

uint32_t ParameterDB::exportBinarySize(const UniqIdList& ids) const
{
    MutexReadLocker guard(*m_pLock);
    ComponentIndexList indexes;
    indexes.reserve(ids.size());
    for (const UniqId& id : ids) indexes.push_back(findComponent(id));
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, indexes));
}

JLIB::JResult ParameterDB::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                        const ComponentIndexList& indexes) const
{
    MutexReadLocker guard(*m_pLock);
    return DatabaseImage::write(*this, buffer, size, dbWord, indexes);
}

uint32_t ParameterDB::exportBinarySize(const ComponentIndexList& indexes) const
{
    MutexReadLocker guard(*m_pLock);
    return DatabaseImage::clampSize(DatabaseImage::listSize(*this, indexes));
}

// ---- import --------------------------------------------------------------------------------

JLIB::JResult ParameterDB::importBinary(const uint8_t* image, uint32_t size, const ImportAttr& attr,
                                        JLIB::HeapId heap)
{
    if (!image || size < DatabaseImage::kHeaderSize) return JLIB::kInvalidArgument;
    MutexWriteLocker guard(*m_pLock);
    const bool withConfig = attr.withConfig();
    if (withConfig && anyComponentUsed()) return kInUse;
    // The whole image is checked before the configuration is dropped: a malformed image must
    // not wipe the device's state.
    std::vector<DatabaseImage::Entry> entries;
    JLIB_RETURN_IF_FAILED(DatabaseImage::read(image, size, entries));
    if (withConfig) {
        clearComponents(false);
    } else {
        JLIB_RETURN_IF_FAILED(DatabaseImage::checkTypes(*this, entries));
    }

    const ImportAttr valueAttr(uint8_t(attr.value() & ~ImportAttr::kConfig));
    for (const DatabaseImage::Entry& entry : entries) {
        if (!entry.known) continue;
        if (withConfig && JLIB::isFailure(insertComponent(entry.info))) continue;  // e.g. an identifier twice
        const uint32_t ci = findComponent(entry.info.uniqId());
        if (ci == kNoIndex) continue;
        const JLIB::JResult imported =
            m_components[ci]->importBinary(*this, ci, image + entry.offset, entry.room, valueAttr, 0, heap);
        if (JLIB::isFailure(imported)) {
            if (withConfig) (void)removeSlot(ci);  // the slot exists: it was filled just now
            return imported;
        }
    }
    notifyConfigChange();
    return JLIB::kOk;
}

}  // namespace PDB
