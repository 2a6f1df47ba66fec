#include "textcontrol/ScpServerCommandMTRSTOP.h"

namespace SCP {

ScpServerCommandMTRSTOP::ScpServerCommandMTRSTOP() : ScpServerCommandMeter("mtrstop") {}

JLIB::JResult ScpServerCommandMTRSTOP::run(uint8_t, ScpInfoAccessor& accessor)
{
    ScpMeter& meters = accessor.getMeters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(lookUp(meters, index));
    const JLIB::JResult r = accessor.getSessionData().setMeterStop(index);  // 0 also without a subscription
    echoAddress(meters, index);
    return r;
}

JLIB::JResult ScpServerCommandMTRSTOP::run(uint8_t session, ScpInfoAccessor& accessor, const char* address)
{
    m_address.clear();
    if (address) (void)m_address.set(address);  // a refused text leaves it unset: "WrongFormat"
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
