#include "OscServer/OscCore/OscServerCommand.h"

namespace JOSC {

OscServerCommand::~OscServerCommand() = default;

const char* OscServerCommand::getCommandName() const { return ""; }

bool OscServerCommand::shouldReply() const { return false; }

JLIB::JResult OscServerCommand::run(uint8_t, const OscCommandData&, const JVariantList&, OscInfoAccessor&,
                                    JVariantList*)
{
    return JLIB::kFailed;
}

}  // namespace JOSC
