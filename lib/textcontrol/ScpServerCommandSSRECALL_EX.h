#pragma once
// "ssrecall_ex": "ssrecall" for a category the client names; one object per request, on the server's thread.
#include "textcontrol/ScpServerCommandSSRECALL.h"

namespace SCP {

class ScpServerCommandSSRECALL_EX : public ScpServerCommandSSRECALL {
public:
    ScpServerCommandSSRECALL_EX() : ScpServerCommandSSRECALL("ssrecall_ex", true) {}
};

}  // namespace SCP
