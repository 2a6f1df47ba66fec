#include "common/tpcp/MeterNotificationCollection.h"

#include "common/tpcp/MeterNotification.h"
#include "common/tpcp/PlayerStatusNotification.h"

namespace TPCP {

JLIB::JResult MeterNotificationCollection::createMeterNotificationMap()
{
    std::unique_ptr<IMeterNotification> handlers[] = {std::make_unique<MeterNotification>(), std::make_unique<PlayerStatusNotification>()};
    for (std::unique_ptr<IMeterNotification>& handler : handlers) {
        const std::string name = handler->getName();
        m_map[name] = std::move(handler);
    }
    return JLIB::kOk;
}

JLIB::JResult MeterNotificationCollection::freeMeterNotificationMap()
{
    m_map.clear();
    return JLIB::kOk;
}

IMeterNotification* MeterNotificationCollection::getMeterNotification(const char* address) const
{
    if (!address) return nullptr;
    const auto it = m_map.find(address);
    return it == m_map.end() ? nullptr : it->second.get();
}

}  // namespace TPCP
