#include "textcontrol/ScpElementParameter.h"

#include <cstdio>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/internal/scp_output.h"

namespace SCP {

namespace {

bool isHeldType(const JVariant& value)
{
    const int type = value.getType();
    return type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32 || type == JVariant::kTypeString;
}

}  // namespace

ScpElementParameter::ScpElementParameter() : m_value(0) {}

ScpElementParameter::ScpElementParameter(const char* tag, const JVariant& value) : ScpElement(tag, true)
{
    (void)set(value);  // always 0
}

void ScpElementParameter::clear()
{
    ScpElement::clear();
    (void)m_value.invalid();  // always 0
}

JLIB::JResult ScpElementParameter::set(const JVariant& value)
{
    if (!isHeldType(value)) {
        (void)m_value.invalid();  // always 0
        markSet(false);
        return JLIB::kOk;
    }
    m_value = value;
    markSet(m_value.isValid());  // a text that could not be copied leaves the value invalid
    return JLIB::kOk;
}

JLIB::JResult ScpElementParameter::get(JVariant& out) const
{
    if (!isHeldType(m_value)) {
        (void)out.invalid();  // always 0
        return JLIB::kFailed;
    }
    out = m_value;
    return JLIB::kOk;
}

JLIB::JResult ScpElementParameter::decodeText(const ScpString& token)
{
    char text[kTextCapacity];
    uint32_t count = 0;
    bool closed = false;
    for (auto it = token.begin() + 1; !token.isEnd(it); ++it) {
        const uint32_t c = it->get();
        if (c == '"') {
            closed = true;
            break;
        }
        if (count < kTextCapacity) text[count++] = c > 0x7F ? ' ' : static_cast<char>(c);
    }
    if (!closed) return 0x80000002u;
    if (count >= kTextCapacity) return 0x80000006u;
    text[count] = '\0';
    if (JLIB::isFailure(m_value.setString(text, count))) return JLIB::kFailed;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementParameter::decode(const ScpString& token)
{
    markSet(false);
    if (token.size() == 0 || token.isEnd(token.begin())) return 0x80000004u;
    if (token.begin()->get() == '"') return decodeText(token);
    ScpElementInteger number;
    const JLIB::JResult status = number.decode(token);
    if (JLIB::isFailure(status)) return status;
    (void)m_value.setInt32(number.get());  // always 0x10000
    markSet(true);
    return status;
}

JLIB::JResult ScpElementParameter::encode(ScpFormat, ScpEncoding, JLIB::JDataStream<unsigned char>& stream)
{
    const int type = m_value.getType();
    if (type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32) {
        char text[12];
        std::snprintf(text, sizeof text, "%d", m_value.toInt32());  // the 32 bits as signed
        return internal::scp_writeText(stream, text);
    }
    if (type == JVariant::kTypeString) {
        const char* text = m_value.toString();
        return internal::scp_writeQuotedBytes(stream, text ? text : "");
    }
    return JLIB::kFailed;
}

}  // namespace SCP
