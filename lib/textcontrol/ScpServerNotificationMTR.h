#pragma once
// "NOTIFY mtr": a meter's address, type and at most 150 values. Server's thread only.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementArray.h"
#include "textcontrol/ScpElementMeter.h"
#include "textcontrol/ScpMeter.h"
#include "textcontrol/ScpServerNotification.h"

namespace SCP {

class ScpServerNotificationMTR : public ScpServerNotification {
public:
    static constexpr uint32_t kMaxValues = 150;

    ScpServerNotificationMTR();
    [[nodiscard]] JLIB::JResult set(ScpMeter& model, uint32_t index);

private:
    ScpElementAlNum m_address;
    ScpElementAlNum m_type;
    ScpElementArray<ScpElementMeter> m_meter;
};

}  // namespace SCP
