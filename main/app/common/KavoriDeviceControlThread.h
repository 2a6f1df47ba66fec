#pragma once
// The device-control thread "DeviceControl": creates the eleven parameter databases with their
// components from the shipped definition files, brings up the DSP registries, owns the four
// memory backups, publishes its readiness through "PDBState", "DebugState" and "DRAVOmState",
// writes changed backups from a one-second timer in its normal state and carries out the device
// commands other threads send it. Every hook runs on its own task; other threads reach it only
// through messages, events and the shared system parameters.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_Mutex.h"
#include "common/KavoriAppThread.h"
#include "common/Lpc/LpcPresetList.h"
#include "common/Lpc/LpcProject.h"
#include "common/Lpc/LpcSceneList.h"
#include "common/OPVBackupFunc.h"

namespace PDB {
class ParameterStrategy;
}

namespace LPC {
class LpcUzParameterStrategyCurrent;
class LpcUzParameterStrategySetup;
class PDBLinkUz;
}  // namespace LPC

namespace KAVORI {

// One database of the thread: instance id, name, whether its changes raise the scene edit flag,
// and the backup that holds it (0 none, 1 current, 2 current list, 3 current unloadable, 4 system).
struct PDBInfoTable {
    uint32_t instanceId;
    const char* name;
    uint32_t editTracked;
    uint32_t backupKind;
};
constexpr uint32_t kPDBInfoNum = 11;
extern const PDBInfoTable gPDBInfoTable[kPDBInfoNum];

// One component the thread adds at start-up from "<descriptor folder>/<file>".
struct PDBComponentFactoryTable {
    uint32_t instanceId;
    uint32_t uniqId;
    std::string typeName;
    uint32_t majorVersion;
    std::string fileName;
    PDB::ParameterStrategy* strategy;  // not owned; process-wide, or null
};
constexpr uint32_t kPDBComponentFactoryNum = 17;
extern const PDBComponentFactoryTable gPDBComponentFactoryTable[kPDBComponentFactoryNum];

// The strategies of "uzCurrent" and "uzSetup", for the whole run.
extern LPC::LpcUzParameterStrategyCurrent& gLpcUzParameterStrategyCurrent;
extern LPC::LpcUzParameterStrategySetup& gLpcUzParameterStrategySetup;

// The user folder followed by "/Snapshot" and "/Preset".
std::string getSnapshotFolder();
std::string getPresetFolder();
// Writes value to "/Scene/Status/EnableSceneView" of "uzVolatile"; the write's result.
[[nodiscard]] JLIB::JResult enableSceneView(uint32_t value);
// Whether either value, read as a signed 32-bit number, is non-zero.
bool isFileRemaining(const JVariant& a, const JVariant& b);

class KavoriDeviceControlThread : public KavoriAppThread {
public:
    // The control state; only kControlNormal lets the timer write backups.
    static constexpr uint32_t kControlConstructed = 0;
    static constexpr uint32_t kControlNormal = 1;
    static constexpr uint32_t kControlProjectBackup = 2;
    static constexpr uint32_t kControlProjectRunning = 3;
    static constexpr uint32_t kControlSyncConnected = 4;
    static constexpr uint32_t kControlStopped = 5;

    static constexpr uint32_t kBackupTimerId = 0;
    static constexpr uint32_t kBackupTimerMs = 1000;
    static constexpr uint32_t kBackupIntervalMs = 10000;
    static constexpr uint32_t kAudioThreadLimit = 100;
    static constexpr uint32_t kBackupNum = 4;

    // The backup clock is the process's millisecond counter unless a test gives its own.
    explicit KavoriDeviceControlThread(OPV::OPVBackupFunc::Clock backupClock = &OPV::OPVBackupFunc::systemClock);
    // Releases the thread first when its owner has not (see the base's contract).
    ~KavoriDeviceControlThread() override;

    // Any task.
    uint32_t controlState() const { return m_ControlState.load(); }
    // Own task only: re-reads the device state; the OR of every step's result.
    JLIB::JResult refresh(bool restoreBackups);
    // Own task only: the audio component collection's results.
    [[nodiscard]] JLIB::JResult addAudioComponent(const char* typeName, uint32_t majorVersion, uint32_t uniqId,
                                                  uint32_t sizeX, uint32_t sizeY);
    [[nodiscard]] JLIB::JResult reqRemoveAudioComponent();
    [[nodiscard]] JLIB::JResult reqRemoveAudioComponent(uint32_t uniqId);
    // Whether the product runs as the editor's virtual device (application type 3).
    static bool isClient();
    // Own task only. Accepts every preparation (the PIN is not checked): the 16-byte hash 01..10
    // when capacity allows, the refresh flag set by role and direction, the remaining counters
    // 1000 and 128. Always 0.
    JLIB::JResult onReceivePrepareToSync(const TMS::AbstractMessage& request, bool& accepted, uint8_t* hash,
                                         uint32_t capacity, uint32_t& hashLength);
    // Own task only. "Connected" quiets the backups; "Synchronized" ends the synchronisation. 0.
    JLIB::JResult onReceiveSynchronize(const TMS::AbstractMessage& request);
    // Any task.
    bool refreshAfterSync() const { return m_RefreshAfterSync; }
    // Own task only: the first subscription id; 0x80000000 (id untouched) without one.
    [[nodiscard]] JLIB::JResult getSubscribeId(uint32_t& id) const;

    // Carried for completeness; nothing in the system calls them.
    // Whether this is the editor's device and "Sync" reports the editor state 10 (online).
    bool isOnlineClient() const;
    // Own task only: empties the user side of a data folder (or its subfolder) and copies the
    // system side into it; the OR of the listing and removal codes.
    [[nodiscard]] JLIB::JResult initializeDataDir(uint32_t dataFolder, const char* subfolder);
    // Own task only: kinds 1 to 8 run the matching hook and go as user events to the other
    // threads; any other kind: 0x80000000.
    [[nodiscard]] JLIB::JResult sendMemoryEvent(uint32_t kind);
    // Own task only: stores "<config folder>/CompileResult.json" when its DSP system record is a
    // successful compile for a known DSP system with a frame of a multiple of 8 samples.
    [[nodiscard]] JLIB::JResult constructAudioConfigDB();
    // Own task only: adds the stored configuration's components, audio and logic connections;
    // 0x80000000 when any of them fails (the others are still made).
    [[nodiscard]] JLIB::JResult constructAudioComponents();

protected:
    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;
    JLIB::JResult onChangePDBConfig() override;
    JLIB::JResult onChangePDBParam() override;
    JLIB::JResult onRecalled() override;
    JLIB::JResult onParamSetListChanged() override;
    JLIB::JResult onLibraryListChanged() override;
    JLIB::JResult onFileListChanged() override;
    JLIB::JResult onProjectChanged() override;
    JLIB::JResult onMemoryInitialized() override;
    JLIB::JResult onUserLevelChanged() override;
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;

public:
    uint32_t rawCallbackChangePDBConfig() override;

protected:
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                          uint32_t x, uint32_t y, uint32_t subscriptionId) override;

    // The backup of a kind 1 to 4, or null.
    OPV::OPVBackupFunc* backupOfKind(uint32_t kind);
    // A change of the device database that the scene's edit flag must show: sets the flag.
    virtual void raiseSceneEditFlag();

private:
    void createDatabases();
    void addComponents(const std::string& descriptorFolder);
    void initializeBackups();
    void construct();
    void eraseAudioComponents();
    uint32_t readSysParam(const char* name) const;
    // Sets one shared parameter and flushes; a failure is logged.
    void publish(const char* name, uint32_t value);

    // The dispatcher's commands; each reads its keys from the message.
    void commandAddComponent(const TMS::AbstractMessage& message);
    void commandRemoveComponent(const TMS::AbstractMessage& message);
    void commandChangeComponentType(const TMS::AbstractMessage& message);
    void commandAddConnection(const TMS::AbstractMessage& message);
    void commandRemoveConnection(const TMS::AbstractMessage& message);
    void commandConnection(const TMS::AbstractMessage& message, bool add);
    [[nodiscard]] JLIB::JResult changeConnection(bool add, uint32_t fromUniqId, uint32_t fromPortNo, uint32_t toUniqId,
                                                 uint32_t toPortNo);
    // Reads the whole file and imports it into the database as a forced recall.
    [[nodiscard]] JLIB::JResult loadImage(const std::string& path, uint32_t instanceId);
    void commandSetComponentDefault(const TMS::AbstractMessage& message);
    void commandAddPDBComponent(const TMS::AbstractMessage& message);
    void commandRemovePDBComponent(const TMS::AbstractMessage& message);
    void commandAddAudioComponent(const TMS::AbstractMessage& message);
    void commandRemoveAudioComponent(const TMS::AbstractMessage& message);
    void commandInitialize(const TMS::AbstractMessage& message);
    void commandBackup(const TMS::AbstractMessage& message);
    void commandSaveProject(const TMS::AbstractMessage& message);
    void commandLoadProject(const TMS::AbstractMessage& message);
    void commandEraseConfig(const TMS::AbstractMessage& message);
    void commandApplyConfig(const TMS::AbstractMessage& message);
    void commandIgnored(const TMS::AbstractMessage& message);
    // The synchronisation commands of the console link's peer and of "Sync".
    void commandUZSync(const TMS::AbstractMessage& message);
    void commandPrepareToSync(const TMS::AbstractMessage& message);
    void commandSyncAbort(const TMS::AbstractMessage& message);
    void commandStartConfig(const TMS::AbstractMessage& message);
    void commandIsSameConfig(const TMS::AbstractMessage& message);
    void commandSynchronize(const TMS::AbstractMessage& message);
    // The device-logic commands: scenes, 3D-reverb presets, speaker files, projects, debug fills.
    void commandUZScene(const TMS::AbstractMessage& message);
    void commandUZPreset(const TMS::AbstractMessage& message);
    void commandUZSpeakerPosition(const TMS::AbstractMessage& message);
    void commandUZProject(const TMS::AbstractMessage& message);
    void commandUZShowAllValues(const TMS::AbstractMessage& message);
    void commandUZSetMinValue(const TMS::AbstractMessage& message);
    void commandUZSetMaxValue(const TMS::AbstractMessage& message);
    void sceneStore(const TMS::AbstractMessage& message);
    void sceneRecall(const TMS::AbstractMessage& message);
    // Runs inside the scene recall's write lock: the scene's 3D-reverb preset, then the link update.
    uint32_t recallFollowUp();
    void projectSave(const char* name);
    void projectLoad(const char* name);

    PDB::SimpleReadWriteMutex m_PDBMutex;
    OPV::OPVBackupFunc m_CurrentBackup;
    OPV::OPVBackupFunc m_CurrentListBackup;
    OPV::OPVBackupFunc m_CurrentUnloadableBackup;
    OPV::OPVBackupFunc m_SystemBackup;
    LPC::SceneList m_SceneList;
    LPC::PresetList m_PresetList;
    LPC::Project m_Project;
    PDB::AddressId m_SnapshotInitSyncNumId;
    PDB::AddressId m_ParameterSetInitSyncNumId;
    std::atomic<uint32_t> m_ControlState;
    bool m_RefreshAfterSync;
    // The device's link table, installed for the process once the device database is built; null
    // when it could not be allocated (no link engine then).
    std::unique_ptr<LPC::PDBLinkUz> m_pLink;
    uint32_t m_firstSubscribeId;
    bool m_hasSubscribeId;

public:
    struct Command {
        const char* name;
        void (KavoriDeviceControlThread::*handler)(const TMS::AbstractMessage&);
    };
    static const Command kCommands[];
    static const uint32_t kCommandNum;
};

}  // namespace KAVORI
