#include "textcontrol/ScpAbstractDecoder.h"

#include <cstring>

#include "jlib/JUnicode.h"
#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

// Pairs of (character after the backslash, character stored), ended by a pair of zeros.
constexpr uint32_t escapeSeqPattern[][2] = {
    {'\\', '\\'}, {'/', '/'}, {'"', '"'}, {'b', 0x08}, {'f', 0x0C}, {'n', 0x0A}, {'r', 0x0D}, {'t', 0x09}, {0, 0},
};

}  // namespace

ScpAbstractDecoder::ScpAbstractDecoder() : m_text(makeScpString(kTextCapacity)) {}

ScpAbstractDecoder::~ScpAbstractDecoder() = default;

void ScpAbstractDecoder::storeChar(uint32_t c)
{
    if (m_text.size() >= kTextCapacity) return;
    (void)m_text.push_back(JLIB::JUnicode(c));  // the size check above leaves room
}

void ScpAbstractDecoder::storeEscaped(uint32_t c)
{
    for (const auto& row : escapeSeqPattern) {
        if (row[0] == 0 && row[1] == 0) break;
        if (row[0] == c) storeChar(row[1]);
    }
}

JLIB::JResult ScpAbstractDecoder::decode(const unsigned char* bytes, uint32_t length, uint32_t& consumed)
{
    consumed = 0;
    if (!bytes && length != 0) return JLIB::kInvalidArgument;
    uint32_t pos = 0;
    JLIB::JUnicode ch;

    if (m_pendingCount > 0) {
        unsigned char held[kPendingMax];
        std::memcpy(held, m_pending, m_pendingCount);
        const uint32_t room = kPendingMax - m_pendingCount;
        const uint32_t take = length < room ? length : room;
        if (take > 0) std::memcpy(held + m_pendingCount, bytes, take);
        uint32_t used = 0;
        const JLIB::JResult r = ch.fromUTF8(held, m_pendingCount + take, &used);
        if (r == JLIB::kUnicodeTooShort) {
            std::memcpy(m_pending, held, m_pendingCount + take);
            m_pendingCount += take;
            consumed = take;
            return kUtf8Stop;
        }
        if (r == JLIB::kUnicodeInvalid) {
            m_pendingCount = 0;  // the stale lead is dropped; the new bytes are read afresh
        } else {
            // Any other outcome decoded a whole sequence (out of range ones as U+FFFD).
            pos = used - m_pendingCount;
            consumed = pos;
            m_pendingCount = 0;
            const JLIB::JResult d = decode1Char(ch.get());
            if (JLIB::isFailure(d) || d == kCommandComplete) return d;
        }
    }

    while (pos < length) {
        uint32_t used = 0;
        const JLIB::JResult r = ch.fromUTF8(bytes + pos, length - pos, &used);
        if (r == JLIB::kUnicodeTooShort) {
            m_pendingCount = length - pos;  // fewer than the lead announces, so at most 5
            std::memcpy(m_pending, bytes + pos, m_pendingCount);
            consumed = pos;
            return kUtf8Stop;
        }
        if (r == JLIB::kUnicodeInvalid) {
            m_pendingCount = 0;
            consumed = pos;
            return kUtf8Stop;
        }
        pos += used;
        consumed = pos;
        const JLIB::JResult d = decode1Char(ch.get());
        if (JLIB::isFailure(d) || d == kCommandComplete) return d;
    }
    return JLIB::kOk;
}

}  // namespace SCP
