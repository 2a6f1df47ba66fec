#include "textcontrol/ScpServerCommandSETT.h"

namespace SCP {

ScpServerCommandSETT::ScpServerCommandSETT() : ScpServerCommandWrite("sett")
{
    add(m_text, kArgument | kReply);
    add(m_param, kReply);
}

JLIB::JResult ScpServerCommandSETT::run(uint8_t session, ScpInfoAccessor& accessor)
{
    Target target;
    JLIB_RETURN_IF_FAILED(locate(accessor, target));
    const JLIB::JResult written = target.model->setText(session, target.index, target.x, target.y, m_text.get());
    return answerWrite(target, session, written);
}

JLIB::JResult ScpServerCommandSETT::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y, const char* text)
{
    (void)setArguments(address, x, y);
    if (text) (void)m_text.set(text);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
