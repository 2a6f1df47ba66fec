#include "textcontrol/ScpServerCommandDEVMODE.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandDEVMODE::ScpServerCommandDEVMODE() : ScpServerCommand("devmode")
{
    m_mode.initialize("mode");
    add(m_mode, kBoth);
}

JLIB::JResult ScpServerCommandDEVMODE::run(uint8_t, ScpInfoAccessor& accessor)
{
    (void)m_mode.toLower();
    return JLIB::isFailure(accessor.getDeviceController().changeDeviceMode(m_mode.get())) ? kInvalidArgument
                                                                                           : JLIB::kOk;
}

}  // namespace SCP
