#pragma once
// The process-wide table of the component libraries found in the component folder, by library
// key (type name, "_", major version). An entry named "<type name>_<major version>.so" is a
// component library with that key; its definition is registered with the definition repository
// together with a parameter strategy. No lock of its own: every operation runs under the
// component registry's lock "CompoCol", on the thread that holds it.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dravo/manager/dravo_AudioComponentDLLHandles.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class PDBParameterStrategy;

class AudioComponentDLLRepository {
public:
    // Built on first use, finalized and destroyed at process exit.
    static AudioComponentDLLRepository& singleton();

    AudioComponentDLLRepository();
    AudioComponentDLLRepository(const AudioComponentDLLRepository&) = delete;
    AudioComponentDLLRepository& operator=(const AudioComponentDLLRepository&) = delete;
    virtual ~AudioComponentDLLRepository();

    // Loads the component libraries of the folder (a trailing "/" is added when missing) into
    // what the table holds already. A library that cannot be opened, lacks one of the first three
    // factories, makes no parameter information object, describes another type or version than
    // its file name, or has a key already held is logged and left out; listing goes on.
    // 0, or 0x80000000 when the folder cannot be listed.
    [[nodiscard]] JLIB::JResult initialize(const char* folder);
    // Releases every library: each strategy goes back to pass-through (the definitions keep
    // pointing to it), the repository's function object is released before its library closes.
    // Returns 0, also when called again.
    uint32_t finalize();

    // The handles under the key; the empty handle set for an unknown or null key. The changeable
    // empty set is emptied again on every hand-out.
    AudioComponentDLLHandles& getHandles(const char* key);
    const AudioComponentDLLHandles& getHandles(const char* key) const;
    // Appends every key in key order. 0, or 0x80000000 (nothing appended) before initialize.
    [[nodiscard]] JLIB::JResult componentNames(std::vector<std::string>& names) const;

private:
    // Loads one folder entry taken as a library; failures are logged and leave nothing behind.
    void loadLibrary(const std::string& folder, const char* entryName, const std::string& key);

    bool m_initialized = false;
    std::map<std::string, AudioComponentDLLHandles> m_handles;
    // One strategy per key for the whole run: a registered definition keeps pointing to it after
    // its library is gone, and takes it up again when the key is loaded anew.
    std::map<std::string, std::unique_ptr<PDBParameterStrategy>> m_strategies;
};

}  // namespace DRAVO
