#pragma once
// Look-ups and typed reads shared by the readers of the compile documents; they never throw.
// Private to the compiler module; defined in compiler_JsonAccess.cpp.
#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "compiler_JsonNumber.h"
#include "jlib/jlib_result.h"

namespace Compiler {

// The member as getJsonObject finds it; when that is null, first the debug print
// "JSON: '<key>' tag not found.".
const nlohmann::json& getJsonTag(const nlohmann::json& value, const char* key);

// Stores the member converted to out, or def and 0x80000000 when it is absent or does not
// convert. Texts take JSON strings, flags JSON true/false, numbers what toUnsigned takes: a
// negative, fractional or too large number takes the default instead of wrapping.
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, std::string& out, const char* def);
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint32_t& out, uint32_t def);
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint64_t& out, uint64_t def);
JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, bool& out, bool def);

// The two standard-output lines of a text the JSON library refused.
void printJsonException(const char* message, int id);

}  // namespace Compiler
