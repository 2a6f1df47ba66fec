#include "textcontrol/ScpServerCommandSSNUM.h"

namespace SCP {

ScpServerCommandSSNUM::ScpServerCommandSSNUM(const char* name, bool named) : ScpServerCommandSnapshot(name, named)
{
    m_number.initialize("number");
    add(m_number, kReply);
}

JLIB::JResult ScpServerCommandSSNUM::run(uint8_t, ScpInfoAccessor& accessor)
{
    // A count, never a failure.
    (void)m_number.set(static_cast<int32_t>(accessor.getParameters().getSnapshotNum(category())));
    return JLIB::kOk;
}

}  // namespace SCP
