#include "textcontrol/ScpServerCommandRead.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr uint32_t kAddressChars = 201;
constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

// The indexes one axis covers: all of them for "all", else the one given.
struct Range {
    uint32_t first;
    uint32_t count;
};

Range rangeOf(const ScpElementSubAddress& axis, uint32_t size)
{
    if (axis.isAll()) return {0, size};
    return {static_cast<uint32_t>(axis.get()), 1};
}

}  // namespace

ScpServerCommandRead::ScpServerCommandRead(const char* name) : ScpServerCommand(name)
{
    m_address.initialize("address");
    m_x.initialize("x");
    m_y.initialize("y");
    add(m_address, kBoth);
    add(m_x, kBoth);
    add(m_y, kBoth);
}

JLIB::JResult ScpServerCommandRead::run(uint8_t session, ScpInfoAccessor& accessor)
{
    ScpParameter& model = accessor.getParameters();
    uint32_t index = 0;
    if (JLIB::isFailure(model.getIndexFromAddress(index, m_address.get()))) return kUnknownAddress;
    if (m_x.get() < 0 || m_y.get() < 0) return kInvalidArgument;
    if (m_x.isAll() && m_y.isAll()) return kInvalidArgument;

    ScpAddressAttrib attrib;
    (void)model.getAttrib(attrib, index);  // a refused record is the cleared one: "all" covers nothing
    const Range xs = rangeOf(m_x, attrib.xnum);
    const Range ys = rangeOf(m_y, attrib.ynum);

    ScpString address = makeScpString(kAddressChars);
    (void)model.getAddress(address, index);  // an unreadable address echoes empty
    (void)m_address.set(address);
    clearList();

    JLIB::JResult result = JLIB::kOk;
    bool unprintable = false;
    for (uint32_t j = 0; j < ys.count; ++j) {
        for (uint32_t i = 0; i < xs.count; ++i) {
            const JLIB::JResult r = readElement(accessor, session, index, xs.first + i, ys.first + j, unprintable);
            if (JLIB::isFailure(r)) {
                result = r;  // the last failure is the answer; the row ends here
                break;
            }
            if (JLIB::isSuccess(result) && r > result) result = r;
        }
    }
    // A value of a type the reply cannot print would otherwise surface as "Clipped".
    if (unprintable && JLIB::isSuccess(result)) return kWrongFormat;
    return result;
}

JLIB::JResult ScpServerCommandRead::run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                        uint32_t y)
{
    for (uint32_t i = 1; i < m_list.size(); ++i) m_list.at(i)->clear();
    if (address) (void)m_address.set(address);  // a refused text leaves it unset: "WrongFormat"
    (void)m_x.set(static_cast<int32_t>(x));
    (void)m_y.set(static_cast<int32_t>(y));
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
