#pragma once
// "ssupdate_ex" stores the state into the snapshot the client names, in the category it names;
// one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSUPDATE_EX : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSUPDATE_EX();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementInteger m_index;
};

}  // namespace SCP
