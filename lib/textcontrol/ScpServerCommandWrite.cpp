#include "textcontrol/ScpServerCommandWrite.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;
constexpr uint32_t kDisplayChars = 33;
constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandWrite::ScpServerCommandWrite(const char* name) : ScpServerCommand(name)
{
    m_address.initialize("address");
    m_x.initialize("x");
    m_y.initialize("y");
    m_param.initialize("param");
    m_text.initialize("text");
    add(m_address, kBoth);
    add(m_x, kBoth);
    add(m_y, kBoth);
}

JLIB::JResult ScpServerCommandWrite::check(ScpParameter& model, uint32_t& index)
{
    index = 0;
    if (JLIB::isFailure(model.getIndexFromAddress(index, m_address.get()))) return kUnknownAddress;
    if (m_x.get() < 0 || m_y.get() < 0) return kInvalidArgument;
    return JLIB::kOk;
}

void ScpServerCommandWrite::readBack(ScpParameter& model, uint8_t session, uint32_t index)
{
    ScpString address = makeScpString(kAddressChars);
    (void)model.getAddress(address, index);
    (void)m_address.set(address);
    ScpString text = makeScpString(kDisplayChars);
    (void)model.getText(text, session, index, static_cast<uint32_t>(m_x.get()), static_cast<uint32_t>(m_y.get()));
    (void)m_text.set(text);
}

JLIB::JResult ScpServerCommandWrite::locate(ScpInfoAccessor& accessor, Target& target)
{
    target.model = &accessor.getParameters();
    JLIB_RETURN_IF_FAILED(check(*target.model, target.index));
    target.x = static_cast<uint32_t>(m_x.get());
    target.y = static_cast<uint32_t>(m_y.get());
    return JLIB::kOk;
}

JLIB::JResult ScpServerCommandWrite::answerWrite(const Target& target, uint8_t session, JLIB::JResult written)
{
    if (JLIB::isFailure(written)) return written;
    JVariant value;
    (void)target.model->getValue(value, session, target.index, target.x, target.y);
    (void)m_param.set(value);
    readBack(*target.model, session, target.index);
    return written;
}

JLIB::JResult ScpServerCommandWrite::setArguments(const char* address, uint32_t x, uint32_t y)
{
    for (uint32_t i = 1; i < m_list.size(); ++i) m_list.at(i)->clear();
    if (address) (void)m_address.set(address);  // a refused text leaves it unset: "WrongFormat"
    (void)m_x.set(static_cast<int32_t>(x));
    (void)m_y.set(static_cast<int32_t>(y));
    return JLIB::kOk;
}

}  // namespace SCP
