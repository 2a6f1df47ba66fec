#include "textcontrol/ScpServerCommandGET.h"

namespace SCP {

ScpServerCommandGET::ScpServerCommandGET() : ScpServerCommandRead("get"), m_values(kListCapacity)
{
    m_values.initialize("param");
    add(m_values, kReply);
}

JLIB::JResult ScpServerCommandGET::readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index,
                                               uint32_t x, uint32_t y, bool& unprintable)
{
    JVariant value;
    const JLIB::JResult r = accessor.getParameters().getValue(value, session, index, x, y);
    if (JLIB::isFailure(r) || m_values.size() >= kListCapacity) return r;
    const ScpElementParameter element("param", value);
    if (!element.isSet()) {
        unprintable = true;
        return r;
    }
    (void)m_values.append(element);  // room checked above
    return r;
}

}  // namespace SCP
