#include "common/KavoriString.h"

namespace KAVORI {

JLIB::JResult _toUpper(std::string& text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return JLIB::kOk;
}

JLIB::JResult splitString(std::vector<std::string>& out, const std::string& text, const std::string& delimiter,
                          bool skipEmpty)
{
    if (delimiter.empty()) {
        if (!text.empty() || !skipEmpty) out.push_back(text);
        return JLIB::kOk;
    }
    size_t begin = 0;
    for (;;) {
        const size_t at = text.find(delimiter, begin);
        const size_t end = at == std::string::npos ? text.size() : at;
        if (end > begin || !skipEmpty) out.push_back(text.substr(begin, end - begin));
        if (at == std::string::npos) break;
        begin = at + delimiter.size();
    }
    return JLIB::kOk;
}

}  // namespace KAVORI
