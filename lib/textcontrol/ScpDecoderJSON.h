#pragma once
// Reads a command as one flat JSON object: member names go to the key table and values to the
// data table, in order, from the outermost object only; string tokens keep their quotes.
// Not locked: used on the server's thread only.
#include "textcontrol/ScpAbstractDecoder.h"

namespace SCP {

class ScpDecoderJSON : public ScpAbstractDecoder {
public:
    static constexpr uint32_t kTableEntries = 64;
    static constexpr uint32_t kKeyCapacity = 20;
    static constexpr uint32_t kDataCapacity = 64;

    ScpDecoderJSON();
    ~ScpDecoderJSON() override;

    JLIB::JResult clearAll() override;
    JLIB::JResult clear() override;
    // 0x80000002 for a closing bracket or brace without its opening one.
    JLIB::JResult decode1Char(uint32_t c) override;

private:
    void clearTextBuffer() { clearText(); }
    // Record the collected text at the outermost level only; 0x80000000 when nothing was recorded.
    JLIB::JResult addKeyElement();
    JLIB::JResult addDataElement();
    bool atOutermostLevel() const { return m_objectDepth == 0 && m_arrayDepth < 0; }
    // A member whose value is an array or object would pair every later key with its
    // neighbour's value, so its key is taken back when such a value begins.
    void dropKeyOfNestedValue();

    uint32_t m_quoteState = 0;
    int32_t m_objectDepth = -1;
    int32_t m_arrayDepth = -1;
    bool m_keyAwaitsValue = false;
};

}  // namespace SCP
