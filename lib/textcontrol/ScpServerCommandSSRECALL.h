#pragma once
// "ssrecall" recalls a snapshot; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSRECALL : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSRECALL() : ScpServerCommandSSRECALL("ssrecall", false) {}
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

protected:
    ScpServerCommandSSRECALL(const char* name, bool named);

private:
    ScpElementInteger m_index;
};

}  // namespace SCP
