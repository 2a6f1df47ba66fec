#pragma once
// The thread "Sync": links the virtual device to one real device over a console link it opens as
// the connecting end, takes the device-dependent databases from it, keeps the link alive and
// publishes its progress as the shared parameter "EditorState". Everything runs on its own task;
// the socket layer only calls wakeup and onReceivedMeterPacket, which post local events.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "JMDP/jmdp_Client.h"
#include "JMDP/jmdp_IClientMeterDataAccessor.h"
#include "JMDP/jmdp_IJMDPClientCallback.h"
#include "JMDP/jmdp_Packet.h"
#include "TMS/SystemInfo.h"
#include "TMS/TMSMutex.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_FileInfoCache.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_IProgressMonitor.h"
#include "comctrl/Core/comctrl_IUnitConnectObserver.h"
#include "common/KavoriAppThread.h"
#include "editor/KavoriDirSyncStrategy.h"
#include "editor/SyncStatusInfo.h"
#include "jlib/JVariant.h"
#include "ossupport/ossupport_IPv4Address.h"

namespace ComControl {
class ServerUnit;
}

namespace DRAVO {
class MeterPool;
}

namespace KAVORI {

// The connect status, "EditorState" (0 to 10).
enum EDITORSTAT : uint32_t {
    kEditorNotLinked = 0,
    kEditorDisconnecting = 1,
    kEditorConnecting = 2,
    kEditorConnected = 3,
    kEditorTemporarilySynchronized = 4,
    kEditorPreparing = 5,
    kEditorSendingConfig = 6,
    kEditorApplyingConfig = 7,
    kEditorSynchronizingMemories = 8,
    kEditorSynchronizingDirectories = 9,
    kEditorSynchronized = 10,
};

// A synchronised folder: port, folder below the user folder, file extension, most files.
struct DirSyncInfo {
    uint32_t index;
    const char* portName;
    const char* folder;
    const char* extension;
    uint32_t maxFiles;
};
constexpr uint32_t kDirSyncNum = 3;
extern const DirSyncInfo gpDirSyncInfo[kDirSyncNum];

// A synchronised single file's port and folder; the last column is not read.
struct FileSyncInfo {
    uint32_t index;
    const char* portName;
    const char* folder;
    uint32_t unused;
};
constexpr uint32_t kFileSyncNum = 1;
extern const FileSyncInfo gpFileSyncInfo[kFileSyncNum];

class KavoriClientSyncThread : public KavoriAppThread,
                               public ComControl::IUnitConnectObserver,
                               public ComControl::IEventExecutor,
                               public ComControl::IProgressMonitor,
                               public VCOM::IVComWakeupFunction,
                               public JMDP::IJMDPClientCallback,
                               public JMDP::IClientMeterDataAccessor {
public:
    static constexpr uint32_t kQueueCapacity = 5;
    static constexpr uint32_t kEventSocket = 16;
    static constexpr uint32_t kEventNothing = 17;
    static constexpr uint32_t kEventMeterPacket = 18;
    static constexpr uint32_t kEventUnitState = 19;
    static constexpr uint32_t kEventConfigSent = 20;
    static constexpr uint32_t kLinkTimerId = 0;
    static constexpr uint32_t kMeterTimerId = 1;
    static constexpr uint32_t kLinkTimerMs = 50;
    static constexpr uint32_t kMeterTimerMs = 5000;
    static constexpr uint32_t kSilenceLimitMs = 10000;
    static constexpr uint32_t kKeepAliveMs = 1000;
    static constexpr uint16_t kConsolePort = 50368;
    static constexpr uint32_t kUnitFactor = 240;
    static constexpr uint32_t kBufferSize = 0x100000;

    struct FileSyncObject {
        ComControl::FileAccessor fileAccessor;
    };
    struct DirSyncObject {
        KavoriDirSyncStrategy strategy;
        ComControl::FileAccessor fileAccessor;
    };

    // Construction failures of the file and folder objects are logged; the thread still works
    // (a later start then fails).
    KavoriClientSyncThread();
    ~KavoriClientSyncThread() override;

    using KavoriAppThread::start;  // beside the progress monitor's start

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

    // Own task. 0, or 0x80000000 with no unit left.
    JLIB::JResult startClient(const OSSUPPORT::IPv4Address& local);
    // Own task. Connects to the console port (or the "syncport" option) of the address; 0x80000000
    // without a unit, outside status 0, for no or a bad text, or when the connect fails at once.
    JLIB::JResult connect(const char* address);
    // Own task. Releases the link and the unit; 0.
    JLIB::JResult stopClient(bool unused = false);
    // Own task. 0.
    JLIB::JResult disconnect();
    // Own task. Publishes and enters a status; 0x80000000 without a unit or above 10.
    JLIB::JResult changeConnectStatus(EDITORSTAT status);
    // Own task. Binds every database port while "PDBState" is 1; 0x80000000 otherwise.
    JLIB::JResult registPdb();
    // Own task. The calling task's id in the upper 16 bits.
    uint32_t getSubscribeID(uint16_t userId) const;
    // Own task: what the next unit state change leads to. 0x80000000 without a unit.
    JLIB::JResult runSyncOperation();

    // Own task; another task reads them only while the thread is known to be idle.
    // The synchronisation sequence, own task. The results move it on from the answers of the
    // device and of "DeviceControl"; each answers 0x80000000 outside its status.
    JLIB::JResult resultStartDeviceSync();
    JLIB::JResult resultSendDevStateMessage(uint32_t factor, const char* value);
    JLIB::JResult resultMatchedConfig(const char* answer);
    JLIB::JResult resultApplyConfig(uint32_t factor, const char* value);
    JLIB::JResult resultPDBSynchronize();
    JLIB::JResult resultDirectorySynchronize();
    JLIB::JResult resultSyncAbort();
    // The ways back to 4: abort from 4 to 9, offline from 10; 0.
    JLIB::JResult seqSyncAbort();
    JLIB::JResult seqOffline();
    // Releases the databases of classes 2 to 4, the folders and the meters and sets 4, with no
    // direction left; 0x80000000 without a unit or at 0.
    JLIB::JResult asynchronous();
    // Every port of class 1 (or of classes 2 to 4) associated; false without a unit.
    bool isPDBSynchronized(bool classOne) const;
    bool isMatchedModelInfo() const { return true; }
    bool isDirectorySynchronized() const;
    // Some folder is idle: at status 9 the device refused its start.
    bool isDirectoryRefused() const;
    // Capacity of this virtual device minus that of the real one; -1 without either database.
    int32_t deviceCapacitySizeCheack() const;
    // Publishes the folder numbers when they changed; 0x80000000 without a unit.
    JLIB::JResult refreshFileSyncStatus();
    // Own task. At status 10 one "MeterRequest" per registered component (the registry's
    // interval, low 8 bits; the id, low 16 bits) on event port 0; nothing otherwise. 0.
    JLIB::JResult meterRequest();

    uint32_t connectStatus() const { return m_connectStatus; }
    uint32_t direction() const { return m_direction; }
    const JMDP::SendProductId& productId() const { return m_productId; }
    const std::string& interfaceName() const { return m_interfaceName; }

    // Console link callbacks, inside the unit's runCallback on the own task.
    void connected(int32_t unitId) override;
    void connectFailed(int32_t unitId) override;
    void disconnected(int32_t unitId) override;
    void unitStateChanged(int32_t unitId) override;
    uint32_t execute(uint32_t factor, const char* name, const char* text) override;
    uint32_t start(const char* fileName, ComControl::FileTransStatus status, uint32_t fileSize) override;
    uint32_t update(const char* fileName, ComControl::FileTransStatus status, uint32_t count, const uint8_t* hash,
                    uint32_t hashLength, bool last) override;
    uint32_t cancel(const char* fileName, ComControl::FileTransStatus status, uint32_t reason) override;
    // Socket task: posts event 16.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;
    // Socket task: posts event 18.
    JLIB::JResult onReceivedMeterPacket(JMDP::JMDPClient& client) override;
    // Copies one meter block into the meter store of the component its id names (this thread's
    // view): formats 0, 2 and 5 into the normal table, 1 into the peak-hold table, 3, 4 and any
    // other value accepted without copying (0). 0x80000000 for big-endian data, no such
    // component, an array number beyond the table, or a range past the array.
    JLIB::JResult decodeMeterPacket(const JMDP::MeterDataBlockHeaderEx& header, const uint8_t* values,
                                    uint32_t size) override;
    // The copy into the component's meter store once the component is found; same results.
    static JLIB::JResult decodeMeterBlock(DRAVO::MeterPool& pool, const JMDP::MeterDataBlockHeaderEx& header,
                                          const uint8_t* values, uint32_t size);

    // The parent's values with this thread's own "EditorState" kept, merged in one step: a
    // hand-down that the root sent before it took the latest change must not show readers of
    // this copy an older status than the editor link was already told.
    using KavoriAppThread::setSystemInfo;
    JLIB::JResult setSystemInfo(const TMS::SystemInfo& table) override;

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;
    JLIB::JResult onChangeRunMode(RUNMODE runMode) override;
    JLIB::JResult onChangePDBStatus(PDBSTAT state) override;
    JLIB::JResult onChangePDBParam() override;
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;

private:
    void enterStatus(EDITORSTAT status);
    void sendToDeviceControl(const char* command, const char* status, const char* type);
    JLIB::JResult handleNetworkInfo(const TMS::AbstractMessage& message);
    JLIB::JResult handleDisconnect();
    // "Re:Synchronize" to "VDProtocol" with the result and the progress of the current status.
    JLIB::JResult sendMessageReSynchronize(uint32_t result);
    // The steps entered with statuses 5 to 10.
    JLIB::JResult seqSendDevStateMessage();
    JLIB::JResult seqSendConfigFile();
    JLIB::JResult seqApplyConfig();
    JLIB::JResult seqPDBSynchronize();
    JLIB::JResult seqDirectorySynchronize();
    JLIB::JResult seqSynchronized();
    // A failed step: abort, report 0x80000000; 0x80000000.
    JLIB::JResult failStep();
    // One event on event port 0; 0x80000000 without a unit.
    JLIB::JResult sendUnitEvent(const std::string& key, const std::string& value, uint32_t id);
    // The meter port announced to the device.
    uint16_t createUDPServer() const;
    JLIB::JResult sendKeepAlive();
    void clearMeterStores();
    void stopTimer(uint32_t timerId, bool remove);
    bool isClassSynchronized(uint32_t syncClass) const;
    // Asks the device for every device-dependent database not yet synchronised.
    void synchronizeClassOne();
    uint16_t consolePort() const;

    std::unique_ptr<ComControl::ServerUnit> m_pUnit;
    // Where a hand-down is merged with the own "EditorState" before it replaces the copy.
    TMS::TMSMutex m_handDownLock{"SyncHandDown"};
    TMS::SystemInfo m_handDown;
    std::atomic<bool> m_statePublished{false};  // also read by the root when it adds the thread
    std::string m_interfaceName;
    std::unique_ptr<FileSyncObject[]> m_pFileSyncObjects;
    std::unique_ptr<DirSyncObject[]> m_pDirSyncObjects;
    std::unique_ptr<ComControl::FileInfoCache[]> m_pFileInfoCaches;
    uint32_t m_direction = 0;
    JMDP::SendProductId m_productId;
    uint32_t m_connectStatus = kEditorNotLinked;
    SyncStatusInfo m_dirSyncStatus;
    JVariant m_adminPin;
    bool m_pdbBound = false;  // the unit's database ports are bound to the databases
    JMDP::JMDPClient m_meterClient;
};

}  // namespace KAVORI
