#include "editor/VDStartupOption.h"

#include <cstring>
#include <vector>

#include "common/KavoriString.h"

namespace VDevice {

namespace {

std::string programFolderOf(const char* programPath)
{
    std::vector<std::string> pieces;
    (void)KAVORI::splitString(pieces, programPath ? programPath : "", "\\", true);  // always 0
    if (!pieces.empty()) pieces.pop_back();
    std::string folder;
    for (size_t i = 0; i < pieces.size(); ++i) folder += (i == 0 ? "" : "/") + pieces[i];
    return folder;
}

}  // namespace

VDStartupOption& VDStartupOption::getInstance()
{
    static VDStartupOption instance;
    return instance;
}

JLIB::JResult VDStartupOption::set(int argc, const char* const* argv)
{
    m_processPath.clear();
    m_options.clear();
    if (argc <= 1) return JLIB::kOk;
    if (!argv) return kFailed;
    m_processPath = programFolderOf(argv[0]);

    int first = 1;
    // The entry answers this word with a delay; it is no option, and the options after it count.
    if (argv[1] && std::strcmp(argv[1], "delayedStart") == 0) first = 2;
    for (int i = first; i < argc; ++i) {
        std::vector<std::string> pieces;
        (void)KAVORI::splitString(pieces, argv[i] ? argv[i] : "", "=", true);  // always 0
        if (pieces.size() != 2) return kFailed;
        // A value above 1023 characters is stored as "ERROR:" by the value itself.
        const std::string& value = pieces[1];
        JVariant text;
        (void)text.setString(value.c_str(), static_cast<unsigned int>(value.size()));  // see above
        m_options.emplace(pieces[0], std::move(text));  // a key given before keeps its value
    }
    return JLIB::kOk;
}

JVariant VDStartupOption::argumentValue(const std::string& key) const
{
    const auto it = m_options.find(key);
    return it == m_options.end() ? JVariant() : it->second;
}

}  // namespace VDevice
