#pragma once
// "gett" reads display texts; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementArray.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommandRead.h"

namespace SCP {

class ScpServerCommandGETT : public ScpServerCommandRead {
public:
    ScpServerCommandGETT();

protected:
    JLIB::JResult readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index, uint32_t x, uint32_t y,
                              bool& unprintable) override;
    void clearList() override { m_texts.clear(); }

private:
    ScpElementArray<ScpElementString> m_texts;
};

}  // namespace SCP
