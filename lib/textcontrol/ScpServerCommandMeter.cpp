#include "textcontrol/ScpServerCommandMeter.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;

}  // namespace

ScpServerCommandMeter::ScpServerCommandMeter(const char* name) : ScpServerCommand(name)
{
    m_address.initialize("address");
    add(m_address, kArgument | kReply);
}

JLIB::JResult ScpServerCommandMeter::lookUp(ScpMeter& meters, uint32_t& index) const
{
    index = 0;
    return JLIB::isFailure(meters.getIndexFromAddress(index, m_address.get())) ? kUnknownAddress : JLIB::kOk;
}

void ScpServerCommandMeter::echoAddress(ScpMeter& meters, uint32_t index)
{
    ScpString address = makeScpString(kAddressChars);
    (void)meters.getAddress(address, index);  // an unreadable address echoes empty
    (void)m_address.set(address);
}

}  // namespace SCP
