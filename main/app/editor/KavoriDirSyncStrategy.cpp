#include "editor/KavoriDirSyncStrategy.h"

#include <cstring>

#include "jlib/jlib_ascii.h"

namespace KAVORI {

char toLower(char c) { return static_cast<char>(jlib_tolower(static_cast<unsigned char>(c))); }

int StrICmp(std::string a, std::string b)
{
    for (char& c : a) c = toLower(c);
    for (char& c : b) c = toLower(c);
    return a.compare(b);
}

JLIB::JResult KavoriDirSyncStrategy::set(ComControl::IFileAccessor* accessor, const char* extension)
{
    m_pFileAccessor = accessor;
    m_extension = extension ? extension : "";
    return JLIB::kOk;
}

bool KavoriDirSyncStrategy::isSendFiltered(const char* path)
{
    if (!path) return true;
    if (m_extension.empty()) return false;
    const char* dot = std::strrchr(path, '.');
    if (!dot) return true;
    return StrICmp(dot + 1, m_extension) != 0;
}

}  // namespace KAVORI
