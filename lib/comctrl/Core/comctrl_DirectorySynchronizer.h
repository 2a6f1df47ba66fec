#pragma once
// Directory synchronisation port of a link unit: keeps one folder equal to the folder the peer
// registered under the same name. The source's files are copied to the target (which first
// deletes what the source lacks), then both ends follow local changes until stopped. Files move
// on the synchroniser's own file transferers, each on a port of its own. Owner task of the unit
// only: the port, the folder listing's change reports and the transferers' monitor calls all
// run there; no locks.
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "FileCache/fcache_IVDirTreeCallback.h"
#include "FileCache/fcache_VDir.h"
#include "comctrl_FileTransferer.h"
#include "comctrl_IDirSyncStrategy.h"
#include "comctrl_IFileObserver.h"
#include "comctrl_IProgressMonitor.h"
#include "comctrl_IReceivedItemStrategy.h"
#include "comctrl_UnitComponent.h"

namespace ComControl {

class IUnitComponentObserver;

enum DirSyncStatus : uint32_t {
    DIRSYNC_IDLE = 0,
    DIRSYNC_SYNCHRONIZING = 1,
    DIRSYNC_SYNCHRONIZED = 2,
    DIRSYNC_STOPPING = 3,
    DIRSYNC_OTHER = 4,
};

class DirectorySynchronizer : public FILECACHE::IVDirTreeCallback, public UnitComponent, public IFileObserver {
public:
    enum E_SYNCSTATUS : uint32_t {
        SYNC_IDLE = 0,
        SYNC_STARTING = 1,     // StartDirSync or ReqDirSync sent, or a ReqDirSync being answered
        SYNC_SYNCING = 2,      // the initial exchange runs
        SYNC_SYNCHRONIZED = 3, // local changes are followed
        SYNC_STOPPING = 4,
    };

    // Forwards the transferers' last updates and reasoned cancellations to the observer.
    class FileMonitor : public IProgressMonitor {
    public:
        explicit FileMonitor(IFileObserver& observer) : m_observer(observer) {}
        uint32_t start(const char* fileName, FileTransStatus status, uint32_t fileSize) override { return 0; }
        // 0x80000000 for status 0.
        uint32_t update(const char* fileName, FileTransStatus status, uint32_t count, const uint8_t* hash,
                        uint32_t hashLength, bool last) override;
        // 0x80000000 for status 0; a reason of 0 (time-out, unsendable answer) is not forwarded.
        uint32_t cancel(const char* fileName, FileTransStatus status, uint32_t reason) override;

    private:
        IFileObserver& m_observer;  // the synchroniser that owns this monitor
    };

    // Fields of the next protocol command to build.
    struct T_SENDOBJ {
        uint32_t userValue = 0;
        uint32_t answer = 0;
        std::string fileName;
        void reset()
        {
            userValue = 0;
            answer = 0;
            fileName.clear();
        }
    };

    static constexpr JLIB::JResult kNothingToDo = 0x4001;
    static constexpr JLIB::JResult kBadArgument = 0x80000001u;
    static constexpr JLIB::JResult kUnexpected = 0x80000002u;  // out of memory or unexpected state
    static constexpr JLIB::JResult kNotReady = 0x80000005u;    // not initialised or no port
    static constexpr JLIB::JResult kBusy = 0x80000006u;        // a pending action or no free transferer
    // transferers are hexadecimal digits in their port names.
    static constexpr uint32_t kMaxTransferers = 16;

    DirectorySynchronizer();
    ~DirectorySynchronizer() override;

    // observer is borrowed: the owning unit. 0; 0x80000001 for a transferer count of 0 or above
    // 16; 0x80000005 when already initialised; 0x80000002 when the transferers cannot be made.
    [[nodiscard]] JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId,
                                           uint32_t transfererCount);
    // Names the directory (at most 23 characters, as the peer names it) and lists its folder,
    // made when missing, with at most maxFiles files. filter is borrowed (may be null). 0;
    // 0x80000001 for a null or too long name, a null path, a maximum or user value of 0;
    // 0x80000005 when a name or folder is already set; 0x80000002 when the listing refuses.
    [[nodiscard]] JLIB::JResult registDirectory(const char* directoryName, const char* path, uint32_t maxFiles,
                                                uint32_t userValue, bool mapStrategy, IDirSyncStrategy* filter);
    // fromPeer false: this end is the source; true: the peer is asked to be. 0; 0x80000005 when
    // not initialised or without port; 0x80000006 unless idle without a pending command.
    [[nodiscard]] JLIB::JResult start(bool fromPeer);
    // 0 when idle or already stopping; 0x80000005 when not initialised or without port.
    [[nodiscard]] JLIB::JResult stop();
    DirSyncStatus getStatus() const;
    E_SYNCSTATUS state() const { return m_state; }
    bool isSource() const { return m_source; }
    // true: names of the initial listing still to be handled; false: changes waiting.
    uint32_t getRequestedFileNum(bool listing) const;
    uint32_t getRequestedAllFileNum() const;
    // The first transferer with a file: its name (borrowed) and progress. Without one the name
    // is "" and the counts stay. 0x80000001 for a null name, transferred or size output;
    // 0x80000005 when not initialised.
    [[nodiscard]] JLIB::JResult getTransferringFileInfo(const char** fileName, bool* receiving,
                                                        uint32_t* transferred, uint32_t* fileSize) const;
    // The next file of the listing after previous (the first for null or an unknown name); null
    // at the end.
    const char* getAssociationName(const char* previous) const;
    // Null for an index out of range.
    FileTransferer* transferer(uint32_t index);
    uint32_t transfererCount() const { return m_transfererCount; }
    bool isInitialized() const;
    bool notServerUnit() const { return m_notServerUnit; }
    int32_t unitId() const { return m_unitId; }
    const char* directoryName() const { return m_listing.name(); }
    const FILECACHE::VDir& listing() const { return m_listing; }
    IReceivedItemStrategy* receivedStrategy() const { return m_pReceived.get(); }
    // The owner's tick: the transferers' ticks, the folder's changes, the initial exchange and
    // the change queue. 0; 0x80000005 when not initialised.
    JLIB::JResult periodicHandle(uint32_t elapsedMs);

    // Queues a name to send (or delete at the peer) unless filtered or just received: 0, or
    // 0x4001 when there is nothing to do. first puts it (or moves it) at the front.
    JLIB::JResult reserveSending(const char* fileName, bool first);
    // 0 when added or moved to the front; 0x4001 when listed and first is false.
    static JLIB::JResult appendToList(const char* fileName, std::list<std::string>& list, bool first);
    const std::list<std::string>& changeQueue() const { return m_changeQueue; }

    JLIB::JResult onDirStatusChanged(ChangeReason reason, const char* name) override;
    JLIB::JResult eventReset() override;
    JLIB::JResult eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more) override;
    JLIB::JResult eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                                uint32_t inputLength, uint8_t* flags) override;
    JLIB::JResult notifyFileComplete(const char* fileName, FileTransStatus status) override;
    JLIB::JResult notifyFileFailure(const char* fileName, FileTransStatus status, uint32_t reason) override;

private:
    enum Action : uint32_t {
        ACTION_NONE,
        ACTION_START_DIR_SYNC,
        ACTION_START_DIR_SYNC_ANSWER,
        ACTION_REQ_DIR_SYNC,
        ACTION_REQ_DIR_SYNC_ANSWER,
        ACTION_FINISH_DIR_SYNC,
        ACTION_FINISH_DIR_SYNC_ANSWER,
        ACTION_EXIST_FILE,
        ACTION_EXIST_FILE_ANSWER,
        ACTION_COMPLITED_DIR,
        ACTION_COMPLITED_DIR_ANSWER,
    };
    struct Output {
        uint8_t* buffer;
        uint32_t capacity;
        uint32_t* produced;
    };

    JLIB::JResult build(Action action, const T_SENDOBJ& so, const Output& out) const;
    // so null: a reset one with the own user value. 0x80000006 while another action waits.
    JLIB::JResult changeAction(Action action, const T_SENDOBJ* so);
    // Writes a command from the receive path; one that does not fit waits as the pending action.
    // false when it could do neither.
    bool emit(Action action, const T_SENDOBJ& so, const Output& out);
    T_SENDOBJ answerTo(uint32_t userValue, uint32_t answer, const char* fileName = nullptr) const;

    bool hasFile(const char* name) const;
    bool takesPart(const char* name) const;
    void fillListing();
    void clearLists();
    void notifyObserver();
    void memorizeReceiving(const char* name);
    bool removeUnsettled(const char* name);
    void deleteLocalFile(const std::string& name);
    JLIB::JResult synchronizeFile(bool receive, const char* name);
    bool isRetryLater(JLIB::JResult result) const;
    // Stopping: cancels the transferers once, and goes idle when none has a file left. true
    // when it went idle now.
    bool settleStop();
    void settleTargetFiles();
    void sendSourceFiles();
    void followChanges();

    void receiveStartDirSync(const uint8_t* in, uint32_t length, const Output& out);
    void receiveStartDirSyncAnswer(const uint8_t* in, uint32_t length);
    void receiveReqDirSync(const uint8_t* in, uint32_t length, const Output& out);
    void receiveReqDirSyncAnswer(const uint8_t* in, uint32_t length);
    void receiveFinishDirSync(const uint8_t* in, uint32_t length, const Output& out);
    void receiveExistFile(const uint8_t* in, uint32_t length, const Output& out);
    void receiveExistFileAnswer(const uint8_t* in, uint32_t length, const Output& out);
    void receiveCompliteDirSync(const uint8_t* in, uint32_t length, const Output& out);
    void receiveComplitedDirAnswer(const uint8_t* in, uint32_t length);

    FileMonitor m_monitor;  // before the transferers, which keep a pointer to it
    std::unique_ptr<FileTransferer[]> m_pTransferers;
    uint32_t m_transfererCount = 0;
    uint32_t m_userValue = 0;
    bool m_notServerUnit = false;
    int32_t m_unitId = -1;
    IDirSyncStrategy* m_pFilter = nullptr;           // the registrar's
    IUnitComponentObserver* m_pObserver = nullptr;   // the owning unit
    E_SYNCSTATUS m_state = SYNC_IDLE;
    bool m_stopPending = false;
    bool m_stoppedByPeer = false;  // the stop under way came with the peer's FinishDirSync
    FILECACHE::VDir m_listing;
    std::list<std::string> m_changeQueue;
    std::unique_ptr<IReceivedItemStrategy> m_pReceived;  // the map kind borrows m_listing
    std::list<std::string> m_listingQueue;
    std::list<std::string> m_unsettled;
    Action m_action = ACTION_NONE;
    T_SENDOBJ m_sendObj;
    bool m_source = false;
    bool m_startAnswerOwed = false;  // the target settled every file but its answer found no room
};

}  // namespace ComControl
