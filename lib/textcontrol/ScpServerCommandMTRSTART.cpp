#include "textcontrol/ScpServerCommandMTRSTART.h"

namespace SCP {

ScpServerCommandMTRSTART::ScpServerCommandMTRSTART() : ScpServerCommandMeter("mtrstart")
{
    m_interval.initialize("interval");
    add(m_interval, kArgument);  // not echoed
}

JLIB::JResult ScpServerCommandMTRSTART::run(uint8_t, ScpInfoAccessor& accessor)
{
    ScpMeter& meters = accessor.getMeters();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(lookUp(meters, index));
    if (m_interval.get() < 0) return kInvalidArgument;
    const JLIB::JResult r = accessor.getSessionData().setMeterStart(index, static_cast<uint32_t>(m_interval.get()));
    echoAddress(meters, index);
    return r;
}

JLIB::JResult ScpServerCommandMTRSTART::run(uint8_t session, ScpInfoAccessor& accessor, const char* address,
                                            uint32_t intervalMs)
{
    m_address.clear();
    if (address) (void)m_address.set(address);  // a refused text leaves it unset: "WrongFormat"
    (void)m_interval.set(static_cast<int32_t>(intervalMs));
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
