#include "common/tpcp/PlayerStatusNotification.h"

#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/internal/tpcp_arguments.h"

namespace TPCP {

JLIB::JResult PlayerStatusNotification::process(IMeterNotificationProcessor* processor,
                                                const std::vector<JVariant>* arguments)
{
    if (!internal::hasArguments(processor, arguments, 6)) return internal::kFailed;
    const std::vector<JVariant>& a = *arguments;
    const internal::BlobView blob = internal::blobOf(a[5]);
    // Words 1 to 4 are signed on the wire; they pass with the same bits.
    return internal::reduced(processor->processPlayerStatusNotification(
        a[0].toUInt32(), static_cast<uint32_t>(a[1].toInt32()), static_cast<uint32_t>(a[2].toInt32()),
        static_cast<uint32_t>(a[3].toInt32()), static_cast<uint32_t>(a[4].toInt32()), blob.count,
        reinterpret_cast<const CoreInfo*>(blob.bytes)));
}

}  // namespace TPCP
