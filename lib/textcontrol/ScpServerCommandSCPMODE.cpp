#include "textcontrol/ScpServerCommandSCPMODE.h"

#include <cstdio>
#include <cstring>

#include "jlib/jlib_number.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

// At most 14 characters, anything outside ASCII a blank, one leading double quote skipped.
int32_t numberOf(const ScpString& data)
{
    char buffer[15] = {};
    uint32_t n = 0;
    for (auto it = data.begin(); !data.isEnd(it) && n < 14; ++it, ++n) {
        const uint32_t c = it->get();
        buffer[n] = c < 0x80 && c != 0 ? static_cast<char>(c) : ' ';
    }
    const char* text = buffer;
    if (*text == '"') ++text;
    int32_t value = 0;
    (void)jlib_strntol(&value, text, nullptr, 10, static_cast<uint32_t>(std::strlen(text)));
    return value;
}

}  // namespace

ScpServerCommandSCPMODE::ScpServerCommandSCPMODE() : ScpServerCommand("scpmode")
{
    m_tag.initialize("tag");
    m_data.initialize("data");
    add(m_tag, kBoth);
    add(m_data, kBoth);
}

JLIB::JResult ScpServerCommandSCPMODE::run(uint8_t, ScpInfoAccessor& accessor)
{
    (void)m_tag.toLower();
    (void)m_data.toLower();
    ScpSessionData& session = accessor.getSessionData();
    const ScpString& tag = m_tag.get();
    const ScpString& data = m_data.get();
    if (tag == "format") {
        if (data == "raw" || data == "json") {
            (void)session.changeScpFormat(data == "raw" ? kScpFormatRaw : kScpFormatJson);
            return JLIB::kOk;
        }
    } else if (tag == "encoding") {
        if (data == "ascii" || data == "utf8") {
            (void)session.setEncoding(data == "ascii" ? kScpEncodingAscii : kScpEncodingUtf8);
            return JLIB::kOk;
        }
    } else if (tag == "valuetype") {
        if (data == "raw" || data == "normalized") {
            (void)session.setValueType(data == "raw" ? kScpValueTypeRaw : kScpValueTypeNormalized);
            return JLIB::kOk;
        }
    } else if (tag == "resolution" || tag == "keepalive") {
        const bool resolution = tag == "resolution";
        const int32_t number = numberOf(data);
        if (number < (resolution ? 100 : 1000)) return kInvalidArgument;
        if (resolution) {
            (void)session.setResolution(static_cast<uint32_t>(number));
        } else {
            (void)session.setKeepAliveInterval(static_cast<uint32_t>(number) * 2u);
        }
        char printed[16];
        (void)std::snprintf(printed, sizeof printed, "%d", number);
        (void)m_data.set(printed);
        return JLIB::kOk;
    }
    return kInvalidArgument;
}

JLIB::JResult ScpServerCommandSCPMODE::run(uint8_t session, ScpInfoAccessor& accessor, const char* tag,
                                           const char* data)
{
    m_tag.clear();
    m_data.clear();
    if (tag) (void)m_tag.set(tag);
    if (data) (void)m_data.set(data);
    return isOK(kArgument) ? run(session, accessor) : kWrongFormat;
}

}  // namespace SCP
