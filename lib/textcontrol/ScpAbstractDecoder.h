#pragma once
// Turns the bytes one client sends into the tokens of one command, one Unicode character at a
// time; every piece of state survives between chunks, so a command may arrive split anywhere.
// All storage is taken at construction. Not locked: used on the server's thread only.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"
#include "textcontrol/ScpUnicodeStringTable.h"

namespace SCP {

class ScpAbstractDecoder {
public:
    static constexpr uint32_t kTextCapacity = 256;
    static constexpr JLIB::JResult kCommandComplete = 3;
    static constexpr JLIB::JResult kUtf8Stop = 4;
    static constexpr JLIB::JResult kUnbalanced = 0x80000002u;

    ScpAbstractDecoder();
    ScpAbstractDecoder(const ScpAbstractDecoder&) = delete;
    ScpAbstractDecoder& operator=(const ScpAbstractDecoder&) = delete;
    virtual ~ScpAbstractDecoder();

    // Quote state and depths back to their start, text being collected dropped; the tables keep
    // their tokens. Returns 0.
    virtual JLIB::JResult clearAll() = 0;
    virtual JLIB::JResult clear() = 0;
    // 0, 3 when the character completed a command, or a failure.
    virtual JLIB::JResult decode1Char(uint32_t c) = 0;

    // Feeds bytes. `consumed` is set to the bytes used: all of them with 0; up to and including
    // the completing character with 3 (the rest is not looked at); the offset of a UTF-8
    // sequence that is invalid, or incomplete at the end (kept for the next call), with 4; or a
    // failure from decode1Char. 0x80000001 for null bytes with a non-zero length.
    JLIB::JResult decode(const unsigned char* bytes, uint32_t length, uint32_t& consumed);

    ScpUnicodeStringTable& getKeyTable() { return m_keyTable; }
    ScpUnicodeStringTable& getDataTable() { return m_dataTable; }

protected:
    // Appends a character to the token; beyond 256 characters they are dropped without notice.
    void storeChar(uint32_t c);
    // Expands the character after a backslash by the escape table; nothing for an unknown one.
    void storeEscaped(uint32_t c);
    void clearText() { (void)m_text.clear(); }  // keeps the storage: always 0

    ScpString m_text;
    ScpUnicodeStringTable m_keyTable;
    ScpUnicodeStringTable m_dataTable;

private:
    static constexpr uint32_t kPendingMax = 6;

    unsigned char m_pending[kPendingMax] = {};
    uint32_t m_pendingCount = 0;
};

}  // namespace SCP
