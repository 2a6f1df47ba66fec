#pragma once
// "sscurrent" reads the current snapshot and whether the state changed since; one object per
// request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSCURRENT : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSCURRENT() : ScpServerCommandSSCURRENT("sscurrent", false) {}
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

protected:
    ScpServerCommandSSCURRENT(const char* name, bool named);

private:
    ScpElementInteger m_index;
    ScpElementAlNum m_status;
};

}  // namespace SCP
