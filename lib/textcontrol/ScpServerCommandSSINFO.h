#pragma once
// "ssinfo" describes a snapshot; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommandSnapshot.h"

namespace SCP {

class ScpServerCommandSSINFO : public ScpServerCommandSnapshot {
public:
    ScpServerCommandSSINFO() : ScpServerCommandSSINFO("ssinfo", false) {}
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

protected:
    ScpServerCommandSSINFO(const char* name, bool named);

private:
    ScpElementInteger m_index;
    ScpElementString m_numtext;
    ScpElementString m_title;
    ScpElementString m_comment;
    ScpElementAlNum m_attrib;
};

}  // namespace SCP
