#include "dravo/manager/dravo_AudioComponentDLLRepository.h"

#include <new>
#include <string_view>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/manager/dravo_FunctionInstance.h"
#include "dravo/manager/dravo_PDBParameterStrategy.h"
#include "fsw/fsw_api.h"
#include "jlib/jlib_cfg.h"
#include "ossupport/ossup_DLL.h"

namespace DRAVO {

namespace {

// The exported factories in the order they are looked up; a library without one of the first
// three is unusable.
constexpr const char* kFactoryNames[] = {"createParamInfoFunction", "createCalcCoefFunction",
                                         "createAudioProcessFunction", "createLogicControlFunction"};
constexpr int kRequiredFactories = 3;

constexpr std::string_view kLibrarySuffix = ".so";

// An entry named "<type name>_<major version>.so" is a component library whose key is the name
// without the suffix: the type name is not empty and the version is written as the key forms it
// (decimal, no sign, no leading zero, within 32 bits). Anything else is no library.
bool takeLibraryKey(std::string_view entry, std::string& key)
{
    if (!entry.ends_with(kLibrarySuffix)) return false;
    const std::string_view stem = entry.substr(0, entry.size() - kLibrarySuffix.size());
    const size_t separator = stem.rfind('_');
    if (separator == std::string_view::npos || separator == 0) return false;
    const std::string_view version = stem.substr(separator + 1);
    if (version.empty() || version.size() > 10 || (version.size() > 1 && version[0] == '0')) return false;
    uint64_t value = 0;
    for (const char c : version) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + uint64_t(c - '0');
    }
    if (value > 0xFFFFFFFFu) return false;
    key.assign(stem);
    return true;
}

// Closes a library on every way out of loading it, unless the load was committed.
struct LibraryCloser {
    void operator()(void* library) const { (void)ossup_DLLClose(library); }  // nothing to do on refusal
};
using LibraryOwner = std::unique_ptr<void, LibraryCloser>;

// Gives both references of a function object back on every way out, unless committed.
struct FunctionReleaser {
    void operator()(IParamInfoFunction_V1* function) const { (void)deleteFunctionInstance(function); }
};
using FunctionOwner = std::unique_ptr<IParamInfoFunction_V1, FunctionReleaser>;

}  // namespace

AudioComponentDLLRepository& AudioComponentDLLRepository::singleton()
{
    static AudioComponentDLLRepository s_instance;
    return s_instance;
}

AudioComponentDLLRepository::AudioComponentDLLRepository() = default;

AudioComponentDLLRepository::~AudioComponentDLLRepository()
{
    (void)finalize();
}

JLIB::JResult AudioComponentDLLRepository::initialize(const char* folder)
{
    T_FSW_DIR* dir = nullptr;
    // The empty text names no folder (and must not become the root folder below).
    if (!folder || *folder == '\0' || JLIB::isFailure(fsw_openDir(&dir, folder))) {
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - OpenDir failed. (%s)\n", folder ? folder : "");
        return JLIB::kFailed;
    }
    std::string base(folder);
    if (base.back() != '/') base += '/';

    uint32_t size = kFswDirEntryNameSize;
    (void)fsw_readDirSize(dir, &size);  // an open listing always answers
    std::string name(size, '\0');
    std::string key;
    while (JLIB::isSuccess(fsw_readDir(dir, name.data(), size))) {
        const char* entry = name.c_str();
        if (!takeLibraryKey(entry, key)) continue;
        loadLibrary(base, entry, key);
    }
    (void)fsw_closeDir(dir);  // a listing that was read to its end
    m_initialized = true;
    return JLIB::kOk;
}

void AudioComponentDLLRepository::loadLibrary(const std::string& folder, const char* entryName,
                                              const std::string& key)
{
    void* opened = nullptr;
    if (JLIB::isFailure(ossup_DLLOpen(&opened, nullptr, 0, (folder + entryName).c_str()))) {
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - DLLOpen failed. (%s)\n", entryName);
        return;
    }
    LibraryOwner library(opened);

    AudioComponentDLLHandles handles;
    handles.library = opened;
    CreateFunctionProc* factories[] = {&handles.createParamInfoFunction, &handles.createCalcCoefFunction,
                                       &handles.createAudioProcessFunction, &handles.createLogicControlFunction};
    bool usable = true;
    for (int i = 0; i < 4; ++i) {
        void* symbol = nullptr;
        if (JLIB::isSuccess(ossup_GetDLLFunction(&symbol, opened, kFactoryNames[i]))) {
            *factories[i] = reinterpret_cast<CreateFunctionProc>(symbol);
            continue;
        }
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - GetDLLFunction \"%s\" failed. (%s)\n",
                 kFactoryNames[i], entryName);
        if (i < kRequiredFactories) usable = false;
    }
    if (!usable) return;

    // Declared after the library: released before it closes.
    FunctionOwner function(
        createFunctionInstance<IParamInfoFunction_V1>(handles.createParamInfoFunction, IID_IParamInfoFunction_V1));
    if (!function) {
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - createParamInfoFunction failed. (%s)\n", entryName);
        return;
    }

    PDB::ComponentInfo info = PDB::parseComponentInfoJSON(function->getComponentInfoJSON());
    const std::string& typeName = info.componentName();
    const uint32_t version = info.componentVersion();
    // A component asks for its handles by the key its definition forms.
    if (PDB::ComponentInfoRepository::makeTag(typeName.c_str(), version) != key) {
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - Component[%s ver:%d] does not match the file name. "
                 "(%s)\n",
                 typeName.c_str(), int(version), entryName);
        return;
    }
    if (m_handles.count(key) != 0) {
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - Component[%s] already loaded. (%s)\n", key.c_str(),
                 entryName);
        return;
    }

    std::unique_ptr<PDBParameterStrategy>& strategy = m_strategies[key];
    if (!strategy) strategy.reset(new (std::nothrow) PDBParameterStrategy);
    if (!strategy) {
        m_strategies.erase(key);
        return;
    }
    (void)strategy->initialize(function.get());  // a function exists: 0
    (void)info.setParameterStrategy(strategy.get());  // always 0
    PDB::ComponentInfoRepository& definitions = PDB::getComponentInfoRepository();
    if (JLIB::isFailure(definitions.addComponentInfo(info)) &&
        definitions.getComponentInfo(typeName.c_str(), version).parameterStrategy() != strategy.get()) {
        // A definition registered before, with this key's strategy, takes it up again silently.
        JLIB_LOG("[E] AudioComponentDLLRepository::initialize - addComponentInfo failed. (%s)\n", entryName);
    }

    handles.paramInfoFunction = function.release();
    handles.parameterStrategy = strategy.get();
    (void)library.release();  // committed: the handle set owns it now
    m_handles.emplace(key, handles);
    JLIB_LOG("[i] AudioComponentDLLRepository::initialize - DRAVO Component[%s ver:%d] found.\n", typeName.c_str(),
             int(version));
}

uint32_t AudioComponentDLLRepository::finalize()
{
    for (auto& [key, handles] : m_handles) {
        // Definitions and the components made from them still point to the strategy.
        if (handles.parameterStrategy) (void)handles.parameterStrategy->clear();  // always 0
        handles.parameterStrategy = nullptr;
        (void)deleteFunctionInstance(handles.paramInfoFunction);  // always 0
        if (handles.library) (void)ossup_DLLClose(handles.library);  // nothing to do on refusal
        handles.library = nullptr;
    }
    m_handles.clear();
    m_initialized = false;
    return JLIB::kOk;
}

AudioComponentDLLHandles& AudioComponentDLLRepository::getHandles(const char* key)
{
    static AudioComponentDLLHandles s_empty;
    if (key) {
        const auto found = m_handles.find(key);
        if (found != m_handles.end()) return found->second;
    }
    s_empty = AudioComponentDLLHandles{};  // undo what an earlier caller wrote into it
    return s_empty;
}

const AudioComponentDLLHandles& AudioComponentDLLRepository::getHandles(const char* key) const
{
    static const AudioComponentDLLHandles s_empty;
    if (key) {
        const auto found = m_handles.find(key);
        if (found != m_handles.end()) return found->second;
    }
    return s_empty;
}

JLIB::JResult AudioComponentDLLRepository::componentNames(std::vector<std::string>& names) const
{
    if (!m_initialized) return JLIB::kFailed;
    for (const auto& [key, handles] : m_handles) names.push_back(key);
    return JLIB::kOk;
}

}  // namespace DRAVO
