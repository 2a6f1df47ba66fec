#pragma once
// Helpers for the file port tests: a recording progress monitor, an archive container writer and
// a port that joins two transferers in one process, delivering every command and answer in order.
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDF.h"
#include "comctrl/Core/comctrl_FileTransferer.h"
#include "comctrl/Core/comctrl_FileTransfererProtocol.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_cnp.h"

namespace comctrltest {

class RecordingMonitor : public ComControl::IProgressMonitor {
public:
    std::vector<std::string> calls;

    uint32_t start(const char* name, ComControl::FileTransStatus status, uint32_t size) override
    {
        calls.push_back("start " + std::string(name) + " " + std::to_string(status) + " " + std::to_string(size));
        return 0;
    }
    uint32_t update(const char* name, ComControl::FileTransStatus status, uint32_t count, const uint8_t* hash,
                    uint32_t hashLength, bool last) override
    {
        calls.push_back("update " + std::string(name) + " " + std::to_string(status) + " " + std::to_string(count) +
                        " h" + std::to_string(hashLength) + (last ? " last" : ""));
        return 0;
    }
    uint32_t cancel(const char* name, ComControl::FileTransStatus status, uint32_t reason) override
    {
        char code[16];
        std::snprintf(code, sizeof(code), "%X", reason);
        calls.push_back("cancel " + std::string(name) + " " + std::to_string(status) + " " + code);
        return 0;
    }
};

// An archive container with the given identity; false when it could not be written.
inline bool writeContainer(const std::string& path, uint8_t firstUuidByte)
{
    uint8_t uuid[16];
    for (int i = 0; i < 16; ++i) uuid[i] = static_cast<uint8_t>(firstUuidByte + i);
    FILECACHE::MBDF container;
    if (container.initialize("TEST", "UZ", 1, uuid, sizeof(uuid)) != 0) return false;
    return container.writeFile(path.c_str(), nullptr, nullptr, false) == 0;
}

// What travelled, in a form tests compare: "Send 2048+2048 last" and so on.
inline std::string describe(const std::string& command)
{
    namespace P = ComControl::FileTransfererProtocol;
    const auto* bytes = reinterpret_cast<const uint8_t*>(command.data());
    const auto length = static_cast<uint32_t>(command.size());
    uint32_t id = 0;
    if (ComControl::cnpGetCommand(bytes, length, ComControl::kCnpVersion, &id) != 0) return "?";
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t user = 0, code = 0, offset = 0, size = 0;
    const uint8_t* data = nullptr;
    bool last = false;
    char hex[16];
    switch (id) {
    case P::kStartSend:
        (void)P::Decode_StartSend(bytes, length, &acc, &name, &size, &user, &data, &offset);
        return "StartSend " + std::string(name) + " " + std::to_string(size) + " h" + std::to_string(offset);
    case P::kSend:
        (void)P::Decode_Send(bytes, length, &acc, &name, &offset, &data, &size, &last, &user);
        return "Send " + std::to_string(offset) + "+" + std::to_string(size) + (last ? " last" : "");
    case P::kSendAnswer:
        (void)P::Decode_SendAnswer(bytes, length, &acc, &name, &offset, &size, &user, &code);
        std::snprintf(hex, sizeof(hex), "%X", code);
        return "SendAnswer " + std::to_string(offset) + "+" + std::to_string(size) + " " + hex;
    case P::kReqSend: (void)P::Decode_ReqSend(bytes, length, &acc, &name, &user); return "ReqSend " + std::string(name);
    case P::kCancel: (void)P::Decode_Cancel(bytes, length, &acc, &name, &user); return "Cancel " + std::string(name);
    case P::kRemove: (void)P::Decode_Remove(bytes, length, &acc, &name, &user); return "Remove " + std::string(name);
    default: break;
    }
    const char* kind = id == P::kStartSendAnswer ? "StartSendAnswer"
                       : id == P::kReqSendAnswer ? "ReqSendAnswer"
                       : id == P::kCancelAnswer  ? "CancelAnswer"
                       : id == P::kRemoveAnswer  ? "RemoveAnswer"
                                                 : "?";
    if (id == P::kStartSendAnswer) (void)P::Decode_StartSendAnswer(bytes, length, &acc, &name, &user, &code);
    if (id == P::kReqSendAnswer) (void)P::Decode_ReqSendAnswer(bytes, length, &acc, &name, &user, &code);
    if (id == P::kCancelAnswer) (void)P::Decode_CancelAnswer(bytes, length, &acc, &name, &user, &code);
    if (id == P::kRemoveAnswer) (void)P::Decode_RemoveAnswer(bytes, length, &acc, &name, &user, &code);
    std::snprintf(hex, sizeof(hex), "%X", code);
    return std::string(kind) + " " + (name ? name : "") + " " + hex;
}

// Joins transferers a and b: what one sends is received by the other, answers go back, all on
// the test thread. log holds every command as "a: ..." or "b: ...".
class LoopLink {
public:
    class End : public ComControl::IPort {
    public:
        JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
        JLIB::JResult writeRequest(const char*) override
        {
            wants = true;
            return 0;
        }
        bool wants = false;
    };

    LoopLink(ComControl::FileTransferer& a, ComControl::FileTransferer& b) : m_a(a), m_b(b)
    {
        (void)m_a.setPort(&m_endA);
        (void)m_b.setPort(&m_endB);
    }
    ~LoopLink()
    {
        (void)m_a.setPort(nullptr);
        (void)m_b.setPort(nullptr);
    }

    std::vector<std::string> log;
    bool deliverB = true;  // false: what a sends is lost
    uint32_t capacity = ComControl::FileTransfererProtocol::getMaxBufferSize();

    // Runs until nothing is wanted or in flight; false after limit steps.
    bool pump(int limit = 100000)
    {
        for (int i = 0; i < limit; ++i) {
            if (!m_queue.empty()) {
                Item item = m_queue.front();
                m_queue.pop_front();
                deliver(item.toB, item.bytes);
            } else if (m_endA.wants) {
                m_endA.wants = false;
                sendFrom(true);
            } else if (m_endB.wants) {
                m_endB.wants = false;
                sendFrom(false);
            } else {
                return true;
            }
        }
        return false;
    }

private:
    struct Item {
        bool toB;
        std::string bytes;
    };

    void sendFrom(bool fromA)
    {
        ComControl::FileTransferer& t = fromA ? m_a : m_b;
        std::vector<uint8_t> buffer(capacity);
        uint32_t produced = 0;
        bool more = false;
        if (JLIB::isFailure(t.eventSend(buffer.data(), capacity, &produced, &more)) || produced == 0) return;
        post(fromA, std::string(reinterpret_cast<const char*>(buffer.data()), produced));
    }
    void deliver(bool toB, const std::string& bytes)
    {
        ComControl::FileTransferer& t = toB ? m_b : m_a;
        std::vector<uint8_t> buffer(capacity);
        uint32_t produced = 0;
        uint8_t flags = 0;
        (void)t.eventReceived(buffer.data(), capacity, &produced, reinterpret_cast<const uint8_t*>(bytes.data()),
                              static_cast<uint32_t>(bytes.size()), &flags);
        if (produced) post(!toB, std::string(reinterpret_cast<const char*>(buffer.data()), produced));
    }
    void post(bool fromA, const std::string& bytes)
    {
        log.push_back(std::string(fromA ? "a: " : "b: ") + describe(bytes));
        if (fromA && !deliverB) return;
        m_queue.push_back(Item{fromA, bytes});
    }

    ComControl::FileTransferer& m_a;
    ComControl::FileTransferer& m_b;
    End m_endA;
    End m_endB;
    std::deque<Item> m_queue;
};

}  // namespace comctrltest
