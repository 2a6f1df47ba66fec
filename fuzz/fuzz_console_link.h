#pragma once
// The console link's readers of outside input, shared by two targets:
// - fuzz_console_command: the input as one command (version and length field patched so the header passes), walked with every
//   reader and target type, restarting after each failure; every pointer handed out is read whole;
// - fuzz_console_stream: the input as the byte stream from a device, fed to a port multiplexer through a fake core port in read
//   sizes drawn from the input, with components that record, answer, hold, report no room, fail
//   or send from inside their call, and a socket whose room varies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "VUviRido/Socket/IVCom.h"
#include "comctrl/Core/comctrl_ESP.h"
#include "comctrl/Core/comctrl_cnp.h"
#include "jlib/JVariant.h"
#include "oswrap/oswrap_module.h"

namespace {

// Deterministic choices drawn from the input itself.
class Dice {
public:
    Dice(const uint8_t* data, size_t size) : m_state(0x9E3779B97F4A7C15ull ^ size)
    {
        for (size_t i = 0; i < size && i < 64; ++i) m_state = m_state * 31 + data[i];
    }
    uint32_t roll(uint32_t sides)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return sides == 0 ? 0 : static_cast<uint32_t>(m_state % sides);
    }

private:
    uint64_t m_state;
};

volatile uint32_t g_sink;

void touch(const uint8_t* data, uint64_t bytes)
{
    uint32_t sum = 0;
    for (uint64_t i = 0; i < bytes; ++i) sum += data[i];
    g_sink = sum;
}

[[maybe_unused]] void walkCommand(const uint8_t* input, size_t size, Dice& dice)
{
    if (size < ComControl::kCnpHeaderSize || size > 0xFFFFFF) return;
    std::vector<uint8_t> command(input, input + size);
    uint32_t id = 0;
    (void)ComControl::cnpGetCommand(command.data(), static_cast<uint32_t>(size), ComControl::kCnpVersion, &id);  // raw header
    command[0] = ComControl::kCnpVersion;
    const uint32_t length = static_cast<uint32_t>(size) - 5;
    for (int i = 0; i < 4; ++i) command[1 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    if (ComControl::cnpGetCommand(command.data(), static_cast<uint32_t>(size), ComControl::kCnpVersion, &id) != 0) __builtin_trap();

    static const uint8_t kTargets[] = {0x11, 0x21, 0x12, 0x22, 0x14, 0x24, 0x31, 0x44, 0x51, 0x00};
    static const uint32_t kCapacities[] = {0, 1, 4, 64};
    uint32_t values[64];
    for (int pass = 0; pass < 4; ++pass) {
        ComControl::cnpGetHndl handle{};
        (void)ComControl::cnpGetResetData(command.data(), &handle);
        for (int step = 0; step < 300 && handle.nextIndex < handle.prmCount; ++step) {
            const uint32_t before = handle.position;
            JLIB::JResult r = 0;
            switch (dice.roll(4)) {
            case 0: {
                const uint32_t capacity = kCapacities[dice.roll(4)];
                r = ComControl::cnpGetDataValue(command.data(), &handle, kTargets[dice.roll(10)], values, capacity);
                break;
            }
            case 1: {
                JVariant value;
                r = ComControl::cnpGetDataValueForSetPrm(command.data(), &handle, &value);
                if (r == 0 && value.getType() == JVariant::kTypeString) g_sink = value.getStringLength();
                break;
            }
            default: {
                const uint8_t* data = nullptr;
                uint32_t count = 0;
                r = ComControl::cnpGetDataPtr(command.data(), &handle, dice.roll(2) == 0, &data, &count);
                if (r == 0 && data) {
                    const uint8_t type = command[before];
                    const uint64_t bytes = uint64_t{count} * (type & 0x0F);
                    touch(data, bytes);
                    if ((type >> 4) == 3 && bytes > 0 && data[bytes - 1] != 0) __builtin_trap();
                }
                break;
            }
            }
            if (handle.position > handle.length) __builtin_trap();
            if (JLIB::isFailure(r)) break;
        }
    }
}

class FuzzCorePort : public VCOM::IVCom {
public:
    explicit FuzzCorePort(Dice& dice) : m_dice(dice) {}
    std::deque<uint8_t> incoming;
    uint32_t room = 0;
    bool ended = false;

    JLIB::JResult start(uint32_t, VCOM::IVComWakeupFunction&) override { return 0; }
    JLIB::JResult stop() override { return 0; }
    uint32_t getUserId() const override { return 0; }
    uint32_t numOfConnection() override { return 1; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char) override { return nullptr; }
    uint32_t getRemainSendBuff() override { return room; }
    bool isConnected() override { return !ended; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override
    {
        if (!buffer || size == 0) __builtin_trap();  // never asked for nothing
        // A read takes a random part of what the peer sent.
        count = std::min<uint32_t>({size, static_cast<uint32_t>(incoming.size()), 1 + m_dice.roll(40)});
        for (uint32_t i = 0; i < count; ++i) {
            static_cast<uint8_t*>(buffer)[i] = incoming.front();
            incoming.pop_front();
        }
        return 0;
    }
    JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override
    {
        if (!data || length == 0 || length > room) __builtin_trap();  // the drain respects the room
        touch(static_cast<const uint8_t*>(data), length);
        count = m_dice.roll(50) == 0 ? length / 2 : length;  // now and then a short send
        room -= count;
        return 0;
    }
    JLIB::JResult disconnect() override
    {
        ended = true;
        return 0;
    }
    JLIB::JResult runCallback(VCOM::IVComCallback&) override { return 0; }

private:
    Dice& m_dice;
};

// Reacts to the first payload byte: record, answer, hold, no room, fail, or send on another
// port from inside the call.
class FuzzObserver : public ComControl::IPortObserver {
public:
    FuzzObserver(Dice& dice, ComControl::ESP& esp) : m_dice(dice), m_esp(esp) {}
    uint32_t pending = 0;  // bytes still to send

    JLIB::JResult event(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                        uint32_t length, uint8_t* flags) override
    {
        *produced = 0;
        if (!input) {
            if (pending == 0) return 0;
            const uint32_t size = std::min<uint32_t>(pending, 1 + m_dice.roll(200));
            if (!output || size > capacity) return 0x80000001u;
            std::memset(output, 0x5A, size);
            *produced = size;
            pending -= size;
            if (pending > 0) *flags |= kFlagMore;
            return 0;
        }
        touch(input, length);
        switch (length == 0 ? 0 : input[0] % 7) {
        case 0: return 0;
        case 1: *flags |= kFlagHold; return 0;
        case 2: return 0x80000001u;
        case 3: return m_dice.roll(8) == 0 ? 0x80000005u : 0;
        case 4:
            pending += m_dice.roll(300);
            (void)m_esp.writeRequest("F2");
            break;
        case 5: *flags |= kFlagMore; pending += 20; break;
        default: break;
        }
        const uint32_t size = std::min<uint32_t>(length, 1 + m_dice.roll(100));
        if (!output || size > capacity) return 0x80000001u;
        std::memcpy(output, input, size);
        *produced = size;
        return 0;
    }

private:
    Dice& m_dice;
    ComControl::ESP& m_esp;
};

[[maybe_unused]] void feedStream(const uint8_t* input, size_t size, Dice& dice)
{
    static const char* const kNames[] = {"E1", "M", "F2", "D00"};
    ComControl::ESP esp(4, 96 + dice.roll(200));
    FuzzCorePort core(dice);
    core.incoming.assign(input, input + size);
    FuzzObserver observers[] = {{dice, esp}, {dice, esp}, {dice, esp}, {dice, esp}};
    auto connect = [&] {
        (void)esp.setCorePort(&core);
        for (uint32_t i = 0; i < 4; ++i) {
            (void)esp.registerVPortObserver(i, kNames[i], i == 3 && dice.roll(4) == 0 ? nullptr : &observers[i]);
            if (dice.roll(10) != 0) (void)esp.openPort(i);
        }
    };
    connect();
    for (int step = 0; step < 400 && !(core.incoming.empty() && step > 40); ++step) {
        core.room = dice.roll(3) == 0 ? 0 : dice.roll(20000);
        switch (dice.roll(6)) {
        case 0: (void)esp.onSent(); break;
        case 1: (void)esp.writeRequest(kNames[dice.roll(4)]); break;
        case 2: (void)esp.expandBufferSize(dice.roll(600)); break;
        default: (void)esp.onReceived(); break;
        }
        if (core.ended) {
            (void)esp.setCorePort(nullptr);
            core.ended = false;
            connect();
        }
    }
}

}  // namespace

