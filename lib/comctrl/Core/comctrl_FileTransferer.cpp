#include "comctrl_FileTransferer.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "comctrl_FileAccessor.h"
#include "comctrl_FileTransfererProtocol.h"
#include "comctrl_cnp.h"
#include "dbgc/dbgc_stdapi.h"

namespace ComControl {

namespace FTP = FileTransfererProtocol;

namespace {

constexpr JLIB::JResult kBadName = 0x80000001u;
constexpr JLIB::JResult kProtocolFailure = 0x80000000u;
constexpr JLIB::JResult kMalformedAnswer = 0x80000001u;
constexpr JLIB::JResult kWrongState = 0x80000002u;
constexpr JLIB::JResult kOtherFile = 0x80000003u;
constexpr JLIB::JResult kSendingThatFile = 0x80000005u;
constexpr JLIB::JResult kFileError = 0x80002000u;
constexpr JLIB::JResult kFileBusy = 0x80002001u;
constexpr JLIB::JResult kNoSpace = 0x80002009u;
constexpr uint32_t kTmpNameTail = 11;  // "TMP", three digits, the port name and '_'

bool isFileAnswer(JLIB::JResult code) { return JLIB::isFailure(code) && ((code >> 12) & 0xF) == 0x2; }

bool isSlash(char c) { return c == '/' || c == '\\'; }

// Index behind the last separator, 0 without one.
size_t getSlashPos(const char* path)
{
    size_t pos = 0;
    for (size_t i = 0; path[i]; ++i)
        if (isSlash(path[i])) pos = i + 1;
    return pos;
}

const char* skipSlashPos(const char* path) { return path + getSlashPos(path); }

// A decode failure as the answer for the peer: a bounded field that overflowed is malformed too.
JLIB::JResult decodeAnswer(JLIB::JResult decoded)
{
    return decoded == FTP::kMalformed ? kMalformedAnswer : cnpGetAnswer(decoded);
}

}  // namespace

// ---- incomplete files ----

JLIB::JResult FileTransferer::IncompleteFiles::push_back(const std::string& path)
{
    for (const std::string& p : m_paths)
        if (p == path) return JLIB::kOk;
    m_paths.push_back(path);
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::IncompleteFiles::resolve(const char* tmpFolder)
{
    if (!m_pAccessor) return JLIB::kOk;
    const size_t folderLength = tmpFolder ? std::strlen(tmpFolder) : 0;
    for (size_t i = 0; i < m_paths.size();) {
        const std::string path = m_paths[i];
        bool keep = false;
        if (path.size() >= 12) {
            std::string rest = path;
            if (folderLength && rest.compare(0, folderLength, tmpFolder) == 0) rest.erase(0, folderLength);
            const size_t slash = getSlashPos(rest.c_str());
            bool folder = false;
            if (rest.size() >= slash + kTmpNameTail &&
                JLIB::isSuccess(m_pAccessor->exists(0, path.c_str(), &folder)) && !folder) {
                const std::string destination = rest.substr(0, slash) + rest.substr(slash + kTmpNameTail);
                uint8_t hash[32] = {};
                uint32_t hashLength = 0;
                if (JLIB::isFailure(m_pAccessor->hash(0, path.c_str(), hash, sizeof(hash), &hashLength))) {
                    std::memset(hash, 0, sizeof(hash));
                    hashLength = 0;
                }
                const JLIB::JResult r = cnvAccessorErr(m_pAccessor->rename(0, path.c_str(), destination.c_str()));
                if (JLIB::isSuccess(r)) {
                    (void)m_pAccessor->sync(0);  // the rename stands either way
                    if (m_pMonitor)
                        (void)m_pMonitor->update(destination.c_str(), FILETRANS_RECEIVING, 0, hash, hashLength, true);
                } else if (r == kFileBusy) {
                    keep = true;
                }
            }
        }
        if (keep) ++i;
        else m_paths.erase(m_paths.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::IncompleteFiles::remove()
{
    if (!m_pAccessor) return JLIB::kOk;
    for (const std::string& p : m_paths) (void)m_pAccessor->remove(0, p.c_str());  // gone already is fine
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::IncompleteFiles::clear()
{
    for (const std::string& p : m_paths)
        if (m_pMonitor) (void)m_pMonitor->cancel(p.c_str(), FILETRANS_RECEIVING, 0);
    m_paths.clear();
    return JLIB::kOk;
}

// ---- conversions ----

JLIB::JResult FileTransferer::cnvAccessorErr(JLIB::JResult result)
{
    if (JLIB::isSuccess(result)) return JLIB::kOk;
    switch (result & 0xFFFFu) {
    case 4: return 0x80002001u;
    case 5: return 0x80002002u;
    case 6: return 0x80002003u;
    case 7: return 0x80002004u;
    case 8: return 0x80002005u;
    case 9: return 0x80002006u;
    case 10: return 0x80002007u;
    case 11: return 0x80002008u;
    case 12: return 0x80002009u;
    case 13: return 0x8000200Au;
    default: return kFileError;
    }
}

JLIB::JResult FileTransferer::cnvOwnErr2CnpAnswer(JLIB::JResult result, bool fileOperation)
{
    if (JLIB::isSuccess(result)) return JLIB::kOk;
    const uint32_t low = result & 0xFFFFu;
    if (fileOperation) {
        if (isFileAnswer(result)) return result;
        if (low == 2) return 0x8000200Au;
        if (low == 3 || low == 5) return 0x80002006u;
        return kFileError;
    }
    if (low == 2 || low == 3) return 0x80000004u;
    if (low == 5) return 0x80000002u;
    return kProtocolFailure;
}

bool FileTransferer::isTmpFile(const char* name)
{
    if (!name) return false;
    const char* base = skipSlashPos(name);
    if (std::strncmp(base, "TMP", 3) != 0) return false;
    for (int i = 3; i < 6; ++i)
        if (base[i] < '0' || base[i] > '9') return false;
    for (int i = 6; i < 11; ++i) {
        if (base[i] == '_' || base[i] == '\0') return true;
        if (base[i] == '.') return false;
    }
    return false;
}

// ---- set-up ----

JLIB::JResult FileTransferer::initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId)
{
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    m_unitId = unitId;
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::setAccessor(const char* accessorName, IFileAccessor* accessor, uint32_t userValue)
{
    if (!accessorName || std::strlen(accessorName) >= 25) return kBadName;
    if (JLIB::isFailure(extendReceiveBufferSize(FTP::getMaxBufferSize()))) return kNoMemory;
    std::snprintf(m_accessorName, sizeof(m_accessorName), "%s", accessorName);
    m_pAccessor = accessor;
    m_incomplete.setAccessor(accessor);
    m_userValue = userValue;
    if (m_tmpFolder[0] && m_pAccessor) {
        (void)m_pAccessor->removeDir(0, m_tmpFolder);  // may not exist yet
        (void)m_pAccessor->makeDir(0, m_tmpFolder);    // a missing folder shows at the first open
    }
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::setTmpPath(const char* folder)
{
    if (m_state != STATUS_IDLE || !m_incomplete.empty()) return kNotReady;
    if (m_tmpFolder[0] && m_pAccessor) (void)m_pAccessor->removeDir(0, m_tmpFolder);  // best effort
    m_tmpFolder[0] = '\0';
    m_tmpFileName[0] = '\0';
    if (!folder || !*folder) return JLIB::kOk;
    const size_t length = std::strlen(folder);
    if (length > 23) return kBadName;
    const bool needSlash = !isSlash(folder[length - 1]);
    if (length + (needSlash ? 1 : 0) > 23) return kBadName;
    std::memcpy(m_tmpFolder, folder, length);
    if (needSlash) m_tmpFolder[length] = '/';
    m_tmpFolder[length + (needSlash ? 1 : 0)] = '\0';
    if (m_pAccessor) {
        (void)m_pAccessor->removeDir(0, m_tmpFolder);  // leftovers of an earlier run
        if (JLIB::isFailure(m_pAccessor->makeDir(0, m_tmpFolder))) {
            m_tmpFolder[0] = '\0';
            return kNotReady;
        }
    }
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::setProgressMonitor(IProgressMonitor* monitor)
{
    m_pMonitor = monitor;
    m_incomplete.setMonitor(monitor);
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::setTmpFileName(char* buffer, uint32_t capacity) const
{
    if (!buffer || capacity < 4) return kBadName;
    if (m_unitId < 0) return kNotReady;
    const int n = std::snprintf(buffer, capacity, "%sTMP%03d%s", m_tmpFolder, static_cast<int>(m_unitId % 1000),
                                portname());
    if (n < 0) return kBadName;
    return JLIB::kOk;
}

// ---- queries ----

FileTransStatus FileTransferer::reported(E_STATUS state) const
{
    switch (state) {
    case STATUS_IDLE: return FILETRANS_IDLE;
    case STATUS_START_SEND:
    case STATUS_SENDING: return FILETRANS_SENDING;
    case STATUS_REQ_SEND:
    case STATUS_RECEIVING: return FILETRANS_RECEIVING;
    case STATUS_REMOVING: return FILETRANS_REMOVING;
    }
    return FILETRANS_OTHER;
}

FileTransStatus FileTransferer::getStatus() const { return reported(m_state); }

JLIB::JResult FileTransferer::getProgress(bool* receiving, uint32_t* transferred, uint32_t* fileSize) const
{
    const FileTransStatus s = reported(m_state);
    const bool active = s == FILETRANS_SENDING || s == FILETRANS_RECEIVING;
    if (receiving) *receiving = s == FILETRANS_RECEIVING;
    if (transferred) *transferred = active ? m_transferred : 0;
    if (fileSize) *fileSize = active ? m_fileSize : 0;
    return JLIB::kOk;
}

bool FileTransferer::hasTemporaryFiles() const
{
    return (m_pWorkingFile && isTmpFile(m_pWorkingFile)) || !m_incomplete.empty();
}

bool FileTransferer::sameAccessor(const char* name) const
{
    return std::strncmp(name, m_accessorName, sizeof(m_accessorName) - 1) == 0;
}

bool FileTransferer::sameFile(const char* name) const
{
    return std::strncmp(name, m_fileName, sizeof(m_fileName) - 1) == 0;
}

// ---- own requests ----

void FileTransferer::setState(E_STATUS state)
{
    m_state = state;
    m_noProgressMs = 0;
}

JLIB::JResult FileTransferer::copyFileName(const char* name)
{
    if (!name || !*name || std::strlen(name) > sizeof(m_fileName) - 1) return kBadName;
    std::memcpy(m_fileName, name, std::strlen(name) + 1);
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::prepareSend(const char* name)
{
    JLIB_RETURN_IF_FAILED(copyFileName(name));
    m_pWorkingFile = m_fileName;
    uint32_t size = 0;
    JLIB::JResult r = m_pAccessor->open(0, m_fileName, 3);
    if (JLIB::isSuccess(r)) r = m_pAccessor->size(0, m_fileName, &size);
    if (JLIB::isFailure(r)) {
        if (m_pAccessor->isOpen(0) == 1) (void)m_pAccessor->close(0);  // read only: nothing to lose
        m_fileName[0] = '\0';
        m_pWorkingFile = nullptr;
        return cnvAccessorErr(r);
    }
    m_fileSize = size;
    m_transferred = 0;
    if (m_pMonitor) (void)m_pMonitor->start(m_fileName, FILETRANS_SENDING, size);
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::transfer(bool fromPeer, const char* fileName)
{
    if (!isSendable() || !m_pAccessor) return kNotReady;
    if (m_state != STATUS_IDLE || m_action != ACTION_NONE) return kBusy;
    if (!fromPeer) {
        JLIB_RETURN_IF_FAILED(prepareSend(fileName));
        setState(STATUS_START_SEND);
        (void)changeAction(ACTION_START_SEND, nullptr);  // none was pending
        (void)writeRequest();  // the port is there; it asks for the command when it can
        return JLIB::kOk;
    }
    JLIB_RETURN_IF_FAILED(copyFileName(fileName));
    if (!m_tmpFileName[0]) {
        const JLIB::JResult r = setTmpFileName(m_tmpFileName, sizeof(m_tmpFileName));
        if (JLIB::isFailure(r)) {
            m_fileName[0] = '\0';
            return r;
        }
    }
    m_pWorkingFile = m_tmpFileName;
    m_fileSize = 0;
    m_transferred = 0;
    setState(STATUS_REQ_SEND);
    (void)changeAction(ACTION_REQ_SEND, nullptr);  // none was pending
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::cancel()
{
    if (!isSendable()) return kNotReady;
    if (m_state == STATUS_REMOVING) return kBusy;
    if (m_state == STATUS_IDLE) return JLIB::kOk;
    setState(STATUS_IDLE);
    (void)changeAction(ACTION_NONE, nullptr);
    (void)changeAction(ACTION_CANCEL, nullptr);  // just dropped the other
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::remove(const char* fileName)
{
    if (!isSendable()) return kNotReady;
    if (m_state != STATUS_IDLE || m_action != ACTION_NONE) return kBusy;
    JLIB_RETURN_IF_FAILED(copyFileName(fileName));
    setState(STATUS_REMOVING);
    (void)changeAction(ACTION_REMOVE, nullptr);  // none was pending
    (void)writeRequest();
    return JLIB::kOk;
}

// ---- pending actions and sending ----

JLIB::JResult FileTransferer::changeAction(Action action, const T_SENDOBJ* so)
{
    if (action != ACTION_NONE && m_action != ACTION_NONE) return kBusy;
    m_action = action;
    if (so) {
        m_sendObj = *so;
    } else {
        m_sendObj.reset();
        m_sendObj.userValue = m_userValue;
    }
    m_noProgressMs = 0;
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
{
    if (more) *more = false;
    if (m_action == ACTION_NONE) return JLIB::kOk;
    const Action action = m_action;
    const T_SENDOBJ so = m_sendObj;
    // Taken out first: running it may end the transfer, which drops whatever is pending.
    m_action = ACTION_NONE;
    const JLIB::JResult r = runAction(action, Output{output, capacity, produced}, so);
    if (JLIB::isSuccess(r)) {
        m_noProgressMs = 0;
        return JLIB::kOk;
    }
    if (m_action == ACTION_NONE) {
        m_action = action;
        m_sendObj = so;
    }
    // No room is offered again by the port; anything else is retried from the periodic handler.
    return (r & 0xFFFFu) == 3 ? UnitComponent::kNoRoom : JLIB::kOk;
}

JLIB::JResult FileTransferer::onSendFailed(Action action, const T_SENDOBJ& so, JLIB::JResult result)
{
    if ((result & 0xFFFFu) == 3 && !so.accessorEcho && !so.fileEcho) {
        if (JLIB::isFailure(changeAction(action, &so))) return kProtocolFailure;
        // Queued: the received command is done with, so the port must not deliver it again.
        return JLIB::kOk;
    }
    (void)finish(TMP_DISCARD, NOTIFY_CANCEL, nullptr);  // nothing to commit on this path
    return result;
}

JLIB::JResult FileTransferer::answer(Action action, const Output& out, const T_SENDOBJ& so)
{
    const JLIB::JResult r = runAction(action, out, so);
    if (JLIB::isFailure(r)) return onSendFailed(action, so, r);
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::sendStartSend(const Output& out, const T_SENDOBJ& so)
{
    if (JLIB::isFailure(m_pAccessor->hash(0, nullptr, m_hash, sizeof(m_hash), &m_hashLength))) m_hashLength = 0;
    return FTP::Encode_StartSend(out.buffer, out.capacity, out.produced, m_accessorName, m_fileName, m_fileSize,
                                 so.userValue, m_hash, m_hashLength);
}

JLIB::JResult FileTransferer::sendSend(const Output& out, const T_SENDOBJ& so)
{
    const uint32_t length = so.length ? so.length : kChunkSize;
    uint32_t position = 0;
    JLIB::JResult r = m_pAccessor->tell(0, &position);
    if (JLIB::isSuccess(r) && position != so.offset)
        r = m_pAccessor->seek(0, static_cast<int32_t>(so.offset), FILESEEK_SET);
    if (JLIB::isFailure(r)) return cnvAccessorErr(r);
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[length ? length : 1]);
    if (!chunk) return kNoMemory;
    uint32_t count = 0;
    r = m_pAccessor->read(0, chunk.get(), &count, length);
    if (JLIB::isFailure(r)) return cnvAccessorErr(r);
    const bool last = r == FileAccessor::kEndOfFile;
    JLIB_RETURN_IF_FAILED(FTP::Encode_Send(out.buffer, out.capacity, out.produced, m_accessorName, m_fileName,
                                           so.offset, chunk.get(), count, last, so.userValue));
    m_transferred += count;
    if (last) {
        const U_NOTIFY_OPTION option{count, true};
        (void)finish(TMP_NONE, NOTIFY_UPDATE, &option);  // nothing to commit when sending
    } else if (m_pMonitor) {
        (void)m_pMonitor->update(m_fileName, FILETRANS_SENDING, count, m_hash, m_hashLength, false);
    }
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::runAction(Action action, const Output& out, const T_SENDOBJ& so)
{
    const char* acc = so.accessorEcho ? so.accessorEcho : m_accessorName;
    const char* file = so.fileEcho ? so.fileEcho : m_fileName;
    JLIB::JResult r = JLIB::kOk;
    switch (action) {
    case ACTION_NONE: return JLIB::kOk;
    case ACTION_START_SEND: return sendStartSend(out, so);
    case ACTION_REQ_SEND: return FTP::Encode_ReqSend(out.buffer, out.capacity, out.produced, acc, file, so.userValue);
    case ACTION_SEND: return sendSend(out, so);
    case ACTION_CANCEL:
        JLIB_RETURN_IF_FAILED(FTP::Encode_Cancel(out.buffer, out.capacity, out.produced, acc, file, so.userValue));
        return eventReset();
    case ACTION_REMOVE: {
        JLIB_RETURN_IF_FAILED(FTP::Encode_Remove(out.buffer, out.capacity, out.produced, acc, file, so.userValue));
        const U_NOTIFY_OPTION option{0, true};
        (void)finish(TMP_NONE, NOTIFY_UPDATE, &option);  // the answer is not awaited
        return JLIB::kOk;
    }
    case ACTION_START_SEND_ANSWER:
        r = FTP::Encode_StartSendAnswer(out.buffer, out.capacity, out.produced, acc, file, so.userValue, so.answer);
        if (JLIB::isFailure(r)) return r;
        if (isFileAnswer(so.answer) || so.answer == kSameFile) {
            const bool active = m_state == STATUS_REQ_SEND || m_state == STATUS_RECEIVING;
            const U_NOTIFY_OPTION option{so.answer == kSameFile ? 0 : so.answer, so.answer == kSameFile};
            const E_NOTIFY_OPERATION op = !active ? NOTIFY_NONE : so.answer == kSameFile ? NOTIFY_UPDATE : NOTIFY_CANCEL;
            (void)finish(TMP_DISCARD, op, &option);  // nothing to commit
        }
        return JLIB::kOk;
    case ACTION_REQ_SEND_ANSWER:
        r = FTP::Encode_ReqSendAnswer(out.buffer, out.capacity, out.produced, acc, file, so.userValue, so.answer);
        if (JLIB::isFailure(r)) return r;
        if (isFileAnswer(so.answer)) (void)finish(TMP_DISCARD, NOTIFY_NONE, nullptr);
        return JLIB::kOk;
    case ACTION_SEND_ANSWER:
        r = FTP::Encode_SendAnswer(out.buffer, out.capacity, out.produced, acc, file, so.offset, so.length,
                                   so.userValue, so.answer);
        if (JLIB::isFailure(r)) return r;
        if (so.answer == 0) {
            m_transferred += so.length;
            if (so.last) {
                const U_NOTIFY_OPTION option{so.length, true};
                (void)finish(TMP_COMMIT, NOTIFY_UPDATE, &option);  // a failed commit is logged by the monitor
            } else if (m_pMonitor) {
                (void)m_pMonitor->update(m_fileName, FILETRANS_RECEIVING, so.length, m_hash, m_hashLength, false);
            }
        } else if (isFileAnswer(so.answer)) {
            (void)eventReset();
        }
        return JLIB::kOk;
    case ACTION_CANCEL_ANSWER:
        r = FTP::Encode_CancelAnswer(out.buffer, out.capacity, out.produced, acc, file, so.userValue, so.answer);
        if (JLIB::isFailure(r)) return r;
        if (so.answer == 0) (void)finish(TMP_DISCARD, NOTIFY_CANCEL, nullptr);
        else if (isFileAnswer(so.answer)) (void)eventReset();
        return JLIB::kOk;
    case ACTION_REMOVE_ANSWER:
        r = FTP::Encode_RemoveAnswer(out.buffer, out.capacity, out.produced, acc, file, so.userValue, so.answer);
        if (JLIB::isFailure(r)) return r;
        if (JLIB::isSuccess(so.answer) || isFileAnswer(so.answer)) (void)finish(TMP_NONE, NOTIFY_NONE, nullptr);
        return JLIB::kOk;
    }
    return JLIB::kOk;
}

// ---- ending a transfer ----

JLIB::JResult FileTransferer::createSubDirectories(const char* base, const char* path)
{
    if (!path) return kBadName;
    std::string partial;
    for (size_t i = 0; path[i]; ++i) {
        if (isSlash(path[i])) {
            const std::string folder = (base ? std::string(base) : std::string()) + partial;
            if (!folder.empty()) (void)m_pAccessor->makeDir(0, folder.c_str());  // the rename shows what failed
            partial += '/';
        } else {
            partial += path[i];
        }
    }
    return JLIB::kOk;
}

JLIB::JResult FileTransferer::commit()
{
    (void)createSubDirectories(nullptr, m_fileName);
    JLIB::JResult r = cnvAccessorErr(m_pAccessor->rename(0, m_tmpFileName, m_fileName));
    if (JLIB::isSuccess(r)) {
        (void)m_pAccessor->sync(0);  // the data is in place either way
        return JLIB::kOk;
    }
    if (r == kFileBusy) {
        const size_t slash = getSlashPos(m_fileName);
        std::string incomplete = m_tmpFolder;
        incomplete.append(m_fileName, slash);
        incomplete += skipSlashPos(m_tmpFileName);
        incomplete += '_';
        incomplete += m_fileName + slash;
        if (m_tmpFolder[0]) (void)createSubDirectories(m_tmpFolder, m_fileName);
        if (JLIB::isSuccess(m_pAccessor->rename(0, m_tmpFileName, incomplete.c_str())))
            (void)m_incomplete.push_back(incomplete);  // never fails
    }
    (void)m_pAccessor->remove(0, m_tmpFileName);  // gone already when moved aside
    return r;
}

JLIB::JResult FileTransferer::finish(E_TMPFILE_OPERATION tmpOp, E_NOTIFY_OPERATION notifyOp,
                                     const U_NOTIFY_OPTION* option)
{
    JLIB::JResult result = JLIB::kOk;
    if (m_pAccessor) {
        if (m_pAccessor->isOpen(0) == 1) (void)m_pAccessor->close(0);  // a write failure shows in the answer
        if (tmpOp == TMP_COMMIT && m_pWorkingFile == m_tmpFileName) {
            result = commit();
            if (JLIB::isFailure(result) && notifyOp == NOTIFY_UPDATE) notifyOp = NOTIFY_NONE;
        }
        if (tmpOp == TMP_DISCARD || tmpOp == TMP_DISCARD_ALL) {
            if (m_pWorkingFile && (m_state == STATUS_REQ_SEND || m_state == STATUS_RECEIVING)) {
                if (JLIB::isSuccess(m_pAccessor->remove(0, m_pWorkingFile))) (void)m_pAccessor->sync(0);
                m_pWorkingFile = nullptr;
            }
            if (tmpOp == TMP_DISCARD_ALL) (void)m_incomplete.remove();
        }
    }
    const FileTransStatus status = reported(m_state);
    setState(STATUS_IDLE);
    (void)changeAction(ACTION_NONE, nullptr);
    m_fileSize = 0;
    m_transferred = 0;
    if (m_pMonitor && m_fileName[0] && status != FILETRANS_IDLE && status != FILETRANS_OTHER) {
        if (notifyOp == NOTIFY_UPDATE && option)
            (void)m_pMonitor->update(m_fileName, status, option->value, m_hash, m_hashLength, option->last);
        if (notifyOp == NOTIFY_CANCEL || notifyOp == NOTIFY_CANCEL_ALL)
            (void)m_pMonitor->cancel(m_fileName, status, option ? option->value : 0);
    }
    if (notifyOp == NOTIFY_CANCEL_ALL) (void)m_incomplete.clear();
    m_pWorkingFile = nullptr;
    m_fileName[0] = '\0';
    std::memset(m_hash, 0, sizeof(m_hash));
    m_hashLength = 0;
    return result;
}

JLIB::JResult FileTransferer::eventReset() { return finish(TMP_DISCARD_ALL, NOTIFY_CANCEL_ALL, nullptr); }

JLIB::JResult FileTransferer::periodicHandle(uint32_t elapsedMs)
{
    (void)m_incomplete.resolve(m_tmpFolder);  // always 0
    if (m_action != ACTION_NONE) (void)writeRequest();  // without port the link is down: nothing to do
    if (m_state == STATUS_IDLE) return JLIB::kOk;
    m_noProgressMs += elapsedMs;
    if (m_noProgressMs > elapsedMs + kTimeoutMs) {
        dbgPrintf("FileTransferer[%08X:%s]::periodicHandle(%d): TIMEOUT!! %d \"%s\"\n",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)), m_accessorName,
                  static_cast<int>(elapsedMs), static_cast<int>(m_state), m_fileName);
        const JLIB::JResult r = finish(TMP_DISCARD, NOTIFY_CANCEL, nullptr);
        m_noProgressMs = 0;
        return r;
    }
    return JLIB::kOk;
}

// ---- receiving ----

JLIB::JResult FileTransferer::answerUndecoded(JLIB::JResult decoded, Action action, const Output& out)
{
    if (decoded == FTP::kOtherCommand) return decoded;
    T_SENDOBJ so;
    so.userValue = m_userValue;
    so.answer = decodeAnswer(decoded);
    // A remove answer is never retried: the peer does not wait for it.
    return action == ACTION_REMOVE_ANSWER ? runAction(action, out, so) : answer(action, out, so);
}

bool FileTransferer::refuseOtherTransfer(const char* acc, const char* name, bool wrongState, T_SENDOBJ& so) const
{
    const bool otherAccessor = !sameAccessor(acc);
    if (!otherAccessor && !wrongState && sameFile(name)) return false;
    so.fileEcho = name;
    if (otherAccessor) so.accessorEcho = acc;
    so.answer = (!otherAccessor && wrongState) ? kWrongState : kOtherFile;
    return true;
}

JLIB::JResult FileTransferer::cancelTransfer(uint32_t code)
{
    const U_NOTIFY_OPTION option{code, false};
    return finish(TMP_DISCARD, NOTIFY_CANCEL, &option);
}

JLIB::JResult FileTransferer::requestChunk(const Output& out, uint32_t offset)
{
    T_SENDOBJ so;
    so.userValue = m_userValue;
    so.offset = offset;
    so.length = kChunkSize;
    return answer(ACTION_SEND, out, so);
}

JLIB::JResult FileTransferer::eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                            const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    if (flags) *flags = 0;
    uint32_t id = 0;
    if (JLIB::isFailure(cnpGetCommand(input, inputLength, kCnpVersion, &id))) return JLIB::kOk;
    const Output out{output, capacity, produced};
    JLIB::JResult r = JLIB::kOk;
    switch (id) {
    case FTP::kStartSend: r = receiveStartSend(input, inputLength, out); break;
    case FTP::kStartSendAnswer: r = receiveStartSendAnswer(input, inputLength, out); break;
    case FTP::kReqSend: r = receiveReqSend(input, inputLength, out); break;
    case FTP::kReqSendAnswer: r = receiveReqSendAnswer(input, inputLength); break;
    case FTP::kSend: r = receiveSend(input, inputLength, out); break;
    case FTP::kSendAnswer: r = receiveSendAnswer(input, inputLength, out); break;
    case FTP::kCancel: r = receiveCancel(input, inputLength, out); break;
    case FTP::kRemove: r = receiveRemove(input, inputLength, out); break;
    case FTP::kCancelAnswer:
    case FTP::kRemoveAnswer:
    default: break;  // answers that need nothing, and ids of no file command
    }
    return (JLIB::isFailure(r) && (r & 0xFFFFu) == 3) ? UnitComponent::kNoRoom : JLIB::kOk;
}

JLIB::JResult FileTransferer::receiveStartSend(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t size = 0;
    uint32_t userValue = 0;
    const uint8_t* hash = nullptr;
    uint32_t hashLength = 0;
    const JLIB::JResult d = FTP::Decode_StartSend(in, length, &acc, &name, &size, &userValue, &hash, &hashLength);
    if (JLIB::isFailure(d)) return answerUndecoded(d, ACTION_START_SEND_ANSWER, out);
    T_SENDOBJ so;
    so.userValue = userValue;
    if (!sameAccessor(acc)) {
        so.answer = kOtherFile;
        so.accessorEcho = acc;
        so.fileEcho = name;
        return answer(ACTION_START_SEND_ANSWER, out, so);
    }
    const bool expected = m_state == STATUS_IDLE || (m_state == STATUS_REQ_SEND && sameFile(name));
    if (!expected) {
        dbgPrintf("FileTransferer[%08X:%s]::receiveStartSend(%s) - UNEXPECTED_COMMAND!! %d \"%s\"\n",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)), m_accessorName, name,
                  static_cast<int>(m_state), m_fileName);
        const bool sendingIt = (m_state == STATUS_START_SEND || m_state == STATUS_SENDING) && sameFile(name);
        so.answer = sendingIt ? kSendingThatFile : kWrongState;
    } else if (!m_pAccessor || !FileAccessor::isSafeRelativePath(name)) {
        so.answer = kFileError;  // a peer never names a file outside the root
    } else {
        bool same = false;
        if (hash && hashLength) {
            uint8_t own[32] = {};
            uint32_t ownLength = 0;
            same = JLIB::isSuccess(m_pAccessor->hash(0, name, own, sizeof(own), &ownLength)) &&
                   ownLength == hashLength && std::memcmp(own, hash, hashLength) == 0;
            if (hashLength <= sizeof(m_hash)) {
                std::memcpy(m_hash, hash, hashLength);
                m_hashLength = hashLength;
            }
        }
        if (same) {
            so.answer = kSameFile;
        } else {
            JLIB::JResult r = JLIB::kOk;
            if (m_state == STATUS_IDLE) {
                r = copyFileName(name);
                if (JLIB::isSuccess(r) && !m_tmpFileName[0]) r = setTmpFileName(m_tmpFileName, sizeof(m_tmpFileName));
            }
            if (JLIB::isSuccess(r)) r = cnvAccessorErr(m_pAccessor->open(0, m_tmpFileName, 0));
            if (JLIB::isSuccess(r)) {
                m_pWorkingFile = m_tmpFileName;
                m_fileSize = size;
                m_transferred = 0;
                setState(STATUS_RECEIVING);
                if (m_pMonitor) (void)m_pMonitor->start(m_fileName, FILETRANS_RECEIVING, size);
                so.answer = 0;
            } else {
                so.answer = cnvOwnErr2CnpAnswer(r);
            }
        }
    }
    if (so.answer != 0) so.fileEcho = name;
    return answer(ACTION_START_SEND_ANSWER, out, so);
}

JLIB::JResult FileTransferer::receiveStartSendAnswer(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t userValue = 0;
    uint32_t code = 0;
    const JLIB::JResult d = FTP::Decode_StartSendAnswer(in, length, &acc, &name, &userValue, &code);
    if (m_state != STATUS_START_SEND) return JLIB::kOk;
    if (JLIB::isSuccess(d) && sameAccessor(acc) && sameFile(name) && JLIB::isSuccess(code)) {
        if (code == kSameFile) {
            const U_NOTIFY_OPTION option{m_fileSize - m_transferred, true};
            return finish(TMP_NONE, NOTIFY_UPDATE, &option);
        }
        setState(STATUS_SENDING);
        return requestChunk(out, 0);
    }
    return cancelTransfer(JLIB::isSuccess(d) ? code : 0);
}

JLIB::JResult FileTransferer::receiveReqSend(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t userValue = 0;
    const JLIB::JResult d = FTP::Decode_ReqSend(in, length, &acc, &name, &userValue);
    if (JLIB::isFailure(d)) return answerUndecoded(d, ACTION_REQ_SEND_ANSWER, out);
    T_SENDOBJ so;
    so.userValue = userValue;
    so.fileEcho = name;
    if (!sameAccessor(acc)) {
        so.accessorEcho = acc;
        so.answer = kOtherFile;
    } else if (m_state == STATUS_IDLE) {
        if (!m_pAccessor || !FileAccessor::isSafeRelativePath(name)) so.answer = kFileError;
        else so.answer = cnvOwnErr2CnpAnswer(prepareSend(name));
    } else if (m_state == STATUS_START_SEND && sameFile(name)) {
        so.answer = 0;
    } else {
        so.answer = kWrongState;
    }
    if (so.answer != 0) return answer(ACTION_REQ_SEND_ANSWER, out, so);
    m_transferred = 0;
    setState(STATUS_START_SEND);
    if (m_pMonitor) (void)m_pMonitor->start(m_fileName, FILETRANS_SENDING, m_fileSize);
    T_SENDOBJ start;
    start.userValue = userValue;
    return answer(ACTION_START_SEND, out, start);
}

JLIB::JResult FileTransferer::receiveReqSendAnswer(const uint8_t* in, uint32_t length)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t userValue = 0;
    uint32_t code = 0;
    const JLIB::JResult d = FTP::Decode_ReqSendAnswer(in, length, &acc, &name, &userValue, &code);
    if (m_state != STATUS_REQ_SEND) return JLIB::kOk;
    if (JLIB::isSuccess(d) && sameAccessor(acc) && sameFile(name) && JLIB::isSuccess(code)) {
        setState(STATUS_RECEIVING);
        return JLIB::kOk;
    }
    return cancelTransfer(JLIB::isSuccess(d) ? code : 0);
}

JLIB::JResult FileTransferer::receiveSend(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t offset = 0;
    const uint8_t* data = nullptr;
    uint32_t dataLength = 0;
    bool last = false;
    uint32_t userValue = 0;
    const JLIB::JResult d =
        FTP::Decode_Send(in, length, &acc, &name, &offset, &data, &dataLength, &last, &userValue);
    if (JLIB::isFailure(d)) return answerUndecoded(d, ACTION_SEND_ANSWER, out);
    T_SENDOBJ so;
    so.userValue = userValue;
    so.offset = offset;
    so.length = dataLength;
    so.last = last;
    if (!refuseOtherTransfer(acc, name, m_state != STATUS_RECEIVING, so)) {
        m_noProgressMs = 0;
        uint32_t position = 0;
        JLIB::JResult r = m_pAccessor->tell(0, &position);
        if (JLIB::isSuccess(r) && position != offset) {
            // Offsets above 2 GiB cannot be sought; refused rather than wrapped.
            r = offset > 0x7FFFFFFFu ? FileAccessor::kBadArgument
                                     : m_pAccessor->seek(0, static_cast<int32_t>(offset), FILESEEK_SET);
        }
        if (JLIB::isSuccess(r) && dataLength) {
            uint32_t written = 0;
            r = m_pAccessor->write(0, data, dataLength, &written);
            if (JLIB::isSuccess(r) && written < dataLength) r = kNoSpace;
        }
        so.answer = isFileAnswer(r) ? r : cnvAccessorErr(r);
    }
    return answer(ACTION_SEND_ANSWER, out, so);
}

JLIB::JResult FileTransferer::receiveSendAnswer(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t offset = 0;
    uint32_t acknowledged = 0;
    uint32_t userValue = 0;
    uint32_t code = 0;
    const JLIB::JResult d =
        FTP::Decode_SendAnswer(in, length, &acc, &name, &offset, &acknowledged, &userValue, &code);
    if (JLIB::isFailure(d) || m_state != STATUS_SENDING || !sameAccessor(acc) || !sameFile(name)) return JLIB::kOk;
    m_noProgressMs = 0;
    if (JLIB::isFailure(code)) return cancelTransfer(code);
    return requestChunk(out, offset + acknowledged);
}

JLIB::JResult FileTransferer::receiveCancel(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t userValue = 0;
    const JLIB::JResult d = FTP::Decode_Cancel(in, length, &acc, &name, &userValue);
    if (JLIB::isFailure(d)) return answerUndecoded(d, ACTION_CANCEL_ANSWER, out);
    T_SENDOBJ so;
    so.userValue = userValue;
    if (!refuseOtherTransfer(acc, name, m_state == STATUS_REMOVING, so)) {
        setState(STATUS_IDLE);
        so.answer = 0;
    }
    return answer(ACTION_CANCEL_ANSWER, out, so);
}

JLIB::JResult FileTransferer::receiveRemove(const uint8_t* in, uint32_t length, const Output& out)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t userValue = 0;
    const JLIB::JResult d = FTP::Decode_Remove(in, length, &acc, &name, &userValue);
    if (JLIB::isFailure(d)) return answerUndecoded(d, ACTION_REMOVE_ANSWER, out);
    T_SENDOBJ so;
    so.userValue = userValue;
    so.fileEcho = name;
    if (!sameAccessor(acc)) {
        so.accessorEcho = acc;
        so.answer = kOtherFile;
    } else if (m_state == STATUS_IDLE || std::strncmp(name, m_fileName, sizeof(m_fileName)) != 0) {
        if (!m_pAccessor || !FileAccessor::isSafeRelativePath(name)) {
            so.answer = kFileError;  // a peer never deletes outside the root
        } else {
            if (m_pMonitor) (void)m_pMonitor->start(name, FILETRANS_REMOVED, 0);
            so.answer = cnpGetAnswer(cnvAccessorErr(m_pAccessor->remove(0, name)));
            if (m_pMonitor) {
                if (so.answer == 0) (void)m_pMonitor->update(name, FILETRANS_REMOVED, 0, nullptr, 0, true);
                else (void)m_pMonitor->cancel(name, FILETRANS_REMOVED, so.answer);
            }
        }
    } else {
        so.answer = kWrongState;
    }
    // Never retried: the peer does not wait for this answer.
    return runAction(ACTION_REMOVE_ANSWER, out, so);
}

}  // namespace ComControl
