#include "textcontrol/ScpServerCommandSETT.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandSETT::ScpServerCommandSETT() : ScpServerCommandWrite("sett")
{
    add(m_text, kBoth);
    add(m_param, kReply);
}

JLIB::JResult ScpServerCommandSETT::run(uint8_t session, ScpInfoAccessor& accessor)
{
    ScpParameter& model = accessor.getParameters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(check(model, index));
    const auto x = static_cast<uint32_t>(m_x.get());
    const auto y = static_cast<uint32_t>(m_y.get());
    const JLIB::JResult r = model.setText(session, index, x, y, m_text.get());
    if (JLIB::isFailure(r)) return r;
    JVariant value;
    (void)model.getValue(value, session, index, x, y);
    (void)m_param.set(value);
    readBack(model, session, index);
    return r;
}

JLIB::JResult ScpServerCommandSETT::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y, const char* text)
{
    (void)setArguments(address, x, y);
    if (text) (void)m_text.set(text);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
