#pragma once
// The options the editor starts the engine with ("key=value" arguments) and the program folder
// derived from the program path. Filled once by the entry on the main thread before any other
// thread exists; read by any task afterwards without a lock.
#include <map>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace VDevice {

class VDStartupOption {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    static VDStartupOption& getInstance();

    VDStartupOption() = default;

    // Replaces what was stored. The program folder is the program path split at backslashes
    // (empty pieces skipped), its last piece dropped, joined with "/": empty for a path without
    // backslashes. A first argument "delayedStart" is skipped. Each further argument is split at
    // "=" (empty pieces skipped) and must give exactly a key and a value, else parsing ends with
    // 0x80000000 and what was stored stays; a repeated key keeps its first value. A count above 1
    // with no vector: 0x80000000.
    [[nodiscard]] JLIB::JResult set(int argc, const char* const* argv);

    // A copy of the value (a String), or an invalid value for a key not given.
    JVariant argumentValue(const std::string& key) const;
    JVariant deviceUID() const { return argumentValue("uid"); }
    JVariant workDirPath() const { return argumentValue("work"); }
    JVariant port() const { return argumentValue("port"); }
    JVariant appName() const { return argumentValue("appname"); }
    JVariant modelName() const { return argumentValue("model"); }
    JVariant styleDirPath() const { return argumentValue("style"); }
    std::string processPath() const { return m_processPath; }

private:
    std::string m_processPath;
    std::map<std::string, JVariant> m_options;
};

}  // namespace VDevice
