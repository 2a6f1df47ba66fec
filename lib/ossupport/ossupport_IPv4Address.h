#pragma once
// An IPv4 address as one 32-bit value, first octet most significant; 0 means not set.
// A plain value: no lock, owned by its holder.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace OSSUPPORT {

class IPv4Address {
public:
    IPv4Address() = default;
    // A text that does not parse leaves the address 0.
    explicit IPv4Address(const char* text);
    IPv4Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

    // Dotted decimal; characters after the fourth part are ignored. kFailed and value 0 otherwise.
    [[nodiscard]] JLIB::JResult set(const char* text);
    JLIB::JResult set(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
    JLIB::JResult set(uint32_t value);
    IPv4Address& operator=(uint32_t value);

    void clear() { m_value = 0; }
    bool isSet() const { return m_value != 0; }

    // "%d.%d.%d.%d", most significant octet first.
    std::string get() const;
    void get(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const;
    // Octet 0 (most significant) to 3; 0 for any other index.
    uint8_t operator[](int index) const;
    uint32_t rawData() const { return m_value; }
    operator unsigned int() const { return m_value; }

    // Prefix 1 to 30; any other length gives kFailed and keeps the value.
    [[nodiscard]] JLIB::JResult makeNetworkMask(uint32_t prefixLength);
    JLIB::JResult makeNetworkAddress(uint32_t address, uint32_t mask);
    JLIB::JResult makeBroadcastAddress(uint32_t address, uint32_t mask);

private:
    uint32_t m_value = 0;
};

}  // namespace OSSUPPORT
