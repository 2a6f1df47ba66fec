#include "textcontrol/ScpDecoderRAW.h"

namespace SCP {

ScpDecoderRAW::ScpDecoderRAW()
{
    (void)m_dataTable.initialize(kTableEntries, kDataCapacity);  // a refused table stays empty
}

ScpDecoderRAW::~ScpDecoderRAW() = default;

JLIB::JResult ScpDecoderRAW::clearAll()
{
    (void)clear();                // always 0
    (void)m_keyTable.clear();
    (void)m_dataTable.clear();
    return JLIB::kOk;
}

JLIB::JResult ScpDecoderRAW::clear()
{
    m_quoteState = 0;
    clearText();
    return JLIB::kOk;
}

void ScpDecoderRAW::addDataElement()
{
    if (m_text.size() == 0) return;
    (void)m_dataTable.append(m_text);  // the 65th and later tokens are dropped on purpose
}

JLIB::JResult ScpDecoderRAW::decode1Char(uint32_t c)
{
    if (c == 0x0A || c == 0x0D || c == 0) {
        if (m_quoteState == 0) addDataElement();  // an unfinished quoted token is dropped
        (void)clear();
        return kCommandComplete;
    }
    switch (m_quoteState) {
    case 0:
        if (c == ' ' || c == '\t') {
            addDataElement();
            clearText();
        } else if (c == '"') {
            clearText();
            m_quoteState = 1;
            storeChar(c);
        } else {
            storeChar(c);
        }
        break;
    case 1:
        if (c == '\\') {
            m_quoteState = 2;
        } else {
            if (c == '"') m_quoteState = 0;
            storeChar(c);
        }
        break;
    default:
        storeEscaped(c);
        m_quoteState = 1;
        break;
    }
    return JLIB::kOk;
}

}  // namespace SCP
