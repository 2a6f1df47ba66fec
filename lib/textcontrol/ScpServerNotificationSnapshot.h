#pragma once
// "sscurrent", "sscurrent_ex", "ssrecall_ex", "ssupdate_ex": category and index, and for
// "sscurrent_ex" the status "unmodified".
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerNotification.h"

namespace SCP {

class ScpServerNotificationSnapshot : public ScpServerNotification {
public:
    ScpServerNotificationSnapshot(const char* name, bool withStatus);
    [[nodiscard]] JLIB::JResult set(const ScpString& category, uint32_t index);

private:
    ScpElementAlNum m_category;
    ScpElementInteger m_index;
    ScpElementAlNum m_status;
};

}  // namespace SCP
