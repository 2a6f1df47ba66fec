#pragma once
// Decodes one received OSC packet (a message or a bundle, nested bundles depth first) into
// OscMessages. A malformed packet keeps none of its messages. Not locked: used by one task.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"
#include "common/tpcp/OscMessage.h"

namespace TPCP {

class PacketDecoder {
public:
    static constexpr JLIB::JResult kInvalidPacket = 0x80000001u;
    static constexpr JLIB::JResult kNoMessage = 0x80000002u;

    // The bytes are read during construction only; null bytes leave the decoder invalid.
    PacketDecoder(const void* bytes, size_t length);

    bool isValid() const { return m_valid; }
    // 0x80000001 invalid, 0x80000002 valid without message, else 0 with the vector holding the messages.
    [[nodiscard]] JLIB::JResult getOscMessages(std::vector<OscMessage>& messages) const;

private:
    std::vector<OscMessage> m_messages;
    bool m_valid = false;
};

}  // namespace TPCP
