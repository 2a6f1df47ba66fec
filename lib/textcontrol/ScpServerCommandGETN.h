#pragma once
// "getn" reads normalised positions within the session's resolution; one object per request,
// on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementArray.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandRead.h"

namespace SCP {

class ScpServerCommandGETN : public ScpServerCommandRead {
public:
    ScpServerCommandGETN();

protected:
    JLIB::JResult readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index, uint32_t x, uint32_t y,
                              bool& unprintable) override;
    void clearList() override { m_positions.clear(); }

private:
    ScpElementArray<ScpElementInteger> m_positions;
};

}  // namespace SCP
