#pragma once
// Handler of "/DRAVO/tcpconnected". Stateless.
#include "common/tpcp/INotification.h"

namespace TPCP {

class TCPConnectedNotification : public INotification {
public:
    const char* getName() const override { return "/DRAVO/tcpconnected"; }
    [[nodiscard]] JLIB::JResult process(INotificationProcessor* processor, const std::vector<JVariant>* arguments) override;
};

}  // namespace TPCP
