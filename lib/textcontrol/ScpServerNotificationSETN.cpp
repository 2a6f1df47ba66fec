#include "textcontrol/ScpServerNotificationSETN.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;
constexpr uint32_t kDisplayChars = 33;

}  // namespace

ScpServerNotificationSETN::ScpServerNotificationSETN() : ScpServerNotification("setn")
{
    m_address.initialize("address");
    m_x.initialize("x");
    m_y.initialize("y");
    m_nparam.initialize("nparam");
    m_text.initialize("text");
    add(m_address);
    add(m_x);
    add(m_y);
    add(m_nparam);
    add(m_text);
}

JLIB::JResult ScpServerNotificationSETN::set(uint8_t session, ScpParameter& model, ScpSessionData& record,
                                             uint32_t index, uint32_t x, uint32_t y)
{
    ScpString address = makeScpString(kAddressChars);
    ScpString text = makeScpString(kDisplayChars);
    uint32_t position = 0;
    JLIB_RETURN_IF_FAILED(model.getAddress(address, index));
    JLIB_RETURN_IF_FAILED(model.getRatio(position, record.getResolution(), session, index, x, y));
    JLIB_RETURN_IF_FAILED(model.getText(text, session, index, x, y));
    (void)m_address.set(address);
    (void)m_x.set(static_cast<int32_t>(x));
    (void)m_y.set(static_cast<int32_t>(y));
    (void)m_nparam.set(static_cast<int32_t>(position));
    (void)m_text.set(text);
    return JLIB::kOk;
}

}  // namespace SCP
