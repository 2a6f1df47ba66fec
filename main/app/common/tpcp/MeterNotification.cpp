#include "common/tpcp/MeterNotification.h"

#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/internal/tpcp_arguments.h"

namespace TPCP {

JLIB::JResult MeterNotification::process(IMeterNotificationProcessor* processor, const std::vector<JVariant>* arguments)
{
    if (!internal::hasArguments(processor, arguments, 5)) return internal::kFailed;
    const std::vector<JVariant>& a = *arguments;
    const internal::BlobView blob = internal::blobOf(a[4]);
    return internal::reduced(processor->processMeterNotification(a[0].toUInt32(), a[1].toUInt32(), a[2].toUInt32(),
                                                                 a[3].toUInt32(), blob.count, blob.bytes));
}

}  // namespace TPCP
