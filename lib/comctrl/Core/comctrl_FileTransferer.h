#pragma once
// File port of a link unit (alone, or one of a directory synchroniser's): sends and receives one
// file at a time in chunks of 2048 bytes, one in flight, through a registered IFileAccessor; asks
// the peer to delete files and deletes at its request. Received data goes to a temporary file
// that replaces the destination at the end. Owner task of the unit only; no locks.
#include <cstdint>
#include <string>
#include <vector>

#include "comctrl_IProgressMonitor.h"
#include "comctrl_UnitComponent.h"

namespace ComControl {

class IFileAccessor;
class IUnitComponentObserver;

class FileTransferer : public UnitComponent {
public:
    enum E_STATUS : uint32_t {
        STATUS_IDLE = 0,
        STATUS_START_SEND = 1,  // StartSend sent, waiting for its answer
        STATUS_REQ_SEND = 2,    // ReqSend sent, waiting for the peer's StartSend
        STATUS_SENDING = 3,
        STATUS_RECEIVING = 4,
        STATUS_REMOVING = 5,
    };
    enum E_TMPFILE_OPERATION : uint32_t { TMP_NONE = 0, TMP_COMMIT = 1, TMP_DISCARD = 2, TMP_DISCARD_ALL = 3 };
    enum E_NOTIFY_OPERATION : uint32_t { NOTIFY_NONE = 0, NOTIFY_UPDATE = 1, NOTIFY_CANCEL = 2, NOTIFY_CANCEL_ALL = 3 };

    // Fields of the next command to build. The echoes point into a received command.
    struct T_SENDOBJ {
        uint32_t offset = 0;
        uint32_t length = 0;
        uint32_t userValue = 0;
        uint32_t answer = 0;
        bool last = false;
        const char* accessorEcho = nullptr;
        const char* fileEcho = nullptr;
        void reset() { *this = T_SENDOBJ{}; }
    };
    struct U_NOTIFY_OPTION {
        uint32_t value = 0;  // a byte count for an update, a reason for a cancel
        bool last = false;
    };

    // Received files whose destination was in use, moved into place by the periodic handler.
    class IncompleteFiles {
    public:
        virtual ~IncompleteFiles() = default;
        JLIB::JResult push_back(const std::string& path);
        JLIB::JResult resolve(const char* tmpFolder);
        JLIB::JResult remove();
        JLIB::JResult clear();
        bool empty() const { return m_paths.empty(); }
        const std::vector<std::string>& paths() const { return m_paths; }
        void setAccessor(IFileAccessor* accessor) { m_pAccessor = accessor; }
        void setMonitor(IProgressMonitor* monitor) { m_pMonitor = monitor; }

    private:
        std::vector<std::string> m_paths;
        IFileAccessor* m_pAccessor = nullptr;  // the transferer's
        IProgressMonitor* m_pMonitor = nullptr;
    };

    static constexpr JLIB::JResult kNotReady = 0x80000005u;
    static constexpr JLIB::JResult kBusy = 0x80000006u;
    static constexpr uint32_t kChunkSize = 2048;
    static constexpr uint32_t kTimeoutMs = 5000;
    static constexpr JLIB::JResult kSameFile = 0x2001;

    FileTransferer() = default;
    ~FileTransferer() override = default;

    // observer is borrowed: the owning unit (null for a directory's transferer). Always 0.
    JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId);
    // accessor is borrowed (the owner keeps it alive while the transferer lives). 0x80000001 for
    // a null name or one of 25 characters or more; 0x80000002 when the port refuses the size.
    [[nodiscard]] JLIB::JResult setAccessor(const char* accessorName, IFileAccessor* accessor, uint32_t userValue);
    [[nodiscard]] JLIB::JResult setTmpPath(const char* folder);
    JLIB::JResult setProgressMonitor(IProgressMonitor* monitor);  // borrowed, may be null
    // fromPeer false sends the file, true asks the peer for it. 0x80000005 without port or
    // accessor, 0x80000006 while busy, 0x80000001 for a bad name, or an accessor failure converted.
    [[nodiscard]] JLIB::JResult transfer(bool fromPeer, const char* fileName);
    // 0 when idle; 0x80000005 without port; 0x80000006 while a removal is pending.
    [[nodiscard]] JLIB::JResult cancel();
    [[nodiscard]] JLIB::JResult remove(const char* fileName);
    FileTransStatus getStatus() const;
    JLIB::JResult getProgress(bool* receiving, uint32_t* transferred, uint32_t* fileSize) const;
    const char* getFileName() const { return m_fileName; }
    IFileAccessor* getAccessor() const { return m_pAccessor; }
    bool hasTemporaryFiles() const;
    // The owner's tick: moves incomplete files into place, retries a pending command and ends a
    // transfer without progress for more than 5000 ms.
    JLIB::JResult periodicHandle(uint32_t elapsedMs);

    bool notServerUnit() const { return m_notServerUnit; }
    int32_t unitId() const { return m_unitId; }
    E_STATUS state() const { return m_state; }
    const IncompleteFiles& incompleteFiles() const { return m_incomplete; }

    // Accessor result as a file answer code.
    static JLIB::JResult cnvAccessorErr(JLIB::JResult result);
    // Own failure as an answer code; fileOperation false maps for the other operations.
    static JLIB::JResult cnvOwnErr2CnpAnswer(JLIB::JResult result, bool fileOperation = true);
    // "TMP", three digits and, before any '.', a '_' or the end within five characters.
    static bool isTmpFile(const char* name);

    JLIB::JResult eventReset() override;
    JLIB::JResult eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more) override;
    JLIB::JResult eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                                uint32_t inputLength, uint8_t* flags) override;

private:
    enum Action : uint32_t {
        ACTION_NONE,
        ACTION_START_SEND,
        ACTION_REQ_SEND,
        ACTION_SEND,
        ACTION_CANCEL,
        ACTION_REMOVE,
        ACTION_START_SEND_ANSWER,
        ACTION_REQ_SEND_ANSWER,
        ACTION_SEND_ANSWER,
        ACTION_CANCEL_ANSWER,
        ACTION_REMOVE_ANSWER,
    };
    struct Output {
        uint8_t* buffer;
        uint32_t capacity;
        uint32_t* produced;
    };

    JLIB::JResult runAction(Action action, const Output& out, const T_SENDOBJ& so);
    JLIB::JResult changeAction(Action action, const T_SENDOBJ* so);
    JLIB::JResult onSendFailed(Action action, const T_SENDOBJ& so, JLIB::JResult result);
    JLIB::JResult answer(Action action, const Output& out, const T_SENDOBJ& so);
    void setState(E_STATUS state);
    FileTransStatus reported(E_STATUS state) const;
    JLIB::JResult copyFileName(const char* name);
    JLIB::JResult prepareSend(const char* name);
    JLIB::JResult setTmpFileName(char* buffer, uint32_t capacity) const;
    JLIB::JResult sendStartSend(const Output& out, const T_SENDOBJ& so);
    JLIB::JResult sendSend(const Output& out, const T_SENDOBJ& so);
    JLIB::JResult finish(E_TMPFILE_OPERATION tmpOp, E_NOTIFY_OPERATION notifyOp, const U_NOTIFY_OPTION* option);
    JLIB::JResult commit();
    JLIB::JResult createSubDirectories(const char* base, const char* path);
    bool sameAccessor(const char* name) const;
    bool sameFile(const char* name) const;

    // Not this command at all, or answered with why it did not decode, under our own user value.
    JLIB::JResult answerUndecoded(JLIB::JResult decoded, Action action, const Output& out);
    // true with the refusal in `so` for another accessor, the wrong state or another file.
    bool refuseOtherTransfer(const char* acc, const char* name, bool wrongState, T_SENDOBJ& so) const;
    // Ends the transfer, the temporary file dropped and the monitor told `code`.
    JLIB::JResult cancelTransfer(uint32_t code);
    // Asks the peer for the chunk at `offset`.
    JLIB::JResult requestChunk(const Output& out, uint32_t offset);

    JLIB::JResult receiveStartSend(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveStartSendAnswer(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveReqSend(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveReqSendAnswer(const uint8_t* in, uint32_t length);
    JLIB::JResult receiveSend(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveSendAnswer(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveCancel(const uint8_t* in, uint32_t length, const Output& out);
    JLIB::JResult receiveRemove(const uint8_t* in, uint32_t length, const Output& out);

    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    IFileAccessor* m_pAccessor = nullptr;           // the owner's; slot 0 only
    char m_accessorName[24] = {};
    char m_tmpFolder[24] = {};
    char m_tmpFileName[35] = {};
    uint32_t m_userValue = 0;
    int32_t m_unitId = -1;
    bool m_notServerUnit = false;
    IProgressMonitor* m_pMonitor = nullptr;  // the owner's
    E_STATUS m_state = STATUS_IDLE;
    Action m_action = ACTION_NONE;
    T_SENDOBJ m_sendObj;
    const char* m_pWorkingFile = nullptr;  // m_fileName when sending, m_tmpFileName when receiving
    char m_fileName[256] = {};
    uint8_t m_hash[32] = {};
    uint32_t m_hashLength = 0;
    uint32_t m_fileSize = 0;
    uint32_t m_transferred = 0;
    uint32_t m_noProgressMs = 0;
    IncompleteFiles m_incomplete;
};

}  // namespace ComControl
