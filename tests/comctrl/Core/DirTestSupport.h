#pragma once
// Helpers for the directory synchroniser tests: directory commands built and described, a port
// that takes what one synchroniser sends, and a loop that joins two synchronisers and their file
// transferers in one process, delivering every command in order on the test thread.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "comctrl/Core/comctrl_DirectorySynchronizeProtocol.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_IUnitComponentObserver.h"
#include "comctrl/Core/comctrl_cnp.h"

namespace comctrltest {

namespace DSP = ComControl::DirectorySynchronizeProtocol;

inline std::string hexCode(uint32_t code)
{
    char hex[16];
    std::snprintf(hex, sizeof(hex), "%X", code);
    return hex;
}

// A directory command (answer 0 for requests); fileName only for the two Exist commands.
inline std::string dirCommand(uint32_t id, const char* directory, uint32_t userValue = 240, uint32_t answer = 0,
                              const char* fileName = nullptr)
{
    uint8_t buffer[1024];
    uint32_t length = 0;
    JLIB::JResult r = 0x80000000u;
    switch (id) {
    case DSP::kStartDirSync: r = DSP::Encode_StartDirSync(buffer, sizeof(buffer), &length, directory, userValue); break;
    case DSP::kReqDirSync: r = DSP::Encode_ReqDirSync(buffer, sizeof(buffer), &length, directory, userValue); break;
    case DSP::kFinishDirSync: r = DSP::Encode_FinishDirSync(buffer, sizeof(buffer), &length, directory, userValue); break;
    case DSP::kComplitedDir: r = DSP::Encode_ComplitedDir(buffer, sizeof(buffer), &length, directory, userValue); break;
    case DSP::kStartDirSyncAnswer:
        r = DSP::Encode_StartDirSyncAnswer(buffer, sizeof(buffer), &length, directory, userValue, answer);
        break;
    case DSP::kReqDirSyncAnswer:
        r = DSP::Encode_ReqDirSyncAnswer(buffer, sizeof(buffer), &length, directory, userValue, answer);
        break;
    case DSP::kFinishDirSyncAnswer:
        r = DSP::Encode_FinishDirSyncAnswer(buffer, sizeof(buffer), &length, directory, userValue, answer);
        break;
    case DSP::kComplitedDirAnswer:
        r = DSP::Encode_ComplitedDirAnswer(buffer, sizeof(buffer), &length, directory, userValue, answer);
        break;
    case DSP::kExistFile: r = DSP::Encode_ExistFile(buffer, sizeof(buffer), &length, directory, userValue, fileName); break;
    case DSP::kExistFileAnswer:
        r = DSP::Encode_ExistAnswer(buffer, sizeof(buffer), &length, directory, userValue, fileName, answer);
        break;
    default: break;
    }
    return r == 0 ? std::string(reinterpret_cast<const char*>(buffer), length) : std::string();
}

// "StartDirSync", "ExistFile x", "ExistFileAnswer x 2000", "StartDirSyncAnswer 0", or the file
// port's description of any other command.
inline std::string describeDir(const std::string& command)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(command.data());
    const auto length = static_cast<uint32_t>(command.size());
    uint32_t id = 0;
    if (ComControl::cnpGetCommand(bytes, length, ComControl::kCnpVersion, &id) != 0) return "?";
    if ((id >> 16) != 0x04) return describe(command);
    // Read without knowing the directory: take the name from the command itself.
    ComControl::cnpGetHndl handle{};
    (void)ComControl::cnpGetResetData(bytes, &handle);
    uint32_t answer = 0, user = 0;
    (void)ComControl::cnpGetDataValue(bytes, &handle, ComControl::kCnpTypeUInt32, &answer, 1);
    (void)ComControl::cnpGetDataValue(bytes, &handle, ComControl::kCnpTypeUInt32, &user, 1);
    const uint8_t* dir = nullptr;
    (void)ComControl::cnpGetDataPtr(bytes, &handle, true, &dir);
    const uint8_t* file = nullptr;
    if (handle.prmCount > 3) (void)ComControl::cnpGetDataPtr(bytes, &handle, true, &file);
    static const std::pair<uint32_t, const char*> kNames[] = {
        {DSP::kStartDirSync, "StartDirSync"},       {DSP::kStartDirSyncAnswer, "StartDirSyncAnswer"},
        {DSP::kReqDirSync, "ReqDirSync"},           {DSP::kReqDirSyncAnswer, "ReqDirSyncAnswer"},
        {DSP::kFinishDirSync, "FinishDirSync"},     {DSP::kFinishDirSyncAnswer, "FinishDirSyncAnswer"},
        {DSP::kExistFile, "ExistFile"},             {DSP::kExistFileAnswer, "ExistFileAnswer"},
        {DSP::kComplitedDir, "ComplitedDir"},       {DSP::kComplitedDirAnswer, "ComplitedDirAnswer"},
    };
    std::string out = "?";
    for (const auto& n : kNames)
        if (n.first == id) out = n.second;
    if (file) out += " " + std::string(reinterpret_cast<const char*>(file));
    if ((id & 0xFF) == 0x10) out += " " + hexCode(answer);
    return out;
}

class CountingObserver : public ComControl::IUnitComponentObserver {
public:
    int notifications = 0;
    void notify(ComControl::UnitComponent&) override { ++notifications; }
};

// The port of one synchroniser alone: what it asks to send is taken at once (while room allows)
// and kept in `sent` as described commands.
class CapturePort : public ComControl::IPort {
public:
    explicit CapturePort(ComControl::UnitComponent& component) : m_component(component) {}
    std::vector<std::string> sent;
    uint32_t room = 0x10000;  // a command longer than this finds no room

    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char*) override
    {
        bool more = true;
        while (more) {
            std::vector<uint8_t> buffer(room ? room : 1);
            uint32_t produced = 0;
            more = false;
            if (JLIB::isFailure(m_component.eventSend(buffer.data(), room, &produced, &more))) return 0x80000001u;
            if (produced) sent.push_back(describeDir(std::string(reinterpret_cast<const char*>(buffer.data()), produced)));
        }
        return 0;
    }
    // Hands one command to the component and gives back the described answer ("" for none).
    std::string feed(const std::string& command)
    {
        std::vector<uint8_t> buffer(room ? room : 1);
        uint32_t produced = 0;
        uint8_t flags = 0;
        (void)m_component.eventReceived(buffer.data(), room, &produced, reinterpret_cast<const uint8_t*>(command.data()),
                                        static_cast<uint32_t>(command.size()), &flags);
        return produced ? describeDir(std::string(reinterpret_cast<const char*>(buffer.data()), produced)) : "";
    }

private:
    ComControl::UnitComponent& m_component;
};

// Joins synchronisers a and b (and each one's first transferer) by port name. log holds every
// command as "a: ..." or "b: ...", directory and file commands alike.
class DirLoop {
public:
    DirLoop(ComControl::DirectorySynchronizer& a, ComControl::DirectorySynchronizer& b)
        : m_a(a), m_b(b), m_endA(*this, true), m_endB(*this, false)
    {
        for (ComControl::UnitComponent* c : components(true)) (void)c->setPort(&m_endA);
        for (ComControl::UnitComponent* c : components(false)) (void)c->setPort(&m_endB);
    }
    ~DirLoop()
    {
        for (ComControl::UnitComponent* c : components(true)) (void)c->setPort(nullptr);
        for (ComControl::UnitComponent* c : components(false)) (void)c->setPort(nullptr);
    }

    std::vector<std::string> log;

    // Both ends' tick, then every command until none is in flight.
    void tick()
    {
        (void)m_a.periodicHandle(50);
        (void)m_b.periodicHandle(50);
        pump();
    }
    // Ticks until done() holds; false after limit ticks.
    bool tickUntil(const std::function<bool()>& done, int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            tick();
        }
        return done();
    }
    void pump()
    {
        for (int i = 0; i < 100000 && !m_queue.empty(); ++i) {
            Item item = m_queue.front();
            m_queue.pop_front();
            deliver(item);
        }
    }
    // Directory commands only, in order.
    std::vector<std::string> directoryLog() const
    {
        std::vector<std::string> out;
        for (const std::string& e : log)
            if (e.find("Dir") != std::string::npos || e.find("Exist") != std::string::npos) out.push_back(e);
        return out;
    }

private:
    struct Item {
        bool toB;
        std::string port;
        std::string bytes;
    };
    class End : public ComControl::IPort {
    public:
        End(DirLoop& loop, bool a) : m_loop(loop), m_isA(a) {}
        JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
        JLIB::JResult writeRequest(const char* name) override
        {
            m_loop.sendNow(m_isA, name);
            return 0;
        }

    private:
        DirLoop& m_loop;
        bool m_isA;
    };

    std::vector<ComControl::UnitComponent*> components(bool a)
    {
        ComControl::DirectorySynchronizer& d = a ? m_a : m_b;
        return {&d, d.transferer(0)};
    }
    ComControl::UnitComponent* find(bool a, const std::string& port)
    {
        for (ComControl::UnitComponent* c : components(a))
            if (port == c->portname()) return c;
        return nullptr;
    }
    void sendNow(bool fromA, const char* port)
    {
        ComControl::UnitComponent* c = find(fromA, port);
        if (!c) return;
        bool more = true;
        while (more) {
            std::vector<uint8_t> buffer(kCapacity);
            uint32_t produced = 0;
            more = false;
            if (JLIB::isFailure(c->eventSend(buffer.data(), kCapacity, &produced, &more)) || produced == 0) return;
            post(fromA, port, std::string(reinterpret_cast<const char*>(buffer.data()), produced));
        }
    }
    void deliver(const Item& item)
    {
        ComControl::UnitComponent* c = find(!item.toB, item.port);
        if (!c) return;
        std::vector<uint8_t> buffer(kCapacity);
        uint32_t produced = 0;
        uint8_t flags = 0;
        (void)c->eventReceived(buffer.data(), kCapacity, &produced, reinterpret_cast<const uint8_t*>(item.bytes.data()),
                               static_cast<uint32_t>(item.bytes.size()), &flags);
        if (produced)
            post(!item.toB, item.port, std::string(reinterpret_cast<const char*>(buffer.data()), produced));
    }
    void post(bool fromA, const std::string& port, const std::string& bytes)
    {
        log.push_back(std::string(fromA ? "a: " : "b: ") + describeDir(bytes));
        m_queue.push_back(Item{fromA, port, bytes});
    }

    static constexpr uint32_t kCapacity = 0x10000;
    ComControl::DirectorySynchronizer& m_a;
    ComControl::DirectorySynchronizer& m_b;
    End m_endA;
    End m_endB;
    std::deque<Item> m_queue;
};

}  // namespace comctrltest
