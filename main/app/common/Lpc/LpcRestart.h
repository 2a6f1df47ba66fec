#pragma once
// The restart command run after a shut-down that asked for one: the program folder's "restart"
// file, started in the background through the shell with the program path as its only argument.
// Main thread, after every other thread has ended.
#include "jlib/jlib_result.h"

namespace LPC {

// Hands "<folder>/restart <program path> &" to the shell, each path quoted as one shell word
// (the folder is empty for a path without one); the shell's answer is not waited for. The
// script finds this process's id in the environment as UZ_ENGINE_PID.
// 0, or 0x80000000 for a null path.
[[nodiscard]] JLIB::JResult restart(const char* programPath);

}  // namespace LPC
