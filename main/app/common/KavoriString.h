#pragma once
// Text helpers of the application shell: in-place upper case and splitting at a delimiter text.
// Stateless; any task.
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace KAVORI {

// ASCII upper case of every character, in place; 0.
JLIB::JResult _toUpper(std::string& text);

// Appends the pieces of the text between occurrences of the delimiter; with skipEmpty, empty
// pieces (adjacent delimiters, either end) are left out. An empty delimiter gives the whole text
// as one piece. 0.
JLIB::JResult splitString(std::vector<std::string>& out, const std::string& text, const std::string& delimiter,
                          bool skipEmpty);

}  // namespace KAVORI
