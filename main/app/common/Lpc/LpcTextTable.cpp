#include "common/Lpc/LpcTextTable.h"

#include <iterator>
#include <string>

#include "common/Lpc/LpcValueHelper.h"

namespace LPC {

constexpr const char* gl_RoomIDTable[6] = {"Room", "Small Hall", "Theatre", "Concert Hall", "Symphony Hall",
                                           "Cathedral"};

namespace {

// Only A-Z: the comparison must not depend on the locale.
std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

uint32_t toValue(const char* const* table, uint32_t count, const JVariant& value)
{
    if (!table || value.getType() != JVariant::kTypeString) return 0;
    const std::string wanted = lowerAscii(toStr(value));
    for (uint32_t i = 0; i < count; ++i) {
        if (table[i] && lowerAscii(table[i]) == wanted) return i;
    }
    return 0;
}

JVariant toString(const char* const* table, uint32_t count, uint32_t position)
{
    if (!table || position >= count || !table[position]) return JVariant();
    return JVariant(table[position], JVariant::kMaxStringLength);
}

uint32_t toRoomID(const JVariant& value)
{
    return toValue(gl_RoomIDTable, static_cast<uint32_t>(std::size(gl_RoomIDTable)), value);
}

}  // namespace LPC
