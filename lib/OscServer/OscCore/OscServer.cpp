#include "OscServer/OscCore/OscServer.h"

#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>

#include "OscServer/OscCore/OscAddressAttrib.h"
#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscInfoAccessor.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscServerCommands.h"
#include "OscServer/OscCore/OscServerHelpers.h"
#include "OscServer/OscCore/OscServerNotification.h"
#include "OscServer/OscCore/OscSnapshotAttrib.h"
#include "OscServer/OscCore/OscSystem.h"
#include "jlib/jlib_cfg.h"

namespace JOSC {

namespace {

constexpr const char* kPrefix = "/josc:";
constexpr size_t kPrefixLength = 6;
constexpr const char* kRequest = "req";
constexpr const char* kError = "error";
constexpr const char* kUnknownWord = "unknown";
// "#bundle", its terminating zero and the 8-byte time tag.
constexpr uint32_t kBundleHeaderSize = 16;
// The length word before each bundle element.
constexpr uint32_t kElementSizeBytes = 4;
constexpr unsigned int kWholeText = 0xFFFFFFFFu;
constexpr JLIB::JResult kDoneNotExactly = 1;
constexpr JLIB::JResult kDoneChanged = 2;

// The 4 bytes of an IPv4 address; false for any other family.
bool ipv4Of(const VCOM::VComSocketAddress& address, uint8_t (&bytes)[4])
{
    return JLIB::isSuccess(address.get(bytes, sizeof(bytes)));
}

bool sameIpv4(const VCOM::VComSocketAddress& a, const VCOM::VComSocketAddress& b)
{
    uint8_t left[4] = {};
    uint8_t right[4] = {};
    return ipv4Of(a, left) && ipv4Of(b, right) && std::memcmp(left, right, sizeof(left)) == 0;
}

// The OSC reader trusts the length words of blobs and can then read far outside the datagram,
// so every packet is walked here first, reading only inside [begin, end): bundles with their
// element lengths, messages with their address, type tags and each argument's bytes.

// A text, its zero and zero padding to a multiple of 4. The reader looks for the end only at
// every fourth byte, so padding that is not zero would make it see another text than this walk.
bool skipString(const char*& at, const char* end)
{
    const void* terminator = std::memchr(at, '\0', static_cast<size_t>(end - at));
    if (!terminator) return false;
    const char* zero = static_cast<const char*>(terminator);
    const size_t padded = OscServer::OscMessageData::roundUp4(static_cast<uint32_t>(zero - at + 1));
    if (padded > static_cast<size_t>(end - at)) return false;
    for (const char* p = zero; p != at + padded; ++p) {
        if (*p != '\0') return false;
    }
    at += padded;
    return true;
}

bool skipBytes(const char*& at, const char* end, size_t count)
{
    if (count > static_cast<size_t>(end - at)) return false;
    at += count;
    return true;
}

uint32_t bigEndian32(const char* at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(at);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

bool isWellFormedMessage(const char* at, const char* end)
{
    if (!skipString(at, end)) return false;
    if (at == end || *at != ',') return false;  // type tags are required
    const char* tags = at + 1;
    if (!skipString(at, end)) return false;
    for (; *tags != '\0'; ++tags) {
        switch (*tags) {
        case 'i': case 'f': case 'c': case 'r': case 'm':
            if (!skipBytes(at, end, 4)) return false;
            break;
        case 'h': case 't': case 'd':
            if (!skipBytes(at, end, 8)) return false;
            break;
        case 's': case 'S':
            if (!skipString(at, end)) return false;
            break;
        case 'b': {
            if (static_cast<size_t>(end - at) < 4) return false;
            const uint32_t size = bigEndian32(at);
            if (size > 0x7FFFFFFFu) return false;
            if (!skipBytes(at, end, 4 + size_t{OscServer::OscMessageData::roundUp4(size)})) return false;
            break;
        }
        case 'T': case 'F': case 'N': case 'I': case '[': case ']': break;
        default: return false;
        }
    }
    return true;
}

bool isWellFormedPacket(const char* at, const char* end, int depth)
{
    const size_t size = static_cast<size_t>(end - at);
    if (size == 0 || size % 4 != 0) return false;
    if (*at != '#') return isWellFormedMessage(at, end);
    // "#bundle", its zero and the time tag, then elements of a length word and that many bytes.
    constexpr size_t kHeader = 16;
    if (depth > 64 || size < kHeader || std::memcmp(at, "#bundle", 8) != 0) return false;
    for (at += kHeader; at != end;) {
        if (static_cast<size_t>(end - at) < 4) return false;
        const uint32_t length = bigEndian32(at);
        at += 4;
        if (length > static_cast<size_t>(end - at)) return false;
        if (!isWellFormedPacket(at, at + length, depth + 1)) return false;
        at += length;
    }
    return true;
}

// A double narrowed to float; beyond the float range it becomes an infinity rather than undefined.
float narrow(double value)
{
    if (value > static_cast<double>(FLT_MAX)) return INFINITY;
    if (value < -static_cast<double>(FLT_MAX)) return -INFINITY;
    return static_cast<float>(value);
}

}  // namespace

// ---- messages and slots ----

uint32_t OscServer::OscMessageData::size() const
{
    uint32_t bytes = roundUp4(static_cast<uint32_t>(address.size()) + 1u);
    uint32_t tags = 0;
    uint32_t data = 0;
    for (const JVariant& argument : arguments) {
        switch (argument.getType()) {
        case JVariant::kTypeInt32:
        case JVariant::kTypeFloat: data += 4; break;
        case JVariant::kTypeUInt32: data += 8; break;  // sent as a 64-bit integer
        case JVariant::kTypeString: {
            const char* text = argument.toString();
            data += roundUp4(static_cast<uint32_t>(text ? std::strlen(text) : 0) + 1u);
            break;
        }
        case JVariant::kTypeBinary: data += 4 + roundUp4(argument.getBinaryLength()); break;
        default: continue;  // not sent: neither a type letter nor data
        }
        ++tags;
    }
    // "," and the terminating zero around the letters; 4 bytes also without arguments.
    bytes += roundUp4(tags + 2u);
    return bytes + data;
}

void OscServer::SendSocketData::clear()
{
    (void)socket.stop();  // always 0
    (void)address.initialize();
    clientPort = 0;
    replyPort = 0;
    (void)session.stop();  // always 0
    queue.clear();
    sendTimes.clear();
}

// ---- construction and set-up ----

OscServer::OscServer()
{
    (void)OscGetTaskId(m_taskId);  // a task the OS layer does not know keeps id 0
    m_pReceiveBuffers =
        JLIB::JNew<unsigned char>(getOscHeapId(), "OscServer::m_pReceiveBuffers", kReceiveBufferCount * kDatagramSize);
    m_pSendBuffer = JLIB::JNew<char>(getOscHeapId(), "OscServer::m_pSendBuffer", kDatagramSize);
}

OscServer::~OscServer()
{
    closeSlots();
    slots.reset();
    (void)m_listenSocket.stop();  // always 0
    commands.clear();
    if (m_pReceiveBuffers) (void)JLIB::JDelete(m_pReceiveBuffers);  // a JNew block always goes back
    if (m_pSendBuffer) (void)JLIB::JDelete(m_pSendBuffer);
}

JLIB::JResult OscServer::initialize(uint8_t slotCount, const VCOM::VComSocketAddress& bindAddress, uint16_t replyPort,
                                    uint16_t rxPort, VCOM::IVComWakeupFunction* wakeupFunction,
                                    OscChangeFunction change, OscDeviceController& deviceController,
                                    OscParameter& parameters, OscMeter& meters, NetworkOrigin origin)
{
    if (slotCount == 0 || !wakeupFunction || !change || !hasBuffers()) return JLIB::kFailed;
    registerCommands();
    (void)m_listenSocket.stop();  // always 0
    if (JLIB::isFailure(m_listenSocket.start(0, *wakeupFunction)) ||
        JLIB::isFailure(m_listenSocket.listen(bindAddress, rxPort))) {
        JLIB_LOG("[E] OscServer::initialize - cannot listen on port %u\n", static_cast<unsigned>(rxPort));
        (void)m_listenSocket.stop();
        return JLIB::kFailed;
    }
    JLIB_RETURN_IF_FAILED(createSlots(slotCount));
    if (JLIB::isFailure(initializeProviders(deviceController, parameters, meters))) {
        JLIB_LOG("[E] OscServer::initialize - a provider refused to initialise\n");
        (void)m_listenSocket.stop();
        return JLIB::kFailed;
    }
    m_slotCount = slotCount;
    m_bindAddress = bindAddress;
    txPort = replyPort;
    m_rxPort = rxPort;
    m_pWakeup = wakeupFunction;
    changeFunction = change;
    networkOrigin = origin;
    return JLIB::kOk;
}

void OscServer::registerCommands()
{
    commands.clear();
    for (OscServerCommand* command : sServerCommmandTable) {
        const char* word = command->getCommandName();
        JLIB_ASSERT(word && *word);
        JLIB_ASSERT(commands.emplace(word, command).second);
    }
}

void OscServer::closeSlots()
{
    // The active list points into the array: it must not outlive it.
    activeSlots.clear();
    for (uint8_t i = 0; slots && i < m_slotCount; ++i) (void)slots[i].socket.stop();  // always 0
}

JLIB::JResult OscServer::createSlots(uint8_t slotCount)
{
    closeSlots();
    slots.reset();
    m_slotCount = 0;
    slots.reset(new (std::nothrow) SendSocketData[slotCount]);
    if (!slots) return JLIB::kFailed;
    m_slotCount = slotCount;
    activeSlots.reserve(slotCount);
    return JLIB::kOk;
}

JLIB::JResult OscServer::initializeProviders(OscDeviceController& deviceController, OscParameter& parameters,
                                             OscMeter& meters)
{
    JLIB_RETURN_IF_FAILED(deviceController.initialize(this));
    JLIB_RETURN_IF_FAILED(parameters.initialize(this));
    JLIB_RETURN_IF_FAILED(meters.initialize());
    const uint32_t meterCount = meters.getAddressNum();
    for (uint8_t i = 0; i < m_slotCount; ++i) {
        // A session whose meter list cannot be set up (no meters at all) would keep its
        // constructor values, resolution 0 among them: give it the defaults all the same.
        if (JLIB::isFailure(slots[i].session.initialize(meterCount))) (void)slots[i].session.stop();
    }
    m_pDeviceController = &deviceController;
    m_pParameters = &parameters;
    m_pMeters = &meters;
    return JLIB::kOk;
}

// ---- host passes ----

JLIB::JResult OscServer::onTimer()
{
    for (SendSocketData* slot : std::vector<SendSocketData*>(activeSlots)) {
        if (slot->session.isKeepAliveTimeout()) slot->session.stopKeepAlive();
        checkMeter(*slot);
        (void)sendToClient(*slot);  // always 0
        if (canReleaseSendSocketData(*slot)) slot->clear();
    }
    activeSlots.erase(std::remove_if(activeSlots.begin(), activeSlots.end(),
                                     [](SendSocketData* slot) { return checkUnusedSendSocketData(*slot); }),
                      activeSlots.end());
    return JLIB::kOk;
}

JLIB::JResult OscServer::runSocketCallback()
{
    (void)m_listenSocket.runCallback(*this);  // not open yet: nothing to deliver
    // A copy: a callback may take a slot for a new client.
    for (SendSocketData* slot : std::vector<SendSocketData*>(activeSlots)) (void)slot->socket.runCallback(*this);
    releaseSlots();
    return JLIB::kOk;
}

void OscServer::releaseSlots()
{
    for (SendSocketData* slot : activeSlots) {
        if (canReleaseSendSocketData(*slot)) slot->clear();
    }
    activeSlots.erase(std::remove_if(activeSlots.begin(), activeSlots.end(),
                                     [](SendSocketData* slot) { return checkUnusedSendSocketData(*slot); }),
                      activeSlots.end());
}

bool OscServer::canReleaseSendSocketData(SendSocketData& slot)
{
    return slot.queue.empty() && slot.socket.getRemainSendBuff() != 0 && !slot.session.isKeepAliveActive() &&
           !slot.session.isMeterEnable();
}

// ---- socket events ----

JLIB::JResult OscServer::onConnected(uint32_t, signed char) { return JLIB::kOk; }

JLIB::JResult OscServer::onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) { return JLIB::kOk; }

JLIB::JResult OscServer::onDisconnected(uint32_t, signed char) { return JLIB::kOk; }

JLIB::JResult OscServer::onAccepted(uint32_t, signed char, signed char) { return JLIB::kOk; }

JLIB::JResult OscServer::onCommunicationFailed(uint32_t, signed char, VCOM::CommError) { return JLIB::kOk; }

JLIB::JResult OscServer::onReceived(uint32_t userId, signed char)
{
    if (userId != 0) {
        if (SendSocketData* slot = slotOfUserId(userId)) discardDatagrams(*slot);
        return JLIB::kOk;
    }
    return receivePass();
}

JLIB::JResult OscServer::onSent(uint32_t userId, signed char)
{
    if (SendSocketData* slot = slotOfUserId(userId)) return sendToClient(*slot);
    return JLIB::kOk;
}

OscServer::SendSocketData* OscServer::slotOfUserId(uint32_t userId)
{
    if (userId == 0 || userId > m_slotCount) return nullptr;
    SendSocketData& slot = slots[userId - 1];
    return slot.socket.getUserId() == userId ? &slot : nullptr;
}

// ---- receiving ----

JLIB::JResult OscServer::receivePass()
{
    if (!m_pParameters || !m_pReceiveBuffers) return JLIB::kFailed;
    m_receivedCount = 0;
    uint32_t skipped = 0;
    while (m_receivedCount < kReceiveBufferCount) {
        ReceiveData& data = m_received[m_receivedCount];
        data.buffer = m_pReceiveBuffers + m_receivedCount * kDatagramSize;
        uint32_t count = 0;
        const JLIB::JResult r = m_listenSocket.receive(data.buffer, kDatagramSize, count);
        if (r == VCOM::kVComOtherFailure && skipped < kReceiveBufferCount) {
            // A datagram longer than any request: the socket dropped it (and logged it). The
            // ones read before it and behind it are still good. The bound keeps a socket that
            // fails this way for another reason from holding the pass.
            ++skipped;
            continue;
        }
        if (JLIB::isFailure(r)) return JLIB::kFailed;
        if (count == 0) break;
        data.length = count;
        (void)m_listenSocket.receiveFrom(data.address, data.port);  // always 0
        ++m_receivedCount;
    }
    // A full pass may leave datagrams queued with no further event to announce them: ask for
    // another pass rather than leave them until the next datagram arrives.
    if (m_receivedCount == kReceiveBufferCount) {
        (void)m_listenSocket.onReceived(0);  // recorded for the next runSocketCallback
    }
    for (uint32_t i = 0; i < m_receivedCount; ++i) handleReceiveData(m_received[i]);
    return JLIB::kOk;
}

void OscServer::discardDatagrams(SendSocketData& slot)
{
    // Nobody sends requests here; read whatever arrives so that it does not pile up.
    unsigned char scratch[kDatagramSize];
    for (uint32_t reads = 0; reads < kReceiveBufferCount; ++reads) {
        uint32_t count = 0;
        const JLIB::JResult r = slot.socket.receive(scratch, sizeof(scratch), count);
        if (r == VCOM::kVComOtherFailure) continue;  // an oversized one, dropped by the socket
        if (JLIB::isFailure(r) || count == 0) return;
    }
}

void OscServer::handleReceiveData(const ReceiveData& data)
{
    const uint16_t clientPort = txPort != 0 ? txPort : data.port;
    SendSocketData* slot = getSendSocketData(data.address, clientPort);
    if (!slot) slot = registerSendSocketData(data.address, clientPort);
    if (!slot) return;  // every slot in use: no answer until one is released
    handlePacket(reinterpret_cast<const char*>(data.buffer), data.length, *slot);
    if (slot->socket.getRemainSendBuff() != 0) {
        (void)sendToClient(*slot);  // always 0
    } else {
        (void)slot->socket.runCallback(*this);  // its onSent sends the rest
    }
}

void OscServer::handlePacket(const char* data, uint32_t length, SendSocketData& slot)
{
    if (!isWellFormedPacket(data, data + length, 0)) return;  // skipped without an answer
    try {
        const osc::ReceivedPacket packet(data, static_cast<std::size_t>(length));
        if (packet.IsBundle()) {
            bundleHandler(osc::ReceivedBundle(packet), slot);
        } else {
            (void)messageHandler(osc::ReceivedMessage(packet), slot);  // failures are answered inside
        }
    } catch (const osc::Exception&) {
        // Rejected by the reader: skipped without an answer.
    }
}

void OscServer::bundleHandler(const osc::ReceivedBundle& bundle, SendSocketData& slot)
{
    // The time tag is not looked at: everything is handled at once, in element order.
    for (osc::ReceivedBundleElementIterator it = bundle.ElementsBegin(); it != bundle.ElementsEnd(); ++it) {
        if (it->IsBundle()) {
            bundleHandler(osc::ReceivedBundle(*it), slot);
        } else {
            (void)messageHandler(osc::ReceivedMessage(*it), slot);
        }
    }
}

JLIB::JResult OscServer::receivedMessageToData(const osc::ReceivedMessage& message, std::string& address,
                                               JVariantList& arguments) const
{
    if (message.AddressPatternIsUInt32()) return JLIB::kFailed;
    const char* pattern = message.AddressPattern();
    if (!pattern || !*pattern) return JLIB::kFailed;
    address = pattern;
    for (osc::ReceivedMessageArgumentIterator it = message.ArgumentsBegin(); it != message.ArgumentsEnd(); ++it) {
        switch (it->TypeTag()) {
        case 'i': arguments.emplace_back(static_cast<int>(it->AsInt32Unchecked())); break;
        case 's': arguments.emplace_back(it->AsStringUnchecked(), kWholeText); break;
        case 'f': arguments.emplace_back(it->AsFloatUnchecked()); break;
        case 'd': arguments.emplace_back(narrow(it->AsDoubleUnchecked())); break;
        case 'b': {
            const void* bytes = nullptr;
            osc::osc_bundle_element_size_t size = 0;
            it->AsBlobUnchecked(bytes, size);  // its length was checked against the message
            if (size > 0) arguments.emplace_back(static_cast<const unsigned char*>(bytes), static_cast<unsigned>(size));
            break;
        }
        default: break;  // other types do not reach the commands
        }
    }
    return JLIB::kOk;
}

JLIB::JResult OscServer::addressPatternToCommand(const std::string& address, OscCommandData& command,
                                                 uint32_t& error) const
{
    error = 0;
    if (address.size() < kPrefixLength || address.compare(0, kPrefixLength, kPrefix) != 0) {
        error = kUnknownCommand;
        return JLIB::kFailed;
    }
    const std::string rest = address.substr(kPrefixLength);
    const std::string::size_type typeEnd = rest.find('/');
    command.type = rest.substr(0, typeEnd);
    if (typeEnd != std::string::npos) {
        const std::string afterType = rest.substr(typeEnd + 1);
        const std::string::size_type commandEnd = afterType.find('/');
        command.command = afterType.substr(0, commandEnd);
        if (commandEnd != std::string::npos) {
            std::vector<std::string> pieces;
            split(pieces, afterType.substr(commandEnd + 1), "/", true);
            for (size_t i = 0; i < pieces.size() && error == 0; ++i) {
                const std::string& piece = pieces[i];
                if (!checkDigit(piece)) {
                    if (!command.address.empty()) command.address += "/";
                    command.address += piece;
                } else if (pieces.size() - i > 2) {
                    error = kUnknownAddress;  // an index only among the last two pieces
                } else if (command.x.empty()) {
                    command.x = piece;
                } else {
                    command.y = piece;
                }
            }
        }
    }
    if (error == 0 && networkOrigin == kNetworkOrigin1) {
        for (std::string* index : {&command.x, &command.y}) {
            if (index->empty()) continue;
            *index = convertOrign1to0(*index);
            if (index->empty()) error = kInvalidArgument;
        }
    }
    if (address.find("//") != std::string::npos) error = kUnknownAddress;
    return error != 0 ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult OscServer::messageHandler(const osc::ReceivedMessage& message, SendSocketData& slot)
{
    std::string address;
    JVariantList arguments;
    JLIB_RETURN_IF_FAILED(receivedMessageToData(message, address, arguments));
    OscCommandData request;
    uint32_t error = 0;
    const JLIB::JResult parsed = addressPatternToCommand(address, request, error);
    if (JLIB::isSuccess(parsed) && request.type != kRequest) error = kUnknownCommand;
    const auto found = commands.find(request.command);
    if (found == commands.end()) error = kUnknownCommand;
    OscSessionData& session = slot.session;
    if (error != 0) {
        if (session.isKeepAliveActive()) {
            OscCommandData reply;
            reply.type = kError;
            reply.command = error == kUnknownCommand ? kUnknownWord : request.command;
            OscMessageData out;
            commandToMessage(reply, JVariantList{makeErrorValue(error)}, out);
            pushMessage(out, slot);
        }
        return JLIB::kFailed;
    }
    if (session.isKeepAliveActive()) (void)session.setKeepAliveTimerReset();  // interval 0: ends at the next timer pass
    OscServerCommand& command = *found->second;
    JVariantList replyArguments;
    OscInfoAccessor accessor(*m_pDeviceController, *m_pParameters, *m_pMeters, session);
    const JLIB::JResult result = command.run(static_cast<uint8_t>(slot.socket.getUserId()), request, arguments,
                                             accessor, &replyArguments);
    // "keepalive" may have named another reply port; the client is still known by clientPort.
    if (session.getTxPort() != slot.replyPort) {
        slot.replyPort = session.getTxPort();
        (void)slot.socket.sendTo(slot.address, slot.replyPort);  // a closed socket is released anyway
    }
    // Tested after run, so that "keepalive" answers itself.
    if (session.isKeepAliveActive() || (command.shouldReply() && JLIB::isSuccess(result))) {
        queueReply(slot, request, result, replyArguments);
    }
    return JLIB::kOk;
}

void OscServer::queueReply(SendSocketData& slot, const OscCommandData& request, JLIB::JResult result,
                           const JVariantList& arguments)
{
    OscCommandData reply = request;
    OscMessageData out;
    if (JLIB::isFailure(result)) {
        reply.type = kError;
        commandToMessage(reply, JVariantList{makeErrorValue(result)}, out);
    } else {
        reply.type = (result == kDoneNotExactly || result == kDoneChanged) ? "okm" : "ok";
        commandToMessage(reply, arguments, out);
    }
    pushMessage(out, slot);
}

// ---- slots ----

OscServer::SendSocketData* OscServer::getSendSocketData(const VCOM::VComSocketAddress& address, uint16_t clientPort)
{
    for (SendSocketData* slot : activeSlots) {
        if (slot->clientPort == clientPort && sameIpv4(slot->address, address)) return slot;
    }
    return nullptr;
}

OscServer::SendSocketData* OscServer::registerSendSocketData(const VCOM::VComSocketAddress& address,
                                                             uint16_t clientPort)
{
    if (!slots || !m_pWakeup) return nullptr;
    uint8_t i = 0;
    while (i < m_slotCount && !checkUnusedSendSocketData(slots[i])) ++i;
    if (i == m_slotCount) return nullptr;
    SendSocketData& slot = slots[i];
    // A slot whose socket closed on an error left the active list without being cleared: the new
    // client must not inherit the old one's session or queue.
    activeSlots.erase(std::remove(activeSlots.begin(), activeSlots.end(), &slot), activeSlots.end());
    slot.clear();
    const VCOM::VComSocketAddress any(NETC_AF_INET, "0.0.0.0");
    if (JLIB::isFailure(slot.socket.start(i + 1u, *m_pWakeup)) || JLIB::isFailure(slot.socket.listen(any, 0)) ||
        JLIB::isFailure(slot.socket.sendTo(address, clientPort)) || !slot.socket.isConnected()) {
        JLIB_LOG("[W] OscServer::registerSendSocketData - cannot open the socket of slot %u\n",
                 static_cast<unsigned>(i));
        (void)slot.socket.stop();
        return nullptr;
    }
    slot.address = address;
    slot.clientPort = clientPort;
    slot.replyPort = clientPort;
    slot.session.setTxPort(clientPort);
    activeSlots.push_back(&slot);
    return &slot;
}

// ---- sending ----

void OscServer::commandToMessage(const OscCommandData& command, const JVariantList& arguments,
                                 OscMessageData& message) const
{
    std::string address = kPrefix;
    address += command.type;
    if (!command.command.empty()) address += "/" + command.command;
    if (command.type != kError) {
        if (!command.address.empty()) address += "/" + command.address;
        const bool wireOrigin1 = networkOrigin == kNetworkOrigin1;
        const std::string x = wireOrigin1 ? convertOrign0to1(command.x) : command.x;
        const std::string y = wireOrigin1 ? convertOrign0to1(command.y) : command.y;
        if (!x.empty()) {
            address += "/" + x;
            if (!y.empty()) address += "/" + y;
        }
    }
    message.address = std::move(address);
    message.arguments = arguments;
}

void OscServer::pushMessage(const OscMessageData& message, SendSocketData& slot)
{
    if (slot.queue.size() >= kMaxQueuedMessages) slot.queue.pop_front();
    slot.queue.push_back(message);
}

JLIB::JResult OscServer::sendToClient(SendSocketData& slot)
{
    if (slot.queue.empty() || slot.socket.getRemainSendBuff() == 0 || !m_pSendBuffer) return JLIB::kOk;
    uint32_t now = 0;
    (void)OscGet1msCount(now);  // the OS layer's clock cannot fail once it runs
    slot.sendTimes.erase(std::remove_if(slot.sendTimes.begin(), slot.sendTimes.end(),
                                        [now](uint32_t sent) { return IsElapsed1000Ms(sent, now); }),
                         slot.sendTimes.end());
    if (slot.sendTimes.size() >= slot.session.getMaxMessageNum()) return JLIB::kOk;  // later, when older ones age out
    uint32_t length = 0;
    if (!encodeDatagram(slot, length)) return JLIB::kOk;
    slot.sendTimes.push_back(now);
    uint32_t count = 0;
    (void)slot.socket.send(m_pSendBuffer, length, count);  // a failure comes back as onCommunicationFailed
    return JLIB::kOk;
}

bool OscServer::encodeDatagram(SendSocketData& slot, uint32_t& length)
{
    length = 0;
    while (!slot.queue.empty() && slot.queue.front().size() > kDatagramSize) {
        // It can never be sent; left in front, it would hold back everything behind it.
        JLIB_LOG("[W] OscServer::sendToClient - message %s of %u bytes dropped: longer than a datagram\n",
                 slot.queue.front().address.c_str(), static_cast<unsigned>(slot.queue.front().size()));
        slot.queue.pop_front();
    }
    if (slot.queue.empty() || !m_pSendBuffer) return false;
    osc::OutboundPacketStream packet(m_pSendBuffer, kDatagramSize);
    size_t taken = 0;
    try {
        const uint32_t frontSize = slot.queue.front().size();
        // One that fits a datagram but not a bundle goes alone, or only empty bundles would leave.
        if (slot.queue.size() == 1 || frontSize + kElementSizeBytes > kDatagramSize - kBundleHeaderSize) {
            addMessageToPacket(packet, slot.queue.front());
            taken = 1;
        } else {
            packet << osc::BeginBundleImmediate;
            for (const OscMessageData& message : slot.queue) {
                if (packet.Capacity() - packet.Size() < message.size() + kElementSizeBytes) break;
                addMessageToPacket(packet, message);
                ++taken;
            }
            packet << osc::EndBundle;
        }
    } catch (const osc::Exception& e) {
        // The sizes are computed as the writer writes, so this is not expected; dropping the
        // front message keeps the queue moving.
        JLIB_LOG("[W] OscServer::sendToClient - message %s dropped: %s\n", slot.queue.front().address.c_str(),
                 e.what());
        slot.queue.pop_front();
        return false;
    }
    slot.queue.erase(slot.queue.begin(), slot.queue.begin() + static_cast<std::ptrdiff_t>(taken));
    length = static_cast<uint32_t>(packet.Size());
    return true;
}

void OscServer::addMessageToPacket(osc::OutboundPacketStream& packet, const OscMessageData& message)
{
    packet << osc::BeginMessage(message.address.c_str());
    for (const JVariant& argument : message.arguments) {
        switch (argument.getType()) {
        case JVariant::kTypeInt32: packet << static_cast<osc::int32>(argument.toInt32()); break;
        case JVariant::kTypeUInt32: packet << static_cast<osc::int64>(argument.toUInt32()); break;
        case JVariant::kTypeString: packet << (argument.toString() ? argument.toString() : ""); break;
        case JVariant::kTypeFloat: packet << argument.toFloat(); break;
        case JVariant::kTypeBinary:
            packet << osc::Blob(argument.toBinary(), static_cast<osc::osc_bundle_element_size_t>(argument.getBinaryLength()));
            break;
        default: break;  // a value without type travels as nothing
        }
    }
    packet << osc::EndMessage;
}

// ---- fan-out ----

void OscServer::queueNotification(const OscServerNotification& notification, SendSocketData& slot)
{
    OscCommandData command;
    JVariantList arguments;
    (void)notification.makeNotification(&command, &arguments);  // always 0
    OscMessageData message;
    commandToMessage(command, arguments, message);
    pushMessage(message, slot);
}

void OscServer::checkMeter(SendSocketData& slot)
{
    if (!m_pMeters) return;
    OscSessionData& session = slot.session;
    session.resetMeterStatusIterator();
    bool queued = false;
    uint32_t index = 0;
    uint32_t intervalMs = 0;
    bool due = false;
    while (JLIB::isSuccess(session.popMeterStatus(index, intervalMs, due))) {
        if (!due) continue;
        OscServerNotificationMTR meter;
        if (JLIB::isFailure(meter.set(*m_pMeters, index))) continue;
        queueNotification(meter, slot);
        queued = true;
    }
    if (queued) (void)sendToClient(slot);  // always 0
}

std::vector<OscServer::SendSocketData*> OscServer::findSocketsToNotify(uint8_t origin) const
{
    std::vector<SendSocketData*> recipients;
    for (SendSocketData* slot : activeSlots) {
        if (slot->session.isKeepAliveActive() && slot->socket.getUserId() != origin) recipients.push_back(slot);
    }
    return recipients;
}

bool OscServer::shouldNotifyRaw(SendSocketData& slot, OscParameter& parameters, uint32_t index)
{
    switch (slot.session.getValueType()) {
    case kOscValueTypeRaw: return true;
    case kOscValueTypeNormalized: {
        // Texts and blobs have no normalised form.
        std::vector<OscAddressAttrib> attribs;
        (void)parameters.getAttrib(attribs, index);  // a failing provider leaves the list empty
        return std::any_of(attribs.begin(), attribs.end(), [](const OscAddressAttrib& a) {
            return a.type == OscAddressAttrib::kTypeBinary || a.type == OscAddressAttrib::kTypeString;
        });
    }
    }
    return true;
}

uint32_t OscServer::onParameterChanged(uint8_t origin, uint32_t index, uint32_t x, uint32_t y)
{
    if (changeFunction) (void)changeFunction(m_taskId, origin, index, x, y);  // the host decides what follows
    return JLIB::kOk;
}

uint32_t OscServer::onFoundDirty(uint8_t origin, uint32_t index, uint32_t x, uint32_t y)
{
    if (!m_pParameters) return JLIB::kFailed;
    const std::vector<SendSocketData*> recipients = findSocketsToNotify(origin);
    if (recipients.empty()) return JLIB::kOk;
    OscServerNotificationSET raw;
    const bool rawBuilt = JLIB::isSuccess(raw.set(origin, *m_pParameters, index, x, y));
    for (SendSocketData* slot : recipients) {
        const OscIndexList& subscribed = slot->session.getSubscribeList();
        const bool concerned =
            subscribed.empty() || std::binary_search(subscribed.begin(), subscribed.end(), index);
        if (concerned) {
            if (shouldNotifyRaw(*slot, *m_pParameters, index)) {
                if (rawBuilt) queueNotification(raw, *slot);
            } else {
                OscServerNotificationSETN normalised;
                if (JLIB::isSuccess(normalised.set(origin, *m_pParameters, slot->session, index, x, y))) {
                    queueNotification(normalised, *slot);
                }
            }
        }
        (void)sendToClient(*slot);  // always 0
    }
    return JLIB::kOk;
}

uint32_t OscServer::onFoundDirtyWithTarget(uint8_t, uint32_t, uint32_t, uint32_t) { return JLIB::kFailed; }

uint32_t OscServer::onSnapshotChanged(uint8_t origin, const std::string& category, uint32_t number,
                                      SSChangeReason reason)
{
    if (!m_pParameters) return JLIB::kFailed;
    OscSnapshotAttrib attrib;
    if (m_pParameters->getSnapshotAttrib(attrib, category, number) != JLIB::kOk) return JLIB::kFailed;
    return onSnapshotChangedCore(origin, category, number, attrib.name, reason);
}

uint32_t OscServer::onSnapshotChanged(uint8_t origin, const std::string& category, const std::string& name,
                                      SSChangeReason reason)
{
    if (!m_pParameters) return JLIB::kFailed;
    const uint32_t count = m_pParameters->getSnapshotNum(category);
    for (uint32_t number = 0; number < count; ++number) {
        OscSnapshotAttrib attrib;
        if (JLIB::isFailure(m_pParameters->getSnapshotAttrib(attrib, category, number))) continue;
        if (attrib.name == name) return onSnapshotChangedCore(origin, category, number, name, reason);
    }
    return JLIB::kFailed;
}

uint32_t OscServer::onSnapshotChangedCore(uint8_t origin, const std::string& category, uint32_t number,
                                          const std::string& name, SSChangeReason reason)
{
    const std::vector<SendSocketData*> recipients = findSocketsToNotify(origin);
    if (recipients.empty()) return JLIB::kOk;
    const JVariant categoryText(category.c_str(), kWholeText);
    const JVariant nameText(name.c_str(), kWholeText);
    OscServerNotificationSSRECALL_EX recallByNumber;
    OscServerNotificationSSCURRENT_EX currentByNumber;
    OscServerNotificationSSUPDATE_EX updateByNumber;
    OscServerNotificationSSRECALLT_EX recallByName;
    OscServerNotificationSSCURRENTT_EX currentByName;
    OscServerNotificationSSUPDATET_EX updateByName;
    const OscServerNotification* byNumber = nullptr;
    const OscServerNotification* byName = nullptr;
    switch (reason) {
    case kSSChangeRecall:
        (void)recallByNumber.set(categoryText, number);  // always 0
        (void)recallByName.set(categoryText, nameText);
        byNumber = &recallByNumber;
        byName = &recallByName;
        break;
    case kSSChangeCurrent:
        (void)currentByNumber.set(categoryText, number);
        (void)currentByName.set(categoryText, nameText);
        byNumber = &currentByNumber;
        byName = &currentByName;
        break;
    case kSSChangeUpdate:
        (void)updateByNumber.set(categoryText, number);
        (void)updateByName.set(categoryText, nameText);
        byNumber = &updateByNumber;
        byName = &updateByName;
        break;
    default: return JLIB::kOk;  // other reasons (a package load) are not announced
    }
    for (SendSocketData* slot : recipients) {
        const OscSnapshotType type = slot->session.getSnapshotType();
        if (type == kOscSnapshotTypeIndex) queueNotification(*byNumber, *slot);
        if (type == kOscSnapshotTypeText) queueNotification(*byName, *slot);
        (void)sendToClient(*slot);  // always 0
    }
    return JLIB::kOk;
}

uint32_t OscServer::onDeviceStatusChanged(const char* key, const char* value)
{
    if (activeSlots.empty()) return JLIB::kOk;
    OscServerNotificationDEVSTATUS status;
    if (JLIB::isFailure(status.set(key, value))) return JLIB::kOk;  // nothing to announce for a null text
    // No origin: every keep-alive client is told.
    for (SendSocketData* slot : std::vector<SendSocketData*>(activeSlots)) {
        if (!slot->session.isKeepAliveActive()) continue;
        queueNotification(status, *slot);
        (void)sendToClient(*slot);  // always 0
    }
    return JLIB::kOk;
}

// ---- creation ----

IOscServer* createOscServer(JLIB::HeapId heapId)
{
    setOscHeapId(heapId);
    OscServer* server = new (std::nothrow) OscServer();
    if (server && !server->hasBuffers()) {
        JLIB_LOG("[E] createOscServer - no memory for the server's buffers\n");
        delete server;
        return nullptr;
    }
    return server;
}

void destroyOscServer(IOscServer* server) { delete server; }

}  // namespace JOSC
