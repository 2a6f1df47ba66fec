#pragma once
// The listening side of the console link as a device shows it to the engine: a ServerService on
// 127.0.0.1 with client units that carry the engine's ports, an executor that accepts every event
// and answers the engine's requests, and keep-alives while the link is quiet. Everything runs on
// the thread that calls start, onWakeup and onTick; the socket layer only calls wakeup.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_IUnitConnectObserver.h"
#include "comctrl/Core/comctrl_ServerService.h"

namespace devsim {

class DeviceSimulator : public VCOM::IVComWakeupFunction, public ComControl::IUnitConnectObserver {
public:
    static constexpr uint32_t kUnitCount = 2;
    static constexpr uint32_t kTickMs = 50;
    static constexpr uint32_t kKeepAliveMs = 999;  // a keep-alive after more than this without sending

    // hash: the bytes sent as "HASH" in "onSetClientType". wakeFd: a pipe's write end that
    // wakeup writes one byte to (the caller reads it and calls onWakeup).
    DeviceSimulator(std::vector<uint8_t> hash, int wakeFd);
    ~DeviceSimulator() override;

    // Sets up the units and listens on 127.0.0.1:port; port 0 takes a free one. 0 with the port
    // in bound, or the failure (logged).
    [[nodiscard]] JLIB::JResult start(uint16_t port, uint16_t& bound);
    // The socket woke us: deliver its events, then send what waits.
    void onWakeup();
    // Every kTickMs: the units' tick, keep-alives, waiting replies.
    void onTick();

    // Socket task: only signals the owner.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

    void connected(int32_t unitId) override {}
    void connectFailed(int32_t unitId) override {}
    void disconnected(int32_t unitId) override;
    void unitStateChanged(int32_t unitId) override {}

private:
    struct Outgoing {
        std::string name;
        std::string text;
    };

    class Executor : public ComControl::IEventExecutor {
    public:
        Executor() = default;
        void bind(DeviceSimulator& simulator) { m_pSimulator = &simulator; }
        uint32_t execute(uint32_t unit, const char* name, const char* text) override;

    private:
        DeviceSimulator* m_pSimulator = nullptr;  // the simulator owns this executor
    };

    JLIB::JResult setUpUnit(uint32_t index);
    // Replies go out after the receive pass, behind the answer to the event that asked for them.
    void queue(uint32_t unit, const char* name, std::string text);
    void flush(uint32_t unit);
    void onEvent(uint32_t unit, const std::string& name, const std::string& text);
    std::string setClientTypeReply(const std::string& text) const;

    std::vector<uint8_t> m_hash;
    int m_wakeFd;
    ComControl::ClientUnit m_units[kUnitCount];
    Executor m_executors[kUnitCount];
    std::deque<Outgoing> m_outbox[kUnitCount];
    ComControl::ServerService m_service;  // destroyed before the units it serves
};

}  // namespace devsim
