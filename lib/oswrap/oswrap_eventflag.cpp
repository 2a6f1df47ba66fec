#include "oswrap/oswrap_eventflag.h"

#include "oswrap/internal/osw_flagentry.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

FlagEntry sEventFlag[kFlgRange.highest + 1];

JLIB::JResult createFlg(uint16_t id, const T_OSW_CFLG& pk)
{
    return flgCreate(sEventFlag[id], pk.flgatr, static_cast<uint32_t>(pk.iflgptn), pk.name);
}

}  // namespace

namespace OSWRAP::detail {

void prepareEventFlags()
{
    for (FlagEntry& e : sEventFlag) {
        e.header.status.store(kFlagFree);
        e.header.users.store(0);
        e.pattern.store(0);
        e.attribute = 0;
        storeName(e.name, nullptr);
    }
}

void clearEventFlags()
{
    for (FlagEntry& e : sEventFlag) (void)flgDelete(e);  // entries that are not created answer 0x80000007
}

}  // namespace OSWRAP::detail

JLIB::JResult oswrap_CreFlg(uint16_t id, const T_OSW_CFLG* pk)
{
    if (!pk) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkFixed(kFlgRange, id));
    ModuleWriteLock lock;
    return createFlg(id, *pk);
}

JLIB::JResult oswrap_AcreFlg(uint16_t* id, const T_OSW_CFLG* pk)
{
    if (!id || !pk) return kBadArgument;
    ModuleWriteLock lock;
    for (uint16_t candidate = kFlgRange.autoHighest; candidate >= kFlgRange.autoLowest; --candidate) {
        if (sEventFlag[candidate].header.status.load() == kFlagCreated) continue;
        const JLIB::JResult result = createFlg(candidate, *pk);
        *id = JLIB::isFailure(result) ? 0 : candidate;
        return result;
    }
    return kNoFreeId;
}

JLIB::JResult oswrap_DelFlg(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    ModuleWriteLock lock;
    return flgDelete(sEventFlag[id]);
}

JLIB::JResult oswrap_SetFlg(uint16_t id, uint32_t bits)
{
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return flgSet(sEventFlag[id], bits);
}

JLIB::JResult oswrap_ClrFlg(uint16_t id, uint32_t mask)
{
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return flgClear(sEventFlag[id], mask);
}

JLIB::JResult oswrap_PolFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode)
{
    if (!pattern) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return flgPoll(sEventFlag[id], pattern, waitPattern, mode);
}

JLIB::JResult oswrap_WaiFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode)
{
    return oswrap_TwaiFlg(pattern, id, waitPattern, mode, kForever);
}

JLIB::JResult oswrap_TwaiFlg(uint32_t* pattern, uint16_t id, uint32_t waitPattern, uint32_t mode, int32_t timeoutMs)
{
    if (!pattern) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return flgTimedWait(sEventFlag[id], pattern, waitPattern, mode, timeoutMs);
}

JLIB::JResult oswrap_SetFlgFromISR(uint16_t id, uint32_t)
{
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return kNotSupported;
}

JLIB::JResult oswrap_ClrFlgFromISR(uint16_t id, uint32_t)
{
    JLIB_RETURN_IF_FAILED(chkAll(kFlgRange, id));
    return kNotSupported;
}

JLIB::JResult oswrap_VinqFlg(uint16_t* id, const char* name)
{
    if (!id || !name) return kBadArgument;
    ModuleReadLock lock;
    for (uint16_t candidate = kFlgRange.lowest; candidate <= kFlgRange.highest; ++candidate) {
        const FlagEntry& e = sEventFlag[candidate];
        if (e.header.status.load() == kFlagCreated && nameMatches(e.name, name)) {
            *id = candidate;
            return kOk;
        }
    }
    return kNoName;
}
