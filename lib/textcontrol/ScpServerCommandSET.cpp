#include "textcontrol/ScpServerCommandSET.h"

namespace SCP {

ScpServerCommandSET::ScpServerCommandSET() : ScpServerCommandWrite("set")
{
    add(m_param, kArgument | kReply);
    add(m_text, kReply);
}

JLIB::JResult ScpServerCommandSET::run(uint8_t session, ScpInfoAccessor& accessor)
{
    Target target;
    JLIB_RETURN_IF_FAILED(locate(accessor, target));
    const JLIB::JResult written = target.model->setValue(session, target.index, target.x, target.y, m_param.get());
    return answerWrite(target, session, written);
}

JLIB::JResult ScpServerCommandSET::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                       uint32_t y, int32_t value)
{
    (void)setArguments(address, x, y);
    JVariant v;
    (void)v.setInt32(value);
    (void)m_param.set(v);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
