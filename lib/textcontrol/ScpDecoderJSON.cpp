#include "textcontrol/ScpDecoderJSON.h"

namespace SCP {

ScpDecoderJSON::ScpDecoderJSON()
{
    (void)m_keyTable.initialize(kTableEntries, kKeyCapacity);  // a refused table stays empty
    (void)m_dataTable.initialize(kTableEntries, kDataCapacity);
}

ScpDecoderJSON::~ScpDecoderJSON() = default;

JLIB::JResult ScpDecoderJSON::clearAll()
{
    (void)clear();  // always 0
    (void)m_keyTable.clear();
    (void)m_dataTable.clear();
    return JLIB::kOk;
}

JLIB::JResult ScpDecoderJSON::clear()
{
    m_quoteState = 0;
    m_objectDepth = -1;
    m_arrayDepth = -1;
    m_keyAwaitsValue = false;
    clearTextBuffer();
    return JLIB::kOk;
}

JLIB::JResult ScpDecoderJSON::addKeyElement()
{
    if (!atOutermostLevel() || m_text.size() == 0) return JLIB::kFailed;
    if (JLIB::isFailure(m_keyTable.append(m_text))) return JLIB::kFailed;
    m_keyAwaitsValue = true;
    return JLIB::kOk;
}

JLIB::JResult ScpDecoderJSON::addDataElement()
{
    if (!atOutermostLevel() || m_text.size() == 0) return JLIB::kFailed;
    m_keyAwaitsValue = false;
    return m_dataTable.append(m_text);
}

void ScpDecoderJSON::dropKeyOfNestedValue()
{
    if (!atOutermostLevel() || !m_keyAwaitsValue) return;
    (void)m_keyTable.removeLast();  // the flag says a key was appended
    m_keyAwaitsValue = false;
}

JLIB::JResult ScpDecoderJSON::decode1Char(uint32_t c)
{
    if (m_quoteState == 1) {
        if (c == '\\') {
            m_quoteState = 2;
        } else {
            if (c == '"') m_quoteState = 0;
            storeChar(c);
        }
        return JLIB::kOk;
    }
    if (m_quoteState == 2) {
        storeEscaped(c);
        m_quoteState = 1;
        return JLIB::kOk;
    }

    JLIB::JResult result = JLIB::kOk;
    switch (c) {
    case '"':
        clearTextBuffer();
        storeChar(c);
        m_quoteState = 1;
        break;
    case ',':
        if (m_arrayDepth >= 0) storeChar(c);
        (void)addDataElement();  // nothing recorded inside nested values, by design
        clearTextBuffer();
        break;
    case ':':
        (void)addKeyElement();
        clearTextBuffer();
        break;
    case '[':
        dropKeyOfNestedValue();
        ++m_arrayDepth;
        clearTextBuffer();
        break;
    case ']':
        (void)addDataElement();
        if (m_arrayDepth < 0) {
            m_arrayDepth = 0;
            result = kUnbalanced;
        }
        clearTextBuffer();
        --m_arrayDepth;
        break;
    case '{':
        dropKeyOfNestedValue();
        ++m_objectDepth;
        clearTextBuffer();
        break;
    case '}':
        (void)addDataElement();
        if (m_objectDepth == 0) {
            (void)clear();
            return kCommandComplete;
        }
        if (m_objectDepth < 0) {
            (void)clear();
            return kUnbalanced;
        }
        clearTextBuffer();
        --m_objectDepth;
        break;
    case ' ':
    case '\t':
        break;
    default:
        storeChar(c);
        break;
    }
    return result;
}

}  // namespace SCP
