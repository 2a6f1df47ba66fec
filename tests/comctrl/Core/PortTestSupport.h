#pragma once
// Test doubles for the port multiplexer: a scripted component and a core port whose socket side
// the test drives by hand (room in the send buffer, bytes waiting to be read).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "VUviRido/Socket/IVCom.h"
#include "comctrl/Core/comctrl_IPortObserver.h"

namespace comctrltest {

inline std::string text(const uint8_t* data, uint32_t length)
{
    return length == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), length);
}

// One frame as it travels: name zero-filled to 4 bytes, big-endian length, payload.
inline std::string frame(const std::string& name, const std::string& payload)
{
    std::string out(4, '\0');
    std::memcpy(out.data(), name.data(), std::min<size_t>(4, name.size()));
    const uint32_t length = static_cast<uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(length >> shift));
    return out + payload;
}

// A component driven by a script: in send mode it hands out queued messages one per call (more
// flag while others remain); in receive mode it records the payload and reacts as the test set.
class ScriptedObserver : public ComControl::IPortObserver {
public:
    enum class OnReceive { Record, Answer, Hold, NoRoom, Fail };

    std::deque<std::string> outbox;          // messages to send
    std::vector<std::string> received;       // every receive-mode call, repeats included
    OnReceive onReceive = OnReceive::Record;
    int reactions = -1;                      // Hold/NoRoom/Fail this many times, then Answer (-1: always)
    JLIB::JResult sendResult = 0;            // a failure here is returned from send mode
    std::function<void()> inside;            // runs inside every call, after the answer was written
    int calls = 0;

    JLIB::JResult event(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                        uint32_t inputLength, uint8_t* flags) override
    {
        ++calls;
        *produced = 0;
        JLIB::JResult r = 0;
        if (!input) {
            r = sendMode(output, capacity, produced, flags);
        } else {
            r = receiveMode(output, capacity, produced, input, inputLength, flags);
        }
        if (inside) inside();
        return r;
    }

private:
    JLIB::JResult sendMode(uint8_t* output, uint32_t capacity, uint32_t* produced, uint8_t* flags)
    {
        if (JLIB::isFailure(sendResult)) return sendResult;
        if (outbox.empty()) return 0;
        const std::string& next = outbox.front();
        if (!output || next.size() > capacity) return 0x80000001u;  // no room now: keep it
        std::memcpy(output, next.data(), next.size());
        *produced = static_cast<uint32_t>(next.size());
        outbox.pop_front();
        if (!outbox.empty()) *flags |= kFlagMore;
        return 0;
    }

    JLIB::JResult receiveMode(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                              uint32_t length, uint8_t* flags)
    {
        received.push_back(text(input, length));
        OnReceive action = onReceive;
        if (reactions == 0) action = OnReceive::Answer;
        if (reactions > 0 && action != OnReceive::Record && action != OnReceive::Answer) --reactions;
        switch (action) {
        case OnReceive::Record: return 0;
        case OnReceive::Hold: *flags |= kFlagHold; return 0;
        case OnReceive::NoRoom: return 0x80000001u;
        case OnReceive::Fail: return 0x80000005u;
        case OnReceive::Answer: break;
        }
        const std::string answer = "re:" + received.back();
        if (!output || answer.size() > capacity) return 0x80000001u;
        std::memcpy(output, answer.data(), answer.size());
        *produced = static_cast<uint32_t>(answer.size());
        return 0;
    }
};

// A core port without a socket: the test puts bytes to be read into `incoming` (each entry is
// one chunk receive may return at most) and sets the room of the send buffer.
class FakeCorePort : public VCOM::IVCom {
public:
    std::deque<std::string> incoming;
    std::string sent;
    uint32_t room = 1u << 30;
    uint32_t acceptLimit = 0xFFFFFFFF;  // send takes at most this many bytes per call
    int disconnects = 0;
    int zeroLengthCalls = 0;            // send or receive asked for 0 bytes
    int sendCalls = 0;

    JLIB::JResult start(uint32_t, VCOM::IVComWakeupFunction&) override { return 0; }
    JLIB::JResult stop() override { return 0; }
    uint32_t getUserId() const override { return 0; }
    uint32_t numOfConnection() override { return 1; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char) override { return nullptr; }
    uint32_t getRemainSendBuff() override { return room; }
    bool isConnected() override { return disconnects == 0; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override
    {
        count = 0;
        if (size == 0) ++zeroLengthCalls;
        if (incoming.empty()) return 0;
        std::string& chunk = incoming.front();
        count = static_cast<uint32_t>(std::min<size_t>(size, chunk.size()));
        std::memcpy(buffer, chunk.data(), count);
        chunk.erase(0, count);
        if (chunk.empty()) incoming.pop_front();
        return 0;
    }
    JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override
    {
        ++sendCalls;
        if (length == 0) ++zeroLengthCalls;
        count = std::min({length, room, acceptLimit});
        sent.append(static_cast<const char*>(data), count);
        room -= count;
        return count < length ? 0x80000003u : 0;
    }
    JLIB::JResult disconnect() override
    {
        ++disconnects;
        return 0;
    }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override { return 0; }
};

}  // namespace comctrltest
