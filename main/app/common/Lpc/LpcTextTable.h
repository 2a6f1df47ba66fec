#pragma once
// Lookups between a constant table of texts and positions in it, and the table of the 3D-reverb
// room names that the rack bridge and the device logic's links share. Pure; any task.
#include <cstdint>

#include "jlib/JVariant.h"

namespace LPC {

// "Room", "Small Hall", "Theatre", "Concert Hall", "Symphony Hall", "Cathedral".
extern const char* const gl_RoomIDTable[6];

// The position of the first text equal to the value's text with the letters A-Z lower-cased on
// both sides; 0 (the first) when none matches, the table is null or the value is no String.
uint32_t toValue(const char* const* table, uint32_t count, const JVariant& value);
// A String of the text at the position; invalid when the position is not below count or the
// table is null.
JVariant toString(const char* const* table, uint32_t count, uint32_t position);
// toValue over gl_RoomIDTable.
uint32_t toRoomID(const JVariant& value);

}  // namespace LPC
