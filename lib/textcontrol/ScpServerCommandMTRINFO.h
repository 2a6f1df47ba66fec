#pragma once
// "mtrinfo" describes one meter index; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandMTRINFO : public ScpServerCommand {
public:
    ScpServerCommandMTRINFO();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementInteger m_index;
    ScpElementString m_address;
    ScpElementInteger m_num;
    ScpElementAlNum m_type;
};

}  // namespace SCP
