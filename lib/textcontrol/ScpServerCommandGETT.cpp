#include "textcontrol/ScpServerCommandGETT.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kDisplayChars = 33;

}  // namespace

ScpServerCommandGETT::ScpServerCommandGETT() : ScpServerCommandRead("gett"), m_texts(kListCapacity)
{
    m_texts.initialize("text");
    add(m_texts, kReply);
}

JLIB::JResult ScpServerCommandGETT::readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index,
                                                uint32_t x, uint32_t y, bool&)
{
    ScpString text = makeScpString(kDisplayChars);
    const JLIB::JResult r = accessor.getParameters().getText(text, session, index, x, y);
    if (JLIB::isFailure(r) || m_texts.size() >= kListCapacity) return r;
    (void)m_texts.append(ScpElementString("text", text));  // room checked above
    return r;
}

}  // namespace SCP
