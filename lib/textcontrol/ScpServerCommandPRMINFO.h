#pragma once
// "prminfo" describes one parameter address; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandPRMINFO : public ScpServerCommand {
public:
    ScpServerCommandPRMINFO();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementInteger m_index;
    ScpElementString m_address;
    ScpElementInteger m_xnum;
    ScpElementInteger m_ynum;
    ScpElementInteger m_min;
    ScpElementInteger m_max;
    ScpElementParameter m_default;
    ScpElementString m_unit;
    ScpElementAlNum m_type;
    ScpElementAlNum m_ui;
    ScpElementAlNum m_attrib;
    ScpElementInteger m_scaling;
};

}  // namespace SCP
