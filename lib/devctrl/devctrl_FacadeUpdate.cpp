#include "devctrl/devctrl_FacadeUpdate.h"

#include "devctrl/devctrl_IFacadeNotifier.h"
#include "devctrl/devctrl_InstanceBroker.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr unsigned kMaxAreaCount = 2;  // a client needs at most a setting and a getting area

bool isFailure(uint32_t result) { return (result & 0x80000000u) != 0; }

}  // namespace

uint32_t updateFacadeEx(IFacade** slot, const char* name, unsigned subscribeMode, unsigned areaCount, unsigned taskId,
                        IFacadeNotifier* notifier)
{
    if (!slot) return kFailed;
    MMSInstanceBroker& broker = MMSInstanceBroker::getInstance();

    MMSInstanceBroker::CATEGORY_ITEM_STATE state = MMSInstanceBroker::ITEM_STATE_MADE;
    const uint32_t stateResult = broker.getState(&state, name);
    if (isFailure(stateResult)) state = MMSInstanceBroker::ITEM_STATE_MADE;

    // The state may change before the next broker call; the broker's own checks decide then.
    if (state == MMSInstanceBroker::ITEM_STATE_AVAILABLE && !*slot) {
        const bool subscribe = areaCount != 0;
        const unsigned areas = areaCount > kMaxAreaCount ? kMaxAreaCount : areaCount;
        const uint32_t r = broker.getFacade(slot, name, subscribe, subscribeMode, areas, taskId);
        if (isFailure(r)) {
            *slot = nullptr;
            return r;
        }
        if (notifier) (void)notifier->attached(name, *slot);  // the client's business
        return r;
    }
    if (state == MMSInstanceBroker::ITEM_STATE_DELETING && *slot) {
        if (notifier) (void)notifier->detached(name, *slot);  // the client's business
        const uint32_t r = broker.releaseFacade(slot, name);
        if (!isFailure(r)) *slot = nullptr;
        return r;
    }
    return stateResult;
}

uint32_t updateFacade(IFacade** slot, const char* name, unsigned areaCount, unsigned taskId)
{
    return updateFacadeEx(slot, name, 0, areaCount, taskId, nullptr);
}

}  // namespace DeviceControl
