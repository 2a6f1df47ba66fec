#pragma once
// "get" reads parameter values; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementArray.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpServerCommandRead.h"

namespace SCP {

class ScpServerCommandGET : public ScpServerCommandRead {
public:
    ScpServerCommandGET();

protected:
    JLIB::JResult readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index, uint32_t x, uint32_t y,
                              bool& unprintable) override;
    void clearList() override { m_values.clear(); }

private:
    ScpElementArray<ScpElementParameter> m_values;
};

}  // namespace SCP
