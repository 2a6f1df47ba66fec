#pragma once
// Told by updateFacadeEx when it obtains or gives back a client's facade. Supplied by the client;
// called on the task that calls updateFacadeEx, outside the broker's lock. Results are not used.
#include <cstdint>

namespace DeviceControl {

class IFacade;

class IFacadeNotifier {
public:
    // After a facade for the field of that name was obtained into the client's slot.
    virtual uint32_t attached(const char* name, IFacade* facade) = 0;
    // Before that facade is given back to the broker; it is still valid during the call.
    virtual uint32_t detached(const char* name, IFacade* facade) = 0;
    virtual ~IFacadeNotifier() = default;
};

}  // namespace DeviceControl
