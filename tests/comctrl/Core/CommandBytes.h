#pragma once
// Builds console commands byte by byte for tests, including malformed ones the codec would not write.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace comctrltest {

struct CommandBytes {
    std::vector<uint8_t> bytes;

    CommandBytes(uint32_t id, uint8_t prmCount)
    {
        bytes = {0x11, 0, 0, 0, 0, static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8),
                 static_cast<uint8_t>(id), prmCount};
    }
    CommandBytes& u8(uint8_t v) { bytes.push_back(v); return *this; }
    CommandBytes& be32(uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
        return *this;
    }
    // Type byte and declared count, without elements.
    CommandBytes& param(uint8_t type, uint32_t count) { return u8(type).be32(count); }
    CommandBytes& raw(std::initializer_list<uint8_t> data)
    {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    // Writes the length field for the bytes so far.
    CommandBytes& finish()
    {
        const uint32_t length = static_cast<uint32_t>(bytes.size()) - 5;
        for (int i = 0; i < 4; ++i) bytes[1 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
        return *this;
    }
    const uint8_t* data() const { return bytes.data(); }
    uint32_t size() const { return static_cast<uint32_t>(bytes.size()); }
};

}  // namespace comctrltest
