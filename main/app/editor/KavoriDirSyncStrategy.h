#pragma once
// The send filter of one synchronised folder: only files with the folder's own extension (after
// the last dot, in any letter case) go to the device. Called on the console link's owner task.
#include <string>

#include "comctrl/Core/comctrl_IDirSyncStrategy.h"
#include "jlib/jlib_result.h"

namespace ComControl {
class IFileAccessor;
}

namespace KAVORI {

// The runtime library's lower case of one character.
char toLower(char c);
// Compares two texts without regard to letter case: 0 when equal, else negative or positive as
// the standard text comparison of their lower-case forms.
int StrICmp(std::string a, std::string b);

class KavoriDirSyncStrategy : public ComControl::IDirSyncStrategy {
public:
    KavoriDirSyncStrategy() = default;
    ~KavoriDirSyncStrategy() override = default;

    // The accessor is borrowed (the same directory object owns it) and only kept; a null
    // extension is stored as the empty text, which sends every file. 0.
    JLIB::JResult set(ComControl::IFileAccessor* accessor, const char* extension);
    // true leaves the file out: no path, no dot, or a text after the last dot that is not the
    // extension.
    bool isSendFiltered(const char* path) override;

    const std::string& extension() const { return m_extension; }

private:
    ComControl::IFileAccessor* m_pFileAccessor = nullptr;  // the directory object's
    std::string m_extension;
};

}  // namespace KAVORI
