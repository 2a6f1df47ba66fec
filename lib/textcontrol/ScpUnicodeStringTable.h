#pragma once
// The tokens of one command: a fixed number of texts of one fixed capacity, drawn once from the
// SCP heap and reused, so filling and clearing never allocate. Not locked: one owner task.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpUnicodeStringTable {
public:
    static constexpr uint32_t kNotFound = 0xFFFFFFFFu;

    ScpUnicodeStringTable() = default;
    ScpUnicodeStringTable(const ScpUnicodeStringTable&) = delete;
    ScpUnicodeStringTable& operator=(const ScpUnicodeStringTable&) = delete;
    virtual ~ScpUnicodeStringTable();

    // Releases earlier storage, then takes `count` texts of `capacity` characters. 0x80000003 for
    // a count of 0, 0x80000001 when the heap refuses (the table then holds nothing).
    [[nodiscard]] JLIB::JResult initialize(uint32_t count, uint32_t capacity);
    // Copies the text into the next entry, cut at the entry capacity. 0x80000002 when every
    // entry is in use (the text is dropped).
    [[nodiscard]] JLIB::JResult append(const ScpString& text);
    // Drops the newest entry: 0, or 0x80000000 when none is in use.
    JLIB::JResult removeLast();
    // No entry in use; the storage stays. Returns 0.
    JLIB::JResult clear();
    JLIB::JResult destroy();

    // Null past the entries in use or when never set up.
    ScpString* at(uint32_t index);
    const ScpString* at(uint32_t index) const;
    ScpString* operator[](uint32_t index) { return at(index); }
    const ScpString* operator[](uint32_t index) const { return at(index); }
    uint32_t size() const { return m_used; }
    ScpString* begin() { return m_pTable; }
    ScpString* end() { return m_pTable ? m_pTable + m_used : nullptr; }

    // The first entry in use that contains the key (only its first `capacity` characters) as a
    // contiguous run, case-sensitive; null for an empty or null key or no match.
    const ScpString* find(const char* key) const;
    // The position of what find gives, or 0xFFFFFFFF.
    uint32_t findPos(const char* key) const;

private:
    ScpString* m_pTable = nullptr;
    uint32_t m_count = 0;
    uint32_t m_used = 0;
    uint32_t m_capacity = 0;
};

}  // namespace SCP
