#pragma once
// Adds an audio component's parameter arrays to the database of instance id 10 ("AudioCompo").
// Any task: the database takes its own write lock.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DRAVO {

// A component of type (name, majorVersion) under uniqID with the sizes and the 16-bit attribute.
// 0 when the database accepts; 0x80000000 when it refuses (no such database, unknown type, a
// uniqID it holds) or no name is given.
[[nodiscard]] JLIB::JResult createComponentParameterDB(uint32_t uniqID, const char* name, uint32_t majorVersion,
                                                       uint32_t numX, uint32_t numY, uint16_t attribute);

}  // namespace DRAVO
