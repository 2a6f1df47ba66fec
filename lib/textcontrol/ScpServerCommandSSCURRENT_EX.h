#pragma once
// "sscurrent_ex": "sscurrent" for a category the client names; one object per request, on the server's thread.
#include "textcontrol/ScpServerCommandSSCURRENT.h"

namespace SCP {

class ScpServerCommandSSCURRENT_EX : public ScpServerCommandSSCURRENT {
public:
    ScpServerCommandSSCURRENT_EX() : ScpServerCommandSSCURRENT("sscurrent_ex", true) {}
};

}  // namespace SCP
