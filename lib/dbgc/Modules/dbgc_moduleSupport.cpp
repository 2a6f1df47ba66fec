#include "dbgc/Modules/internal/dbgc_moduleSupport.h"

namespace DBGC::detail {

JLIB::JResult writeLines(DebugConsole& console, const char* const* lines, uint32_t count)
{
    (void)console.startOutput();  // without the lock the help may only interleave with traces
    for (uint32_t i = 0; i < count; ++i) (void)console.output("%s", lines[i]);  // a lost line is not reported
    (void)console.endOutput();    // pairs with the start above
    return JLIB::kOk;
}

bool isHelp(const StringElement& command) { return command == "help" || command == "?"; }

const char* const kComponentEditHelp[8] = {
    "add2 [id] [name] [ver] [num_x] [num_y] : Add component. [id]=UniqId, [name]=component name, [ver]=component "
    "major version, [num_x] [num_y]=component size\n",
    "del2 [id]                              : Delete component. [id]=UniqId\n",
    "add  [id] [name] [ver] [num_x] [num_y] : Add component. [id]=UniqId, [name]=component name, [ver]=component "
    "major version, [num_x] [num_y]=component size\n",
    "del  [id]                              : Delete component. [id]=UniqId\n",
    "show [id]                              : Show all parameters. [id]=UniqId\n",
    "get  [id] [addr_str] [x] [y]           : Get parameter value. [id]=UniqId, [addr_str]=parameter address "
    "string, [x] [y]=parameter index\n",
    "set  [id] [addr_str] [x] [y] [val]     : Set parameter value (except Binary).  [id]=UniqId, "
    "[addr_str]=parameter address string, [x] [y]=parameter index [val]=value\n",
    "set  [id] [addr_str] [x] [y] [val(0)] [val(1)] ... [val(N-1)] : Set parameter value (Binary).  [val]=byte "
    "value (2 digit, hexadecimal without '0x' prefix)\n",
};

}  // namespace DBGC::detail
