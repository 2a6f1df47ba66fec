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
    ScpParameter& model = accessor.getParameters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(check(model, index));
    const auto x = static_cast<uint32_t>(m_x.get());
    const auto y = static_cast<uint32_t>(m_y.get());
    const JLIB::JResult r = model.incDec(session, index, x, y, m_relative.get(), 0, 0);
    if (JLIB::isFailure(r)) return r;
    JVariant value;
    (void)model.getValue(value, session, index, x, y);
    (void)m_param.set(value);
    readBack(model, session, index);
    return r;
}

JLIB::JResult ScpServerCommandSETR::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y, int32_t relative)
{
    (void)setArguments(address, x, y);
    (void)m_relative.set(relative);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
