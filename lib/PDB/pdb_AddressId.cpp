#include "pdb_AddressId.h"

#include <cstring>

#include "jlib/jlib_crc32.h"

namespace PDB {

namespace {

constexpr JLIB::JResult kNullText = 0x80080000u;

}  // namespace

AddressId::AddressId(const char* pdbName, const UniqId& id, const char* address)
    : m_pPdbName(pdbName), m_uniqId(id), m_pAddress(address)
{
}

JLIB::JResult AddressId::set(const char* pdbName, const UniqId& id, const char* address)
{
    if (!pdbName || !address) return kNullText;
    m_pPdbName = pdbName;
    m_uniqId = id;
    m_pAddress = address;
    emptyCache();
    return JLIB::kOk;
}

uint32_t AddressId::clear()
{
    m_pPdbName = nullptr;
    (void)m_uniqId.clear();
    m_pAddress = nullptr;
    emptyCache();
    return 0;
}

void AddressId::emptyCache() const
{
    m_instanceId = kNone;
    m_componentIndex = kNone;
    m_generation = -1;
    m_addressIndex = kNone;
    m_fingerprint = 0;
}

JLIB::JResult AddressId::updateCache(uint32_t instanceId, uint32_t componentIndex, int32_t generation,
                                     uint32_t addressIndex) const
{
    if (instanceId == kNone || componentIndex == kNone || addressIndex == kNone || generation < 0) {
        return JLIB::kFailed;
    }
    m_instanceId = instanceId;
    m_componentIndex = componentIndex;
    m_generation = generation;
    m_addressIndex = addressIndex;

    uint32_t crc = 0;
    if (m_pPdbName) crc = jlib_updateCRC32(crc, m_pPdbName, std::strlen(m_pPdbName));
    const uint32_t id = m_uniqId.id();
    crc = jlib_updateCRC32(crc, &id, sizeof(id));
    if (m_pAddress) crc = jlib_updateCRC32(crc, m_pAddress, std::strlen(m_pAddress));
    crc = jlib_updateCRC32(crc, &generation, sizeof(generation));
    m_fingerprint = crc;
    return JLIB::kOk;
}

}  // namespace PDB
