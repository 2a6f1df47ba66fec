#pragma once
// Base of the request commands. A command keeps no state: everything it changes lies in the
// providers or in the asking client's session. Run on the OSC server's host thread.
#include <cstdint>

#include "OscServer/OscCore/OscCommandData.h"
#include "OscServer/OscCore/OscTypes.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscInfoAccessor;

class OscServerCommand {
public:
    OscServerCommand() = default;
    OscServerCommand(const OscServerCommand&) = delete;
    OscServerCommand& operator=(const OscServerCommand&) = delete;
    virtual ~OscServerCommand();

    // The command word. Base: "".
    virtual const char* getCommandName() const;
    // Whether a client without keep-alive is answered. Base: false.
    virtual bool shouldReply() const;
    // A failure code (answered "error"), 0 ("ok"), 1 or 2 ("okm"), other positive values ("ok").
    // The command only appends to the reply, and only when it is given. Base: 0x80000000.
    [[nodiscard]] virtual JLIB::JResult run(uint8_t origin, const OscCommandData& command,
                                            const JVariantList& arguments, OscInfoAccessor& accessor,
                                            JVariantList* reply);
};

}  // namespace JOSC
