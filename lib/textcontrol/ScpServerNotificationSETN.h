#pragma once
// "NOTIFY setn": as "set" with the normalised position of the session. Server's thread only.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpElementSubAddress.h"
#include "textcontrol/ScpParameter.h"
#include "textcontrol/ScpServerNotification.h"
#include "textcontrol/ScpSessionData.h"

namespace SCP {

class ScpServerNotificationSETN : public ScpServerNotification {
public:
    ScpServerNotificationSETN();
    [[nodiscard]] JLIB::JResult set(uint8_t session, ScpParameter& model, ScpSessionData& record, uint32_t index,
                                    uint32_t x, uint32_t y);

private:
    ScpElementAlNum m_address;
    ScpElementSubAddress m_x;
    ScpElementSubAddress m_y;
    ScpElementInteger m_nparam;
    ScpElementString m_text;
};

}  // namespace SCP
