#include "textcontrol/ScpServerCommand.h"

#include <cstring>

#include "textcontrol/internal/scp_output.h"

namespace SCP {

using internal::scp_writeText;

const char* const ScpServerCommand::m_AdditionalInfoTag[3] = {"", "m", "m"};

ScpServerCommand::ScpServerCommand(const char* name) : m_pName(name)
{
    m_command.initialize("command");
    (void)m_command.set(name);  // keywords are short constant texts
    add(m_command, kArgument | kReply);
}

ScpServerCommand::~ScpServerCommand() = default;

JLIB::JResult ScpServerCommand::run(uint8_t, ScpInfoAccessor&) { return kInternalError; }

const ScpString* ScpServerCommand::getText(const ScpUnicodeStringTable& keys, const ScpUnicodeStringTable& data,
                                           const char* tag, uint32_t position)
{
    if (keys.size() == 0) return data.at(position);
    if (!tag) return nullptr;
    // A member whose name merely contains the tag ("text" holds "x") must not feed it while the
    // member of that very name is there.
    char quoted[ScpElementAlNum::kCapacity + 3];
    const size_t length = std::strlen(tag);
    if (length + 3 <= sizeof quoted) {
        quoted[0] = '"';
        std::memcpy(quoted + 1, tag, length);
        quoted[length + 1] = '"';
        quoted[length + 2] = '\0';
        for (uint32_t i = 0; i < keys.size(); ++i) {
            const ScpString* key = keys.at(i);
            if (key && key->compare(quoted, JLIB::kCompareExact)) return data.at(i);
        }
    }
    const uint32_t pos = keys.findPos(tag);
    return pos == ScpElementList::kNotFound ? nullptr : data.at(pos);
}

JLIB::JResult ScpServerCommand::decode(const ScpUnicodeStringTable& keys, const ScpUnicodeStringTable& data)
{
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 1; i < m_list.size(); ++i) {
        ScpElement* element = m_list.at(i);
        element->clear();
        if (!m_list.checkType(i, kArgument)) continue;
        const ScpString* token = getText(keys, data, element->getTag(), i);
        if (!token || JLIB::isFailure(element->decode(*token))) result = kWrongFormat;
    }
    return result;
}

bool ScpServerCommand::isOK(uint8_t mask) const
{
    for (uint32_t i = 0; i < m_list.size(); ++i) {
        if (m_list.checkType(i, mask) && !m_list.at(i)->isSet()) return false;
    }
    return true;
}

JLIB::JResult ScpServerCommand::receive(uint8_t session, const ScpUnicodeStringTable& keys,
                                        const ScpUnicodeStringTable& data, ScpInfoAccessor& accessor)
{
    if (JLIB::isFailure(decode(keys, data)) || !isOK(kArgument)) return kWrongFormat;
    return run(session, accessor);
}

JLIB::JResult ScpServerCommand::makeReply(ScpFormat format, ScpEncoding encoding,
                                          JLIB::JDataStream<unsigned char>& stream, uint32_t info)
{
    if (!isOK(kReply) || info > 2) return kWrongFormat;
    (void)stream.clear();
    const bool json = format == kScpFormatJson;
    JLIB::JResult r = scp_writeText(stream, json ? "{\"report\":\"OK" : "OK");
    if (JLIB::isSuccess(r)) r = scp_writeText(stream, m_AdditionalInfoTag[info]);
    if (JLIB::isSuccess(r) && json) r = scp_writeText(stream, "\"");
    for (uint32_t i = 0; i < m_list.size() && JLIB::isSuccess(r); ++i) {
        if (!m_list.checkType(i, kReply)) continue;
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
    return JLIB::isFailure(r) ? kClipped : JLIB::kOk;
}

JLIB::JResult ScpServerCommand::overrideError(JLIB::JResult a, JLIB::JResult b)
{
    if (JLIB::isFailure(b)) return (JLIB::isFailure(a) && (a & 0x7FFFFFFFu) <= (b & 0x7FFFFFFFu)) ? a : b;
    return (JLIB::isFailure(a) || a >= b) ? a : b;
}

}  // namespace SCP
