#pragma once
// Reaches the socket-free steps of the OSC server: its set-up without sockets, the handling of
// one datagram for a slot, the queue and the encoding of the next datagram. Only this module's
// tests and the packet fuzz target use it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "OscServer/OscCore/OscServer.h"

namespace JOSC::internal {

class OscServerProbe {
public:
    using Slot = OscServer::SendSocketData;
    using Message = OscServer::OscMessageData;

    // Commands, slots and providers as initialize sets them, without the listening socket. Each
    // slot socket is started (not opened) so that it carries its user id. 0 or 0x80000000.
    [[nodiscard]] static JLIB::JResult setUp(OscServer& server, uint8_t slotCount, VCOM::IVComWakeupFunction& wakeup,
                                             OscDeviceController& deviceController, OscParameter& parameters,
                                             OscMeter& meters, NetworkOrigin origin)
    {
        if (slotCount == 0 || !server.hasBuffers()) return JLIB::kFailed;
        server.registerCommands();
        JLIB_RETURN_IF_FAILED(server.createSlots(slotCount));
        JLIB_RETURN_IF_FAILED(server.initializeProviders(deviceController, parameters, meters));
        for (uint8_t i = 0; i < slotCount; ++i) (void)server.slots[i].socket.start(i + 1u, wakeup);  // always 0
        server.m_pWakeup = &wakeup;
        server.networkOrigin = origin;
        return JLIB::kOk;
    }

    static Slot& slot(OscServer& server, uint8_t index) { return server.slots[index]; }
    static std::vector<Slot*>& activeSlots(OscServer& server) { return server.activeSlots; }
    static size_t commandCount(const OscServer& server) { return server.commands.size(); }

    static void handlePacket(OscServer& server, const void* data, uint32_t length, Slot& slot)
    {
        server.handlePacket(static_cast<const char*>(data), length, slot);
    }
    static void pushMessage(OscServer& server, const Message& message, Slot& slot)
    {
        server.pushMessage(message, slot);
    }
    // The next datagram the slot would send; false when nothing is left.
    static bool encodeDatagram(OscServer& server, Slot& slot, std::vector<char>& datagram)
    {
        uint32_t length = 0;
        if (!server.encodeDatagram(slot, length)) return false;
        datagram.assign(server.m_pSendBuffer, server.m_pSendBuffer + length);
        return true;
    }
    [[nodiscard]] static JLIB::JResult parse(const OscServer& server, const std::string& address,
                                             OscCommandData& command, uint32_t& error)
    {
        return server.addressPatternToCommand(address, command, error);
    }
    static std::string outgoingAddress(const OscServer& server, const OscCommandData& command)
    {
        Message message;
        server.commandToMessage(command, JVariantList(), message);
        return message.address;
    }
};

}  // namespace JOSC::internal
