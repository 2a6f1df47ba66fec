#include "textcontrol/ScpServerCommandSSUPDATE.h"

namespace SCP {

ScpServerCommandSSUPDATE::ScpServerCommandSSUPDATE() : ScpServerCommandSnapshot("ssupdate", false)
{
    m_index.initialize("index");
    add(m_index, kReply);
}

JLIB::JResult ScpServerCommandSSUPDATE::run(uint8_t session, ScpInfoAccessor& accessor)
{
    ScpParameter& model = accessor.getParameters();
    uint32_t current = 0;
    bool modified = false;
    // Without a current snapshot there is nowhere to store: nothing is written.
    JLIB_RETURN_IF_FAILED(model.getCurrentSnapshot(current, modified, category()));
    const JLIB::JResult r = model.updateSnapshot(session, category(), current);
    (void)m_index.set(static_cast<int32_t>(current));
    return r;
}

}  // namespace SCP
