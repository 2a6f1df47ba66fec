// Command lines of any content for the start-up option store: the input's NUL bytes separate the
// arguments, the first of which is the program path. Every reader is asked afterwards.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/VDStartupOption.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);

    VDevice::VDStartupOption options;
    (void)options.set(static_cast<int>(arguments.size()), argv.data());  // a malformed argument keeps those before it
    (void)options.processPath();
    for (const JVariant& value : {options.deviceUID(), options.workDirPath(), options.port(), options.appName(),
                                  options.modelName(), options.styleDirPath()}) {
        if (value.isValid() && !value.toString()) __builtin_trap();  // a stored option is always a text
    }
    for (const std::string& argument : arguments) (void)options.argumentValue(argument.substr(0, argument.find('=')));
    return 0;
}
