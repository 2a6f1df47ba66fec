#pragma once
// "NOTIFY devstatus": a device status tag and its text. Server's thread only.
#include <cstdint>

#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerNotification.h"

namespace SCP {

class ScpServerNotificationDEVSTATUS : public ScpServerNotification {
public:
    ScpServerNotificationDEVSTATUS();
    [[nodiscard]] JLIB::JResult set(const wchar_t* tag, const wchar_t* data);

private:
    ScpElementString m_tag;
    ScpElementString m_data;
};

}  // namespace SCP
