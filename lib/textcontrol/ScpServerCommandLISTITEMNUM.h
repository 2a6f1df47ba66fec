#pragma once
// "LISTITEMNUM" counts the items of a list; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandLISTITEMNUM : public ScpServerCommand {
public:
    ScpServerCommandLISTITEMNUM();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementAlNum m_category;
    ScpElementInteger m_number;
    ScpElementInteger m_head;
    ScpElementInteger m_tail;
};

}  // namespace SCP
