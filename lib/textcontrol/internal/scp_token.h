#pragma once
// Reading numbers from tokens: the token as ASCII in a small buffer (characters above 0x7F
// become blanks, a long token is cut) and the check that only white space follows a number.
#include <cstdint>

#include "textcontrol/ScpTypes.h"

namespace SCP::internal {

// Numbers are read from at most 19 characters.
constexpr uint32_t kNumberBuffer = 20;

// Writes at most size - 1 characters and a NUL; true when the token had to be cut.
bool scp_tokenToAscii(const ScpString& token, char* buffer, uint32_t size);
bool scp_onlySpaceAfter(const char* text);
// Appends the token's text to the value: a double quote outside quotes drops what was collected
// and opens quotes, the next one closes them; characters beyond the capacity are dropped.
void scp_decodeText(ScpString& value, const ScpString& token);

}  // namespace SCP::internal
