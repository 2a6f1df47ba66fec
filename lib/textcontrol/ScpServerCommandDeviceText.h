#pragma once
// "devinfo" and "devstatus": a tag in, a text out.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandDeviceText : public ScpServerCommand {
public:
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    // The data text receives the model's text (Latin-1, cut to its size).
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* tag, char* data,
                                    uint32_t dataSize);

protected:
    ScpServerCommandDeviceText(const char* name, uint32_t textCapacity, bool status);

    uint32_t m_textCapacity;
    bool m_status;
    ScpElementAlNum m_tag;
    ScpElementString m_data;
};

}  // namespace SCP
