#pragma once
// The project-load hook: a model-dependent loader may take over loading a project when a caller
// asks for a selection of items. The base class does nothing. The registered instance and the
// unpack pattern are process-wide and unlocked: they are set once, before any project is loaded.
#include <cstdint>
#include <map>
#include <string>

namespace FILECACHE {
class FileAccessor;
class IMBDFObserver;
class MBDF;
}  // namespace FILECACHE

namespace MMSFUNC {

class LoadItemSelector;

class SelectedItemLoader {
public:
    using ItemMap = std::map<std::string, std::string>;  // item name to item folder

    SelectedItemLoader() = default;
    virtual ~SelectedItemLoader();

    // The loader is borrowed and must outlive its use. 0x80000001 for null or when one is
    // already registered (the registered one stays).
    static uint32_t registerModelDependentInstance(SelectedItemLoader* loader);
    static SelectedItemLoader* getInstance();
    static uint32_t setUnpackPattern(const ItemMap& items);

    // The base answers 0 and does nothing.
    virtual uint32_t loadProject(const char* projectPath, FILECACHE::FileAccessor& projectFile,
                                 FILECACHE::MBDF& container, volatile bool* stop, FILECACHE::IMBDFObserver* observer,
                                 const LoadItemSelector* selection, uint32_t value);
    // The base answers 0x80000000 and leaves the text unchanged.
    virtual uint32_t getTemporaryDirectory(std::string& folder);
    // The base answers 0 and fills nothing.
    virtual uint32_t countLibraries(uint32_t& first, uint32_t& second, const char* text,
                                    const FILECACHE::MBDF& container) const;
    // The base answers true.
    virtual bool checkForExecutable(FILECACHE::MBDF& container, FILECACHE::IMBDFObserver* observer,
                                    const LoadItemSelector* selection, volatile bool* stop);

protected:
    static SelectedItemLoader* sm_pModelDependentInstance;
    static ItemMap m_UnpackPatternMap;  // written by setUnpackPattern for model-dependent loaders
};

}  // namespace MMSFUNC
