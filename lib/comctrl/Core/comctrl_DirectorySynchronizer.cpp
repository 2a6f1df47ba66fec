#include "comctrl_DirectorySynchronizer.h"

#include <cstring>
#include <new>

#include "comctrl_DirectorySynchronizeProtocol.h"
#include "comctrl_IUnitComponentObserver.h"
#include "comctrl_ReceivedListStrategy.h"
#include "comctrl_ReceivedMapStrategy.h"
#include "comctrl_cnp.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"

namespace ComControl {

namespace DSP = DirectorySynchronizeProtocol;

namespace {

constexpr JLIB::JResult kLost = 0x80000000u;

bool isNoRoom(JLIB::JResult r) { return JLIB::isFailure(r) && (r & 0xFFFFu) == 3; }

// The listing reads names as patterns; a name holding pattern characters is only handled exactly.
bool hasPatternCharacters(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

void removeFirst(std::list<std::string>& list, const char* name)
{
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == name) {
            list.erase(it);
            return;
        }
    }
}

}  // namespace

// ---- file monitor ----

uint32_t DirectorySynchronizer::FileMonitor::update(const char* fileName, FileTransStatus status, uint32_t count,
                                                    const uint8_t* hash, uint32_t hashLength, bool last)
{
    if (status == FILETRANS_IDLE) return kLost;
    if (last) (void)m_observer.notifyFileComplete(fileName, status);  // nothing the transferer could do
    return JLIB::kOk;
}

uint32_t DirectorySynchronizer::FileMonitor::cancel(const char* fileName, FileTransStatus status, uint32_t reason)
{
    if (status == FILETRANS_IDLE) return kLost;
    if (reason != 0) (void)m_observer.notifyFileFailure(fileName, status, reason);  // as above
    return JLIB::kOk;
}

// ---- set-up ----

DirectorySynchronizer::DirectorySynchronizer() : m_monitor(*this), m_listing(true) {}

DirectorySynchronizer::~DirectorySynchronizer()
{
    if (m_listing.isWatching()) (void)m_listing.stopWatching();  // the listing goes anyway
}

JLIB::JResult DirectorySynchronizer::initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId,
                                                uint32_t transfererCount)
{
    if (transfererCount == 0 || transfererCount > kMaxTransferers) return kBadArgument;
    if (m_pTransferers) return kNotReady;
    std::unique_ptr<FileTransferer[]> transferers(new (std::nothrow) FileTransferer[transfererCount]);
    if (!transferers) return kUnexpected;
    for (uint32_t t = 0; t < transfererCount; ++t) {
        (void)transferers[t].initialize(notServerUnit, nullptr, unitId);  // only stores its arguments
        (void)transferers[t].setProgressMonitor(&m_monitor);              // always 0
    }
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    m_unitId = unitId;
    m_pTransferers = std::move(transferers);
    m_transfererCount = transfererCount;
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::registDirectory(const char* directoryName, const char* path, uint32_t maxFiles,
                                                     uint32_t userValue, bool mapStrategy, IDirSyncStrategy* filter)
{
    if (!directoryName || !path || maxFiles == 0 || userValue == 0) return kBadArgument;
    // Both ends compare the name in full inside commands that hold at most 23 characters of it.
    if (!*directoryName || std::strlen(directoryName) > DSP::kMaxDirectoryNameLength) return kBadArgument;
    if (m_listing.name()[0] || m_listing.currentDir()[0]) return kNotReady;
    JLIB::JResult result = JLIB::kOk;
    if (JLIB::isFailure(m_listing.setName(directoryName)) ||
        JLIB::isFailure(m_listing.setBasePath(path, maxFiles, true)) || !m_listing.currentDir()[0]) {
        (void)m_listing.setName(nullptr);  // a refused directory stays unnamed and can be registered again
        result = kUnexpected;
    } else {
        m_userValue = userValue;
        m_pFilter = filter;
    }
    if (mapStrategy) m_pReceived.reset(new (std::nothrow) ReceivedMapStrategy(m_listing));
    else m_pReceived.reset(new (std::nothrow) ReceivedListStrategy);
    if (!m_pReceived) return kUnexpected;
    return result;
}

bool DirectorySynchronizer::isInitialized() const
{
    return m_pTransferers && m_listing.name()[0] && m_listing.currentDir()[0] && m_pReceived;
}

FileTransferer* DirectorySynchronizer::transferer(uint32_t index)
{
    return index < m_transfererCount ? &m_pTransferers[index] : nullptr;
}

// ---- queries ----

DirSyncStatus DirectorySynchronizer::getStatus() const
{
    switch (m_state) {
    case SYNC_IDLE: return DIRSYNC_IDLE;
    case SYNC_STARTING:
    case SYNC_SYNCING: return DIRSYNC_SYNCHRONIZING;
    case SYNC_SYNCHRONIZED: return DIRSYNC_SYNCHRONIZED;
    case SYNC_STOPPING: return DIRSYNC_STOPPING;
    }
    return DIRSYNC_OTHER;
}

uint32_t DirectorySynchronizer::getRequestedFileNum(bool listing) const
{
    return static_cast<uint32_t>(listing ? m_listingQueue.size() : m_changeQueue.size());
}

uint32_t DirectorySynchronizer::getRequestedAllFileNum() const
{
    return getRequestedFileNum(true) + getRequestedFileNum(false);
}

JLIB::JResult DirectorySynchronizer::getTransferringFileInfo(const char** fileName, bool* receiving,
                                                             uint32_t* transferred, uint32_t* fileSize) const
{
    if (!fileName || !transferred || !fileSize) return kBadArgument;
    if (!m_pTransferers) return kNotReady;
    *fileName = "";
    for (uint32_t t = 0; t < m_transfererCount; ++t) {
        const FileTransferer& transferer = m_pTransferers[t];
        if (!transferer.getFileName()[0]) continue;
        *fileName = transferer.getFileName();
        return transferer.getProgress(receiving, transferred, fileSize);
    }
    return JLIB::kOk;
}

const char* DirectorySynchronizer::getAssociationName(const char* previous) const
{
    auto next = m_listing.end();
    if (previous) {
        for (auto it = m_listing.begin(); it != m_listing.end(); ++it) {
            if ((*it)->isFile() && std::strcmp((*it)->name(), previous) == 0) {
                next = std::next(it);
                break;
            }
        }
    }
    if (!previous || next == m_listing.end()) {
        // An unknown previous name starts over; the last one ends the walk.
        if (previous && hasFile(previous)) return nullptr;
        next = m_listing.begin();
    }
    for (; next != m_listing.end(); ++next) {
        if ((*next)->isFile()) return (*next)->name();
    }
    return nullptr;
}

bool DirectorySynchronizer::hasFile(const char* name) const
{
    if (!name) return false;
    for (const auto& item : m_listing) {
        if (item && item->isFile() && std::strcmp(item->name(), name) == 0) return true;
    }
    return false;
}

// ---- lists ----

bool DirectorySynchronizer::takesPart(const char* name) const
{
    // A transferer's temporary file is its own affair, never a file of the directory.
    return !FileTransferer::isTmpFile(name);
}

void DirectorySynchronizer::fillListing()
{
    m_listingQueue.clear();
    m_unsettled.clear();
    for (const auto& item : m_listing) {
        if (!item || !item->isFile() || !takesPart(item->name())) continue;
        m_listingQueue.emplace_back(item->name());
        m_unsettled.emplace_back(item->name());
    }
}

void DirectorySynchronizer::clearLists()
{
    m_changeQueue.clear();
    m_listingQueue.clear();
    m_unsettled.clear();
    m_startAnswerOwed = false;
}

bool DirectorySynchronizer::removeUnsettled(const char* name)
{
    for (auto it = m_unsettled.begin(); it != m_unsettled.end(); ++it) {
        if (*it == name) {
            m_unsettled.erase(it);
            return true;
        }
    }
    return false;
}

JLIB::JResult DirectorySynchronizer::appendToList(const char* fileName, std::list<std::string>& list, bool first)
{
    if (!fileName) return kBadArgument;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it != fileName) continue;
        if (!first) return kNothingToDo;
        list.splice(list.begin(), list, it);
        return JLIB::kOk;
    }
    if (first) list.emplace_front(fileName);
    else list.emplace_back(fileName);
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::reserveSending(const char* fileName, bool first)
{
    if (!fileName) return kBadArgument;
    if (m_pFilter && m_pFilter->isSendFiltered(fileName)) return kNothingToDo;
    if (m_pReceived && m_pReceived->isReceivedItem(fileName)) return kNothingToDo;
    return appendToList(fileName, m_changeQueue, first);
}

void DirectorySynchronizer::memorizeReceiving(const char* name)
{
    removeFirst(m_changeQueue, name);
    if (m_pReceived) (void)m_pReceived->append(name);  // fails only for a null name
}

void DirectorySynchronizer::notifyObserver()
{
    if (m_pObserver) m_pObserver->notify(*this);
}

void DirectorySynchronizer::deleteLocalFile(const std::string& name)
{
    for (auto it = m_listing.begin(); it != m_listing.end(); ++it) {
        if (!(*it)->isFile() || name != (*it)->name()) continue;
        (void)(*it)->close();  // closing a closed file is answered and harmless
        if (JLIB::isFailure((*it)->remove(false))) {
            JLIB_LOG("[W] DirectorySynchronizer(%s): \"%s\" not deleted\n", m_listing.name(), name.c_str());
            return;
        }
        // The listing reads names as patterns: such a name's entry is left for the watcher's report.
        if (!hasPatternCharacters(name)) (void)m_listing.deleteEntry(name.c_str());  // it is listed
        // Its deletion notice must not go back to the source as a removal.
        memorizeReceiving(name.c_str());
        return;
    }
}

// ---- starting and stopping ----

bool DirectorySynchronizer::settleStop()
{
    if (m_state != SYNC_STOPPING) return false;
    if (m_stopPending) {
        for (uint32_t t = 0; t < m_transfererCount; ++t) (void)m_pTransferers[t].cancel();  // idle or gone
        m_stopPending = false;
    }
    for (uint32_t t = 0; t < m_transfererCount; ++t) {
        if (m_pTransferers[t].getFileName()[0] != '\0') return false;
    }
    m_state = SYNC_IDLE;
    return true;
}

JLIB::JResult DirectorySynchronizer::start(bool fromPeer)
{
    if (!isInitialized() || !isSendable()) return kNotReady;
    // A stop with nothing in flight ends now rather than at the next tick.
    (void)settleStop();
    if (m_state != SYNC_IDLE || m_action != ACTION_NONE) return kBusy;
    (void)m_listing.startWatching(this, true);  // logged by the listing; the listing was refreshed
    m_state = SYNC_STARTING;
    (void)changeAction(fromPeer ? ACTION_REQ_DIR_SYNC : ACTION_START_DIR_SYNC, nullptr);  // none was pending
    (void)writeRequest();  // the port is there; it takes the command when it has room
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::stop()
{
    if (!isInitialized() || !isSendable()) return kNotReady;
    if (m_state == SYNC_IDLE || m_state == SYNC_STOPPING) return JLIB::kOk;
    m_state = SYNC_STOPPING;
    m_stoppedByPeer = false;
    if (m_listing.isWatching()) (void)m_listing.stopWatching();  // it is watching: cannot be refused
    clearLists();
    (void)changeAction(ACTION_NONE, nullptr);
    (void)changeAction(ACTION_FINISH_DIR_SYNC, nullptr);  // just dropped the other
    (void)writeRequest();
    m_stopPending = true;
    return JLIB::kOk;
}

// ---- the tick ----

JLIB::JResult DirectorySynchronizer::periodicHandle(uint32_t elapsedMs)
{
    if (!isInitialized()) return kNotReady;
    for (uint32_t t = 0; t < m_transfererCount; ++t) (void)m_pTransferers[t].periodicHandle(elapsedMs);  // always 0
    if (m_listing.isWatching()) {
        (void)m_listing.serviceWatcher();     // it is watching
        (void)m_listing.checkModification();  // logged by the listing
    }
    // A command that found no room is not offered again unless asked for.
    if (m_action != ACTION_NONE) (void)writeRequest();  // without port the link is down: nothing to do
    if (m_state == SYNC_SYNCING) {
        if (m_source) sendSourceFiles();
        else settleTargetFiles();
    }
    if (m_state == SYNC_SYNCING || m_state == SYNC_SYNCHRONIZED) followChanges();
    (void)settleStop();
    if (m_pReceived && m_pReceived->isForgettable()) (void)m_pReceived->clear();  // always 0
    return JLIB::kOk;
}

void DirectorySynchronizer::settleTargetFiles()
{
    while (!m_listingQueue.empty()) {
        T_SENDOBJ so;
        so.fileName = m_listingQueue.front();
        if (JLIB::isFailure(changeAction(ACTION_EXIST_FILE, &so))) return;
        m_listingQueue.pop_front();
        (void)writeRequest();  // sent at once while the port has room
    }
    if (!m_startAnswerOwed || !m_unsettled.empty()) return;
    if (JLIB::isFailure(changeAction(ACTION_START_DIR_SYNC_ANSWER, nullptr))) return;  // still another waiting
    m_startAnswerOwed = false;
    (void)writeRequest();
}

bool DirectorySynchronizer::isRetryLater(JLIB::JResult result) const
{
    // Busy transferers and a link that is down: the name waits for a later tick.
    return result == kBusy || result == FileTransferer::kBusy || result == kNotReady;
}

void DirectorySynchronizer::sendSourceFiles()
{
    // The unit's owner hears of every file and may stop the synchronisation meanwhile.
    while (m_state == SYNC_SYNCING && !m_listingQueue.empty()) {
        const std::string name = m_listingQueue.front();
        const JLIB::JResult r = synchronizeFile(false, name.c_str());
        if (JLIB::isFailure(r) && isRetryLater(r)) return;
        if (JLIB::isFailure(r)) {
            // A file that cannot be read would hold the initial transfer for ever.
            JLIB_LOG("[W] DirectorySynchronizer(%s): \"%s\" not sent (0x%08X)\n", m_listing.name(), name.c_str(),
                     static_cast<unsigned>(r));
            (void)removeUnsettled(name.c_str());
        }
        if (!m_listingQueue.empty() && m_listingQueue.front() == name) m_listingQueue.pop_front();
    }
    if (m_state != SYNC_SYNCING || !m_listingQueue.empty() || !m_unsettled.empty()) return;
    if (JLIB::isFailure(changeAction(ACTION_COMPLITED_DIR, nullptr))) return;
    m_state = SYNC_SYNCHRONIZED;
    (void)writeRequest();
}

void DirectorySynchronizer::followChanges()
{
    while ((m_state == SYNC_SYNCING || m_state == SYNC_SYNCHRONIZED) && !m_changeQueue.empty()) {
        const std::string name = m_changeQueue.front();
        const JLIB::JResult r = synchronizeFile(false, name.c_str());
        if (JLIB::isFailure(r) && isRetryLater(r)) return;
        if (JLIB::isFailure(r)) {
            JLIB_LOG("[W] DirectorySynchronizer(%s): change of \"%s\" not sent (0x%08X)\n", m_listing.name(),
                     name.c_str(), static_cast<unsigned>(r));
        }
        // The transferer may have reported on the name meanwhile; the front is still ours.
        if (!m_changeQueue.empty() && m_changeQueue.front() == name) m_changeQueue.pop_front();
    }
}

JLIB::JResult DirectorySynchronizer::synchronizeFile(bool receive, const char* name)
{
    if (!name) return kBadArgument;
    FileTransferer* free = nullptr;
    for (uint32_t t = 0; t < m_transfererCount && !free; ++t) {
        if (!m_pTransferers[t].getFileName()[0]) free = &m_pTransferers[t];
    }
    if (!free) return kBusy;
    if (receive) return free->transfer(true, name);
    return hasFile(name) ? free->transfer(false, name) : free->remove(name);
}

// ---- files done ----

JLIB::JResult DirectorySynchronizer::notifyFileComplete(const char* fileName, FileTransStatus status)
{
    if (!fileName) return kBadArgument;
    if (m_state != SYNC_SYNCING && m_state != SYNC_SYNCHRONIZED) return JLIB::kOk;
    if (m_source) (void)removeUnsettled(fileName);
    if (status == FILETRANS_RECEIVING || status == FILETRANS_REMOVED) memorizeReceiving(fileName);
    notifyObserver();
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::notifyFileFailure(const char* fileName, FileTransStatus status, uint32_t reason)
{
    if (!fileName) return kBadArgument;
    if (m_state != SYNC_SYNCING && m_state != SYNC_SYNCHRONIZED) return JLIB::kOk;
    if (JLIB::isSuccess(reason)) return JLIB::kOk;
    bool again = false;
    if (status == FILETRANS_SENDING) {
        const uint32_t low = reason & 0x7FFFFFFFu;
        const bool peerBusy = low == 2 || low == 4 || low == 0x2001 || (low == 5 && m_notServerUnit);
        again = peerBusy && reserveSending(fileName, true) == JLIB::kOk;
    }
    if (m_source && !again) (void)removeUnsettled(fileName);
    notifyObserver();
    return JLIB::kOk;
}

// ---- following changes ----

JLIB::JResult DirectorySynchronizer::onDirStatusChanged(ChangeReason reason, const char* name)
{
    if (!isInitialized()) return kNotReady;
    if (!name || FileTransferer::isTmpFile(name)) return JLIB::kOk;
    if (m_state != SYNC_SYNCING && m_state != SYNC_SYNCHRONIZED) return JLIB::kOk;
    switch (reason) {
    case REASON_ADDED:
    case REASON_MODIFIED:
        return hasFile(name) ? reserveSending(name, false) : JLIB::kOk;
    case REASON_DELETED: {
        const JLIB::JResult r = reserveSending(name, false);
        JLIB_LOG("[i] ------ %s deleted [%d]ms\n", name, static_cast<int>(get1msCount()));
        return r;
    }
    default: return JLIB::kOk;
    }
}

// ---- pending action and sending ----

JLIB::JResult DirectorySynchronizer::changeAction(Action action, const T_SENDOBJ* so)
{
    if (action != ACTION_NONE && m_action != ACTION_NONE) return kBusy;
    m_action = action;
    if (so) {
        m_sendObj = *so;
    } else {
        m_sendObj.reset();
        m_sendObj.userValue = m_userValue;
    }
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::build(Action action, const T_SENDOBJ& so, const Output& out) const
{
    const char* dir = m_listing.name();
    const char* file = so.fileName.c_str();
    uint8_t* b = out.buffer;
    const uint32_t c = out.capacity;
    uint32_t* n = out.produced;
    switch (action) {
    case ACTION_NONE: return JLIB::kOk;
    case ACTION_START_DIR_SYNC: return DSP::Encode_StartDirSync(b, c, n, dir, so.userValue);
    case ACTION_START_DIR_SYNC_ANSWER: return DSP::Encode_StartDirSyncAnswer(b, c, n, dir, so.userValue, so.answer);
    case ACTION_REQ_DIR_SYNC: return DSP::Encode_ReqDirSync(b, c, n, dir, so.userValue);
    case ACTION_REQ_DIR_SYNC_ANSWER: return DSP::Encode_ReqDirSyncAnswer(b, c, n, dir, so.userValue, so.answer);
    case ACTION_FINISH_DIR_SYNC: return DSP::Encode_FinishDirSync(b, c, n, dir, so.userValue);
    case ACTION_FINISH_DIR_SYNC_ANSWER:
        return DSP::Encode_FinishDirSyncAnswer(b, c, n, dir, so.userValue, so.answer);
    case ACTION_EXIST_FILE: return DSP::Encode_ExistFile(b, c, n, dir, so.userValue, file);
    case ACTION_EXIST_FILE_ANSWER: return DSP::Encode_ExistAnswer(b, c, n, dir, so.userValue, file, so.answer);
    case ACTION_COMPLITED_DIR: return DSP::Encode_ComplitedDir(b, c, n, dir, so.userValue);
    case ACTION_COMPLITED_DIR_ANSWER: return DSP::Encode_ComplitedDirAnswer(b, c, n, dir, so.userValue, so.answer);
    }
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
{
    if (more) *more = false;
    if (m_action == ACTION_NONE) return JLIB::kOk;
    const JLIB::JResult r = build(m_action, m_sendObj, Output{output, capacity, produced});
    if (JLIB::isSuccess(r)) {
        (void)changeAction(ACTION_NONE, nullptr);  // always 0
        return JLIB::kOk;
    }
    const uint32_t low = r & 0xFFFFu;
    if (low == 2 || low == 3) return 0x80000000u | low;
    return kNotReady;
}

DirectorySynchronizer::T_SENDOBJ DirectorySynchronizer::answerTo(uint32_t userValue, uint32_t answer,
                                                                 const char* fileName) const
{
    T_SENDOBJ so;
    so.userValue = userValue;
    so.answer = answer;
    if (fileName) so.fileName = fileName;
    return so;
}

bool DirectorySynchronizer::emit(Action action, const T_SENDOBJ& so, const Output& out)
{
    const JLIB::JResult r = build(action, so, out);
    if (JLIB::isSuccess(r)) return true;
    if (out.produced) *out.produced = 0;
    if (isNoRoom(r) && JLIB::isSuccess(changeAction(action, &so))) return true;
    // Another command waits already: the peer hears nothing and its own time-outs apply.
    JLIB_LOG("[W] DirectorySynchronizer(%s): command 0x%X not sent (0x%08X)\n", m_listing.name(),
             static_cast<unsigned>(action), static_cast<unsigned>(r));
    return false;
}

// ---- receiving ----

JLIB::JResult DirectorySynchronizer::eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                                   const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    if (flags) *flags = 0;
    uint32_t id = 0;
    if (JLIB::isFailure(cnpGetCommand(input, inputLength, kCnpVersion, &id))) return JLIB::kOk;
    const Output out{output, capacity, produced};
    switch (id) {
    case DSP::kStartDirSync: receiveStartDirSync(input, inputLength, out); break;
    case DSP::kStartDirSyncAnswer: receiveStartDirSyncAnswer(input, inputLength); break;
    case DSP::kReqDirSync: receiveReqDirSync(input, inputLength, out); break;
    case DSP::kReqDirSyncAnswer: receiveReqDirSyncAnswer(input, inputLength); break;
    case DSP::kFinishDirSync: receiveFinishDirSync(input, inputLength, out); break;
    case DSP::kFinishDirSyncAnswer: {
        uint32_t userValue = 0, answer = 0;
        // Nothing follows from it, whatever it says.
        (void)DSP::Decode_FinishDirSyncAnswer(input, inputLength, m_listing.name(), &userValue, &answer);
        break;
    }
    case DSP::kExistFile: receiveExistFile(input, inputLength, out); break;
    case DSP::kExistFileAnswer: receiveExistFileAnswer(input, inputLength, out); break;
    case DSP::kComplitedDir: receiveCompliteDirSync(input, inputLength, out); break;
    case DSP::kComplitedDirAnswer: receiveComplitedDirAnswer(input, inputLength); break;
    default: break;  // ids of no directory command
    }
    return JLIB::kOk;
}

void DirectorySynchronizer::receiveStartDirSync(const uint8_t* in, uint32_t length, const Output& out)
{
    uint32_t userValue = m_userValue;
    const JLIB::JResult d = DSP::Decode_StartDirSync(in, length, m_listing.name(), &userValue);
    if (JLIB::isFailure(d)) {
        emit(ACTION_START_DIR_SYNC_ANSWER, answerTo(m_userValue, cnpGetAnswer(d)), out);
        return;
    }
    // The peer may start again before this end's tick has ended the stop the peer asked for;
    // refused, that start would leave the peer idle for good. A stop of this end's own is
    // different: a start crossing it was sent before the peer knew of it, and stays refused.
    if (m_stoppedByPeer) (void)settleStop();
    if (m_state != SYNC_IDLE && m_state != SYNC_STARTING) {
        emit(ACTION_START_DIR_SYNC_ANSWER, answerTo(userValue, DSP::kRefused), out);
        return;
    }
    m_source = false;
    (void)m_listing.startWatching(this, true);  // refreshes first; logged by the listing
    fillListing();
    m_state = SYNC_SYNCING;
    m_startAnswerOwed = false;
    // With files to settle, the answer follows once the source has told about each of them.
    if (m_unsettled.empty()) emit(ACTION_START_DIR_SYNC_ANSWER, answerTo(userValue, 0), out);
}

void DirectorySynchronizer::receiveStartDirSyncAnswer(const uint8_t* in, uint32_t length)
{
    if (m_state != SYNC_STARTING) return;
    uint32_t userValue = 0;
    uint32_t answer = 0;
    const JLIB::JResult d = DSP::Decode_StartDirSyncAnswer(in, length, m_listing.name(), &userValue, &answer);
    if (JLIB::isFailure(d) || JLIB::isFailure(answer)) {
        m_state = SYNC_IDLE;
        return;
    }
    m_source = true;
    (void)m_listing.startWatching(this, true);  // as above
    fillListing();
    m_state = SYNC_SYNCING;
}

void DirectorySynchronizer::receiveReqDirSync(const uint8_t* in, uint32_t length, const Output& out)
{
    uint32_t userValue = m_userValue;
    const JLIB::JResult d = DSP::Decode_ReqDirSync(in, length, m_listing.name(), &userValue);
    if (JLIB::isFailure(d)) {
        emit(ACTION_REQ_DIR_SYNC_ANSWER, answerTo(m_userValue, cnpGetAnswer(d)), out);
        return;
    }
    if (m_stoppedByPeer) (void)settleStop();  // as above
    if (m_state != SYNC_IDLE && m_state != SYNC_STARTING) {
        emit(ACTION_REQ_DIR_SYNC_ANSWER, answerTo(userValue, DSP::kWrongState), out);
        return;
    }
    m_state = SYNC_STARTING;
    emit(ACTION_START_DIR_SYNC, answerTo(userValue, 0), out);
}

void DirectorySynchronizer::receiveReqDirSyncAnswer(const uint8_t* in, uint32_t length)
{
    if (m_state != SYNC_STARTING) return;
    uint32_t userValue = 0;
    uint32_t answer = 0;
    const JLIB::JResult d = DSP::Decode_ReqDirSyncAnswer(in, length, m_listing.name(), &userValue, &answer);
    if (JLIB::isFailure(d) || JLIB::isFailure(answer)) m_state = SYNC_IDLE;
}

void DirectorySynchronizer::receiveFinishDirSync(const uint8_t* in, uint32_t length, const Output& out)
{
    uint32_t userValue = m_userValue;
    const JLIB::JResult d = DSP::Decode_FinishDirSync(in, length, m_listing.name(), &userValue);
    if (JLIB::isFailure(d)) {
        emit(ACTION_FINISH_DIR_SYNC_ANSWER, answerTo(m_userValue, cnpGetAnswer(d)), out);
        return;
    }
    if (m_state == SYNC_IDLE || m_state == SYNC_STARTING) {
        m_state = SYNC_IDLE;
    } else {
        m_state = SYNC_STOPPING;
        m_stoppedByPeer = true;
        clearLists();
        m_stopPending = true;
    }
    emit(ACTION_FINISH_DIR_SYNC_ANSWER, answerTo(userValue, 0), out);
}

void DirectorySynchronizer::receiveExistFile(const uint8_t* in, uint32_t length, const Output& out)
{
    uint32_t userValue = 0;
    const char* name = nullptr;
    const JLIB::JResult d = DSP::Decode_ExistFile(in, length, m_listing.name(), &userValue, &name);
    if (JLIB::isFailure(d)) {
        emit(ACTION_EXIST_FILE_ANSWER, answerTo(m_userValue, DSP::kFileAbsent, ""), out);
        return;
    }
    emit(ACTION_EXIST_FILE_ANSWER, answerTo(userValue, hasFile(name) ? DSP::kFilePresent : DSP::kFileAbsent, name),
         out);
}

void DirectorySynchronizer::receiveExistFileAnswer(const uint8_t* in, uint32_t length, const Output& out)
{
    if (m_state != SYNC_SYNCING) return;
    uint32_t userValue = 0;
    const char* name = nullptr;
    uint32_t answer = 0;
    const JLIB::JResult d = DSP::Decode_ExistFileAnswer(in, length, m_listing.name(), &userValue, &name, &answer);
    if (JLIB::isFailure(d) || JLIB::isFailure(answer)) return;
    // Only names this end asked about are settled: a name from the peer never selects a file.
    const std::string own = name;
    if (!removeUnsettled(own.c_str())) return;
    if (!m_source && answer != DSP::kFilePresent) deleteLocalFile(own);
    if (!m_unsettled.empty()) return;
    // Neither written nor waiting: the tick sends it once the pending command is gone.
    if (!emit(ACTION_START_DIR_SYNC_ANSWER, answerTo(m_userValue, 0), out)) m_startAnswerOwed = true;
}

void DirectorySynchronizer::receiveCompliteDirSync(const uint8_t* in, uint32_t length, const Output& out)
{
    uint32_t userValue = m_userValue;
    const JLIB::JResult d = DSP::Decode_ComplitedDir(in, length, m_listing.name(), &userValue);
    if (JLIB::isFailure(d)) {
        emit(ACTION_COMPLITED_DIR_ANSWER, answerTo(m_userValue, cnpGetAnswer(d)), out);
        return;
    }
    if (m_state != SYNC_SYNCING) {
        emit(ACTION_COMPLITED_DIR_ANSWER, answerTo(userValue, DSP::kWrongState), out);
        return;
    }
    m_state = SYNC_SYNCHRONIZED;
    emit(ACTION_COMPLITED_DIR_ANSWER, answerTo(userValue, 0), out);
    notifyObserver();
}

void DirectorySynchronizer::receiveComplitedDirAnswer(const uint8_t* in, uint32_t length)
{
    if (m_state != SYNC_SYNCHRONIZED) return;
    uint32_t userValue = 0;
    uint32_t answer = 0;
    const JLIB::JResult d = DSP::Decode_ComplitedDirAnswer(in, length, m_listing.name(), &userValue, &answer);
    if (JLIB::isFailure(d) || JLIB::isFailure(answer)) {
        m_state = SYNC_IDLE;
        return;
    }
    notifyObserver();
}

// ---- link changes ----

JLIB::JResult DirectorySynchronizer::eventReset()
{
    m_state = SYNC_IDLE;
    m_stopPending = false;
    m_stoppedByPeer = false;
    (void)changeAction(ACTION_NONE, nullptr);  // always 0
    clearLists();
    if (m_pReceived) (void)m_pReceived->clear();  // always 0
    m_source = false;
    return JLIB::kOk;
}

}  // namespace ComControl
