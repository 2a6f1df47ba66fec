#pragma once
// Sends the player's commands as length-framed OSC messages on the command stream. Owner task only
// (the task that owns the socket object). Without a connected socket every command answers
// 0x80000000; nothing is queued for later.
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"

class JVariant;

namespace VCOM {
class IVCom;
class IVComCallback;
}

namespace TPCP {

class CommandSender {
public:
    // How long a frame may wait for send room before the connection is given up.
    static constexpr uint32_t kSendStallLimitMs = 1000;

    CommandSender();
    virtual ~CommandSender();
    CommandSender(const CommandSender&) = delete;
    CommandSender& operator=(const CommandSender&) = delete;

    // Stores the socket (kept alive by the caller until finalize); 0. The socket layer makes send
    // room only in the owner's runCallback: when callback is given, a frame waiting for room runs
    // the socket's callbacks with it (so sendPacket must not be called from inside them); without
    // it the frame can only wait. The callback is kept alive by the caller as well.
    JLIB::JResult initialize(VCOM::IVCom* socket, VCOM::IVComCallback* callback = nullptr);
    // Forgets the socket; 0.
    JLIB::JResult finalize();

    [[nodiscard]] JLIB::JResult muteOn();
    [[nodiscard]] JLIB::JResult muteOff();
    [[nodiscard]] JLIB::JResult changeFs(uint32_t fs);
    [[nodiscard]] JLIB::JResult setupBuffer(uint32_t renderSamples);
    [[nodiscard]] JLIB::JResult startProcessing();
    [[nodiscard]] JLIB::JResult stopProcessing();
    [[nodiscard]] JLIB::JResult beginConfig();
    [[nodiscard]] JLIB::JResult endConfig();
    // last is 1 for the last piece of an array; bytes/count is the piece (count 0 sends no blob).
    [[nodiscard]] JLIB::JResult setCoef(uint32_t last, uint32_t uniqID, uint32_t arrayNo, uint32_t byteOffset,
                                        const unsigned char* bytes, uint32_t count);
    [[nodiscard]] JLIB::JResult startMeter(uint32_t n);
    [[nodiscard]] JLIB::JResult stopMeter();
    [[nodiscard]] JLIB::JResult resetCpuInfo();
    [[nodiscard]] JLIB::JResult shutdown();
    [[nodiscard]] JLIB::JResult clearConfig(uint32_t samplesPerFrame);
    // Each text is cut to 255 characters; null sends an empty text.
    [[nodiscard]] JLIB::JResult setCoreMap(const char* text1, const char* text2);
    [[nodiscard]] JLIB::JResult addComponent(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                             uint32_t numY);
    [[nodiscard]] JLIB::JResult addToPlayList(uint32_t playList, uint32_t uniqID, uint32_t previousUniqID);
    [[nodiscard]] JLIB::JResult connect(uint32_t fromUniqID, uint32_t fromPort, uint32_t toUniqID, uint32_t toPort);

    // Sends one OSC packet as a frame. 0x80000000 without socket, bytes or length, when not
    // connected, for a frame above 65792 bytes (nothing sent), or when the socket takes nothing for
    // kSendStallLimitMs (the connection is then closed, so the player's reader is not left
    // mid-frame). Otherwise the status of the last send: 0 or 1, or the failure that stopped it.
    [[nodiscard]] JLIB::JResult sendPacket(const void* bytes, uint32_t length);

private:
    [[nodiscard]] JLIB::JResult sendCommand(const char* address, const std::vector<JVariant>& arguments);
    // Waits (yielding, running the socket's callbacks when it can) for send room; 0 when there is
    // none within the stall limit or the connection is gone.
    uint32_t waitForRoom(uint32_t startMs);

    std::vector<unsigned char> m_frame;
    VCOM::IVCom* m_pSocket = nullptr;  // kept alive by the owner between initialize and finalize
    VCOM::IVComCallback* m_pCallback = nullptr;  // likewise
};

}  // namespace TPCP
