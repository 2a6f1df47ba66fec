#include "common/tpcp/ErrorNotification.h"

#include "common/tpcp/INotificationProcessor.h"
#include "common/tpcp/internal/tpcp_arguments.h"

namespace TPCP {

JLIB::JResult ErrorNotification::process(INotificationProcessor* processor, const std::vector<JVariant>* arguments)
{
    if (!internal::hasArguments(processor, arguments, 2)) return internal::kFailed;
    const std::vector<JVariant>& a = *arguments;
    return internal::reduced(processor->processErrorNotification(internal::textOf(a[0]), internal::textOf(a[1])));
}

}  // namespace TPCP
