#pragma once
// Where the field factory finds definition files when it has no folder callback of its own: a
// function that the program's product information installs when it starts. The tree library
// sits below the program shell and must not link it, so the shell hands the folder down here.
#include <string>

namespace MMSFUNC {

// Gives the descriptor folder as a text of its own.
using DescriptorFolderFunction = std::string (*)();

// Any task. Null removes the function.
void setDescriptorFolderFunction(DescriptorFolderFunction function);
// Any task. The installed function's folder; false (and an empty folder) when none is installed.
bool getDescriptorFolder(std::string& folder);

}  // namespace MMSFUNC
