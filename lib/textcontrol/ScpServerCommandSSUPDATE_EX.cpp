#include "textcontrol/ScpServerCommandSSUPDATE_EX.h"

namespace SCP {

ScpServerCommandSSUPDATE_EX::ScpServerCommandSSUPDATE_EX() : ScpServerCommandSnapshot("ssupdate_ex", true)
{
    m_index.initialize("index");
    add(m_index, kArgument | kReply);
}

JLIB::JResult ScpServerCommandSSUPDATE_EX::run(uint8_t session, ScpInfoAccessor& accessor)
{
    // The index is not checked here: a negative one reaches the model as its unsigned value,
    // which a model that numbers its snapshots from 0 refuses itself.
    return accessor.getParameters().updateSnapshot(session, category(), static_cast<uint32_t>(m_index.get()));
}

}  // namespace SCP
