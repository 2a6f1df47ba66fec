#include "textcontrol/ScpServerCommandSnapshot.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

ScpServerCommandSnapshot::ScpServerCommandSnapshot(const char* name, bool named)
    : ScpServerCommand(name), m_named(named), m_defaultCategory(makeScpString(1))
{
    if (!m_named) return;
    m_category.initialize("category");
    add(m_category, kArgument | kReply);
}

}  // namespace SCP
