#pragma once
// Identity of a component inside one database; a plain value guarded by its database's lock.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace PDB {

class UniqId {
public:
    static constexpr uint32_t kInvalidId = 0xFFFFFFFFu;
    static constexpr uint32_t kByteSize = 4;

    UniqId() = default;
    explicit UniqId(uint32_t id) : m_id(id) {}
    // Reads 4 bytes big-endian; too few bytes or a null pointer leave it invalid.
    UniqId(const uint8_t* data, uint32_t length);
    UniqId(const UniqId&) = default;
    UniqId& operator=(const UniqId&) = default;

    uint32_t id() const { return m_id; }
    bool isValid() const { return m_id != kInvalidId; }
    uint32_t clear();

    bool isSame(const UniqId& other) const { return m_id == other.m_id; }
    bool operator==(const UniqId& other) const { return m_id == other.m_id; }
    bool operator!=(const UniqId& other) const { return m_id != other.m_id; }
    bool operator<(const UniqId& other) const { return m_id < other.m_id; }

    // 0x80000001 and no change for a null pointer or fewer than 4 bytes.
    [[nodiscard]] JLIB::JResult importData(const uint8_t* data, uint32_t length);
    // 0x80000001 and nothing written for a null buffer or fewer than 4 bytes.
    [[nodiscard]] JLIB::JResult exportData(uint8_t* buffer, uint32_t length) const;

private:
    uint32_t m_id = kInvalidId;
};

}  // namespace PDB
