#pragma once
// Shared frame of "get", "getn" and "gett": address and two sub-addresses, one of which may be
// "all", read element by element into the command's list (y outer, x inner).
// One object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementSubAddress.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandRead : public ScpServerCommand {
public:
    static constexpr uint32_t kListCapacity = 200;

    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    // One element, without "all": x and y above 0x7FFFFFFF are refused as negative.
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                    uint32_t y);

protected:
    explicit ScpServerCommandRead(const char* name);

    // Reads one element and, while the list has room, appends it: the read's code. A value the
    // list cannot print sets `unprintable` and is not listed.
    virtual JLIB::JResult readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index, uint32_t x,
                                      uint32_t y, bool& unprintable) = 0;
    virtual void clearList() = 0;

    ScpElementAlNum m_address;
    ScpElementSubAddress m_x;
    ScpElementSubAddress m_y;
};

}  // namespace SCP
