#pragma once
// Tolerant reads of a parsed JSON document, shared by the compile-document readers and the reader
// of the compile result: look-ups answer a shared null value instead of throwing, and unsigned
// conversions refuse what a plain cast would wrap. No state that is ever written: any task.
#include <cstddef>
#include <cstdint>

#include <nlohmann/json_fwd.hpp>

namespace Compiler {

// The member, or a shared read-only null value when value is no object, key is null or there is
// no such member.
const nlohmann::json& getJsonObject(const nlohmann::json& value, const char* key);
// The element, or the shared null value when value is no list or index is out of range.
const nlohmann::json& getJsonObject(const nlohmann::json& value, size_t index);

// True with out set for a non-negative integer that fits, a float holding such a whole number, or
// true/false as 1/0. False with out untouched for anything else: a negative, fractional or too
// large number, a text, a list, an object or null.
[[nodiscard]] bool toUnsigned(const nlohmann::json& value, uint32_t& out);
[[nodiscard]] bool toUnsigned(const nlohmann::json& value, uint64_t& out);

}  // namespace Compiler
