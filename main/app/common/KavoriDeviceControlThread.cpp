#include "common/KavoriDeviceControlThread.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "FileCache/fcache_FileAccessor.h"
#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "MMSFunc/mmsf_SelectedItemLoader.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_ParameterStrategy.h"
#include "TMS/ThreadRepository.h"
#include "common/KavoriProductInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkUz.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "dravo/manager/dravo_parseAudioConfigJSON.h"
#include "fsw/fsw_api.h"
#include "jlib/jlib_cfg.h"

namespace KAVORI {

LPC::LpcUzParameterStrategyCurrent& gLpcUzParameterStrategyCurrent = LPC::gUzParameterStrategyCurrent;
LPC::LpcUzParameterStrategySetup& gLpcUzParameterStrategySetup = LPC::gUzParameterStrategySetup;

const PDBInfoTable gPDBInfoTable[kPDBInfoNum] = {
    {0, "Profile", 0, 1},     {1, "DeviceSetup", 0, 1},  {2, "StaticSetup", 0, 1}, {3, "LocalSetup", 0, 1},
    {4, "VDeviceSetup", 0, 1}, {5, "CommonSetup", 0, 1}, {6, "Status", 0, 1},      {7, "SnapshotInfo", 0, 1},
    {8, "PresetInfo", 0, 0},  {9, "ProjectInfo", 0, 1},  {10, "AudioCompo", 1, 1},
};

namespace {

PDBComponentFactoryTable row(uint32_t db, uint32_t uid, const char* type, PDB::ParameterStrategy* strategy)
{
    return {db, uid, type, 1, std::string(type) + "_1.json", strategy};
}

}  // namespace

const PDBComponentFactoryTable gPDBComponentFactoryTable[kPDBComponentFactoryNum] = {
    row(0, 0, "Profile", nullptr),
    row(1, 0, "DeviceSetup", nullptr),
    row(2, 0, "StaticSetup", nullptr),
    row(3, 0, "LocalSetup", nullptr),
    row(4, 0, "VDeviceSetup", nullptr),
    row(5, 0, "CommonSetup", nullptr),
    row(6, 0, "Status", nullptr),
    row(7, 0, "SnapshotInfo", nullptr),
    row(8, 0, "PresetInfo", nullptr),
    row(9, 0, "ProjectInfo", nullptr),
    row(10, 0, "uzCurrent", &gLpcUzParameterStrategyCurrent),
    row(10, 1, "uzSetup", &gLpcUzParameterStrategySetup),
    row(10, 2, "uzVolatile", nullptr),
    row(10, 3, "uzSceneStatus", nullptr),
    row(10, 4, "uzSceneList", nullptr),
    row(10, 5, "uzPresetStatus", nullptr),
    row(10, 6, "uzPresetList", nullptr),
};

namespace {

constexpr uint8_t kWriteAttr = 255;
constexpr uint32_t kStatusPDB = 6;
constexpr const char* kProductName = "Vexalume";
constexpr const char* kSnapshotInitSyncNum = "/DirSyncFrom/Snapshot/InitSyncNum";
constexpr const char* kParameterSetInitSyncNum = "/DirSyncFrom/ParameterSet/InitSyncNum";
constexpr const char* kSceneRemainingNum = "/Scene/Sync/Scene/remainingNum";
constexpr const char* kLibraryRemainingNum = "/Scene/Sync/Library/remainingNum";

constexpr uint32_t kDRAVOmConstruct = 2;
constexpr uint32_t kDRAVOmConstructed = 3;
constexpr uint32_t kDRAVOmErase = 5;
constexpr uint32_t kDRAVOmErased = 1;

struct BackupPlace {
    uint32_t kind;
    uint32_t dataFolder;
    const char* fileName;
};
// In the order of every restore and write.
constexpr BackupPlace kBackupPlaces[KavoriDeviceControlThread::kBackupNum] = {
    {1, kDataDirCurrent, "CurrentBackupFile.bup"},
    {2, kDataDirCurrentList, "CurrentListBackupFile.bup"},
    {3, kDataDirCurrentUnloadable, "CurrentUnloadableBackupFile.bup"},
    {4, kDataDirSystem, "SystemBackupFile.bup"},
};

std::string userFolder() { return KavoriProductInfo::getInstance().dataPath(kDataDirUser, false); }

// The whole file as a zero-terminated text; false when it cannot be opened or read.
bool readText(const std::string& path, std::unique_ptr<char[]>& text)
{
    FILECACHE::FileAccessor file;
    if (FILECACHE::FileAccessor::isDir(path.c_str())) return false;
    if (JLIB::isFailure(file.open(path.c_str(), FILECACHE::FileAccessor::OPEN_READ))) return false;
    const uint32_t size = FILECACHE::FileAccessor::size(path.c_str());
    text.reset(new (std::nothrow) char[size + 1ull]);
    if (!text) return false;
    uint32_t got = 0;
    const JLIB::JResult read = size == 0 ? JLIB::kOk : file.read(text.get(), size, &got);
    (void)file.close();  // read only: nothing to lose
    if (read != JLIB::kOk || got != size) return false;
    text[size] = '\0';
    return true;
}

}  // namespace

std::string getSnapshotFolder() { return userFolder() + "/" + "Snapshot"; }

std::string getPresetFolder() { return userFolder() + "/" + "Preset"; }

JLIB::JResult enableSceneView(uint32_t value)
{
    return LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Status/EnableSceneView", 0, 0, JVariant(value),
                             kWriteAttr);
}

bool isFileRemaining(const JVariant& a, const JVariant& b) { return a.toInt32() != 0 || b.toInt32() != 0; }

KavoriDeviceControlThread::KavoriDeviceControlThread(OPV::OPVBackupFunc::Clock backupClock)
    : KavoriAppThread(5),
      m_CurrentBackup(backupClock),
      m_CurrentListBackup(backupClock),
      m_CurrentUnloadableBackup(backupClock),
      m_SystemBackup(backupClock),
      m_ControlState(kControlConstructed),
      m_RefreshAfterSync(true),
      m_pLink(new (std::nothrow) LPC::PDBLinkUz),
      m_firstSubscribeId(0),
      m_hasSubscribeId(false)
{
}

KavoriDeviceControlThread::~KavoriDeviceControlThread()
{
    // An owner whose staged release did not reach this thread leaves its task running; ended here,
    // while this object is whole, it still writes the backups and gives the databases back.
    if (getTaskId() != kNoId && !isCallerOwnTask()) (void)release();  // a failure is logged by the base
}

OPV::OPVBackupFunc* KavoriDeviceControlThread::backupOfKind(uint32_t kind)
{
    switch (kind) {
    case 1: return &m_CurrentBackup;
    case 2: return &m_CurrentListBackup;
    case 3: return &m_CurrentUnloadableBackup;
    case 4: return &m_SystemBackup;
    default: return nullptr;
    }
}

bool KavoriDeviceControlThread::isClient() { return KavoriProductInfo::getInstance().applicationType() == 3; }

JLIB::JResult KavoriDeviceControlThread::getSubscribeId(uint32_t& id) const
{
    if (!m_hasSubscribeId) return JLIB::kFailed;
    id = m_firstSubscribeId;
    return JLIB::kOk;
}

uint32_t KavoriDeviceControlThread::readSysParam(const char* name) const
{
    JVariant value;
    (void)getSysParam(value, name, 0);  // an undeclared parameter reads as 0
    return value.toUInt32();
}

void KavoriDeviceControlThread::publish(const char* name, uint32_t value)
{
    if (JLIB::isFailure(setSysParam(name, 0, JVariant(value))) || JLIB::isFailure(flushSysParam())) {
        (void)outputLog("[E] KavoriDeviceControlThread - Cannot publish \"%s\" = %u!\n", name, value);
    }
}

// ---- set-up

JLIB::JResult KavoriDeviceControlThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    JLIB::JResult result = KavoriAppThread::onInitialize(arguments);
    const std::string descriptorFolder = KavoriProductInfo::getInstance().descriptorPath();
    createDatabases();
    addComponents(descriptorFolder);
    if (m_pLink) {
        // An address the definitions lack was logged; the table then stays out of every write.
        result = m_pLink->initialize();
        if (JLIB::isSuccess(result)) result = LPC::pdb_setLink(m_pLink.get());
    }

    const std::string componentFolder = KavoriProductInfo::getInstance().configComponentPath() + "/";
    if (JLIB::isFailure(DRAVO::AudioComponentCollection::singleton()->initialize(componentFolder.c_str(),
                                                                                  kAudioThreadLimit))) {
        (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot initialize the audio components.\n");
    }
    if (JLIB::isFailure(DRAVO::AudioConfigDB::singleton().initialize())) {
        (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot initialize the audio configuration.\n");
    }
    if (JLIB::isFailure(LogicCtrl::LogicComponentCollection::singleton().initialize())) {
        (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot initialize the logic components.\n");
    }
    initializeBackups();
    return result;
}

void KavoriDeviceControlThread::createDatabases()
{
    for (const PDBInfoTable& info : gPDBInfoTable) {
        if (JLIB::isFailure(PDB::createPDB(info.instanceId, info.name, &m_PDBMutex, 0))) {
            (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Couldn't create the PDB instance[id=%d].\n",
                            int(info.instanceId));
        }
    }
}

void KavoriDeviceControlThread::addComponents(const std::string& descriptorFolder)
{
    for (const PDBComponentFactoryTable& factory : gPDBComponentFactoryTable) {
        const std::string path = descriptorFolder + "/" + factory.fileName;
        std::unique_ptr<char[]> text;
        if (!readText(path, text)) {
            // Without its definition the component is missing: say which file, start without it.
            (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot read '%s'.\n", path.c_str());
            continue;
        }
        PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.get());
        (void)info.setParameterStrategy(factory.strategy);  // always 0
        // A type registered before (a second thread in one process) keeps its first definition.
        (void)PDB::getComponentInfoRepository().addComponentInfo(info);

        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(factory.instanceId);
        if (JLIB::isFailure(db.addComponent(PDB::UniqId(factory.uniqId), factory.typeName.c_str(),
                                            factory.majorVersion, 0, 0, 0))) {
            (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot make 'Component[%d:%s]'!\n",
                            int(factory.uniqId), info.componentName().c_str());
        }
        // Logged by the strategy; the defaults it cannot resolve stay the definition's.
        if (factory.strategy) (void)factory.strategy->initialize(db);
        // By its own index: a component left out before it would shift the indexes after it.
        (void)db.setDefault(db.getComponentIndex(PDB::UniqId(factory.uniqId)), kWriteAttr);  // none: nothing to do
    }
}

void KavoriDeviceControlThread::initializeBackups()
{
    PDB::PDBTable tables[kBackupNum];
    for (const PDBInfoTable& info : gPDBInfoTable) {
        if (info.backupKind < 1 || info.backupKind > kBackupNum) continue;
        tables[info.backupKind - 1].emplace_back(&PDB::gPDBCollection.getPDB(info.instanceId), 0);
    }
    const KavoriProductInfo& product = KavoriProductInfo::getInstance();
    for (const BackupPlace& place : kBackupPlaces) {
        const std::string folder = product.dataPath(place.dataFolder, false);
        if (JLIB::isFailure(backupOfKind(place.kind)->initialize(folder.c_str(), place.fileName, kProductName, 0,
                                                                 tables[place.kind - 1], kBackupIntervalMs))) {
            (void)outputLog("[E] KavoriDeviceControlThread::onInitialize - Cannot set up the backup '%s'.\n",
                            place.fileName);
        }
    }
}

// ---- start, stop and readiness

JLIB::JResult KavoriDeviceControlThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    const uint32_t old = getStatus();
    if (status == TMS::kStatusStop) {
        m_ControlState.store(kControlStopped);
        (void)timers().deleteTimer(kBackupTimerId, false);  // none before the first run
    } else if (status == TMS::kStatusRun && old == TMS::kStatusStop) {
        (void)registerSubscribeId(0, PDB::SubscribeAttr(0));  // always 0
        if (!m_hasSubscribeId) {
            m_firstSubscribeId = (uint32_t(callerTaskId()) << 16);
            m_hasSubscribeId = true;
        }
        PDB::IParameterDB& status6 = PDB::gPDBCollection.getPDB(kStatusPDB);
        m_SnapshotInitSyncNumId = status6.getAddressId(PDB::UniqId(0), kSnapshotInitSyncNum);
        m_ParameterSetInitSyncNumId = status6.getAddressId(PDB::UniqId(0), kParameterSetInitSyncNum);
        if (JLIB::isFailure(timers().addTimer(kBackupTimerId, kBackupTimerMs, false, this)) ||
            JLIB::isFailure(timers().getTimer(kBackupTimerId).start())) {
            (void)outputLog("[E] KavoriDeviceControlThread::onChangeStatus - Cannot start the backup timer!\n");
        }
        const bool set = JLIB::isSuccess(setSysParam("PDBState", 0, JVariant(1u))) &&
                         JLIB::isSuccess(setSysParam("DebugState", 0, JVariant(0u))) &&
                         JLIB::isSuccess(setSysParam("DRAVOmState", 0, JVariant(kDRAVOmConstruct)));
        if (!set || JLIB::isFailure(flushSysParam())) {
            (void)outputLog("[E] KavoriDeviceControlThread::onChangeStatus - Cannot publish the readiness!\n");
        }
    } else if (status == TMS::kStatusClosing) {
        m_ControlState.store(kControlStopped);
        (void)timers().deleteTimer(kBackupTimerId, false);  // as above
        (void)reqRemoveAudioComponent();  // refused only while the collection is not set up
    }
    return KavoriAppThread::onChangeStatus(status, arguments);
}

JLIB::JResult KavoriDeviceControlThread::onChangeSystemInfo()
{
    const JLIB::JResult result = KavoriAppThread::onChangeSystemInfo();
    if (!isSysParamChanged("DRAVOmState", 0, true)) return result;
    switch (readSysParam("DRAVOmState")) {
    case kDRAVOmConstruct: construct(); break;
    case kDRAVOmConstructed: m_ControlState.store(kControlNormal); break;
    case kDRAVOmErase: eraseAudioComponents(); break;
    default: break;
    }
    return result;
}

void KavoriDeviceControlThread::construct()
{
    (void)outputLog("[i] KavoriDeviceControlThread::onChangeSystemInfo - Started to construct all components.\n");
    for (const BackupPlace& place : kBackupPlaces) (void)backupOfKind(place.kind)->restore();  // 0 once set up
    const std::string backupFolder = userFolder() + "/Backup";
    if (FILECACHE::FileAccessor::makeDir(backupFolder.c_str()) == JLIB::kOk) {
        (void)outputLog("[i] \"%s\" directory force created\n", backupFolder.c_str());
    }
    // A failing scene list logs its own lines; the device goes on without scenes.
    (void)m_SceneList.initialize(getSnapshotFolder().c_str(), backupFolder.c_str());
    // Likewise: without it presets are refused, each with its own line.
    (void)m_PresetList.initialize(0, 0, getPresetFolder().c_str());
    static MMSFUNC::SelectedItemLoader s_projectLoader;
    // A second construct finds it registered already: refused, nothing changes.
    (void)MMSFUNC::SelectedItemLoader::registerModelDependentInstance(&s_projectLoader);
    // Only settings are stored: it cannot fail for the product name given.
    (void)m_Project.initialize(0, 0, LPC::ProjectFileContentsMurUZ::getConfig(),
                               MMSFUNC::SelectedItemLoader::getInstance());
    (void)refresh(true);  // every step logs its own failure
    publish("DRAVOmState", kDRAVOmConstructed);
}

void KavoriDeviceControlThread::eraseAudioComponents()
{
    (void)reqRemoveAudioComponent();  // refused only while the collection is not set up
    publish("DRAVOmState", kDRAVOmErased);
}

JLIB::JResult KavoriDeviceControlThread::refresh(bool restoreBackups)
{
    std::printf("KavoriDeviceControlThread::refresh enter\n");
    PDB::IParameterDB& db = LPC::getLpcPDB();
    JLIB::JResult result = db.writeLock();
    if (restoreBackups) {
        result |= m_CurrentBackup.restore();
        result |= m_CurrentListBackup.restore();
    }
    result |= m_SceneList.refresh();
    result |= m_PresetList.refresh();
    if (m_pLink) result |= m_pLink->update(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
    result |= db.writeUnlock();
    (void)TMS::getThreadByName("DeviceControlForUZ").sendEvent(kEventPDBConfig);  // a missing thread is not told
    std::printf("KavoriDeviceControlThread::refresh leave\n");
    (void)std::fflush(stdout);
    return result;
}

// ---- change tracking and the backup timer

JLIB::JResult KavoriDeviceControlThread::onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                                 uint32_t addressIndex, uint32_t x, uint32_t y,
                                                                 uint32_t)
{
    JVariant value;
    const bool read = JLIB::isSuccess(db.getVariant(value, componentIndex, addressIndex, x, y, nullptr));
    if (read && db.instanceId() == kStatusPDB) {
        const PDB::AddressId changed = db.getAddressId(componentIndex, addressIndex);
        const char* target = nullptr;
        if (changed.isSame(m_SnapshotInitSyncNumId)) target = kSceneRemainingNum;
        if (changed.isSame(m_ParameterSetInitSyncNumId)) target = kLibraryRemainingNum;
        if (target &&
            JLIB::isFailure(LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, target, 0, 0, value, kWriteAttr))) {
            (void)outputLog("[E] KavoriDeviceControlThread::onFoundChangedParameter - Cannot copy to '%s'.\n", target);
        }
    }
    const uint32_t id = db.instanceId();
    if (id >= kPDBInfoNum) return JLIB::kOk;
    const PDBInfoTable& info = gPDBInfoTable[id];
    if (OPV::OPVBackupFunc* backup = backupOfKind(info.backupKind)) (void)backup->requestBackup();  // always 0
    if (info.editTracked && !db.paramInfo(componentIndex, addressIndex).attr.hasNoEditMFlag()) raiseSceneEditFlag();
    return JLIB::kOk;
}

void KavoriDeviceControlThread::raiseSceneEditFlag()
{
    (void)LPC::setEditFlag(true);  // a lost mark only hides an edit from the scene view
}

JLIB::JResult KavoriDeviceControlThread::onTimer(uint32_t timerId, uint32_t count)
{
    const JLIB::JResult result = KavoriAppThread::onTimer(timerId, count);
    if (timerId != kBackupTimerId || m_ControlState.load() != kControlNormal) return result;
    for (const BackupPlace& place : kBackupPlaces) {
        (void)backupOfKind(place.kind)->checkPendedBackup();  // a failed write keeps its mark and is logged
    }
    return result;
}

// ---- shut-down

JLIB::JResult KavoriDeviceControlThread::onFinalize()
{
    JLIB::JResult result = KavoriAppThread::onFinalize();
    for (const BackupPlace& place : kBackupPlaces) (void)backupOfKind(place.kind)->backupForcely();  // logged
    (void)LogicCtrl::LogicComponentCollection::singleton().finalize();  // nothing to undo on failure
    (void)DRAVO::AudioConfigDB::singleton().finalize();
    (void)DRAVO::AudioComponentCollection::singleton()->finalize();
    // Only this thread installs an engine: taken out before the databases go and long before the
    // table itself, so no later write reaches a destroyed table.
    if (m_pLink) (void)LPC::pdb_setLink(nullptr);  // always 0
    for (uint32_t id = 0; id < kPDBInfoNum; ++id) (void)PDB::gPDBCollection.getPDB(id).finalize();
    for (const PDBInfoTable& info : gPDBInfoTable) {
        // A database that could not be created has nothing to destroy.
        if (&PDB::gPDBCollection.getPDB(info.instanceId) == &PDB::ParameterDBNULL::getNullObject()) continue;
        result |= PDB::destroyPDB(info.instanceId);
    }
    if (JLIB::isSuccess(result)) publish("PDBState", 0);
    return result;
}

// ---- hooks that only pass on

JLIB::JResult KavoriDeviceControlThread::onChangePDBParam() { return KavoriAppThread::onChangePDBParam(); }
uint32_t KavoriDeviceControlThread::rawCallbackChangePDBConfig()
{
    return KavoriAppThread::rawCallbackChangePDBConfig();
}
JLIB::JResult KavoriDeviceControlThread::onChangePDBConfig() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onRecalled() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onParamSetListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onLibraryListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onFileListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onProjectChanged() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onMemoryInitialized() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onUserLevelChanged() { return JLIB::kOk; }
JLIB::JResult KavoriDeviceControlThread::onReceiveLocalEvent(uint32_t) { return JLIB::kOk; }

// ---- the DSP audio components

JLIB::JResult KavoriDeviceControlThread::addAudioComponent(const char* typeName, uint32_t majorVersion,
                                                           uint32_t uniqId, uint32_t sizeX, uint32_t sizeY)
{
    return DRAVO::AudioComponentCollection::singleton()->addComponent(typeName, majorVersion, uniqId, sizeX, sizeY);
}

JLIB::JResult KavoriDeviceControlThread::reqRemoveAudioComponent()
{
    return DRAVO::AudioComponentCollection::singleton()->reqRemoveComponent();
}

JLIB::JResult KavoriDeviceControlThread::reqRemoveAudioComponent(uint32_t uniqId)
{
    return DRAVO::AudioComponentCollection::singleton()->reqRemoveComponent(uniqId);
}

JLIB::JResult KavoriDeviceControlThread::changeConnection(bool add, uint32_t fromUniqId, uint32_t fromPortNo,
                                                          uint32_t toUniqId, uint32_t toPortNo)
{
    DRAVO::AudioComponentCollection* components = DRAVO::AudioComponentCollection::singleton();
    return add ? components->addConnection(fromUniqId, fromPortNo, toUniqId, toPortNo)
               : components->removeConnection(fromUniqId, fromPortNo, toUniqId, toPortNo);
}

}  // namespace KAVORI

// ---- carried operations

namespace KAVORI {

namespace {

// Copies the folder's entries into the target, folders with their contents; the first failure.
JLIB::JResult copyTree(const std::string& source, const std::string& target)
{
    JLIB_RETURN_IF_FAILED(FILECACHE::FileAccessor::makeDir(target.c_str()));
    T_FSW_DIR* dir = nullptr;
    JLIB_RETURN_IF_FAILED(fsw_openDir(&dir, source.c_str()));
    JLIB::JResult result = JLIB::kOk;
    char name[kFswDirEntryNameSize];
    while (JLIB::isSuccess(result) && fsw_readDir(dir, name, sizeof(name)) == JLIB::kOk) {
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        const std::string from = source + "/" + name;
        const std::string to = target + "/" + name;
        result = FILECACHE::FileAccessor::isDir(from.c_str()) ? copyTree(from, to)
                                                               : FILECACHE::FileAccessor::copy(from.c_str(), to.c_str());
    }
    (void)fsw_closeDir(dir);  // a listing only read
    return result;
}

}  // namespace

bool KavoriDeviceControlThread::isOnlineClient() const
{
    if (!isClient()) return false;
    JVariant state;
    (void)TMS::getThreadByName("Sync").getSysParam(state, "EditorState", 0);  // none: 0
    return state.toUInt32() == 10;
}

JLIB::JResult KavoriDeviceControlThread::initializeDataDir(uint32_t dataFolder, const char* subfolder)
{
    const KavoriProductInfo& product = KavoriProductInfo::getInstance();
    std::string target = product.dataPath(dataFolder, false);
    std::string source = product.dataPath(dataFolder, true);
    if (target.empty() || source.empty()) return JLIB::kFailed;
    if (subfolder) {
        target += std::string("/") + subfolder;
        source += std::string("/") + subfolder;
    }
    T_FSW_DIR* dir = nullptr;
    JLIB::JResult result = fsw_openDir(&dir, target.c_str());
    if (JLIB::isSuccess(result)) {
        char name[kFswDirEntryNameSize];
        for (;;) {
            const JLIB::JResult read = fsw_readDir(dir, name, sizeof(name));
            if (read == kFswNotFound) break;  // the end of the listing
            if (JLIB::isFailure(read)) {
                result = read;
                break;
            }
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            const std::string entry = target + "/" + name;
            result = FILECACHE::FileAccessor::remove(entry.c_str(), true);
            if (JLIB::isFailure(result)) break;
        }
        (void)fsw_closeDir(dir);  // a listing only read
    }
    if (JLIB::isFailure(result)) return result;
    return copyTree(source, target);
}

JLIB::JResult KavoriDeviceControlThread::sendMemoryEvent(uint32_t kind)
{
    switch (kind) {
    case 1: (void)onRecalled(); break;
    case 2: (void)onParamSetListChanged(); break;
    case 3: (void)onLibraryListChanged(); break;
    case 4: (void)onFileListChanged(); break;
    case 5: (void)onProjectChanged(); break;
    case 6: (void)TMS::getThreadByName("DeviceControl").sendEvent(kEventMemoryInitialized); break;
    case 7: (void)onIPAddressChanged(); break;
    case 8: (void)onUserLevelChanged(); break;
    default: return JLIB::kFailed;
    }
    for (const char* name : {"DSP", "SlotControl", "HUI", "GUIBridge", "Sync", "SCPServer"}) {
        (void)TMS::getThreadByName(name).sendEvent(kind);  // a thread not in this build is not told
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriDeviceControlThread::constructAudioConfigDB()
{
    const std::string path = KavoriProductInfo::getInstance().dataPath(kDataDirConfig, false) + "/CompileResult.json";
    std::unique_ptr<char[]> text;
    if (!readText(path, text)) return JLIB::kFailed;
    const DRAVO::AudioConfig config = DRAVO::parseAudioConfigJSON(text.get());
    const DRAVO::AudioConfigDspSystem& dsp = config.dspSystem;
    if (dsp.result != 0) return JLIB::kFailed;
    if (dsp.name != "OPV64-D" && dsp.name != "OPV128-D" && dsp.name != "OPV256-D") return JLIB::kFailed;
    if (dsp.numSamplePerFrame % 8 != 0) return JLIB::kFailed;
    return DRAVO::AudioConfigDB::singleton().setAudioConfig(config);
}

JLIB::JResult KavoriDeviceControlThread::constructAudioComponents()
{
    DRAVO::AudioConfig config;
    JLIB_RETURN_IF_FAILED(DRAVO::AudioConfigDB::singleton().getAudioConfig(config));
    DRAVO::AudioComponentCollection* components = DRAVO::AudioComponentCollection::singleton();
    // Each part is made even when another failed: as much of the configuration as can be.
    JLIB::JResult result = JLIB::kOk;
    for (const DRAVO::AudioConfigComponent& c : config.components) {
        if (JLIB::isFailure(addAudioComponent(c.name.c_str(), c.majorVersion, c.uniqID, c.numX, c.numY))) {
            result = JLIB::kFailed;
        }
    }
    for (const DRAVO::AudioConnection& c : config.connections) {
        if (JLIB::isFailure(components->addConnection(c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo))) {
            result = JLIB::kFailed;
        }
    }
    for (const DRAVO::AudioConnection& c : config.logicConnections) {
        DRAVO::AudioComponent* from = components->component(c.fromUniqID);
        DRAVO::AudioComponent* to = components->component(c.toUniqID);
        if (!from || !to ||
            JLIB::isFailure(from->logicComponent().connectLogicTo(c.fromPortNo, &to->logicComponent(), c.toPortNo))) {
            result = JLIB::kFailed;
        }
    }
    return result;
}

}  // namespace KAVORI
