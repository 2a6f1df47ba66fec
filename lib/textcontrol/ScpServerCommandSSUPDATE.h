#pragma once
// "ssupdate" stores the state into the current snapshot of the default category; one object
// per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSUPDATE : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSUPDATE();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementInteger m_index;
};

}  // namespace SCP
