#pragma once
// Names one parameter by database name, component identity and address text, and caches
// where a database found it. A plain value; a shared one relies on its database's lock.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "pdb_UniqId.h"

namespace PDB {

class AddressId {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    AddressId() = default;
    // Both texts are borrowed: the holder keeps them alive while the address is used.
    AddressId(const char* pdbName, const UniqId& id, const char* address);
    AddressId(const AddressId&) = default;
    AddressId& operator=(const AddressId&) = default;

    // 0x80080000 and no change for a null name or address; empties the cache.
    [[nodiscard]] JLIB::JResult set(const char* pdbName, const UniqId& id, const char* address);
    uint32_t clear();

    bool isCached() const { return m_instanceId != kNone && m_generation >= 0; }
    // Fills the cache of a read-only address: 0x80000000 and no change for an index of
    // 0xFFFFFFFF or a negative generation.
    [[nodiscard]] JLIB::JResult updateCache(uint32_t instanceId, uint32_t componentIndex, int32_t generation,
                                            uint32_t addressIndex) const;

    const char* pdbName() const { return m_pPdbName; }
    const UniqId& uniqId() const { return m_uniqId; }
    const char* strAddress() const { return m_pAddress; }
    uint32_t pdbInstanceId() const { return m_instanceId; }
    uint32_t componentIndex() const { return m_componentIndex; }
    uint32_t addressIndex() const { return m_addressIndex; }
    int32_t generation() const { return m_generation; }
    uint32_t fingerprint() const { return m_fingerprint; }
    // Compares the fingerprints alone.
    bool isSame(const AddressId& other) const { return m_fingerprint == other.m_fingerprint; }

private:
    void emptyCache() const;

    const char* m_pPdbName = nullptr;  // borrowed
    UniqId m_uniqId;
    const char* m_pAddress = nullptr;  // borrowed
    mutable uint32_t m_instanceId = kNone;
    mutable uint32_t m_componentIndex = kNone;
    mutable int32_t m_generation = -1;
    mutable uint32_t m_addressIndex = kNone;
    mutable uint32_t m_fingerprint = 0;
};

}  // namespace PDB
