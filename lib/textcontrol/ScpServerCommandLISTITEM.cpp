#include "textcontrol/ScpServerCommandLISTITEM.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandLISTITEM::ScpServerCommandLISTITEM() : ScpServerCommand("LISTITEM")
{
    m_category.initialize("category");
    m_index.initialize("index");
    m_data.initialize("data");
    add(m_category, kBoth);
    add(m_index, kBoth);
    add(m_data, kReply);
}

JLIB::JResult ScpServerCommandLISTITEM::run(uint8_t, ScpInfoAccessor& accessor)
{
    JVariant value;
    bool flag = false;
    const JLIB::JResult r = accessor.getDeviceController().getListItem(
        m_category.get(), static_cast<uint32_t>(m_index.get()), value, flag);
    (void)m_data.set(value);
    return flag ? 1 : r;
}

}  // namespace SCP
