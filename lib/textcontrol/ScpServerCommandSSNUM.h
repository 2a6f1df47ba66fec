#pragma once
// "ssnum" counts the snapshots; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSNUM : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSNUM() : ScpServerCommandSSNUM("ssnum", false) {}
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

protected:
    ScpServerCommandSSNUM(const char* name, bool named);

private:
    ScpElementInteger m_number;
};

}  // namespace SCP
