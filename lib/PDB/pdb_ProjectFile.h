#pragma once
// Project files: the item folders of the device packed into one container of file type
// "ProjectFile" with the project information, and unpacked back into those folders. One task uses
// a project file object; only the stop flag may be set from another task.
#include <cstdint>
#include <map>
#include <string>

#include "FileCache/fcache_MBDF.h"
#include "fsw/fsw_api.h"
#include "pdb_AddressId.h"
#include "pdb_LocalParameterDB.h"

namespace MMSFUNC {
class LoadItemSelector;
class SelectedItemLoader;
}  // namespace MMSFUNC

namespace PDB {

class ProjectFile {
public:
    using ItemMap = std::map<std::string, std::string>;   // item name to item folder
    using EntryMap = std::map<std::string, std::string>;  // entry name to the folder it lies in

    static constexpr uint32_t kInfoAddressNum = 10;

    ProjectFile();
    ProjectFile(const ProjectFile&) = delete;
    ProjectFile& operator=(const ProjectFile&) = delete;
    virtual ~ProjectFile();

    // 0x80000001 for a null product name. The loader is borrowed; null keeps the one stored before.
    [[nodiscard]] uint32_t initialize(const char* productName, uint32_t productVersion, uint32_t databaseWord,
                                      const ItemMap& items, MMSFUNC::SelectedItemLoader* loader,
                                      bool removePrevious);
    // A failed pack leaves the previous project file as it was.
    [[nodiscard]] uint32_t pack(const char* path, const char* comment, const char* ownerName, volatile bool* stop,
                                FILECACHE::IMBDFObserver* observer, uint32_t, uint32_t);
    // 0 or 0x80000000.
    [[nodiscard]] uint32_t unpack(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer,
                                  const MMSFUNC::LoadItemSelector* selection, uint32_t value);
    uint32_t apply() { return 0; }
    bool isValid() const { return !m_productName.empty(); }

    [[nodiscard]] uint32_t writeProjectFile(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer);
    [[nodiscard]] uint32_t readProjectFile(const char* path, bool extract, volatile bool* stop,
                                           FILECACHE::IMBDFObserver* observer,
                                           const MMSFUNC::LoadItemSelector* selection, uint32_t value);
    uint32_t removeProjectFile(const char* path);
    static bool isFileExist(const char* path);
    static uint32_t makeFileList(EntryMap& entries, const char* path);
    static uint32_t addListAllDirEntries(T_FSW_DIR* dir, EntryMap& entries, const char* folder);
    uint32_t cleanupDestFolder();
    uint32_t importProjectInfo(FILECACHE::FileAccessor& projectFile);

    const std::string& currentProjectPath() const { return m_currentProjectPath; }
    const LocalParameterDB& projectInfo() const { return m_projectInfo; }
    const FILECACHE::MBDF& container() const { return m_container; }

private:
    uint32_t prepareProjectInfo(IParameterDB& live);
    uint32_t extractBlocks(const char* path, FILECACHE::FileAccessor& projectFile, volatile bool* stop,
                           FILECACHE::IMBDFObserver& observer);

    std::string m_productName;
    uint32_t m_productVersion = 0;
    uint32_t m_databaseWord = 0;
    FILECACHE::MBDF m_container;
    std::string m_currentProjectPath;
    bool m_removePrevious = false;
    LocalParameterDB m_projectInfo;
    AddressId m_infoAddress[kInfoAddressNum];
    ItemMap m_items;
    MMSFUNC::SelectedItemLoader* m_pLoader = nullptr;  // borrowed from initialize's caller
};

}  // namespace PDB
