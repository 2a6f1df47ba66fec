#include "textcontrol/ScpServerCommandMTRNUM.h"

namespace SCP {

ScpServerCommandMTRNUM::ScpServerCommandMTRNUM() : ScpServerCommand("mtrnum")
{
    m_number.initialize("number");
    add(m_number, kReply);
}

JLIB::JResult ScpServerCommandMTRNUM::run(uint8_t, ScpInfoAccessor& accessor)
{
    (void)m_number.set(static_cast<int32_t>(accessor.getMeters().getAddressNum()));  // a count, never a failure
    return JLIB::kOk;
}

}  // namespace SCP
