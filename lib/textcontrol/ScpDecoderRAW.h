#pragma once
// Reads a command as one line of blank-separated tokens; a double-quoted token may hold blanks
// and backslash escapes and keeps its quotes. CR, LF and NUL end the line. Only the data table
// is used (positions stand for names). Not locked: used on the server's thread only.
#include "textcontrol/ScpAbstractDecoder.h"

namespace SCP {

class ScpDecoderRAW : public ScpAbstractDecoder {
public:
    static constexpr uint32_t kTableEntries = 64;
    static constexpr uint32_t kDataCapacity = 64;

    ScpDecoderRAW();
    ~ScpDecoderRAW() override;

    JLIB::JResult clearAll() override;
    JLIB::JResult clear() override;
    JLIB::JResult decode1Char(uint32_t c) override;

private:
    void addDataElement();

    // 0 outside double quotes, 1 inside, 2 right after a backslash inside.
    uint32_t m_quoteState = 0;
};

}  // namespace SCP
