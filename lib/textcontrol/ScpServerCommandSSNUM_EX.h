#pragma once
// "ssnum_ex": "ssnum" for a category the client names; one object per request, on the server's thread.
#include "textcontrol/ScpServerCommandSSNUM.h"

namespace SCP {

class ScpServerCommandSSNUM_EX : public ScpServerCommandSSNUM {
public:
    ScpServerCommandSSNUM_EX() : ScpServerCommandSSNUM("ssnum_ex", true) {}
};

}  // namespace SCP
