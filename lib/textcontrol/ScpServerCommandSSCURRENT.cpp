#include "textcontrol/ScpServerCommandSSCURRENT.h"

namespace SCP {

ScpServerCommandSSCURRENT::ScpServerCommandSSCURRENT(const char* name, bool named)
    : ScpServerCommandSnapshot(name, named)
{
    m_index.initialize("index");
    m_status.initialize("status");
    add(m_index, kReply);
    add(m_status, kReply);
}

JLIB::JResult ScpServerCommandSSCURRENT::run(uint8_t, ScpInfoAccessor& accessor)
{
    uint32_t index = 0;
    bool modified = false;
    const JLIB::JResult r = accessor.getParameters().getCurrentSnapshot(index, modified, category());
    (void)m_index.set(static_cast<int32_t>(index));
    (void)m_status.set(modified ? "modified" : "unmodified");  // short constant words
    return r;
}

}  // namespace SCP
