#include "editor/CommandItem.h"

namespace VDProtocol {

CommandItem::CommandItem(const PacketContainer& request, uint32_t id) : m_request(request), m_id(id) {}

JLIB::JResult CommandItem::addSubItem(const std::string& name)
{
    m_subItems[name] = kExecuting;
    return JLIB::kOk;
}

JLIB::JResult CommandItem::setSubItemStatus(const std::string& name, int32_t status)
{
    const auto it = m_subItems.find(name);
    if (it == m_subItems.end()) return kFailed;
    it->second = status;
    return JLIB::kOk;
}

int32_t CommandItem::subItemStatus(const std::string& name) const
{
    const auto it = m_subItems.find(name);
    return it == m_subItems.end() ? kNoSubItem : it->second;
}

bool CommandItem::isCommandExec() const
{
    if (m_subItems.empty()) return true;
    for (const auto& entry : m_subItems) {
        if (entry.second == kExecuting) return true;
    }
    return false;
}

}  // namespace VDProtocol
