#pragma once
// Text and number helpers of the OSC server: cutting addresses, index texts in both origins, the
// error name of a result and the one-second window of the send cap. Stateless; any task.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/JVariant.h"

namespace JOSC {

// Appends the pieces of text cut at every occurrence of separator, left to right, the piece after
// the last separator included; empty pieces only when dropEmpty is false. An empty separator
// gives the whole text as one piece.
void split(std::vector<std::string>& pieces, const std::string& text, const std::string& separator, bool dropEmpty);
// Decimal digits with an optional leading "-"; false for "" and "-".
bool checkDigit(const std::string& text);
// A wire index (counted from 1) as a server index: the text of value - 1, or "" when the text
// is not a 32-bit number above 0.
std::string convertOrign1to0(const std::string& text);
// A server index as a wire index: the text of value + 1, or "" when the text is not a 32-bit
// number of 0 or more.
std::string convertOrign0to1(const std::string& text);
// The error name an "error" reply carries for a result: the name of the code's index with the
// top bit cleared, "InternalError" for an index of 14 or more.
JVariant makeErrorValue(uint32_t code);
// True when more than 1000 ms lie between the two counts (unsigned difference, so across the wrap).
bool IsElapsed1000Ms(uint32_t earlier, uint32_t later);

}  // namespace JOSC
