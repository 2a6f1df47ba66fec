#pragma once
// "NOTIFY set": a parameter's address, indexes, value and display text. Server's thread only.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpElementSubAddress.h"
#include "textcontrol/ScpParameter.h"
#include "textcontrol/ScpServerNotification.h"

namespace SCP {

class ScpServerNotificationSET : public ScpServerNotification {
public:
    ScpServerNotificationSET();
    [[nodiscard]] JLIB::JResult set(uint8_t session, ScpParameter& model, uint32_t index, uint32_t x, uint32_t y);

private:
    ScpElementAlNum m_address;
    ScpElementSubAddress m_x;
    ScpElementSubAddress m_y;
    ScpElementParameter m_param;
    ScpElementString m_text;
};

}  // namespace SCP
