#pragma once
// Handler of "/DRAVO/error". Stateless.
#include "common/tpcp/INotification.h"

namespace TPCP {

class ErrorNotification : public INotification {
public:
    const char* getName() const override { return "/DRAVO/error"; }
    [[nodiscard]] JLIB::JResult process(INotificationProcessor* processor, const std::vector<JVariant>* arguments) override;
};

}  // namespace TPCP
