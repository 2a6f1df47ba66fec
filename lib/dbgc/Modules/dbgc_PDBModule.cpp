#include "dbgc/Modules/dbgc_PDBModule.h"

#include <cstring>

#include "TMS/AbstractMessage.h"
#include "dbgc/Modules/internal/dbgc_moduleSupport.h"
#include "jlib/jlib_cfg.h"

namespace DBGC {

namespace {

const char* const kHelpHead[] = {
    "help | ?                               : This help\n",
    "save [pdb_id] [file_name]              : Save PDB file.\n",
    "load [pdb_id] [file_name]              : Load PDB file.\n",
};

JLIB::JResult writeHelp(DebugConsole& console)
{
    (void)console.startOutput();  // without the lock the help may only interleave with traces
    for (const char* line : kHelpHead) (void)console.output("%s", line);  // lost lines are not reported
    for (const char* line : detail::kComponentEditHelp) (void)console.output("%s", line);
    (void)console.output("\n");
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

// A relative name that cannot climb out of the folder it is resolved in.
bool staysInUserFolder(const char* name)
{
    if (!name || *name == '\0' || *name == '/' || std::strchr(name, '\\')) return false;
    for (const char* part = name; part;) {
        const char* slash = std::strchr(part, '/');
        const size_t length = slash ? static_cast<size_t>(slash - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.') return false;
        part = slash ? slash + 1 : nullptr;
    }
    return true;
}

JLIB::JResult sendFileCommand(const char* commandName, const StringElement* tokens)
{
    const char* fileName = tokens[2].c_str();
    if (!staysInUserFolder(fileName)) {
        JLIB_LOG("[E] dbgPDBModule - file name outside the user folder refused: %s\n", fileName ? fileName : "");
        return JLIB::kFailed;
    }
    TMS::AbstractMessage message;
    JLIB_RETURN_IF_FAILED(message.initialize(TMS::kMessageUser, 0));
    JLIB::JResult added = message.addData("CommandName", commandName);
    added |= message.addData("PDBID", tokens[1].dec2UInt());
    added |= message.addData("FilePath", fileName);  // as typed: the receiver resolves it in the user folder
    if (JLIB::isFailure(added)) return JLIB::kFailed;
    return message.sendWithWaiting("DeviceControl");
}

}  // namespace

JLIB::JResult dbgPDBModule(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count == 0) return JLIB::kFailed;
    const StringElement& command = tokens[0];
    if (detail::isHelp(command)) return writeHelp(console);
    if (count < 3) return JLIB::kFailed;
    if (command == "save") return sendFileCommand("SaveProject", tokens);
    if (command == "load") return sendFileCommand("LoadProject", tokens);
    return JLIB::kFailed;
}

}  // namespace DBGC
