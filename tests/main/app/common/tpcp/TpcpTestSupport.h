#pragma once
// Shared pieces of the command protocol tests: a socket object under the test's control, a
// processor that records what reaches it, and builders of OSC packets and frames over oscpack.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <oscpack/osc/OscOutboundPacketStream.h>

#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/INotificationProcessor.h"
#include "VUviRido/Socket/IVCom.h"

namespace tpcptest {

using Bytes = std::vector<unsigned char>;

// A socket object whose send room, take size and received bytes the test sets. Owner thread only.
class ScriptedSocket : public VCOM::IVCom {
public:
    bool connected = true;
    bool limitedRoom = false;     // when set, room shrinks by every byte taken and never refills
    uint32_t room = 0;
    uint32_t takeAtMost = UINT32_MAX;  // per send call; taking less answers 0x80000003
    JLIB::JResult receiveFailure = 0;
    Bytes sent;
    Bytes readable;               // what the next receive calls may take
    int disconnects = 0;
    uint32_t refillPerCallback = 0;  // room each runCallback gives back, as a sent report would
    int callbackRuns = 0;

    JLIB::JResult start(uint32_t, VCOM::IVComWakeupFunction&) override { return 0; }
    JLIB::JResult stop() override { return 0; }
    uint32_t getUserId() const override { return 0; }
    uint32_t numOfConnection() override { return connected ? 1 : 0; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char id) override { return id == 0 ? this : nullptr; }
    uint32_t getRemainSendBuff() override { return limitedRoom ? room : 15000; }
    bool isConnected() override { return connected; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override
    {
        count = 0;
        if (receiveFailure != 0) return receiveFailure;
        count = std::min<uint32_t>(size, static_cast<uint32_t>(readable.size()));
        std::memcpy(buffer, readable.data(), count);
        readable.erase(readable.begin(), readable.begin() + count);
        return readable.empty() ? 0 : 2;
    }
    JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override
    {
        count = std::min(length, takeAtMost);
        if (limitedRoom) {
            count = std::min(count, room);
            room -= count;
        }
        const auto* bytes = static_cast<const unsigned char*>(data);
        sent.insert(sent.end(), bytes, bytes + count);
        return count < length ? 0x80000003u : 1u;
    }
    JLIB::JResult disconnect() override
    {
        ++disconnects;
        connected = false;
        return 0;
    }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override
    {
        ++callbackRuns;
        room += refillPerCallback;
        return 0;
    }
};

// A socket callback that ignores every event.
class IgnoringCallback : public VCOM::IVComCallback {
public:
    JLIB::JResult onConnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) override { return 0; }
    JLIB::JResult onDisconnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onAccepted(uint32_t, signed char, signed char) override { return 0; }
    JLIB::JResult onReceived(uint32_t, signed char) override { return 0; }
    JLIB::JResult onSent(uint32_t, signed char) override { return 0; }
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return 0; }
};

// Records every processor call as one line; results are what the test sets. Any thread.
class RecordingProcessor : public TPCP::INotificationProcessor, public TPCP::IMeterNotificationProcessor {
public:
    JLIB::JResult result = 0;

    JLIB::JResult processTCPConnectedNotification(const char* text) override
    {
        return record("tcpconnected " + show(text));
    }
    JLIB::JResult processErrorNotification(const char* text1, const char* text2) override
    {
        return record("error " + show(text1) + " " + show(text2));
    }
    JLIB::JResult processMeterNotification(uint32_t first, uint32_t uniqID, uint32_t arrayNo, uint32_t offset,
                                           uint32_t count, const unsigned char* bytes) override
    {
        return record("meter " + std::to_string(first) + " " + std::to_string(uniqID) + " " + std::to_string(arrayNo) +
                      " " + std::to_string(offset) + " " + std::to_string(count) + " " + hex(bytes, count));
    }
    JLIB::JResult processPlayerStatusNotification(uint32_t first, uint32_t word1, uint32_t word2, uint32_t firstCore,
                                                  uint32_t coreCount, uint32_t count,
                                                  const TPCP::CoreInfo* cores) override
    {
        return record("status " + std::to_string(first) + " " + std::to_string(word1) + " " + std::to_string(word2) +
                      " " + std::to_string(firstCore) + " " + std::to_string(coreCount) + " " +
                      std::to_string(count) + " " + hex(cores ? cores->bytes : nullptr, count));
    }

    std::vector<std::string> calls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

    static std::string hex(const unsigned char* bytes, size_t size)
    {
        if (!bytes) return size == 0 ? "-" : "null";
        static const char digits[] = "0123456789abcdef";
        std::string text;
        for (size_t i = 0; i < size; ++i) {
            text += digits[bytes[i] >> 4];
            text += digits[bytes[i] & 15];
        }
        return text;
    }

private:
    static std::string show(const char* text) { return text ? "\"" + std::string(text) + "\"" : "none"; }
    JLIB::JResult record(const std::string& call)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
        return result;
    }

    std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

// An OSC packet built by oscpack; fill writes the elements.
template <typename Fill>
Bytes oscPacket(Fill fill)
{
    std::vector<char> buffer(70000);
    osc::OutboundPacketStream stream(buffer.data(), buffer.size());
    fill(stream);
    return Bytes(stream.Data(), stream.Data() + stream.Size());
}

// A stream frame: little-endian length word, the packet, zero fill to a multiple of 4.
inline Bytes frameOf(const Bytes& packet)
{
    Bytes frame((4 + packet.size() + 3) & ~size_t(3), 0);
    const uint32_t length = static_cast<uint32_t>(packet.size());
    for (int i = 0; i < 4; ++i) frame[static_cast<size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
    std::copy(packet.begin(), packet.end(), frame.begin() + 4);
    return frame;
}

inline std::string hexOf(const Bytes& bytes) { return RecordingProcessor::hex(bytes.data(), bytes.size()); }

}  // namespace tpcptest
