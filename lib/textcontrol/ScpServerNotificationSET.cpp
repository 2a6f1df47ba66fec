#include "textcontrol/ScpServerNotificationSET.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;
constexpr uint32_t kDisplayChars = 33;

}  // namespace

ScpServerNotificationSET::ScpServerNotificationSET() : ScpServerNotification("set")
{
    m_address.initialize("address");
    m_x.initialize("x");
    m_y.initialize("y");
    m_param.initialize("param");
    m_text.initialize("text");
    add(m_address);
    add(m_x);
    add(m_y);
    add(m_param);
    add(m_text);
}

JLIB::JResult ScpServerNotificationSET::set(uint8_t session, ScpParameter& model, uint32_t index, uint32_t x,
                                            uint32_t y)
{
    ScpString address = makeScpString(kAddressChars);
    ScpString text = makeScpString(kDisplayChars);
    JVariant value;
    JLIB_RETURN_IF_FAILED(model.getAddress(address, index));
    JLIB_RETURN_IF_FAILED(model.getValue(value, session, index, x, y));
    JLIB_RETURN_IF_FAILED(model.getText(text, session, index, x, y));
    (void)m_address.set(address);
    (void)m_x.set(static_cast<int32_t>(x));
    (void)m_y.set(static_cast<int32_t>(y));
    (void)m_param.set(value);
    (void)m_text.set(text);
    return JLIB::kOk;
}

}  // namespace SCP
