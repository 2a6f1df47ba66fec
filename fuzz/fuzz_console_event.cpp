// The event port's readers of outside input:
// - the messenger's receive path: the input (after one control byte) as a received payload, with
//   an accepting or a refusing executor and an answer room drawn from the control byte; an event
//   runs only when its answer fits, and an accepted one is answered with its own id, name and text;
// - the item parser and the escape reader over the input as an event text, with the round trip
//   plain -> escaped -> plain checked for every value found.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "comctrl/Core/comctrl_EventMessenger.h"
#include "comctrl/Core/comctrl_EventMessengerProtocol.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_evtp.h"
#include "oswrap/oswrap_module.h"

namespace {

using ComControl::EventMessengerProtocol;

class FuzzExecutor : public ComControl::IEventExecutor {
public:
    uint32_t result = 0;
    int calls = 0;
    std::string name;
    std::string text;
    uint32_t execute(uint32_t, const char* n, const char* t) override
    {
        ++calls;
        name = n;
        text = t;
        if (name.size() > EventMessengerProtocol::kMaxNameLength || text.size() > EventMessengerProtocol::kMaxTextLength) {
            __builtin_trap();  // never run what the answer could not repeat
        }
        return result;
    }
};

void receive(uint8_t control, const uint8_t* payload, uint32_t length)
{
    static const uint32_t kRooms[] = {0, 37, 60, 200, 1085, 4096};
    FuzzExecutor executor;
    executor.result = (control & 1) != 0 ? 0x80000000u : 0;
    ComControl::EventMessenger messenger;
    (void)messenger.initialize((control & 2) != 0, nullptr);  // always 0
    if (messenger.setExecutor("Fuzz", executor, 0) != 0) __builtin_trap();
    const uint32_t room = kRooms[(control >> 2) % 6];
    std::vector<uint8_t> output(room + 1);
    uint32_t produced = 0;
    uint8_t flags = 0;
    static const uint8_t kEmpty = 0;
    const JLIB::JResult r = messenger.event(room ? output.data() : nullptr, room, &produced, length ? payload : &kEmpty,
                                            length, &flags);
    if (r != 0 && r != 0x80000001u) __builtin_trap();  // an event never ends the link
    if (produced > room) __builtin_trap();
    if (r == 0x80000001u && executor.calls != 0) __builtin_trap();  // held, so it must not have run
    if (executor.calls > 1) __builtin_trap();
    const bool answered = produced > 0;
    if (answered != (executor.calls == 1 && executor.result == 0)) __builtin_trap();
    if (!answered) return;
    uint32_t id = 0;
    uint32_t code = 0xFFFFFFFF;
    const char* name = nullptr;
    const char* text = nullptr;
    if (EventMessengerProtocol::Decode_EventAnswer(output.data(), produced, &id, &name, &text, &code) != 0 || code != 0 ||
        executor.name != name || executor.text != text) {
        __builtin_trap();
    }
}

void walkItems(const char* text, uint32_t limit)
{
    uint32_t offset = 0;
    for (int step = 0; step < 2000; ++step) {
        const char* key = nullptr;
        const char* value = nullptr;
        uint32_t keyLength = 0;
        uint32_t valueLength = 0;
        uint32_t consumed = 0;
        const uint32_t left = limit == 0 ? 0 : limit - offset;
        const JLIB::JResult r = ComControl::evtpParseCommand(text + offset, left, &key, &keyLength, &value,
                                                             &valueLength, &consumed);
        if (limit != 0 && consumed > left) __builtin_trap();
        if (JLIB::isFailure(r)) return;
        if (consumed == 0) __builtin_trap();  // a found item always moves on
        if (valueLength > 0) {
            std::vector<char> plain(valueLength + 1);
            uint32_t plainLength = 0;
            if (ComControl::evtpRemoveEscapeSequence(plain.data(), valueLength + 1, &plainLength, value, valueLength) != 0) {
                __builtin_trap();  // never longer than the escaped value
            }
            // Written again and read back, a plain value stays itself (up to its first zero).
            const std::string original(plain.data(), strnlen(plain.data(), plainLength));
            std::vector<char> escaped(2 * original.size() + 2);
            uint32_t escapedLength = 0;
            if (!original.empty()) {
                if (ComControl::evtpAttachEscapeSequence(escaped.data(), static_cast<uint32_t>(escaped.size()),
                                                         &escapedLength, original.c_str(), 0) != 0) {
                    __builtin_trap();
                }
                std::vector<char> again(original.size() + 1);
                uint32_t againLength = 0;
                if (ComControl::evtpRemoveEscapeSequence(again.data(), static_cast<uint32_t>(again.size()), &againLength,
                                                         escaped.data(), escapedLength) != 0 ||
                    std::string(again.data(), againLength) != original) {
                    __builtin_trap();
                }
            }
        }
        offset += consumed;
        if (limit != 0 && offset >= limit) return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0;  // the codec's log lines need it
    (void)started;
    if (size == 0 || size > 0x10000) return 0;
    receive(data[0], data + 1, static_cast<uint32_t>(size - 1));
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    walkItems(text.c_str(), 0);  // up to the first zero
    if (size > 1) walkItems(text.data(), static_cast<uint32_t>(size - 1));
    return 0;
}
