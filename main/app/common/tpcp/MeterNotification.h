#pragma once
// Handler of "/DRAVO/meter". Stateless.
#include "common/tpcp/IMeterNotification.h"

namespace TPCP {

class MeterNotification : public IMeterNotification {
public:
    const char* getName() const override { return "/DRAVO/meter"; }
    [[nodiscard]] JLIB::JResult process(IMeterNotificationProcessor* processor, const std::vector<JVariant>* arguments) override;
};

}  // namespace TPCP
