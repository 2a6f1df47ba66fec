#include "common/KavoriResourcePath.h"

#include <unistd.h>

namespace KAVORI {

std::string programFolder()
{
    char buffer[kResourcePathRoom + 1];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    // A link that fills the whole buffer may have been cut.
    if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) return {};
    const std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string resourcePath(const char* name)
{
    if (!name) return {};
    const std::string folder = programFolder();
    if (folder.empty()) return {};
    std::string path = folder + "/" + name;
    if (path.size() > kResourcePathRoom) return {};
    return path;
}

}  // namespace KAVORI
