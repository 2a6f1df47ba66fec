#include "common/KavoriProductInfo.h"

#include <new>
#include <optional>

#include "FileCache/fcache_FileAccessor.h"
#include "MMSFunc/Field/mmsf_DescriptorFolder.h"
#include "TMS/TMSMutex.h"
#include "common/KavoriResourcePath.h"
#include "common/KavoriString.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_number.h"

namespace KAVORI {

const DataPathItem gDataPathTable[kDataDirNum] = {
    {kDataDirUser, ""},
    {kDataDirConfig, "/Config"},
    {kDataDirCurrent, "/Current"},
    {kDataDirCurrentList, "/CurrentList"},
    {kDataDirCurrentUnloadable, "/CurrentUnloadable"},
    {kDataDirParameterSet, "/ParameterSet"},
    {kDataDirSnapshot, "/Snapshot"},
    {kDataDirDCP, "/DCP"},
    {kDataDirSystem, "/System"},
    {kDataDirEditor, "/Editor"},
};

namespace {

constexpr const char* kSettingsName = "SystemSetting.ini";
constexpr const char* kSetting = "Setting";
constexpr const char* kProductInfo = "ProductInfo";
constexpr const char* kMarkerFile = "./OPV-D.model";
constexpr const char* kProductName = "Vexalume";
constexpr uint32_t kDefaultBaudRate = 115200;

// Holds the lock for a scope once it exists: before initialize the entry is the only user.
class Hold {
public:
    explicit Hold(const std::unique_ptr<TMS::TMSMutex>& lock)
    {
        if (lock) m_hold.emplace(*lock);
    }

private:
    std::optional<TMS::TMSMutexAutoReleaser> m_hold;
};

std::string upper(const char* text)
{
    std::string out(text ? text : "");
    (void)_toUpper(out);  // always 0
    return out;
}

bool isTrue(const char* text)
{
    const std::string value = upper(text);
    return value == "1" || value == "ON" || value == "TRUE";
}

// An unsigned decimal number; the fallback when there are no digits or it does not fit.
uint32_t toUnsigned(const char* text, uint32_t fallback)
{
    if (!text) return fallback;
    uint32_t value = 0;
    const char* end = text;
    const uint32_t length = jlib_strlen(text, 0xFFFFFFFFu);
    if (JLIB::isFailure(jlib_strntoul(&value, text, &end, 10, length))) return fallback;
    bool digits = false;
    for (const char* p = text; p < end; ++p) digits = digits || (*p >= '0' && *p <= '9');
    return digits ? value : fallback;
}

uint32_t toDebugOutputLevel(const char* text)
{
    const std::string value = upper(text);
    if (value == "0" || value == "OFF") return kDebugOutputOff;
    if (value == "1" || value == "ERRORONLY" || value == "ON") return kDebugOutputErrorOnly;
    return kDebugOutputAll;
}

uint32_t toApplicationType(const char* text)
{
    const std::string value = upper(text);
    if (value == "FIRMWARE") return kApplicationFirmware;
    if (value == "FADER_IQC") return kApplicationFaderIqc;
    if (value == "EDITOR") return kApplicationEditor;
    return kApplicationOther;
}

std::string withoutTrailingSlash(std::string path)
{
    if (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

// The piece after "GW" in a blank-separated version line, and the one after that.
void piecesAfterGW(const char* line, std::string& version, std::string& sheet)
{
    std::vector<std::string> pieces;
    (void)splitString(pieces, line, " ", true);  // always 0
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i] != "GW") continue;
        if (i + 1 < pieces.size()) version = pieces[i + 1];
        if (i + 2 < pieces.size()) sheet = pieces[i + 2];
        return;
    }
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

KavoriProductInfo& KavoriProductInfo::getInstance()
{
    static KavoriProductInfo instance;
    return instance;
}

KavoriProductInfo::KavoriProductInfo()
    : m_storedProductType(kProductTypeNone),
      m_productTypeSuggestion(kProductTypeNone),
      m_productType(kProductTypeNone),
      m_applicationType(kApplicationOther),
      m_physicalCardType(0),
      m_staticDataPath("."),
      m_huiControlMode(0),
      m_huiPort(0),
      m_huiBaudRate(kDefaultBaudRate),
      m_dioPort(0),
      m_dioBaudRate(0),
      m_extCtrlPort(0),
      m_extCtrlBaudRate(0),
      m_useMMSExplorer(false),
      m_useDebugConsole(false),
      m_debugOutputLevel(kDebugOutputOff),
      m_startupDiag(false),
      m_useCpuLoad(false)
{
}

KavoriProductInfo::~KavoriProductInfo() = default;

JLIB::JResult KavoriProductInfo::initialize(const std::string& rootFolder)
{
    if (m_pLock) return kFailed;
    m_pLock.reset(new (std::nothrow) TMS::TMSMutex("ProductInfo"));
    if (!m_pLock) return kFailed;
    (void)load(rootFolder);  // an unreadable file has been logged and left every default
    // The tree library below the shell finds its definition files in the descriptor folder.
    if (this == &getInstance()) {
        MMSFUNC::setDescriptorFolderFunction([] { return getInstance().descriptorPath(); });
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriProductInfo::load(const std::string& rootFolder)
{
    Hold hold(m_pLock);
    std::string path = resourcePath((std::string("./") + kSettingsName).c_str());
    if (!rootFolder.empty() && !path.empty()) path = rootFolder + "/" + path;
    // The file layer takes a folder and a name inside it.
    const size_t slash = path.rfind('/');
    JLIB::JResult result = kFailed;
    if (slash != std::string::npos) {
        const std::string folder = path.substr(0, slash);
        const std::string name = path.substr(slash + 1);
        result = m_settings.initialize(folder.c_str(), FILECACHE::VDirTreeItem::ITEM_FILE, name.c_str());
        if (JLIB::isSuccess(result)) result = m_settings.readAll();
    }
    if (JLIB::isFailure(result)) {
        JLIB_LOG("[E] KavoriProductInfo::load() - Cannot load \"%s\".\n", kSettingsName);
        // Whatever was decoded before the fault is dropped: every key takes its default, so no
        // folder ends up empty (rooted at "/").
        (void)m_settings.clear();  // always 0
    }
    applySettings();
    return JLIB::isFailure(result) ? kFailed : JLIB::kOk;
}

void KavoriProductInfo::applySettings()
{
    m_systemDataPath = m_settings.item(kSetting, "SystemDataPath", ".");
    m_applicationType = toApplicationType(m_settings.item(kProductInfo, "ApplicationType", ""));
    m_storedProductType = kProductTypeVexalume;
    (void)setProductType(kProductTypeVexalume, false);  // a known type without persisting cannot fail
    buildVersions();

    m_firmwarePath = withoutTrailingSlash(m_settings.item(kSetting, "FirmwarePath", "./Firmware"));
    m_storagePath = withoutTrailingSlash(m_settings.item(kSetting, "StoragePath", "./storage"));
    setUserFolder(withoutTrailingSlash(m_settings.item(kSetting, "UserDataPath", "./userdata")));

    if (isTrue(m_settings.item(kSetting, "UseHUI", ""))) {
        m_huiControlMode = m_applicationType == kApplicationFirmware ? 1 : 2;
    } else {
        m_huiControlMode = 0;
    }
    m_huiPort = toUnsigned(m_settings.item(kSetting, "HUIPort", "0"), 0);
    m_huiBaudRate = toUnsigned(m_settings.item(kSetting, "HUIBaudRate", "115200"), kDefaultBaudRate);
    m_dioPort = toUnsigned(m_settings.item(kSetting, "DIOPort", "1"), 0);
    m_dioBaudRate = toUnsigned(m_settings.item(kSetting, "DIOBaudRate", "115200"), kDefaultBaudRate);
    m_extCtrlPort = toUnsigned(m_settings.item(kSetting, "ExtCtrlPort", "1"), 0);
    m_extCtrlBaudRate = toUnsigned(m_settings.item(kSetting, "ExtCtrlBaudRate", "115200"), kDefaultBaudRate);
    m_etherPort = m_settings.item(kSetting, "EtherPort", "eth0");
    m_useMMSExplorer = isTrue(m_settings.item(kSetting, "UseMMSExplorer", ""));
    m_useDebugConsole = isTrue(m_settings.item(kSetting, "UseDebugConsole", ""));
    m_debugOutputLevel = toDebugOutputLevel(m_settings.item(kSetting, "DebugOutputLevel", "2"));
    m_startupDiag = isTrue(m_settings.item(kSetting, "StartupDiag", ""));
    m_useCpuLoad = isTrue(m_settings.item(kSetting, "UseCpuLoad", ""));
}

void KavoriProductInfo::buildVersions()
{
    std::string version;
    std::string sheet;
    piecesAfterGW("BootLoaderVersion Emulation  GW V0.00", version, sheet);
    if (!version.empty()) (void)m_versions.setVersion(kVersionBootLoader, version.c_str());  // a fixed text
    m_sheetVersion = "--";

    version.clear();
    sheet.clear();
    piecesAfterGW("KernelVersion Emulation  GW V0.00 2.0", version, sheet);
    if (!version.empty()) (void)m_versions.setVersion(kVersionKernel, version.c_str());  // a fixed text
    if (sheet.size() >= 3 && isHexDigit(sheet[0]) && sheet[1] == '.' && isHexDigit(sheet[2])) {
        m_sheetVersion = upper(sheet.substr(2, 1).c_str()) + upper(sheet.substr(0, 1).c_str());
    }
    (void)setProgrammedVersion(m_versions);  // always 0
}

void KavoriProductInfo::computeSystemFolders()
{
    m_descriptorPath = m_systemDataPath + "/Descriptor";
    m_componentPath = m_systemDataPath + "/Component";
    m_fontPath = m_systemDataPath + "/Font";
    m_openingContentsPath = m_systemDataPath + "/Opening";
    m_helpContentsPath = m_systemDataPath + "/Help";
    for (const DataPathItem& row : gDataPathTable) {
        m_dataPaths[row.id].system = m_systemDataPath + "/FactoryPreset" + row.suffix;
    }
}

JLIB::JResult KavoriProductInfo::finalize(uint32_t endStatus)
{
    if (endStatus == 1) {
        const std::string& folder = m_dataPaths[kDataDirUser].user;
        const JLIB::JResult removed = FILECACHE::FileAccessor::remove(folder.c_str(), true);
        if (JLIB::isFailure(removed)) {
            JLIB_LOG("[E] KavoriProductInfo::finalize - Cannot remove \"%s\" completely (0x%08X).\n", folder.c_str(),
                     static_cast<unsigned>(removed));
        }
    }
    if (this == &getInstance()) MMSFUNC::setDescriptorFolderFunction(nullptr);
    m_pLock.reset();
    return JLIB::kOk;
}

void KavoriProductInfo::setSystemDataPath(const std::string& path)
{
    m_systemDataPath = path;
    computeSystemFolders();
}

void KavoriProductInfo::setUserFolder(const std::string& folder)
{
    for (const DataPathItem& row : gDataPathTable) m_dataPaths[row.id].user = folder + row.suffix;
}

std::string KavoriProductInfo::dataPath(uint32_t id, bool systemSide) const
{
    if (id >= kDataDirNum) return {};
    Hold hold(m_pLock);
    return systemSide ? m_dataPaths[id].system : m_dataPaths[id].user;
}

template <typename T>
T KavoriProductInfo::locked(const T& member) const
{
    Hold hold(m_pLock);
    return member;
}

std::string KavoriProductInfo::systemDataPath() const { return locked(m_systemDataPath); }
std::string KavoriProductInfo::staticDataPath() const { return locked(m_staticDataPath); }
std::string KavoriProductInfo::configComponentPath() const { return locked(m_componentPath); }
std::string KavoriProductInfo::firmwarePath() const { return locked(m_firmwarePath); }
std::string KavoriProductInfo::storagePath() const { return locked(m_storagePath); }
std::string KavoriProductInfo::descriptorPath() const { return locked(m_descriptorPath); }
std::string KavoriProductInfo::fontPath() const { return locked(m_fontPath); }
std::string KavoriProductInfo::openingContentsPath() const { return locked(m_openingContentsPath); }
std::string KavoriProductInfo::helpContentsPath() const { return locked(m_helpContentsPath); }
std::string KavoriProductInfo::etherPort() const { return locked(m_etherPort); }
std::string KavoriProductInfo::sheetVersionString() const { return locked(m_sheetVersion); }
uint32_t KavoriProductInfo::huiControlMode() const { return locked(m_huiControlMode); }
uint32_t KavoriProductInfo::huiPort() const { return locked(m_huiPort); }
uint32_t KavoriProductInfo::huiBaudRate() const { return locked(m_huiBaudRate); }
uint32_t KavoriProductInfo::DIOPort() const { return locked(m_dioPort); }
uint32_t KavoriProductInfo::DIOBaudRate() const { return locked(m_dioBaudRate); }
uint32_t KavoriProductInfo::ExtCtrlPort() const { return locked(m_extCtrlPort); }
uint32_t KavoriProductInfo::ExtCtrlBaudRate() const { return locked(m_extCtrlBaudRate); }
uint32_t KavoriProductInfo::applicationType() const { return locked(m_applicationType); }
uint32_t KavoriProductInfo::debugOutputLevel() const { return locked(m_debugOutputLevel); }
bool KavoriProductInfo::useMMSExplorer() const { return locked(m_useMMSExplorer); }
bool KavoriProductInfo::useDebugConsole() const { return locked(m_useDebugConsole); }
bool KavoriProductInfo::isStartupDiag() const { return locked(m_startupDiag); }
bool KavoriProductInfo::useCpuLoad() const { return locked(m_useCpuLoad); }

uint32_t KavoriProductInfo::productType(uint32_t mode) const
{
    Hold hold(m_pLock);
    switch (mode) {
    case kProductTypeStored:
        return m_storedProductType;
    case kProductTypeSuggestion:
        return m_productTypeSuggestion;
    default:
        return m_productType;
    }
}

std::string KavoriProductInfo::productName(uint32_t mode) const
{
    return productType(mode) == kProductTypeVexalume ? kProductName : "---";
}

std::string KavoriProductInfo::productSeriesName() { return kProductName; }

JLIB::JResult KavoriProductInfo::setProductType(uint32_t type, bool persist)
{
    if (type != kProductTypeNone && type != kProductTypeVexalume) return kFailed;
    Hold hold(m_pLock);
    m_productType = type;
    computeSystemFolders();
    if (!persist || m_applicationType == kApplicationEditor) return JLIB::kOk;

    if (type == kProductTypeVexalume) {
        FILECACHE::FileAccessor marker;
        uint32_t written = 0;
        const uint32_t length = jlib_strlen(kProductName, 10);
        if (JLIB::isFailure(marker.open(kMarkerFile, FILECACHE::FileAccessor::OPEN_CREATE))) return kFailed;
        const JLIB::JResult wrote = marker.write(kProductName, length, &written);
        const JLIB::JResult closed = marker.close();
        if (JLIB::isFailure(wrote) || JLIB::isFailure(closed) || written != length) return kFailed;
    } else if (FILECACHE::FileAccessor::isExist(kMarkerFile)) {
        if (JLIB::isFailure(FILECACHE::FileAccessor::remove(kMarkerFile, false))) return kFailed;
    }
    (void)FILECACHE::FileAccessor::sync();  // the marker is written; syncing only hurries it to disk
    m_storedProductType = m_productType;
    return JLIB::kOk;
}

JLIB::JResult KavoriProductInfo::setProductTypeSuggestion(uint32_t type)
{
    if (type != kProductTypeNone && type != kProductTypeVexalume) return kFailed;
    Hold hold(m_pLock);
    m_productTypeSuggestion = type;
    return JLIB::kOk;
}

uint32_t KavoriProductInfo::version(uint32_t kind) const
{
    Hold hold(m_pLock);
    return m_versions.version(kind);
}

JLIB::JResult KavoriProductInfo::versionString(uint32_t kind, std::string& text) const
{
    Hold hold(m_pLock);
    return m_versions.versionString(kind, text);
}

JLIB::JResult KavoriProductInfo::setVersion(uint32_t kind, const KavoriVersionItem& item)
{
    Hold hold(m_pLock);
    return m_versions.setVersion(kind, item);
}

JLIB::JResult KavoriProductInfo::setVersion(uint32_t kind, const char* text)
{
    Hold hold(m_pLock);
    return m_versions.setVersion(kind, text);
}

JLIB::JResult KavoriProductInfo::setVersion(uint32_t kind, uint8_t byte)
{
    Hold hold(m_pLock);
    return m_versions.setVersion(kind, byte);
}

JLIB::JResult KavoriProductInfo::setVersion(uint32_t kind, uint32_t word)
{
    Hold hold(m_pLock);
    return m_versions.setVersion(kind, word);
}

JLIB::JResult KavoriProductInfo::setDebugOutputLevel(uint32_t level)
{
    Hold hold(m_pLock);
    m_debugOutputLevel = level;
    const char* text = level == kDebugOutputOff ? "OFF" : level == kDebugOutputErrorOnly ? "ERRORONLY" : "ALL";
    JLIB_RETURN_IF_FAILED(m_settings.addItem(kSetting, "DebugOutputLevel", text));
    return m_settings.writeAll(false);
}

JLIB::JResult KavoriProductInfo::save()
{
    Hold hold(m_pLock);
    return m_settings.writeAll(false);
}

}  // namespace KAVORI
