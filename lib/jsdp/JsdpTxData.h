#pragma once
// One datagram waiting for a socket line: destination, borrowed data and a state idle, queued or
// done. Used on the discovery task under the main lock only.
#include <cstdint>

#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpTxData {
public:
    static constexpr uint32_t kIdle = 0;
    static constexpr uint32_t kQueued = 1;
    static constexpr uint32_t kDone = 4;

    // data is borrowed: a registration's datagram buffer, which outlives the record's use.
    void setup(const netc_endpoint& destination, const uint8_t* data, uint32_t size);
    // Idle to queued; 0x80000000 in any other state.
    [[nodiscard]] JLIB::JResult request();
    // Queued to done; 0x80000000 in any other state.
    [[nodiscard]] JLIB::JResult done();
    void idle() { m_state = kIdle; }
    bool IsIdle() const { return m_state == kIdle; }
    bool IsSending() const { return m_state == kQueued; }
    uint32_t getState() const { return m_state; }
    const uint8_t* getData() const { return m_pData; }
    uint32_t getSize() const { return m_size; }
    const netc_endpoint& getDestination() const { return m_destination; }

private:
    uint32_t m_state = kIdle;
    netc_endpoint m_destination = {};
    const uint8_t* m_pData = nullptr;
    uint32_t m_size = 0;
};

}  // namespace JSDP
