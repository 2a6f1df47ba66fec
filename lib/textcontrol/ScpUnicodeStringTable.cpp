#include "textcontrol/ScpUnicodeStringTable.h"

#include <new>

#include "jlib/JAllocator.h"
#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

// The entries are one block of strings; JNew cannot build them since a string needs its capacity.
JLIB::JAllocator<ScpString> tableAllocator()
{
    return JLIB::JAllocator<ScpString>(getScpHeapId(), "ScpUnicodeStringTable::m_pTable");
}

}  // namespace

ScpUnicodeStringTable::~ScpUnicodeStringTable() { (void)destroy(); }  // always 0

JLIB::JResult ScpUnicodeStringTable::initialize(uint32_t count, uint32_t capacity)
{
    (void)destroy();  // always 0
    if (count == 0) return 0x80000003u;
    JLIB::JAllocator<ScpString> allocator = tableAllocator();
    ScpString* table = allocator.allocate(count);
    if (!table) return 0x80000001u;
    for (uint32_t i = 0; i < count; ++i) ::new (static_cast<void*>(table + i)) ScpString(makeScpString(capacity));
    m_pTable = table;
    m_count = count;
    m_capacity = capacity;
    m_used = 0;
    return JLIB::kOk;
}

JLIB::JResult ScpUnicodeStringTable::append(const ScpString& text)
{
    if (m_used >= m_count) return 0x80000002u;
    m_pTable[m_used] = text;  // keeps the entry's capacity, cutting the rest
    ++m_used;
    return JLIB::kOk;
}

JLIB::JResult ScpUnicodeStringTable::removeLast()
{
    if (m_used == 0) return JLIB::kFailed;
    --m_used;
    return JLIB::kOk;
}

JLIB::JResult ScpUnicodeStringTable::clear()
{
    m_used = 0;
    return JLIB::kOk;
}

JLIB::JResult ScpUnicodeStringTable::destroy()
{
    if (m_pTable) {
        for (uint32_t i = 0; i < m_count; ++i) m_pTable[i].~ScpString();
        tableAllocator().deallocate(m_pTable, m_count);
    }
    m_pTable = nullptr;
    m_count = 0;
    m_used = 0;
    m_capacity = 0;
    return JLIB::kOk;
}

ScpString* ScpUnicodeStringTable::at(uint32_t index)
{
    return (m_pTable && index < m_used) ? m_pTable + index : nullptr;
}

const ScpString* ScpUnicodeStringTable::at(uint32_t index) const
{
    return (m_pTable && index < m_used) ? m_pTable + index : nullptr;
}

const ScpString* ScpUnicodeStringTable::find(const char* key) const
{
    const uint32_t pos = findPos(key);
    return pos == kNotFound ? nullptr : m_pTable + pos;
}

uint32_t ScpUnicodeStringTable::findPos(const char* key) const
{
    if (!m_pTable || !key || key[0] == '\0') return kNotFound;
    ScpString wanted = makeScpString(m_capacity);
    (void)wanted.fromAscii(key, m_capacity);  // a longer key is cut on purpose
    if (wanted.size() == 0) return kNotFound;
    for (uint32_t i = 0; i < m_used; ++i) {
        if (!m_pTable[i].isEnd(m_pTable[i].find(wanted))) return i;
    }
    return kNotFound;
}

}  // namespace SCP
