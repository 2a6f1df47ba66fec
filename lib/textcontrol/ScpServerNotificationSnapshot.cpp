#include "textcontrol/ScpServerNotificationSnapshot.h"

namespace SCP {

ScpServerNotificationSnapshot::ScpServerNotificationSnapshot(const char* name, bool withStatus)
    : ScpServerNotification(name)
{
    m_category.initialize("category");
    m_index.initialize("index");
    m_status.initialize("status");
    add(m_category);
    add(m_index);
    if (withStatus) add(m_status);
}

JLIB::JResult ScpServerNotificationSnapshot::set(const ScpString& category, uint32_t index)
{
    (void)m_category.set(category);
    (void)m_index.set(static_cast<int32_t>(index));
    (void)m_status.set("unmodified");
    return JLIB::kOk;
}

}  // namespace SCP
