#pragma once
// Where the program's own files lie: the folder of the running executable stands in for the
// application bundle's resource folder. Stateless; any task.
#include <string>

namespace KAVORI {

// Longest path the helpers hand out, in bytes without the terminator.
constexpr size_t kResourcePathRoom = 1023;

// The folder of the running program (from /proc/self/exe); empty when it cannot be read.
std::string programFolder();

// The program's folder, "/" and the name; empty for a null name, an unreadable program folder or
// a result longer than 1023 bytes.
std::string resourcePath(const char* name);

}  // namespace KAVORI
