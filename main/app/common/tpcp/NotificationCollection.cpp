#include "common/tpcp/NotificationCollection.h"

#include "common/tpcp/TCPConnectedNotification.h"
#include "common/tpcp/ErrorNotification.h"

namespace TPCP {

JLIB::JResult NotificationCollection::createNotificationMap()
{
    std::unique_ptr<INotification> handlers[] = {std::make_unique<TCPConnectedNotification>(), std::make_unique<ErrorNotification>()};
    for (std::unique_ptr<INotification>& handler : handlers) {
        const std::string name = handler->getName();
        m_map[name] = std::move(handler);
    }
    return JLIB::kOk;
}

JLIB::JResult NotificationCollection::freeNotificationMap()
{
    m_map.clear();
    return JLIB::kOk;
}

INotification* NotificationCollection::getNotification(const char* address) const
{
    if (!address) return nullptr;
    const auto it = m_map.find(address);
    return it == m_map.end() ? nullptr : it->second.get();
}

}  // namespace TPCP
