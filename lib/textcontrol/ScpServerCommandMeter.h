#pragma once
// Shared frame of "mtrstart" and "mtrstop": a meter address, looked up and echoed in its
// canonical form. One object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandMeter : public ScpServerCommand {
protected:
    explicit ScpServerCommandMeter(const char* name);
    // "UnknownAddress" when the meter model does not know the address; 0 with its index.
    JLIB::JResult lookUp(ScpMeter& meters, uint32_t& index) const;
    // The model's own text of the address in place of the client's.
    void echoAddress(ScpMeter& meters, uint32_t index);

    ScpElementAlNum m_address;
};

}  // namespace SCP
