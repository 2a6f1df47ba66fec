#pragma once
// Switches every solo off and makes every channel audible again, directly in the device database:
// the three groups' "On" switches become 0 and their "_Internal" mirrors 1 on every channel.
#include "jlib/jlib_result.h"

namespace LPC {

// Any task; takes the device database's write lock (recursive, so a link handler may call it
// inside a write) and passes no link handler. The OR of the lock, the six writes and the unlock.
JLIB::JResult soloClear();

}  // namespace LPC
