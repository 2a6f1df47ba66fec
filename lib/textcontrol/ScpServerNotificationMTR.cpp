#include "textcontrol/ScpServerNotificationMTR.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;

}  // namespace

ScpServerNotificationMTR::ScpServerNotificationMTR() : ScpServerNotification("mtr"), m_meter(kMaxValues)
{
    m_address.initialize("address");
    m_type.initialize("type");
    m_meter.initialize("meter");
    add(m_address);
    add(m_type);
    add(m_meter);
}

JLIB::JResult ScpServerNotificationMTR::set(ScpMeter& model, uint32_t index)
{
    ScpString address = makeScpString(kAddressChars);
    ScpMeterAttrib attrib;
    const uint8_t* values = nullptr;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(model.getAddress(address, index));
    JLIB_RETURN_IF_FAILED(model.getAttrib(attrib, index));
    JLIB_RETURN_IF_FAILED(model.getMeters(values, count, index));
    (void)m_address.set(address);
    (void)m_type.set(attrib.typeToString());
    m_meter.clear();
    // Never past what the model handed over, whatever its attributes announce.
    uint32_t n = attrib.num < count ? attrib.num : count;
    if (!values) n = 0;
    for (uint32_t i = 0; i < n && i < kMaxValues; ++i) {
        ScpElementMeter element("meter", values[i]);
        if (JLIB::isFailure(m_meter.append(element))) break;
    }
    return JLIB::kOk;
}

}  // namespace SCP
