#include "textcontrol/ScpServerCommandSSRECALL.h"

namespace SCP {

ScpServerCommandSSRECALL::ScpServerCommandSSRECALL(const char* name, bool named) : ScpServerCommandSnapshot(name, named)
{
    m_index.initialize("index");
    add(m_index, kArgument | kReply);
}

JLIB::JResult ScpServerCommandSSRECALL::run(uint8_t session, ScpInfoAccessor& accessor)
{
    if (m_index.get() < 0) return kInvalidArgument;
    return accessor.getParameters().recallSnapshot(session, category(), static_cast<uint32_t>(m_index.get()));
}

}  // namespace SCP
