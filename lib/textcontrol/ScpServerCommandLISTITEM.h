#pragma once
// "LISTITEM" reads one item of a list; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandLISTITEM : public ScpServerCommand {
public:
    ScpServerCommandLISTITEM();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementAlNum m_category;
    ScpElementInteger m_index;
    ScpElementParameter m_data;
};

}  // namespace SCP
