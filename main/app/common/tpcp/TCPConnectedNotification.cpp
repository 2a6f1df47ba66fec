#include "common/tpcp/TCPConnectedNotification.h"

#include "common/tpcp/INotificationProcessor.h"
#include "common/tpcp/internal/tpcp_arguments.h"

namespace TPCP {

JLIB::JResult TCPConnectedNotification::process(INotificationProcessor* processor,
                                                const std::vector<JVariant>* arguments)
{
    if (!internal::hasArguments(processor, arguments, 1)) return internal::kFailed;
    return internal::reduced(processor->processTCPConnectedNotification(internal::textOf((*arguments)[0])));
}

}  // namespace TPCP
