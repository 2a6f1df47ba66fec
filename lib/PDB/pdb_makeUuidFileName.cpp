#include "pdb_makeUuidFileName.h"

#include <cstdint>
#include <utility>

#include "FileCache/fcache_FileAccessor.h"
#include "fsw/file_helpers.h"

namespace PDB {

JLIB::JResult makeUuidFileName(std::string& out, const char* extension)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.clear();
    uint8_t uuid[kFileUuidSize] = {};
    if (JLIB::isFailure(file_getUuid(uuid, sizeof(uuid)))) return JLIB::kFailed;
    std::string name;
    name.reserve(2 * kFileUuidSize + 1 + (extension ? std::char_traits<char>::length(extension) : 0));
    for (const uint8_t byte : uuid) {
        name += kHex[byte >> 4];
        name += kHex[byte & 0x0F];
    }
    if (extension && extension[0] != '\0') {
        name += '.';
        name += extension;
    }
    if (!FILECACHE::FileAccessor::isFileNameValid(name.c_str())) return JLIB::kFailed;
    out = std::move(name);
    return JLIB::kOk;
}

}  // namespace PDB
