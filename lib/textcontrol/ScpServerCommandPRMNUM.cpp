#include "textcontrol/ScpServerCommandPRMNUM.h"

namespace SCP {

ScpServerCommandPRMNUM::ScpServerCommandPRMNUM() : ScpServerCommand("prmnum")
{
    m_number.initialize("number");
    add(m_number, kReply);
}

JLIB::JResult ScpServerCommandPRMNUM::run(uint8_t, ScpInfoAccessor& accessor)
{
    (void)m_number.set(static_cast<int32_t>(accessor.getParameters().getAddressNum()));  // a count, never a failure
    return JLIB::kOk;
}

}  // namespace SCP
