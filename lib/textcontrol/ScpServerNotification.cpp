#include "textcontrol/ScpServerNotification.h"

#include "textcontrol/internal/scp_output.h"

namespace SCP {

using internal::scp_writeText;

ScpServerNotification::ScpServerNotification(const char* name)
{
    m_command.initialize("command");
    (void)m_command.set(name);
    add(m_command);
}

ScpServerNotification::~ScpServerNotification() = default;

bool ScpServerNotification::isOK(uint8_t mask) const
{
    for (uint32_t i = 0; i < m_list.size(); ++i) {
        if (m_list.checkType(i, mask) && !m_list.at(i)->isSet()) return false;
    }
    return true;
}

JLIB::JResult ScpServerNotification::makeNotification(ScpFormat format, ScpEncoding encoding,
                                                      JLIB::JDataStream<unsigned char>& stream)
{
    if (!isOK(ScpElementList::kNotification)) return 0x80000003u;
    (void)stream.clear();
    const bool json = format == kScpFormatJson;
    JLIB::JResult r = scp_writeText(stream, json ? "{\"report\":\"NOTIFY\"" : "NOTIFY");
    for (uint32_t i = 0; i < m_list.size() && JLIB::isSuccess(r); ++i) {
        ScpElement* element = m_list.at(i);
        if (json) {
            r = scp_writeText(stream, ",\"");
            if (JLIB::isSuccess(r)) r = scp_writeText(stream, element->getTag());
            if (JLIB::isSuccess(r)) r = scp_writeText(stream, "\":");
        } else {
            r = scp_writeText(stream, " ");
        }
        if (JLIB::isSuccess(r)) r = element->encode(format, encoding, stream);
    }
    if (JLIB::isSuccess(r) && json) r = scp_writeText(stream, "}");
    if (JLIB::isSuccess(r)) r = scp_writeText(stream, "\n");
    return JLIB::isFailure(r) ? 0x8000000Du : JLIB::kOk;
}

}  // namespace SCP
