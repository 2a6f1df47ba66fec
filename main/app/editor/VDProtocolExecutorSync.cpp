// The executor's synchronisation, detection and network information commands: they carry the
// editor's requests to the "Sync" thread as messages and turn its reports into replies and
// notifications.
#include <algorithm>
#include <string>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "TMS/ThreadRepository.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "jlib/jlib_number.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;

namespace {

constexpr size_t kVersionLength = 5;  // "V1.00"

TMS::AbstractMessage command(const char* commandName)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);     // a user message of id 0 always initialises
    (void)message.addData("CommandName", commandName);  // a short text always fits
    return message;
}

// Send failures of these messages are not the editor's to hear of.
void sendToSync(const TMS::AbstractMessage& message) { (void)message.sendWithWaiting("Sync"); }

// The editor-link thread is the one running this code: waiting for room in its own queue would
// wait forever, so a full queue fails the send instead.
JLIB::JResult sendToSelf(const TMS::AbstractMessage& message)
{
    return JLIB::isFailure(message.send("VDProtocol")) ? RESULT_FAILED : JLIB::kOk;
}

// The text of a key holding a non-empty text; empty for a missing key or a value of another type.
std::string textOf(const ArgumentMap& info, const char* key)
{
    bool isText = false;
    const char* chars = info.toString(key, &isText);
    return isText && chars ? chars : "";
}

// Decimal digits only, the whole piece: "09" is nine, not a broken octal number.
bool readDecimal(uint32_t& value, const std::string& piece)
{
    if (piece.empty()) return false;
    for (const char c : piece) {
        if (c < '0' || c > '9') return false;
    }
    const char* end = nullptr;
    if (JLIB::isFailure(jlib_strntoul(&value, piece.c_str(), &end, 10, uint32_t(piece.size())))) return false;
    return end == piece.c_str() + piece.size();
}

uint32_t compareNumbers(uint32_t first, uint32_t second)
{
    if (first == second) return JLIB::kOk;
    return first < second ? VDProtocolExecutor::kRealOlder : VDProtocolExecutor::kRealNewer;
}

}  // namespace

JLIB::JResult split(std::vector<std::string>& out, const std::string& text, const std::string& separator,
                    bool skipEmpty)
{
    if (separator.empty()) {  // nothing to split at: the whole text is the one piece
        if (!text.empty() || !skipEmpty) out.push_back(text);
        return JLIB::kOk;
    }
    size_t from = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
        const std::string piece = text.substr(from, at - from);
        if (!piece.empty() || !skipEmpty) out.push_back(piece);
        from = at + separator.size();
    }
    const std::string rest = text.substr(from);
    if (!rest.empty() || !skipEmpty) out.push_back(rest);
    return JLIB::kOk;
}

// ---- synchronisation

JLIB::JResult VDProtocolExecutor::compareSyncVersion(uint32_t real, uint32_t virtualVersion)
{
    return compareNumbers(real, virtualVersion);
}

JLIB::JResult VDProtocolExecutor::compareSyncVersion() const
{
    JVariant real;
    JVariant virtualVersion;
    // Without either version nothing says the two sides can be synchronised: as unequal.
    if (JLIB::isFailure(getParameterValue(real, "RealSyncVersion")) ||
        JLIB::isFailure(getParameterValue(virtualVersion, "VirtualSyncVersion"))) {
        return RESULT_FAILED;
    }
    return compareSyncVersion(real.toUInt32(), virtualVersion.toUInt32());
}

JLIB::JResult VDProtocolExecutor::divisionSyncVersion(uint32_t& major, uint32_t& minor, const std::string& text)
{
    if (text.empty() || text[0] != 'V') return RESULT_FAILED;
    std::vector<std::string> pieces;
    (void)split(pieces, text.substr(1), ".", true);  // always 0
    if (pieces.size() != 2) return RESULT_FAILED;
    uint32_t first = 0;
    uint32_t second = 0;
    if (!readDecimal(first, pieces[0]) || !readDecimal(second, pieces[1])) return RESULT_FAILED;
    major = first;
    minor = second;
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::compareSyncVersion(const std::string& first, const std::string& second)
{
    if (first.size() != kVersionLength || second.size() != kVersionLength) return RESULT_FAILED;
    if (first == second) return JLIB::kOk;
    uint32_t firstMajor = 0;
    uint32_t firstMinor = 0;
    uint32_t secondMajor = 0;
    uint32_t secondMinor = 0;
    if (JLIB::isFailure(divisionSyncVersion(firstMajor, firstMinor, first)) ||
        JLIB::isFailure(divisionSyncVersion(secondMajor, secondMinor, second))) {
        return RESULT_FAILED;
    }
    if (firstMajor != secondMajor) return compareNumbers(firstMajor, secondMajor);
    return compareNumbers(firstMinor, secondMinor);
}

JLIB::JResult VDProtocolExecutor::sendMessageSyncOnline(const std::string& direction, const std::string& password)
{
    TMS::AbstractMessage message = command("Synchronize");
    (void)message.addData("Direction", direction.c_str());  // short texts always fit
    (void)message.addData("Password", password.c_str());
    sendToSync(message);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::sendMessageSyncOffline()
{
    sendToSync(command("Asynchronous"));
    return JLIB::kOk;
}

namespace {

const char* const kClientToServer = "ClientToServer";
const char* const kServerToClient = "ServerToClient";

}  // namespace

JLIB::JResult VDProtocolExecutor::execSyncOnlineToDevice(const PacketContainer& request)
{
    JLIB::JResult result = RESULT_FAILED;
    if (isOffline()) {
        result = compareSyncVersion() == JLIB::kOk ? sendMessageSyncOnline(kClientToServer, kSyncPassword)
                                                   : RESULT_FAILED;
    }
    if (JLIB::isFailure(result)) return replyResult(request, result);
    uint32_t id = 0;
    // A request the registry cannot hold would never be answered: "ng" now.
    if (JLIB::isFailure(m_commands.addCommand(id, request))) return replyResult(request, RESULT_FAILED);
    if (m_offlinesOutstanding > 0) m_syncsAfterOffline.push_back(id);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execSyncOnlineFromDevice(const PacketContainer& request)
{
    JLIB::JResult result = RESULT_FAILED;
    if (isOffline()) {
        result = compareSyncVersion() == JLIB::kOk ? sendMessageSyncOnline(kServerToClient, kSyncPassword)
                                                   : RESULT_FAILED;
    }
    if (JLIB::isFailure(result)) return replyResult(request, result);
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.addCommand(id, request))) return replyResult(request, RESULT_FAILED);
    if (m_offlinesOutstanding > 0) m_syncsAfterOffline.push_back(id);  // as above
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execSyncOffline(const PacketContainer& request)
{
    const JLIB::JResult result = isOnline() ? sendMessageSyncOffline() : RESULT_FAILED;
    if (JLIB::isFailure(result)) return replyResult(request, result);
    ++m_offlinesOutstanding;
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::abortSyncDevice()
{
    sendToSync(command("abort"));
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::replySynchronize(uint32_t result, uint32_t progress)
{
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.findCommand(id, VDProtocol::CMDNAME_SYNC_DEVICE))) return RESULT_FAILED;
    PacketContainer reply = m_commands.getPacketContainer(id);
    if (result != RESULT_EXCUTING) (void)m_commands.takeCommand(id);  // always 0
    (void)reply.setResult(result, progress, "");                        // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::replyAsynchronous(uint32_t result, uint32_t progress)
{
    if (m_offlinesOutstanding == 0) return replySynchronize(result, progress);
    // The editor may ask to synchronise again as soon as it sees the device offline, before this
    // answer to its offline request has come: such a request waits for the reports of the
    // synchronisation it started, and must not be finished by this answer.
    --m_offlinesOutstanding;
    std::vector<uint32_t> newer;
    newer.swap(m_syncsAfterOffline);
    if (m_offlinesOutstanding > 0) m_syncsAfterOffline = newer;
    uint32_t id = 0;
    if (JLIB::isSuccess(m_commands.findCommand(id, VDProtocol::CMDNAME_SYNC_DEVICE)) &&
        std::find(newer.begin(), newer.end(), id) != newer.end()) {
        return RESULT_FAILED;  // as with nothing pending: dropped
    }
    return replySynchronize(result, progress);
}

JLIB::JResult VDProtocolExecutor::replyDisconnect(uint32_t result)
{
    PacketContainer notify;
    (void)notify.setCommandName("Disconnect");                       // plain setters: 0
    (void)notify.setResult(result, PacketContainer::kMaxProgress, "");
    (void)sendNotify(notify);  // a lost notification is the link's to report
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::changeSyncStatus(uint32_t editorState)
{
    const uint32_t status = deviceStatus(editorState);
    if (status == m_lastDeviceStatus) return JLIB::kOk;
    m_lastDeviceStatus = status;
    ArgumentMap info;
    // Inserts under fresh keys always answer 0.
    (void)info.insert(VDProtocol::KEY_DEVICE_STATUS, static_cast<int>(status));
    (void)info.insertString(VDProtocol::KEY_DEVICE_IP_ADDR, m_deviceIpAddress);
    (void)info.insertString(VDProtocol::KEY_DEVICE_MAC_ADDR, m_deviceMacAddress);
    PacketContainer notify;
    (void)notify.setCommandName(VDProtocol::CMDNAME_DEVICE_STATUS);  // plain setters: 0
    (void)notify.setCmndInfo(info);
    (void)sendNotify(notify);  // as above
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::detectDevice()
{
    if (!isLost()) return JLIB::kOk;
    return sendMessageConnect(m_pcIpAddress, m_deviceIpAddress);
}

// ---- network information

std::string VDProtocolExecutor::ipAddressString(uint32_t address)
{
    return std::to_string((address >> 24) & 0xFF) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

JLIB::JResult VDProtocolExecutor::sendMessageConnect(const std::string& pcAddress, const std::string& deviceAddress)
{
    if (pcAddress.empty() || deviceAddress.empty()) return RESULT_FAILED;
    TMS::AbstractMessage message = command("SetNetworkInfo");
    (void)message.addData("FromIPAddress", pcAddress.c_str());  // address texts always fit
    (void)message.addData("ToIPAddress", deviceAddress.c_str());
    sendToSync(message);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::sendMessageDetectStart() { return sendToSelf(command("DetectStart")); }

JLIB::JResult VDProtocolExecutor::sendMessageDetectStop() { return sendToSelf(command("DetectStop")); }

JLIB::JResult VDProtocolExecutor::sendMessageDisconnect()
{
    sendToSync(command("Disconnect"));
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execSetNetworkInfo(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    const std::string pcAddress = textOf(info, VDProtocol::KEY_PC_IP_ADDR);
    const std::string deviceAddress = textOf(info, VDProtocol::KEY_DEVICE_IP_ADDR);
    JLIB::JResult result = sendMessageConnect(pcAddress, deviceAddress);
    if (JLIB::isSuccess(result)) result = sendMessageDetectStart();
    if (JLIB::isSuccess(result)) {
        m_pcIpAddress = pcAddress;
        m_deviceIpAddress = deviceAddress;
        m_deviceMacAddress = textOf(info, VDProtocol::KEY_DEVICE_MAC_ADDR);
    }
    return replyResult(request, result);
}

JLIB::JResult VDProtocolExecutor::execDelNetworkInfo(const PacketContainer& request)
{
    m_pcIpAddress.clear();
    m_deviceIpAddress.clear();
    m_deviceMacAddress.clear();
    // Detection with no addresses left sends nothing, so the link is dropped even when the stop
    // could not be queued.
    (void)sendMessageDetectStop();
    (void)sendMessageDisconnect();  // always 0
    return replyResult(request, JLIB::kOk);
}

}  // namespace VDevice
