#pragma once
// Fresh file names for new scene and preset files. Stateless; any task.
#include <string>

#include "jlib/jlib_result.h"

namespace PDB {

// 32 upper-case hexadecimal digits of a fresh 16-byte unique id, then "." and the extension
// unless it is empty (or null). 0, or 0x80000000 with out empty when no id could be made or the
// name is not a valid file name.
[[nodiscard]] JLIB::JResult makeUuidFileName(std::string& out, const char* extension);

}  // namespace PDB
