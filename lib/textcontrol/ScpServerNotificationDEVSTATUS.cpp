#include "textcontrol/ScpServerNotificationDEVSTATUS.h"

namespace SCP {

ScpServerNotificationDEVSTATUS::ScpServerNotificationDEVSTATUS() : ScpServerNotification("devstatus")
{
    m_tag.initialize("tag");
    m_data.initialize("data");
    add(m_tag);
    add(m_data);
}

JLIB::JResult ScpServerNotificationDEVSTATUS::set(const wchar_t* tag, const wchar_t* data)
{
    if (tag) (void)m_tag.set(tag);
    if (data) (void)m_data.set(data);
    return JLIB::kOk;
}

}  // namespace SCP
