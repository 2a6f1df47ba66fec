#include "TMS/SystemMessage.h"

namespace TMS {

namespace {

bool isKnown(SysMessageId id) { return id <= kSysRelease; }

}  // namespace

SystemMessage::SystemMessage(SysMessageId id, const ArgumentMap& arguments)
    : AbstractMessage(isKnown(id) ? kMessageSystem : kMessageNone, isKnown(id) ? static_cast<uint32_t>(id) : 0u,
                      isKnown(id) ? arguments : getNullDataMap())
{
}

}  // namespace TMS
