#pragma once
// The process-wide record of what this program is and where its files live: product type and
// name, versions, the settings of "SystemSetting.ini" beside the program, the system-side folders
// and the ten data folders of the user side. The entry initialises it before any thread exists
// and re-roots the folders right after; from then on any task reads it through accessors that
// take the lock "ProductInfo" and hand out copies. finalize runs after the last thread has ended.
#include <cstdint>
#include <memory>
#include <string>

#include "FileCache/fcache_IniFile.h"
#include "common/KavoriVersionInfo.h"
#include "jlib/jlib_result.h"

namespace TMS {
class TMSMutex;
}

namespace KAVORI {

enum ProductType : uint32_t { kProductTypeNone = 0, kProductTypeVexalume = 1 };
enum ProductTypeGetMode : uint32_t { kProductTypeCurrent = 0, kProductTypeStored = 1, kProductTypeSuggestion = 2 };
enum ApplicationType : uint32_t {
    kApplicationOther = 0,
    kApplicationFirmware = 1,
    kApplicationFaderIqc = 2,
    kApplicationEditor = 3,
};
enum DebugOutputLevel : uint32_t { kDebugOutputOff = 0, kDebugOutputErrorOnly = 1, kDebugOutputAll = 2 };
enum DataDirId : uint32_t {
    kDataDirUser = 0,
    kDataDirConfig = 1,
    kDataDirCurrent = 2,
    kDataDirCurrentList = 3,
    kDataDirCurrentUnloadable = 4,
    kDataDirParameterSet = 5,
    kDataDirSnapshot = 6,
    kDataDirDCP = 7,
    kDataDirSystem = 8,
    kDataDirEditor = 9,
    kDataDirNum = 10,
};
using PhysicalCardType = int32_t;

// One data folder: its id (the row number) and the suffix appended to the user folder and to
// the factory preset folder.
struct DataPathItem {
    DataDirId id;
    const char* suffix;
};
extern const DataPathItem gDataPathTable[kDataDirNum];

class KavoriProductInfo {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    static KavoriProductInfo& getInstance();

    KavoriProductInfo();
    ~KavoriProductInfo();
    KavoriProductInfo(const KavoriProductInfo&) = delete;
    KavoriProductInfo& operator=(const KavoriProductInfo&) = delete;

    // Main thread, before any thread: creates the lock and loads the settings (their result is
    // not passed on). 0x80000000 when the lock exists already (nothing is read) or cannot be made.
    // The process-wide instance also hands its descriptor folder to the tree library's field
    // factory (until finalize).
    [[nodiscard]] JLIB::JResult initialize(const std::string& rootFolder);
    // Reads "SystemSetting.ini" beside the program (a non-empty root folder in front), creating a
    // missing file. A file that cannot be read logs an error line and answers 0x80000000; every
    // key then takes its default, as for an empty file.
    [[nodiscard]] JLIB::JResult load(const std::string& rootFolder);
    // After the last thread: with end status 1 removes the user folder with everything below it
    // (a partial removal is logged, never fatal); then deletes the lock. 0.
    JLIB::JResult finalize(uint32_t endStatus);

    // Main thread, before any thread; no lock. The system data folder, and the system-side
    // folders made from it.
    void setSystemDataPath(const std::string& path);
    // Main thread, before any thread; no lock. Every user-side data folder becomes the folder
    // plus its suffix.
    void setUserFolder(const std::string& folder);

    // Copies; an id of 10 or more gives an empty text.
    std::string dataPath(uint32_t id, bool systemSide) const;
    std::string systemDataPath() const;
    std::string staticDataPath() const;
    std::string configComponentPath() const;
    std::string firmwarePath() const;
    std::string storagePath() const;
    std::string descriptorPath() const;
    std::string fontPath() const;
    std::string openingContentsPath() const;
    std::string helpContentsPath() const;
    std::string etherPort() const;
    std::string sheetVersionString() const;
    uint32_t huiControlMode() const;
    uint32_t huiPort() const;
    uint32_t huiBaudRate() const;
    uint32_t DIOPort() const;
    uint32_t DIOBaudRate() const;
    uint32_t ExtCtrlPort() const;
    uint32_t ExtCtrlBaudRate() const;
    uint32_t applicationType() const;
    uint32_t debugOutputLevel() const;
    bool useMMSExplorer() const;
    bool useDebugConsole() const;
    bool isStartupDiag() const;
    bool useCpuLoad() const;

    // Mode 0 current, 1 stored, 2 suggested; any other mode the current type.
    uint32_t productType(uint32_t mode) const;
    // "Vexalume" for type 1, "---" for any other type.
    std::string productName(uint32_t mode) const;
    static std::string productSeriesName();
    // Types 0 and 1 only (else 0x80000000): the current type, and the system-side folders again.
    // With persist, unless the application is the editor, the marker file "OPV-D.model" of the
    // working folder is written (type 1) or removed (type 0) and the stored type follows;
    // 0x80000000 when that fails.
    [[nodiscard]] JLIB::JResult setProductType(uint32_t type, bool persist);
    [[nodiscard]] JLIB::JResult setProductTypeSuggestion(uint32_t type);

    uint32_t version(uint32_t kind) const;
    JLIB::JResult versionString(uint32_t kind, std::string& text) const;
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, const KavoriVersionItem& item);
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, const char* text);
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, uint8_t byte);
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, uint32_t word);

    // Stores the level and writes it back into the settings file ("OFF", "ERRORONLY", "ALL");
    // the write's result.
    [[nodiscard]] JLIB::JResult setDebugOutputLevel(uint32_t level);
    [[nodiscard]] JLIB::JResult save();

    // No lock.
    static uint32_t songFileMax() { return 150; }
    JLIB::JResult initPhysicalCardType() { return JLIB::kOk; }
    PhysicalCardType physicalCard() const { return m_physicalCardType; }
    void setPhysicalCardType(PhysicalCardType type) { m_physicalCardType = type; }

private:
    struct DataPathPair {
        std::string user;
        std::string system;
    };

    // A copy of the member, read under the lock.
    template <typename T>
    T locked(const T& member) const;
    void applySettings();
    void buildVersions();
    void computeSystemFolders();

    std::unique_ptr<TMS::TMSMutex> m_pLock;  // null until initialize, deleted by finalize
    FILECACHE::IniFile m_settings;           // kept for writing back
    uint32_t m_storedProductType;
    uint32_t m_productTypeSuggestion;
    uint32_t m_productType;
    uint32_t m_applicationType;
    KavoriVersionInfo m_versions;
    std::string m_sheetVersion;
    PhysicalCardType m_physicalCardType;
    std::string m_systemDataPath;
    std::string m_staticDataPath;
    std::string m_firmwarePath;
    std::string m_storagePath;
    std::string m_descriptorPath;
    std::string m_componentPath;
    std::string m_fontPath;
    std::string m_openingContentsPath;
    std::string m_helpContentsPath;
    DataPathPair m_dataPaths[kDataDirNum];
    uint32_t m_huiControlMode;
    uint32_t m_huiPort;
    uint32_t m_huiBaudRate;
    uint32_t m_dioPort;
    uint32_t m_dioBaudRate;
    uint32_t m_extCtrlPort;
    uint32_t m_extCtrlBaudRate;
    std::string m_etherPort;
    bool m_useMMSExplorer;
    bool m_useDebugConsole;
    uint32_t m_debugOutputLevel;
    bool m_startupDiag;
    bool m_useCpuLoad;
};

}  // namespace KAVORI
