#include "jlib_crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> makeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> gCRCTable = makeTable();

}  // namespace

uint32_t jlib_updateCRC32(uint32_t previous, const void* data, size_t length)
{
    if (!data || length == 0) return previous;
    const auto* p = static_cast<const unsigned char*>(data);
    uint32_t c = ~previous;
    for (size_t i = 0; i < length; ++i) c = gCRCTable[(c ^ p[i]) & 0xFFu] ^ (c >> 8);
    return ~c;
}

uint32_t jlib_getCRC32(const void* data, size_t length)
{
    return jlib_updateCRC32(0, data, length);
}
