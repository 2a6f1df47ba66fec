#include "mms_TreeNodeFactory.h"

#include "mms_Collection.h"
#include "mms_Parameter.h"

namespace MMS {

namespace {

// Offsets are byte distances inside one memory, which may be seen at another address elsewhere.
int64_t distance(const void* from, const void* to)
{
    return static_cast<int64_t>(reinterpret_cast<uintptr_t>(to) - reinterpret_cast<uintptr_t>(from));
}

void* advance(const void* from, int64_t offset)
{
    return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(from) + static_cast<uintptr_t>(offset));
}

}  // namespace

int64_t* NodeItemList::table() const
{
    if (m_table == 0) return nullptr;
    return static_cast<int64_t*>(advance(this, m_table));
}

uint32_t NodeItemList::append(SharedMemWrapper* wrapper, void* node)
{
    if (wrapper == nullptr) return kMmsMissing;
    if (node == nullptr) return kMmsBadArgument;
    const uint64_t newBytes = (static_cast<uint64_t>(m_count) + 1) * sizeof(int64_t);
    if (newBytes > 0xFFFFFFFFu) return kMmsBadArgument;
    auto* grown = static_cast<int64_t*>(
        wrapper->realloc(table(), m_count * static_cast<uint32_t>(sizeof(int64_t)), static_cast<uint32_t>(newBytes)));
    if (grown == nullptr) return kMmsNoMemory;  // the old table is untouched
    grown[m_count] = distance(this, node);
    m_table = distance(this, grown);
    ++m_count;
    return kMmsOk;
}

void* NodeItemList::get(uint32_t index) const
{
    const int64_t* entries = table();
    if (entries == nullptr || index >= m_count) return nullptr;
    return advance(this, entries[index]);
}

uint32_t NodeItemList::clear(SharedMemWrapper* wrapper)
{
    if (wrapper == nullptr) return kMmsOk;
    (void)wrapper->free(table());  // always 0; null is ignored
    m_table = 0;
    m_count = 0;
    return kMmsOk;
}

// The root's factory over the real nodes, compiled once in full here so that both create forms
// and both undo branches are checked against the node classes' contract.
template class BasicTreeNodeCollector<Collection, Parameter>;

}  // namespace MMS
