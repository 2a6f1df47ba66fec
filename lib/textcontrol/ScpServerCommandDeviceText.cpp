#include "textcontrol/ScpServerCommandDeviceText.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandDeviceText::ScpServerCommandDeviceText(const char* name, uint32_t textCapacity, bool status)
    : ScpServerCommand(name), m_textCapacity(textCapacity), m_status(status)
{
    m_tag.initialize("tag");
    m_data.initialize("data");
    add(m_tag, kBoth);
    add(m_data, kReply);
}

JLIB::JResult ScpServerCommandDeviceText::run(uint8_t, ScpInfoAccessor& accessor)
{
    (void)m_tag.toLower();
    ScpString text = makeScpString(m_textCapacity);
    ScpDeviceController& controller = accessor.getDeviceController();
    const JLIB::JResult r =
        m_status ? controller.getDeviceStatus(text, m_tag.get()) : controller.getDeviceInfo(text, m_tag.get());
    (void)m_data.set(text);
    return JLIB::isFailure(r) ? kInvalidArgument : JLIB::kOk;
}

JLIB::JResult ScpServerCommandDeviceText::run(uint8_t session, ScpInfoAccessor& accessor, const char* tag, char* data,
                                              uint32_t dataSize)
{
    m_data.clear();
    m_tag.clear();
    if (tag) (void)m_tag.set(tag);
    if (!isOK(kArgument)) return kWrongFormat;
    const JLIB::JResult r = run(session, accessor);
    if (data && dataSize > 0) {
        uint32_t written = 0;
        (void)m_data.get().toLatin1(data, dataSize, &written, '?');
    }
    return r;
}

}  // namespace SCP
