#include "textcontrol/ScpServerCommandSETR.h"

namespace SCP {

ScpServerCommandSETR::ScpServerCommandSETR() : ScpServerCommandWrite("setr")
{
    m_relative.initialize("relative");
    add(m_relative, kArgument);
    add(m_param, kReply);
    add(m_text, kReply);
}

JLIB::JResult ScpServerCommandSETR::run(uint8_t session, ScpInfoAccessor& accessor)
{
    Target target;
    JLIB_RETURN_IF_FAILED(locate(accessor, target));
    const JLIB::JResult written =
        target.model->incDec(session, target.index, target.x, target.y, m_relative.get(), 0, 0);
    return answerWrite(target, session, written);
}

JLIB::JResult ScpServerCommandSETR::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y, int32_t relative)
{
    (void)setArguments(address, x, y);
    (void)m_relative.set(relative);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
