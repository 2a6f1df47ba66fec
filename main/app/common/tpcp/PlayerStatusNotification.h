#pragma once
// Handler of "/DRAVO/playerstatus". Stateless.
#include "common/tpcp/IMeterNotification.h"

namespace TPCP {

class PlayerStatusNotification : public IMeterNotification {
public:
    const char* getName() const override { return "/DRAVO/playerstatus"; }
    [[nodiscard]] JLIB::JResult process(IMeterNotificationProcessor* processor, const std::vector<JVariant>* arguments) override;
};

}  // namespace TPCP
