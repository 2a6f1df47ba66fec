#include "textcontrol/ScpServerCommandSETN.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandSETN::ScpServerCommandSETN() : ScpServerCommandWrite("setn")
{
    m_nparam.initialize("nparam");
    add(m_nparam, kBoth);
    add(m_text, kReply);
}

JLIB::JResult ScpServerCommandSETN::run(uint8_t session, ScpInfoAccessor& accessor)
{
    ScpParameter& model = accessor.getParameters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(check(model, index));
    const auto x = static_cast<uint32_t>(m_x.get());
    const auto y = static_cast<uint32_t>(m_y.get());
    const uint32_t resolution = accessor.getSessionData().getResolution();
    const int32_t n = m_nparam.get();
    bool clipped = false;
    uint32_t position = 0;
    if (n < 0) {
        clipped = true;
    } else if (static_cast<uint32_t>(n) < resolution) {
        position = static_cast<uint32_t>(n);
    } else {
        position = resolution == 0 ? 0 : resolution - 1;
        clipped = true;
    }
    const JLIB::JResult r = model.setRatio(session, index, x, y, position, resolution);
    if (JLIB::isFailure(r)) return r;
    uint32_t readPosition = 0;
    (void)model.getRatio(readPosition, resolution, session, index, x, y);
    (void)m_nparam.set(static_cast<int32_t>(readPosition));
    readBack(model, session, index);
    return clipped ? 1 : 0;
}

JLIB::JResult ScpServerCommandSETN::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y, uint32_t nparam)
{
    (void)setArguments(address, x, y);
    (void)m_nparam.set(static_cast<int32_t>(nparam));
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
