#pragma once
// One end of a console link: the port multiplexer with one component per port (event ports,
// synchronisers of the selected kind, file ports, directories with their file transferers), set
// up before the connection and attached to the multiplexer whenever the connection comes up.
// Owner task only: the owner calls every operation, and socket events, component calls and
// observer calls all run on its thread. No locks.
#include <cstdint>
#include <memory>

#include "VUviRido/Socket/VComSocketAddress.h"
#include "comctrl_IUnitComponentObserver.h"
#include "jlib/jlib_result.h"

namespace DeviceControl {
class IFacade;
}

namespace ComControl {

class DirectorySynchronizer;
class ESP;
class EventMessenger;
class FileTransferer;
class IFileAccessor;
class IProgressMonitor;
class IEventExecutor;
class IUnitConnectObserver;
class MmsSynchronizer;
class PdbSynchronizer;
class UnitComponent;
class IDirSyncStrategy;
struct T_DIRECTORY_INITIALIZE_OPTION;
enum DirSyncStatus : uint32_t;

// Progress of a directory's file: the name (borrowed from the transferer, valid until its next
// step), the direction it travels (1 client to server, 2 server to client) and the byte counts.
struct T_PROGRESS_VALUE {
    const char* fileName = nullptr;
    uint32_t direction = 0;
    uint32_t transferred = 0;
    uint32_t fileSize = 0;
};

class AbstractUnit : public IUnitComponentObserver {
public:
    enum VALID_DATABASE : uint32_t {
        kValidMms = 0,  // parameter-tree synchronisers
        kValidPdb = 1,  // parameter-database synchronisers
    };

    static constexpr JLIB::JResult kAlreadyInitialized = 1;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kNotInitialized = 0x80000003u;
    static constexpr JLIB::JResult kNoMemory = 0x80000005u;
    static constexpr JLIB::JResult kPortFailed = 0x80000006u;
    static constexpr uint32_t kMaxPortNameLength = 3;  // the owner's part, after the kind letter

    AbstractUnit();
    ~AbstractUnit() override;
    AbstractUnit(const AbstractUnit&) = delete;
    AbstractUnit& operator=(const AbstractUnit&) = delete;

    // A component result as a unit result (low 31 bits: 1 bad argument, 2 no memory, 3 busy,
    // 5 not available, 6 pending, else 0x8000000F).
    static JLIB::JResult fromUnitComponentErr(JLIB::JResult componentResult);
    // A socket result as a unit result.
    static JLIB::JResult fromVComErr(JLIB::JResult socketResult);

    // A synchroniser reports a state change; the owner hears unitStateChanged.
    void notify(UnitComponent& component) override;

    // Before initialize: 0; 1 for a kind above 1 (nothing changes); 0x80000003 once initialised.
    [[nodiscard]] virtual JLIB::JResult selectDatabse(uint32_t kind);
    // Creates the multiplexer (all ports, payloads of bufferSize bytes) and the components.
    // observer is borrowed: the owner keeps it alive while the unit lives. 0; 1 when already
    // initialised; 0x80000002 for a negative unit id or counts whose ports overflow; 0x80000005
    // when something cannot be allocated (what was made stays with the unit).
    [[nodiscard]] virtual JLIB::JResult initialize(int32_t unitId, uint32_t eventCount, uint32_t syncCount,
                                                   uint32_t fileCount, uint32_t directoryCount,
                                                   IUnitConnectObserver* observer, uint32_t bufferSize);
    virtual bool isServerUnit() const = 0;
    [[nodiscard]] virtual JLIB::JResult disconnect() = 0;
    // Tells every synchroniser that a local parameter changed: 0, 0x80000003 before initialize,
    // or the first failure (all are told; a tree port without a registered tree is skipped).
    [[nodiscard]] virtual JLIB::JResult notifyPrmChanged();
    // Parameter-tree ports (after selectDatabse(0)). facade and filter are borrowed: the owner
    // keeps them alive while registered. The unit results above, or the synchroniser's mapped.
    [[nodiscard]] virtual JLIB::JResult registMms(uint32_t index, const char* name, DeviceControl::IFacade* facade,
                                                  const void* filter, uint32_t filterSize, uint32_t factor);
    // The registered facade; null before initialize or for an index out of range.
    virtual DeviceControl::IFacade* getMms(uint32_t index);
    // direction 2: the server's data wins, 1: the client's.
    [[nodiscard]] virtual JLIB::JResult synchronizeMms(uint32_t index, uint32_t direction);
    [[nodiscard]] virtual JLIB::JResult synchronizeMmsWithoutDump(uint32_t index);
    [[nodiscard]] virtual JLIB::JResult asynchronizeMms(uint32_t index);
    [[nodiscard]] virtual JLIB::JResult analyzeMms(uint32_t index);
    [[nodiscard]] virtual JLIB::JResult transferAllParamMms(uint32_t index);
    // False before initialize or for an index out of range.
    virtual bool isSynchronizedMms(uint32_t index);
    [[nodiscard]] virtual JLIB::JResult mmsSyncStatus(uint32_t index, uint32_t* status);
    virtual bool isMmsMatched(uint32_t index);
    // Parameter-database ports: port index i synchronises database i of gPDBCollection. The unit
    // results above, or the synchroniser's mapped (0x80000002 for an index out of range).
    [[nodiscard]] virtual JLIB::JResult registPdb(uint32_t index, uint32_t subscriberId, uint32_t factor);
    // direction 2: the server's data wins, 1: the client's; the receive buffer grows first.
    [[nodiscard]] virtual JLIB::JResult synchronizePdb(uint32_t index, uint32_t direction);
    [[nodiscard]] virtual JLIB::JResult asynchronizePdb(uint32_t index);
    [[nodiscard]] virtual JLIB::JResult pdbSyncStatus(uint32_t index, uint32_t* status);
    [[nodiscard]] virtual JLIB::JResult extendBufferSize(uint32_t index);
    // The owner's tick for the event ports, file ports and directories: 0, 0x80000003 before
    // initialize, or the first failure (all get the tick).
    [[nodiscard]] virtual JLIB::JResult periodicHandle(uint32_t elapsedMs);
    virtual VCOM::VComSocketAddress getDestination() const { return m_destination; }

    // Port names: a kind letter and the owner's name of at most 3 characters. 0; 0x80000003
    // before initialize; 0x80000002 for an index not below the kind's count or a null or longer
    // name. A directory's transferer t is named 'd' and "%02X%01X" of the index and t.
    [[nodiscard]] virtual JLIB::JResult setEventPortName(uint32_t index, const char* name);
    [[nodiscard]] virtual JLIB::JResult setMmsPortName(uint32_t index, const char* name);
    [[nodiscard]] virtual JLIB::JResult setPdbPortName(uint32_t index, const char* name);
    [[nodiscard]] virtual JLIB::JResult setFilePortName(uint32_t index, const char* name);
    [[nodiscard]] virtual JLIB::JResult setDirectoryPortName(uint32_t index, const char* name);

    // The event port's executor (borrowed; the owner keeps it alive). The unit results above, or
    // the messenger's mapped.
    [[nodiscard]] virtual JLIB::JResult registEventExecutor(uint32_t index, const char* executorName,
                                                            IEventExecutor& executor, uint32_t userValue);
    // Null before initialize or for an index out of range.
    virtual IEventExecutor* getEventExecutor(uint32_t index);
    // The messenger's send, mapped: 0x80000007 while an event waits or the link is down,
    // 0x80000002 for bad texts, 0x80000005 when no copy could be made.
    [[nodiscard]] virtual JLIB::JResult sendEvent(uint32_t index, uint32_t id, const char* name, const char* text);

    // File ports. The accessor and the monitor are borrowed: the owner keeps them alive while the
    // unit lives. The unit results above, or the transferer's mapped.
    [[nodiscard]] virtual JLIB::JResult registFileAccessor(uint32_t index, const char* accessorName,
                                                           IFileAccessor* accessor, uint32_t userValue);
    [[nodiscard]] virtual JLIB::JResult registFileMonitor(uint32_t index, IProgressMonitor* monitor);
    // fromPeer false sends the file to the peer, true fetches it from the peer.
    [[nodiscard]] virtual JLIB::JResult startFileTransfer(uint32_t index, bool fromPeer, const char* fileName);
    [[nodiscard]] virtual JLIB::JResult getFileStatus(uint32_t index, uint32_t* status);
    [[nodiscard]] virtual JLIB::JResult getFileProgress(uint32_t index, bool* receiving, uint32_t* transferred,
                                                        uint32_t* fileSize);
    [[nodiscard]] virtual JLIB::JResult cancelFileTransfer(uint32_t index);

    // Directories. The accessor is borrowed like a file port's; option may be null (received
    // names held until the next tick, every file takes part). The unit results above, or the
    // synchroniser's or transferer's mapped.
    [[nodiscard]] virtual JLIB::JResult registDirectory(uint32_t index, const char* directoryName, const char* path,
                                                        uint32_t maxFiles, IFileAccessor& accessor, uint32_t userValue,
                                                        const T_DIRECTORY_INITIALIZE_OPTION* option);
    // direction 1: the client's folder is the source, 2: the server's.
    [[nodiscard]] virtual JLIB::JResult startVDirSync(uint32_t index, uint32_t direction);
    [[nodiscard]] virtual JLIB::JResult getVDirSyncStatus(DirSyncStatus* status, uint32_t index);
    // Names of the initial listing still to be handled, and local changes waiting; both 0 first.
    [[nodiscard]] virtual JLIB::JResult getVDirSyncRequestedFileNum(uint32_t* listing, uint32_t* changes,
                                                                    uint32_t index);
    [[nodiscard]] virtual JLIB::JResult getVDirSyncFileProgress(T_PROGRESS_VALUE* progress, uint32_t index);
    [[nodiscard]] virtual JLIB::JResult stopVDirSync(uint32_t index);
    // Null before initialize or for an index out of range.
    DirectorySynchronizer* directory(uint32_t index);

    // The component at a port index in port order, null beyond the total or before initialize.
    UnitComponent* component(uint32_t portIndex);
    uint32_t portCount() const { return m_totalCount; }
    bool isInitialized() const { return m_initialized; }
    int32_t unitId() const { return m_unitId; }
    // Milliseconds of the 1 ms counter at the last received (sent) notification since the
    // connection came up; the current count while none has happened.
    uint32_t lastReceivedTime() const;
    uint32_t lastSentTime() const;

protected:
    // Attaches every existing component to the multiplexer and opens its port; 0x80000006 at the
    // first failure.
    JLIB::JResult connectedAction();
    // Closes and detaches every port (0x80000006 at the first failure), then always releases the
    // multiplexer's core port.
    JLIB::JResult disconnectedAction();
    void clearTimes();
    void markReceived();
    void markSent();
    IUnitConnectObserver* connectObserver() const { return m_pConnectObserver; }
    ESP* multiplexer() const { return m_pEsp.get(); }
    void setDestination(const VCOM::VComSocketAddress& destination) { m_destination = destination; }
    void clearDestination();

private:
    // Index and name checks shared by the name setters; the full name in fullName.
    JLIB::JResult checkName(uint32_t index, uint32_t count, char kind, const char* name, char (&fullName)[5]) const;
    bool isSynchronizer(const UnitComponent& component) const;
    bool isDirectory(const UnitComponent& component) const;

    bool m_initialized = false;
    int32_t m_unitId = -1;
    VCOM::VComSocketAddress m_destination;
    IUnitConnectObserver* m_pConnectObserver = nullptr;  // the owner's
    std::unique_ptr<ESP> m_pEsp;
    bool m_lastReceivedValid = false;
    uint32_t m_lastReceivedTick = 0;
    bool m_lastSentValid = false;
    uint32_t m_lastSentTick = 0;
    VALID_DATABASE m_validDatabase = kValidMms;
    std::unique_ptr<EventMessenger[]> m_pEvents;
    std::unique_ptr<MmsSynchronizer[]> m_pMms;
    std::unique_ptr<PdbSynchronizer[]> m_pPdb;
    std::unique_ptr<FileTransferer[]> m_pFiles;
    std::unique_ptr<DirectorySynchronizer[]> m_pDirectories;
    uint32_t m_totalCount = 0;
    uint32_t m_eventCount = 0;
    uint32_t m_mmsCount = 0;
    uint32_t m_pdbCount = 0;
    uint32_t m_fileCount = 0;
    uint32_t m_directoryCount = 0;
};

}  // namespace ComControl
