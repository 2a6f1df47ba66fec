#include "textcontrol/ScpServer.h"

#include <cctype>
#include <cstring>
#include <new>

#include "jlib/JUnicode.h"
#include "oswrap/oswrap_task.h"
#include "textcontrol/ScpHeap.h"
#include "textcontrol/ScpServerCommandFactory.h"
#include "textcontrol/ScpServerError.h"
#include "textcontrol/ScpServerNotificationDEVSTATUS.h"
#include "textcontrol/ScpServerNotificationSnapshot.h"

namespace SCP {

namespace {

constexpr JLIB::JResult kFail = 0x80000000u;

// The whole token, without regard to case; a JSON value still carries its double quotes.
bool isKeyword(const ScpString& keyword, const char* name)
{
    char text[ScpElementAlNum::kCapacity + 3] = {};
    uint32_t written = 0;
    if (keyword.size() >= sizeof text) return false;
    (void)keyword.toLatin1(text, sizeof text, &written, '\x01');
    const char* start = text;
    size_t length = std::strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++start;
        length -= 2;
    }
    if (length != std::strlen(name)) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(start[i])) != std::tolower(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

IScpServer* createScpServer(JLIB::HeapId heap)
{
    gScpHeapId = heap;
    return JLIB::JNew<ScpServer>(heap, "ScpServer", 1);
}

uint32_t destroyScpServer(IScpServer* server)
{
    if (!server) return kFail;
    return JLIB::isFailure(JLIB::JDelete(static_cast<ScpServer*>(server))) ? kFail : 0;
}

ScpServer::ScpServer()
{
    m_pReceiveBuff = JLIB::JNew<unsigned char>(getScpHeapId(), "ScpServer::m_pReceiveBuff", kReceiveSize);
    (void)m_stream.initialize(getScpHeapId(), kComposeSize);
    (void)oswrap_GetTskId(&m_taskId);
}

ScpServer::~ScpServer()
{
    if (m_pReceiveBuff) (void)JLIB::JDelete(m_pReceiveBuff);
    if (m_pChildSessionData) (void)JLIB::JDelete(m_pChildSessionData);
    if (m_pPendingInfo) (void)JLIB::JDelete(m_pPendingInfo);
}

uint32_t ScpServer::initialize(ScpNotifyFunction notify, VCOM::IVCom& socket, ScpDeviceController& controller,
                               ScpParameter& parameters, ScpMeter& meters)
{
    m_notify = notify;
    m_pSocket = &socket;
    m_pController = &controller;
    m_pParameters = &parameters;
    m_pMeters = &meters;
    (void)controller.initialize(this);
    (void)parameters.initialize(this);
    (void)meters.initialize();
    const uint32_t n = socket.capacityOfConnection() % 256;
    // Session ids are signed 8-bit: more than 127 records could never be reached.
    if (n == 0 || n > 127) return 0x80000002u;
    m_pChildSessionData = JLIB::JNew<ScpSessionData>(getScpHeapId(), "ScpServer::m_pChildSessionData", n);
    if (!m_pChildSessionData) return 0x80000002u;
    m_childCount = n;
    for (uint32_t i = 0; i < n; ++i) (void)m_pChildSessionData[i].initialize(meters.getAddressNum());
    m_pPendingInfo = JLIB::JNew<PendingInfo>(getScpHeapId(), "ScpServer::m_pPendingInfo", n);
    if (!m_pPendingInfo) return 0x80000002u;
    return 0;
}

ScpSessionData* ScpServer::getChildSessionData(signed char sessionId)
{
    if (!m_pSocket || sessionId <= 0 || static_cast<uint32_t>(sessionId) > m_childCount) return nullptr;
    return m_pChildSessionData + (sessionId - 1);
}

ScpSessionData* ScpServer::getChildSessionDataByIndex(uint32_t index)
{
    if (!m_pSocket || index >= m_childCount) return nullptr;
    return m_pChildSessionData + index;
}

ScpServer::PendingInfo* ScpServer::getPendingInfo(signed char sessionId)
{
    if (!m_pPendingInfo || sessionId <= 0 || static_cast<uint32_t>(sessionId) > m_childCount) return nullptr;
    return m_pPendingInfo + (sessionId - 1);
}

JLIB::JResult ScpServer::onAccepted(uint32_t, signed char, signed char newSessionId)
{
    if (!ready()) return kFail;
    ScpSessionData* record = getChildSessionData(newSessionId);
    if (record && !record->isEnabled()) (void)record->start();
    return 0;
}

JLIB::JResult ScpServer::onDisconnected(uint32_t, signed char sessionId)
{
    if (PendingInfo* info = getPendingInfo(sessionId)) {
        info->pending = false;
        info->inputLength = 0;
        info->replyLength = 0;
    }
    ScpSessionData* record = getChildSessionData(sessionId);
    if (record && record->isEnabled()) (void)record->stop();
    return 0;
}

JLIB::JResult ScpServer::onConnectionFailed(uint32_t, signed char sessionId, VCOM::ConnectionError)
{
    ScpSessionData* record = getChildSessionData(sessionId);
    if (record && record->isEnabled()) (void)record->stop();
    return 0;
}

JLIB::JResult ScpServer::onSent(uint32_t userId, signed char sessionId)
{
    PendingInfo* info = getPendingInfo(sessionId);
    if (!info || !info->pending) return 0;
    // Input that arrived while the reply was held back waits in the socket with no further
    // event to come: once the reply has gone, read it as if it had just arrived.
    if (retryToSend(sessionId) == 0) (void)onReceived(userId, sessionId);
    return 0;
}

JLIB::JResult ScpServer::onReceived(uint32_t, signed char sessionId)
{
    if (!ready() || !m_pReceiveBuff) return kFail;
    VCOM::IVCom* connection = m_pSocket->getSession(sessionId);
    if (!connection) return kFail;
    if (retryToSend(sessionId) == kSendSpaceShort) return 0;  // the rest waits in the socket
    if (sessionId <= 0) return 0;
    ScpSessionData* record = getChildSessionData(sessionId);
    while (true) {
        uint32_t count = 0;
        const JLIB::JResult r = connection->receive(m_pReceiveBuff, kReceiveSize, count);
        if (JLIB::isFailure(r)) return kFail;
        if (record) (void)record->setKeepAliveTimerReset();
        if (execute(m_pReceiveBuff, count, sessionId) == kSendSpaceShort) return 0;
        if (r != 2) return 0;
    }
}

JLIB::JResult ScpServer::decode(uint8_t index, const unsigned char* bytes, uint32_t length, uint32_t& consumed)
{
    consumed = 0;
    if (!bytes) return 0x80000002u;
    if (length == 0) return 0;
    ScpSessionData* record = getChildSessionDataByIndex(index);
    if (!record || !record->isEnabled()) return kNotEnabled;
    ScpAbstractDecoder* decoder = record->decoderPtr();
    if (!decoder) return kNoDecoder;
    return decoder->decode(bytes, length, consumed);
}

JLIB::JResult ScpServer::execute(const unsigned char* bytes, uint32_t length, signed char sessionId)
{
    if (sessionId <= 0) return 0;
    const auto index = static_cast<uint8_t>(sessionId - 1);
    uint32_t consumed = 1;
    while (consumed > 0 && length > 0) {
        const JLIB::JResult r = decode(index, bytes, length, consumed);
        if (r == ScpAbstractDecoder::kCommandComplete) {
            if (run(index) == kSendSpaceShort) {
                PendingInfo* info = getPendingInfo(sessionId);
                if (!info) return kSendFailed;
                const uint32_t rest = length - consumed;
                std::memmove(info->input, bytes + consumed, rest);  // may come from this very buffer
                info->inputLength = rest;
                info->pending = true;
                return kSendSpaceShort;
            }
        } else if (r == ScpAbstractDecoder::kUtf8Stop) {
            if (consumed >= length) return 0;
            JLIB::JUnicode probe;
            uint32_t used = 0;
            if (probe.fromUTF8(bytes + consumed, length - consumed, &used) == JLIB::kUnicodeTooShort) return 0;
            ++consumed;  // an invalid byte is skipped: the commands after it still count
        }
        bytes += consumed;
        length -= consumed;
    }
    return 0;
}

JLIB::JResult ScpServer::run(uint8_t index)
{
    ScpSessionData* record = getChildSessionDataByIndex(index);
    if (!record || !record->isEnabled()) return kNotEnabled;
    ScpAbstractDecoder* decoder = record->decoderPtr();
    if (!decoder) return kNoDecoder;
    ScpUnicodeStringTable& keys = decoder->getKeyTable();
    ScpUnicodeStringTable& data = decoder->getDataTable();
    if (data.size() == 0) {
        (void)decoder->clearAll();
        const unsigned char lf = '\n';
        (void)sendToClient(index, &lf, 1);
        return 0;
    }
    const ScpString* keyword = nullptr;
    if (keys.size() == 0) {
        keyword = data.at(0);
    } else {
        const ScpString* k = ScpServerCommand::getText(keys, data, "command", 0);
        keyword = k;
    }
    IScpServerCommandFactory* factory = nullptr;
    if (keyword) {
        for (IScpServerCommandFactory* const* f = pCommandFactoryTable; *f; ++f) {
            if (isKeyword(*keyword, (*f)->getCommandName())) {
                factory = *f;
                break;
            }
        }
    }
    JLIB::JResult errorId = 0x80000001u;
    if (factory) {
        ScpServerCommand* command = factory->create();
        if (!command) {
            errorId = kFail;
        } else {
            ScpInfoAccessor accessor(*m_pController, *m_pParameters, *m_pMeters, *record);
            errorId = command->receive(index, keys, data, accessor);
            if (!JLIB::isFailure(errorId)) {
                const uint32_t info = errorId == 1 ? 1 : errorId == 2 ? 2 : 0;
                const JLIB::JResult r = command->makeReply(record->getScpFormat(), record->getEncoding(), m_stream, info);
                if (JLIB::isFailure(r)) errorId = r;
            }
            factory->destroy(command);
        }
    }
    if (JLIB::isFailure(errorId)) {
        (void)ScpServerError::makeError(record->getScpFormat(), record->getEncoding(), m_stream, errorId,
                                        factory ? factory->getCommandName() : "unknown");
    }
    record->releaseReplacedDecoder();  // a format change left the spent decoder behind
    ScpAbstractDecoder* current = record->decoderPtr();
    const JLIB::JResult sent = sendStream(index);
    if (current) (void)current->clearAll();
    if ((sent & 0xFFFFu) == 7 && m_pPendingInfo) {
        // Keep the reply itself: running the command again would repeat its effect.
        PendingInfo& info = m_pPendingInfo[index];
        uint32_t n = 0;
        (void)m_stream.pop(info.reply, kComposeSize, &n);
        info.replyLength = n;
        return kSendSpaceShort;
    }
    return JLIB::isFailure(sent) ? kSendFailed : 0;
}

JLIB::JResult ScpServer::sendStream(uint8_t index)
{
    unsigned char bytes[kComposeSize];
    uint32_t n = 0;
    (void)m_stream.pop(bytes, kComposeSize, &n);
    const JLIB::JResult r = sendToClient(index, bytes, n);
    if ((r & 0xFFFFu) == 7) {
        (void)m_stream.clear();
        (void)m_stream.pushAll(bytes, n);  // back in, for the caller to keep
    }
    return r;
}

JLIB::JResult ScpServer::sendToClient(uint8_t index, const unsigned char* bytes, uint32_t count)
{
    if (!m_pSocket) return kNoConnection;
    VCOM::IVCom* connection = m_pSocket->getSession(static_cast<signed char>(index + 1));
    if (!connection) return kNoConnection;
    if (connection->getRemainSendBuff() < count) return kSendSpaceShort;  // never a part of a message
    uint32_t sent = 0;
    const JLIB::JResult r = connection->send(bytes, count, sent);
    return (JLIB::isFailure(r) || sent != count) ? kSendFailed : 0;
}

JLIB::JResult ScpServer::retryToSend(signed char sessionId)
{
    PendingInfo* info = getPendingInfo(sessionId);
    if (!ready() || !info) return kFail;
    if (!info->pending) return 0;
    const auto index = static_cast<uint8_t>(sessionId - 1);
    if (info->replyLength > 0) {
        if (sendToClient(index, info->reply, info->replyLength) == kSendSpaceShort) return kSendSpaceShort;
        info->replyLength = 0;
    }
    if (info->inputLength > 0) {
        unsigned char input[kReceiveSize];
        const uint32_t n = info->inputLength;
        std::memcpy(input, info->input, n);
        info->inputLength = 0;
        info->pending = false;
        if (execute(input, n, sessionId) == kSendSpaceShort) return kSendSpaceShort;
    }
    info->pending = false;
    info->inputLength = 0;
    return 0;
}

uint32_t ScpServer::onTimer()
{
    if (!m_pSocket || !m_pChildSessionData) return 0;
    for (uint32_t i = 0; i < m_childCount; ++i) {
        if (m_pChildSessionData[i].isKeepAliveTimeout()) {
            if (VCOM::IVCom* connection = m_pSocket->getSession(static_cast<signed char>(i + 1))) {
                (void)connection->disconnect();
            }
        }
        (void)checkMeter(static_cast<uint8_t>(i));
        // The socket reports a send only when one had to wait; a reply held back while the rest
        // went out at once would otherwise wait for the client's next input.
        (void)onSent(m_pSocket->getUserId(), static_cast<signed char>(i + 1));
    }
    return 0;
}

uint32_t ScpServer::notifyStatus(uint8_t index)
{
    const JLIB::JResult r = sendStream(index);
    (void)m_stream.clear();
    switch (r) {
    case 0: return 0;
    case kNoConnection: return 4;
    case kSendSpaceShort: return 5;
    case kSendFailed: return 6;
    default: return kFail;
    }
}

JLIB::JResult ScpServer::checkMeter(uint8_t index)
{
    ScpSessionData* record = getChildSessionDataByIndex(index);
    if (!record || !m_pMeters) return kNotifyFailed;
    (void)record->resetMeterStatusIterator();
    JLIB::JResult result = 0;
    uint32_t address = 0, interval = 0;
    bool due = false;
    while (JLIB::isSuccess(record->popMeterStatus(address, interval, due))) {
        if (!due) continue;
        if (JLIB::isSuccess(m_notificationMTR.set(*m_pMeters, address)) &&
            JLIB::isSuccess(m_notificationMTR.makeNotification(record->getScpFormat(), record->getEncoding(), m_stream))) {
            if (notifyStatus(index) != 0) result |= kNotifyFailed;
        }
    }
    return result;
}

uint32_t ScpServer::onParameterChanged(uint8_t session, uint32_t index, uint32_t x, uint32_t y)
{
    if (m_notify) (void)m_notify(m_taskId, session, index, x, y);
    return 0;
}

uint32_t ScpServer::notifyParameter(uint8_t i, uint32_t address, uint32_t x, uint32_t y)
{
    ScpSessionData* record = getChildSessionDataByIndex(i);
    if (!record) return 0;
    bool useSet = record->getValueType() == kScpValueTypeRaw;
    if (!useSet) {
        ScpAddressAttrib attrib;
        if (JLIB::isFailure(m_pParameters->getAttrib(attrib, address))) attrib.clear();
        useSet = attrib.type == 2 || attrib.type == 3;
    }
    JLIB::JResult r = 0;
    if (useSet) {
        ScpServerNotificationSET& n = m_notificationSET;
        r = n.set(i, *m_pParameters, address, x, y);
        if (JLIB::isSuccess(r)) r = n.makeNotification(record->getScpFormat(), record->getEncoding(), m_stream);
    } else {
        ScpServerNotificationSETN& n = m_notificationSETN;
        r = n.set(i, *m_pParameters, *record, address, x, y);
        if (JLIB::isSuccess(r)) r = n.makeNotification(record->getScpFormat(), record->getEncoding(), m_stream);
    }
    if (JLIB::isFailure(r)) return 0;
    return notifyStatus(i);
}

uint32_t ScpServer::onFoundDirty(uint8_t session, uint32_t index, uint32_t x, uint32_t y)
{
    if (!ready() || !m_pChildSessionData) return 0;
    uint32_t status = 0;
    for (uint32_t i = 0; i < m_childCount; ++i) {
        if (i != session && m_pChildSessionData[i].isEnabled()) status |= notifyParameter(static_cast<uint8_t>(i), index, x, y);
    }
    return status;
}

uint32_t ScpServer::onFoundDirtyWithTarget(uint8_t session, uint32_t index, uint32_t x, uint32_t y)
{
    if (!ready() || session >= m_childCount) return 0;
    return notifyParameter(session, index, x, y);
}

uint32_t ScpServer::onSnapshotChanged(uint8_t session, const ScpString& category, uint32_t snapshotIndex,
                                      SSChangeReason reason)
{
    if (!ready() || !m_pChildSessionData) return 0;
    const char* name = nullptr;
    bool withStatus = false;
    switch (reason) {
    case kSnapshotRecalled: name = "ssrecall_ex"; break;
    case kCurrentSnapshotChanged:
        withStatus = category.size() != 0;
        name = withStatus ? "sscurrent_ex" : "sscurrent";
        break;
    case kSnapshotUpdated: name = "ssupdate_ex"; break;
    default: return 0;
    }
    ScpServerNotificationSnapshot n(name, withStatus);
    (void)n.set(category, snapshotIndex);
    uint32_t status = 0;
    for (uint32_t i = 0; i < m_childCount; ++i) {
        ScpSessionData& record = m_pChildSessionData[i];
        if (i == session || !record.isEnabled()) continue;
        if (JLIB::isFailure(n.makeNotification(record.getScpFormat(), record.getEncoding(), m_stream))) continue;
        status |= notifyStatus(static_cast<uint8_t>(i));
    }
    return status;
}

uint32_t ScpServer::onDeviceStatusChanged(const wchar_t* tag, const wchar_t* data)
{
    if (!ready() || !m_pChildSessionData) return 0;
    ScpServerNotificationDEVSTATUS n;
    (void)n.set(tag, data);
    uint32_t status = 0;
    for (uint32_t i = 0; i < m_childCount; ++i) {
        ScpSessionData& record = m_pChildSessionData[i];
        if (!record.isEnabled()) continue;
        if (JLIB::isFailure(n.makeNotification(record.getScpFormat(), record.getEncoding(), m_stream))) continue;
        if (notifyStatus(static_cast<uint8_t>(i)) != 0) status |= kNotifyFailed;
    }
    return status;
}

}  // namespace SCP
