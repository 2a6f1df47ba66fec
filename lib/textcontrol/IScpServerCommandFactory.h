#pragma once
// Makes and releases the command object of one keyword; the server dispatches through a table of them.
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class IScpServerCommandFactory {
public:
    virtual ~IScpServerCommandFactory() = default;
    virtual const char* getCommandName() const = 0;
    // Null when the SCP heap is exhausted.
    virtual ScpServerCommand* create() = 0;
    virtual void destroy(ScpServerCommand*& command) = 0;
};

}  // namespace SCP
