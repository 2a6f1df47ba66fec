#include "common/tpcp/CommandSender.h"

#include <algorithm>
#include <cstring>

#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"
#include "common/tpcp/PacketEncoder.h"
#include "common/tpcp/tpcp_constants.h"
#include "VUviRido/Socket/IVCom.h"
#include "VUviRido/Socket/VComResult.h"

namespace TPCP {
namespace {

constexpr unsigned int kMaxCommandText = 255;

JVariant number(uint32_t value) { return JVariant(static_cast<unsigned int>(value)); }

JVariant text(const char* value) { return JVariant(value ? value : "", kMaxCommandText); }

}  // namespace

CommandSender::CommandSender() { m_frame.reserve(kMaxFrameSize); }

CommandSender::~CommandSender() = default;

JLIB::JResult CommandSender::initialize(VCOM::IVCom* socket, VCOM::IVComCallback* callback)
{
    m_pSocket = socket;
    m_pCallback = callback;
    return JLIB::kOk;
}

JLIB::JResult CommandSender::finalize()
{
    m_pSocket = nullptr;
    m_pCallback = nullptr;
    return JLIB::kOk;
}

JLIB::JResult CommandSender::sendCommand(const char* address, const std::vector<JVariant>& arguments)
{
    const PacketEncoder encoder(address, arguments);
    return sendPacket(encoder.getPacket(), encoder.getPacketSize());
}

JLIB::JResult CommandSender::muteOn() { return sendCommand("/DRAVO/muteon", {}); }
JLIB::JResult CommandSender::muteOff() { return sendCommand("/DRAVO/muteoff", {}); }
JLIB::JResult CommandSender::changeFs(uint32_t fs) { return sendCommand("/DRAVO/changefs", {number(fs)}); }
JLIB::JResult CommandSender::setupBuffer(uint32_t n) { return sendCommand("/DRAVO/setupbuffer", {number(n)}); }
JLIB::JResult CommandSender::startProcessing() { return sendCommand("/DRAVO/startprocessing", {}); }
JLIB::JResult CommandSender::stopProcessing() { return sendCommand("/DRAVO/stopprocessing", {}); }
JLIB::JResult CommandSender::beginConfig() { return sendCommand("/DRAVO/beginconfig", {}); }
JLIB::JResult CommandSender::endConfig() { return sendCommand("/DRAVO/endconfig", {}); }

JLIB::JResult CommandSender::setCoef(uint32_t last, uint32_t uniqID, uint32_t arrayNo, uint32_t byteOffset,
                                     const unsigned char* bytes, uint32_t count)
{
    return sendCommand("/DRAVO/setcoef", {number(last), number(uniqID), number(arrayNo), number(byteOffset),
                                          JVariant(bytes, static_cast<unsigned int>(count))});
}

JLIB::JResult CommandSender::startMeter(uint32_t n) { return sendCommand("/DRAVO/startmeter", {number(n)}); }
JLIB::JResult CommandSender::stopMeter() { return sendCommand("/DRAVO/stopmeter", {}); }
JLIB::JResult CommandSender::resetCpuInfo() { return sendCommand("/DRAVO/resetcpuinfo", {}); }
JLIB::JResult CommandSender::shutdown() { return sendCommand("/DRAVO/shutdown", {}); }
JLIB::JResult CommandSender::clearConfig(uint32_t n) { return sendCommand("/DRAVO/clearconfig", {number(n)}); }

JLIB::JResult CommandSender::setCoreMap(const char* text1, const char* text2)
{
    return sendCommand("/DRAVO/setcoremap", {text(text1), text(text2)});
}

JLIB::JResult CommandSender::addComponent(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                          uint32_t numY)
{
    return sendCommand("/DRAVO/addcomponent",
                       {text(name), number(majorVersion), number(uniqID), number(numX), number(numY)});
}

JLIB::JResult CommandSender::addToPlayList(uint32_t playList, uint32_t uniqID, uint32_t previousUniqID)
{
    return sendCommand("/DRAVO/addtoplaylist", {number(playList), number(uniqID), number(previousUniqID)});
}

JLIB::JResult CommandSender::connect(uint32_t fromUniqID, uint32_t fromPort, uint32_t toUniqID, uint32_t toPort)
{
    return sendCommand("/DRAVO/connect", {number(fromUniqID), number(fromPort), number(toUniqID), number(toPort)});
}

uint32_t CommandSender::waitForRoom(uint32_t startMs)
{
    uint32_t room = m_pSocket->getRemainSendBuff();
    while (room == 0 && get1msCount() - startMs < kSendStallLimitMs) {
        if (m_pCallback) (void)m_pSocket->runCallback(*m_pCallback);  // failures show as no room
        if (!m_pSocket->isConnected()) return 0;
        (void)oswrap_yield();  // always 0
        room = m_pSocket->getRemainSendBuff();
    }
    return room;
}

JLIB::JResult CommandSender::sendPacket(const void* bytes, uint32_t length)
{
    if (!m_pSocket || !bytes || length == 0 || !m_pSocket->isConnected()) return JLIB::kFailed;
    const uint64_t wanted = uint64_t(length) + kLengthWordSize;
    if (wanted > kMaxFrameSize) return JLIB::kFailed;
    const uint32_t frameSize = (static_cast<uint32_t>(wanted) + 3u) & ~3u;

    m_frame.assign(frameSize, 0);
    // The player reads the length word little-endian whatever this host's order.
    for (uint32_t i = 0; i < kLengthWordSize; ++i) m_frame[i] = static_cast<unsigned char>(length >> (8 * i));
    std::memcpy(m_frame.data() + kLengthWordSize, bytes, length);

    JLIB::JResult status = JLIB::kOk;
    uint32_t sent = 0;
    uint32_t progressMs = get1msCount();
    while (sent < frameSize) {
        const uint32_t room = waitForRoom(progressMs);
        if (room == 0 || get1msCount() - progressMs >= kSendStallLimitMs) {
            // Stopping here would leave the player's reader inside this frame for good.
            JLIB_LOG("[E] CommandSender::sendPacket - Send stalled, disconnected\n");
            (void)m_pSocket->disconnect();  // always 0
            return JLIB::kFailed;
        }
        const uint32_t offer = std::min(room, frameSize - sent);
        uint32_t taken = 0;
        status = m_pSocket->send(m_frame.data() + sent, offer, taken);
        taken = std::min(taken, offer);
        if (status == VCOM::kVComOk || status == VCOM::kVComPending) {
            sent += taken;
            if (taken > 0) progressMs = get1msCount();
            continue;
        }
        if (status == VCOM::kVComNotAllTaken || status == VCOM::kVComBadArgument) {
            // Only the bytes not yet taken are offered again.
            sent += taken;
            if (taken > 0) progressMs = get1msCount();
            (void)oswrap_yield();  // always 0
            JLIB_LOG("------------ pending\n");
            continue;
        }
        JLIB_LOG("[E] CommandSender::sendPacket - Send Error err=%08X\n", static_cast<unsigned>(status));
        return status;
    }
    return status;
}

}  // namespace TPCP
