#pragma once
// The value block of a typed raw array: either allocated and owned here (zero-filled) or
// wrapped caller memory that is never freed. Private to the PDB module.
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "jlib/jlib_result.h"

namespace PDB::internal {

class RawBlock {
public:
    RawBlock() = default;
    ~RawBlock() { release(); }
    RawBlock(const RawBlock&) = delete;
    RawBlock& operator=(const RawBlock&) = delete;
    RawBlock(RawBlock&& other) noexcept
        : m_pData(std::exchange(other.m_pData, nullptr)), m_owns(std::exchange(other.m_owns, false))
    {
    }
    RawBlock& operator=(RawBlock&& other) noexcept
    {
        if (this != &other) {
            release();
            m_pData = std::exchange(other.m_pData, nullptr);
            m_owns = std::exchange(other.m_owns, false);
        }
        return *this;
    }

    // Releases the current block first. Refuses 0 bytes and sizes past 32 bits (the stored
    // size of a value part is a 32-bit field), and exhausted memory.
    bool allocate(uint64_t bytes)
    {
        release();
        if (bytes == 0 || bytes > 0xFFFFFFFFu) return false;
        m_pData = new (std::nothrow) uint8_t[size_t(bytes)];
        if (!m_pData) return false;
        std::memset(m_pData, 0, size_t(bytes));
        m_owns = true;
        return true;
    }
    void wrap(void* memory)
    {
        release();
        m_pData = static_cast<uint8_t*>(memory);
        m_owns = false;
    }
    void release()
    {
        if (m_owns) delete[] m_pData;
        m_pData = nullptr;
        m_owns = false;
    }
    uint8_t* data() const { return m_pData; }
    bool owns() const { return m_owns; }

private:
    uint8_t* m_pData = nullptr;
    bool m_owns = false;
};

constexpr JLIB::JResult kRawNotSetUp = 0x80008000u;
constexpr JLIB::JResult kRawTypeMismatch = 0x80020000u;
constexpr JLIB::JResult kRawNoMemory = 0x80040000u;
constexpr JLIB::JResult kRawNotOffered = 0x80080000u;

// Shortens a copy of count elements from start to n elements; 0x80000001 when start >= n.
inline JLIB::JResult clipRange(uint32_t n, uint32_t start, uint32_t& count)
{
    if (start >= n) return JLIB::kInvalidArgument;
    if (count > n - start) count = n - start;
    return JLIB::kOk;
}

}  // namespace PDB::internal
