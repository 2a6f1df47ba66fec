#pragma once
// "ssinfo_ex": "ssinfo" for a category the client names; one object per request, on the server's thread.
#include "textcontrol/ScpServerCommandSSINFO.h"

namespace SCP {

class ScpServerCommandSSINFO_EX : public ScpServerCommandSSINFO {
public:
    ScpServerCommandSSINFO_EX() : ScpServerCommandSSINFO("ssinfo_ex", true) {}
};

}  // namespace SCP
