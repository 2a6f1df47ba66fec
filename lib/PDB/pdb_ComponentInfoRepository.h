#pragma once
// Process-wide registry of component definitions under "name_version". Filled at start-up by
// one task before others read it, then only read: it holds no lock.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "jlib/jlib_result.h"
#include "pdb_ComponentInfo.h"

namespace PDB {

class ComponentInfoRepository {
public:
    // addComponentInfo: the key is registered already; the first registration stays.
    static constexpr JLIB::JResult kAlreadyRegistered = 0x80100000u;

    // Created on first use (safe against concurrent first calls), destroyed at process exit.
    static ComponentInfoRepository& singleton();

    ComponentInfoRepository() = default;
    ComponentInfoRepository(const ComponentInfoRepository&) = delete;
    ComponentInfoRepository& operator=(const ComponentInfoRepository&) = delete;
    virtual ~ComponentInfoRepository();

    // Stores a copy. 0x80000001 for a definition without parameters, kAlreadyRegistered for a
    // known key.
    [[nodiscard]] JLIB::JResult addComponentInfo(const ComponentInfo& info);
    // The registered definition, or one shared empty definition that lives for the whole run.
    const ComponentInfo& getComponentInfo(const char* name, uint32_t version) const;
    // Name, "_" and the version in decimal; a null name counts as empty.
    static std::string makeTag(const char* name, uint32_t version);
    uint32_t clear();

private:
    std::map<std::string, std::unique_ptr<ComponentInfo>> m_infos;
};

inline ComponentInfoRepository& getComponentInfoRepository() { return ComponentInfoRepository::singleton(); }

}  // namespace PDB
