#include "textcontrol/ScpServerCommandPRMINFO.h"

namespace SCP {

ScpServerCommandPRMINFO::ScpServerCommandPRMINFO() : ScpServerCommand("prminfo")
{
    m_index.initialize("index");
    m_address.initialize("address");
    m_xnum.initialize("xnum");
    m_ynum.initialize("ynum");
    m_min.initialize("min");
    m_max.initialize("max");
    m_default.initialize("default");
    m_unit.initialize("unit");
    m_type.initialize("type");
    m_ui.initialize("ui");
    m_attrib.initialize("attrib");
    m_scaling.initialize("scaling");
    add(m_index, kArgument | kReply);
    add(m_address, kReply);
    add(m_xnum, kReply);
    add(m_ynum, kReply);
    add(m_min, kReply);
    add(m_max, kReply);
    add(m_default, kReply);
    add(m_unit, kReply);
    add(m_type, kReply);
    add(m_ui, kReply);
    add(m_attrib, kReply);
    add(m_scaling, kReply);
}

JLIB::JResult ScpServerCommandPRMINFO::run(uint8_t, ScpInfoAccessor& accessor)
{
    if (m_index.get() < 0) return kInvalidArgument;
    ScpAddressAttrib attrib;
    const JLIB::JResult r = accessor.getParameters().getAttrib(attrib, static_cast<uint32_t>(m_index.get()));
    // Filled whatever the model answered: a failure is answered as an error anyway.
    (void)m_address.set(attrib.address);  // cut to the field
    (void)m_xnum.set(static_cast<int32_t>(attrib.xnum));
    (void)m_ynum.set(static_cast<int32_t>(attrib.ynum));
    (void)m_min.set(attrib.min);
    (void)m_max.set(attrib.max);
    (void)m_default.set(attrib.def);  // a type the reply cannot print leaves it unset: "WrongFormat"
    (void)m_unit.set(attrib.unit);    // none, or one longer than the field: "WrongFormat"
    (void)m_type.set(attrib.typeToString());
    (void)m_ui.set(attrib.uiTypeToString());
    (void)m_attrib.set(attrib.accessToString());
    (void)m_scaling.set(attrib.scaling);
    return r;
}

}  // namespace SCP
