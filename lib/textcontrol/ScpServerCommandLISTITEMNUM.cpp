#include "textcontrol/ScpServerCommandLISTITEMNUM.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandLISTITEMNUM::ScpServerCommandLISTITEMNUM() : ScpServerCommand("LISTITEMNUM")
{
    m_category.initialize("category");
    m_number.initialize("number");
    m_head.initialize("head");
    m_tail.initialize("tail");
    add(m_category, kBoth);
    add(m_number, kReply);
    add(m_head, kReply);
    add(m_tail, kReply);
}

JLIB::JResult ScpServerCommandLISTITEMNUM::run(uint8_t, ScpInfoAccessor& accessor)
{
    uint32_t number = 0, head = 0, tail = 0;
    const JLIB::JResult r = accessor.getDeviceController().getListItemNum(m_category.get(), number, head, tail);
    (void)m_number.set(static_cast<int32_t>(number));
    (void)m_head.set(static_cast<int32_t>(head));
    (void)m_tail.set(static_cast<int32_t>(tail));
    return r;
}

}  // namespace SCP
