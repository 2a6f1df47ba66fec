#pragma once
// A life-cycle request (start, stop, pause, release) as a message; its sender stays "Dummy".
#include "TMS/AbstractMessage.h"

namespace TMS {

class SystemMessage : public AbstractMessage {
public:
    // An id outside 0..3 leaves a message of type 0, which sending refuses.
    SystemMessage(SysMessageId id, const ArgumentMap& arguments);
};

}  // namespace TMS
