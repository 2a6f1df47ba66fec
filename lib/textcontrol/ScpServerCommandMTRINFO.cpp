#include "textcontrol/ScpServerCommandMTRINFO.h"

namespace SCP {

ScpServerCommandMTRINFO::ScpServerCommandMTRINFO() : ScpServerCommand("mtrinfo")
{
    m_index.initialize("index");
    m_address.initialize("address");
    m_num.initialize("num");
    m_type.initialize("type");
    add(m_index, kArgument | kReply);
    add(m_address, kReply);
    add(m_num, kReply);
    add(m_type, kReply);
}

JLIB::JResult ScpServerCommandMTRINFO::run(uint8_t, ScpInfoAccessor& accessor)
{
    if (m_index.get() < 0) return kInvalidArgument;
    ScpMeterAttrib attrib;
    const JLIB::JResult r = accessor.getMeters().getAttrib(attrib, static_cast<uint32_t>(m_index.get()));
    (void)m_address.set(attrib.address);  // none, or one longer than the field: "WrongFormat"
    (void)m_num.set(static_cast<int32_t>(attrib.num));
    (void)m_type.set(attrib.typeToString());
    return r;
}

}  // namespace SCP
