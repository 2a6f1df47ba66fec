#pragma once
// Keeps a client's facade pointer in step with the instance broker: obtains a facade while the
// named field is available (item state 1) and gives it back once the field is being withdrawn
// (item state 2). A client calls it again whenever the broker tells it the tree changed.
// Any task; the slot belongs to the calling client (no lock of its own).
#include <cstdint>

namespace DeviceControl {

class IFacade;
class IFacadeNotifier;

// State 1 with an empty slot: a facade subscribed with min(areaCount, 2) dirty areas when
// areaCount is not 0 (unsubscribed otherwise), then notifier->attached; getFacade's result, and
// a null slot on failure. State 2 with a facade: notifier->detached, then releaseFacade, the slot
// emptied on success; releaseFacade's result. Anything else changes nothing and gives getState's
// result (a failed getState counts as state 0). 0x80000000 for a null slot. notifier may be null.
[[nodiscard]] uint32_t updateFacadeEx(IFacade** slot, const char* name, unsigned subscribeMode, unsigned areaCount,
                                      unsigned taskId, IFacadeNotifier* notifier);
// updateFacadeEx with subscribe mode 0 and no notifier.
[[nodiscard]] uint32_t updateFacade(IFacade** slot, const char* name, unsigned areaCount, unsigned taskId);

}  // namespace DeviceControl
