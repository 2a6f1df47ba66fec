#include "textcontrol/ScpServerCommandSET.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandSET::ScpServerCommandSET() : ScpServerCommandWrite("set")
{
    add(m_param, kBoth);
    add(m_text, kReply);
}

JLIB::JResult ScpServerCommandSET::run(uint8_t session, ScpInfoAccessor& accessor)
{
    ScpParameter& model = accessor.getParameters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(check(model, index));
    const auto x = static_cast<uint32_t>(m_x.get());
    const auto y = static_cast<uint32_t>(m_y.get());
    const JLIB::JResult r = model.setValue(session, index, x, y, m_param.get());
    if (JLIB::isFailure(r)) return r;
    JVariant value;
    (void)model.getValue(value, session, index, x, y);
    (void)m_param.set(value);
    readBack(model, session, index);
    return r;
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
