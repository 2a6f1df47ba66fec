#include "editor/PacketContainer.h"

#include <algorithm>

#include "editor/VDProtocolDefine.h"
#include "jlib/jlib_printf.h"

namespace VDProtocol {

namespace {

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

std::vector<std::string> splitString(const std::string& text, const std::string& separator)
{
    std::vector<std::string> pieces;
    if (separator.empty()) return {text};
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

JLIB::JResult PacketContainer::initialize(const char* category, const char* command, const char* from,
                                          const char* to, const char* requestId)
{
    clear();
    m_category = textOf(category);
    m_from = textOf(from);
    m_to = textOf(to);
    m_requestId = textOf(requestId);
    if (m_category == COM_ABORT) return kAbort;
    return setCommandString(textOf(command));
}

JLIB::JResult PacketContainer::setCommandString(const std::string& command)
{
    const std::vector<std::string> pieces = splitString(command, "_");
    if (pieces.size() < 2) return kFailed;
    m_commandType = pieces[0];
    m_commandName.clear();
    for (size_t i = 1; i < pieces.size(); ++i) {
        // Empty pieces right after the type vanish; later ones keep their "_".
        if (!m_commandName.empty()) m_commandName += "_";
        m_commandName += pieces[i];
    }
    return JLIB::kOk;
}

std::string PacketContainer::getCommandString() const
{
    if (m_commandName.empty()) return std::string();
    if (m_commandType.empty()) return m_commandName;
    return m_commandType + "_" + m_commandName;
}

JLIB::JResult PacketContainer::setCategory(const std::string& category)
{
    m_category = category;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setCommandType(const std::string& type)
{
    m_commandType = type;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setCommandName(const std::string& name)
{
    m_commandName = name;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setFrom(const std::string& from)
{
    m_from = from;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setTo(const std::string& to)
{
    m_to = to;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setResuesuID(const std::string& requestId)
{
    m_requestId = requestId;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setResult(uint32_t code, uint32_t progress, const std::string& message)
{
    m_isResult = true;
    m_resultCode = code;
    m_progress = std::min(progress, kMaxProgress);
    m_message = message;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::setCmndInfo(const ArgumentMap& info)
{
    m_cmndInfo = info;
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::addCmndListItem(const ArgumentMap& item)
{
    m_cmndList.push_back(item);
    return JLIB::kOk;
}

JLIB::JResult PacketContainer::clearCmndList()
{
    m_cmndList.clear();
    return JLIB::kOk;
}

const ArgumentMap& PacketContainer::cmndListItem(size_t index) const
{
    static const ArgumentMap empty;
    return index < m_cmndList.size() ? m_cmndList[index] : empty;
}

std::string PacketContainer::resultToString() const
{
    const auto it = RESULT_TABLE.find(m_resultCode);
    if (it != RESULT_TABLE.end()) return it->second;
    return JLIB::isFailure(m_resultCode) ? "ng" : "ok";
}

std::string PacketContainer::progressToString() const
{
    char text[4] = {};  // "100" is the longest: the progress is capped when stored
    (void)jlib_snprintf(text, sizeof(text), nullptr, "%d", static_cast<int>(m_progress));  // fails only without a buffer
    return text;
}

void PacketContainer::clear()
{
    *this = PacketContainer();
}

}  // namespace VDProtocol
