#include "editor/CommandContainer.h"

#include "oswrap/oswrap_time.h"

namespace VDProtocol {

// A registry without its lock refuses to register, so no caller waits for an answer that was
// never filed; the lookups find nothing.
CommandContainer::CommandContainer() : m_lock("VDProcContainer") {}

JLIB::JResult CommandContainer::addCommand(uint32_t& id, const PacketContainer& request)
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    if (request.requestID().empty() || request.commandName().empty()) return kFailed;
    if (m_items.size() >= kMaxItems) return kFailed;
    uint32_t candidate = 0;
    (void)oswrap_Get1msCount(&candidate);  // fails only for a null pointer
    while (m_items.count(candidate) != 0) ++candidate;  // at most 100 steps: at most 100 ids in use
    m_items.emplace(candidate, CommandItem(request, candidate));
    id = candidate;
    return JLIB::kOk;
}

JLIB::JResult CommandContainer::findCommand(uint32_t& id, const std::string& commandName) const
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    for (const auto& entry : m_items) {
        if (entry.second.commandName() != commandName) continue;
        id = entry.first;
        return JLIB::kOk;
    }
    return kFailed;
}

JLIB::JResult CommandContainer::findCommand(uint32_t& id, const std::string& commandName,
                                            const std::string& subItemName) const
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    for (const auto& entry : m_items) {
        if (entry.second.commandName() != commandName || !entry.second.hasSubItem(subItemName)) continue;
        id = entry.first;
        return JLIB::kOk;
    }
    return kFailed;
}

JLIB::JResult CommandContainer::getRequestCommand(uint32_t& id, std::string& commandName,
                                                  const std::string& requestId) const
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    for (const auto& entry : m_items) {
        if (entry.second.requestID() != requestId) continue;
        id = entry.first;
        commandName = entry.second.commandName();
        return JLIB::kOk;
    }
    return kFailed;
}

PacketContainer CommandContainer::getPacketContainer(uint32_t id) const
{
    if (!m_lock.isValid()) return PacketContainer();
    TMS::TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_items.find(id);
    return it == m_items.end() ? PacketContainer() : it->second.getPacketContainer();
}

JLIB::JResult CommandContainer::takeCommand(uint32_t id)
{
    if (!m_lock.isValid()) return JLIB::kOk;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    m_items.erase(id);
    return JLIB::kOk;
}

JLIB::JResult CommandContainer::addSubItem(uint32_t id, const std::string& name)
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_items.find(id);
    return it == m_items.end() ? kFailed : it->second.addSubItem(name);
}

JLIB::JResult CommandContainer::setSubItemStatus(uint32_t id, const std::string& name, int32_t status)
{
    if (!m_lock.isValid()) return kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_items.find(id);
    return it == m_items.end() ? kFailed : it->second.setSubItemStatus(name, status);
}

bool CommandContainer::isCommandExec(uint32_t id) const
{
    if (!m_lock.isValid()) return false;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    const auto it = m_items.find(id);
    return it != m_items.end() && it->second.isCommandExec();
}

size_t CommandContainer::size() const
{
    if (!m_lock.isValid()) return 0;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    return m_items.size();
}

}  // namespace VDProtocol
