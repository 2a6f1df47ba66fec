#pragma once
// Component definition files: one JSON object per component type, decoded into a ComponentInfo.
// Stateless; any task. Problems are logged and never thrown out of these functions.
#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "jlib/jlib_result.h"
#include "pdb_ComponentInfo.h"

namespace PDB {

// The definition a zero-terminated JSON text describes; an empty, not valid definition when the
// text is not JSON (or null). A parameter that cannot be added is logged and left out; a
// number text that does not convert ends the decoding with what was decoded before it.
ComponentInfo parseComponentInfoJSON(const char* text);
// The decoding behind parseComponentInfoJSON: fills info from a parsed value.
void from_json(const nlohmann::json& value, ComponentInfo& info);

// The member or the array element, or a shared null value when there is none.
const nlohmann::json& getJsonObject(const nlohmann::json& value, const char* key);
const nlohmann::json& getJsonObject(const nlohmann::json& value, uint32_t index);

// Stores the member converted to the target, or the default: 0, or 0x80000000 when the default
// was used. Texts take JSON strings only. Numbers take integers (and booleans as 1 or 0) that
// fit in 32 bits and floats holding such a whole number; any other number is logged. The 8-bit
// form keeps the low 8 bits of a number.
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, std::string& out, const char* def);
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint32_t& out, uint32_t def);
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint8_t& out, uint8_t def);

// Size pattern word of a pattern text: "" 1; "N" N; "*N" N times the component size; "/N" the
// component size divided by N. N of 0 counts as 1. A text without a number, or an N above
// 0xFFFF, gives 0 with *ok false.
uint32_t getNumPattern(const std::string& text, bool* ok = nullptr);

}  // namespace PDB
