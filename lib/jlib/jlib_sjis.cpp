#include "jlib/jlib_sjis.h"

#include <array>

namespace {

#include "jlib/jlib_sjis_cp932.inc"

constexpr uint16_t kReplacement = 0xFFFD;
constexpr unsigned kTrailsPerRow = 188;

// Row of a lead byte in the table, or -1 outside 0x81-0x9F and 0xE0-0xFC.
int leadRow(unsigned lead)
{
    if (lead >= 0x81 && lead <= 0x9F) return static_cast<int>(lead - 0x81);
    if (lead >= 0xE0 && lead <= 0xFC) return static_cast<int>(lead - 0xE0 + (0x9F - 0x81 + 1));
    return -1;
}

// Column of a trail byte, or -1 outside 0x40-0x7E and 0x80-0xFC.
int trailColumn(unsigned trail)
{
    if (trail >= 0x40 && trail <= 0x7E) return static_cast<int>(trail - 0x40);
    if (trail >= 0x80 && trail <= 0xFC) return static_cast<int>(trail - 0x80 + (0x7E - 0x40 + 1));
    return -1;
}

// Expanded once from the generated pairs; read-only afterwards, so any task may use it.
const std::array<uint16_t, 0x10000>& uhUnicodeToCP932()
{
    static const std::array<uint16_t, 0x10000> table = [] {
        std::array<uint16_t, 0x10000> t{};
        for (const auto& pair : kUnicodeToCP932Pairs) t[pair[0]] = pair[1];
        return t;
    }();
    return table;
}

}  // namespace

uint16_t jlib_sjis2unicode(uint16_t code)
{
    if (code < 0x80) return code;
    const int row = leadRow(code >> 8);
    const int column = trailColumn(code & 0xFF);
    if (row < 0 || column < 0) return kReplacement;
    return uhCP932ToUnicode[static_cast<unsigned>(row) * kTrailsPerRow + static_cast<unsigned>(column)];
}

uint16_t jlib_unicode2sjis(uint32_t codePoint)
{
    if (codePoint > 0xFFFF) return 0;
    return uhUnicodeToCP932()[codePoint];
}
