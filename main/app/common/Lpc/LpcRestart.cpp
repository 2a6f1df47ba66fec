#include "common/Lpc/LpcRestart.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace LPC {

namespace {

// One shell word whatever the text holds: inside single quotes only the quote itself needs care.
std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

}  // namespace

JLIB::JResult restart(const char* programPath)
{
    if (!programPath) return JLIB::kFailed;
    const std::string folder = std::filesystem::path(programPath).parent_path().string();
    const std::string command = quoted(folder + "/restart") + " " + quoted(programPath) + " &";
    // The script learns which process to outlive from its environment.
    (void)setenv("UZ_ENGINE_PID", std::to_string(getpid()).c_str(), 1);  // without it the script starts at once
    // The trailing "&" lets the shell return at once; what the script does is its own affair.
    const int shell = std::system(command.c_str());
    (void)shell;
    return JLIB::kOk;
}

}  // namespace LPC
