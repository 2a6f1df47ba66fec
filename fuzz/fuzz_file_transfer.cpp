// The file port's receive path: the ten decoders, then a transferer put in each of its states
// and fed the input as a run of commands, its accessor rooted in a temporary folder. Anything
// written outside that root, or a changed file beside it, aborts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_FileTransferer.h"
#include "comctrl/Core/comctrl_FileTransfererProtocol.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "fuzz_sandbox.h"
#include "oswrap/oswrap_module.h"

namespace P = ComControl::FileTransfererProtocol;

namespace {

class SilentPort : public ComControl::IPort {
public:
    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char*) override { return 0; }
};

// The root as each run starts.
void fill(const FuzzSandbox& sandbox)
{
    sandbox.clearRoot();
    std::ofstream(sandbox.root / "a.bin") << std::string(5000, 'a');
    std::ofstream(sandbox.root / "sub" / "b.bin") << "b";
}

void decodeAll(const uint8_t* data, uint32_t size)
{
    const char* acc = nullptr;
    const char* name = nullptr;
    const uint8_t* bytes = nullptr;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    bool last = false;
    auto touch = [&](JLIB::JResult r) {
        if (JLIB::isFailure(r)) return;
        size_t n = std::strlen(acc) + std::strlen(name);  // the texts end inside the input
        for (uint32_t i = 0; bytes && i < b; ++i) n += bytes[i];
        volatile size_t sink = n;  // keeps the reads
        (void)sink;
    };
    bytes = nullptr;
    touch(P::Decode_StartSend(data, size, &acc, &name, &a, &c, &bytes, &b));
    bytes = nullptr;
    b = 0;
    touch(P::Decode_StartSendAnswer(data, size, &acc, &name, &a, &c));
    touch(P::Decode_ReqSend(data, size, &acc, &name, &a));
    touch(P::Decode_ReqSendAnswer(data, size, &acc, &name, &a, &c));
    touch(P::Decode_Send(data, size, &acc, &name, &a, &bytes, &b, &last, &c));
    bytes = nullptr;
    b = 0;
    touch(P::Decode_SendAnswer(data, size, &acc, &name, &a, &b, &c, &d));
    b = 0;
    touch(P::Decode_Cancel(data, size, &acc, &name, &a));
    touch(P::Decode_CancelAnswer(data, size, &acc, &name, &a, &c));
    touch(P::Decode_Remove(data, size, &acc, &name, &a));
    touch(P::Decode_RemoveAnswer(data, size, &acc, &name, &a, &c));
}

void feed(ComControl::FileTransferer& t, const uint8_t* data, uint32_t size, uint32_t capacity)
{
    static uint8_t out[4096];
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)t.eventReceived(out, capacity, &produced, data, size, &flags);
    bool more = false;
    (void)t.eventSend(out, sizeof(out), &produced, &more);
}

void own(ComControl::FileTransferer& t, uint32_t id, const char* name, uint32_t answer)
{
    uint8_t buffer[512];
    uint32_t length = 0;
    JLIB::JResult r = 0;
    if (id == P::kStartSend) r = P::Encode_StartSend(buffer, sizeof(buffer), &length, "Config", name, 100, 240, nullptr, 0);
    if (id == P::kStartSendAnswer) r = P::Encode_StartSendAnswer(buffer, sizeof(buffer), &length, "Config", name, 240, answer);
    if (r == 0 && length) feed(t, buffer, length, 4096);
}

// Puts the transferer into state 0 to 5 the way a link would.
void enterState(ComControl::FileTransferer& t, uint8_t state)
{
    uint8_t out[4096];
    uint32_t produced = 0;
    bool more = false;
    switch (state % 6) {
    case 1: (void)t.transfer(false, "a.bin"); break;
    case 2: (void)t.transfer(true, "r.bin"); break;
    case 3:
        (void)t.transfer(false, "a.bin");
        (void)t.eventSend(out, sizeof(out), &produced, &more);
        own(t, P::kStartSendAnswer, "a.bin", 0);
        break;
    case 4: own(t, P::kStartSend, "w.bin", 0); break;
    case 5: (void)t.remove("x.bin"); break;
    default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0;  // dbgPrintf's lock needs it
    (void)started;
    static FuzzSandbox sandbox("/tmp/uz_fuzz_ft_XXXXXX");
    if (size < 1 || size > 65536) return 0;
    decodeAll(data + 1, static_cast<uint32_t>(size - 1));

    fill(sandbox);
    ComControl::FileAccessor accessor;
    if (accessor.initialize(1, sandbox.root.c_str(), 256, '/', nullptr) != 0) std::abort();
    SilentPort port;
    {
        ComControl::FileTransferer t;
        (void)t.initialize(false, nullptr, 0);
        (void)t.setPortName("FC_R");
        (void)t.setPort(&port);
        (void)t.setAccessor("Config", &accessor, 240);
        if (data[0] & 0x80) (void)t.setTmpPath("tmp");
        enterState(t, data[0]);
        // The rest is a run of commands, each behind a 16-bit length and a capacity byte.
        size_t pos = 1;
        while (pos + 3 <= size) {
            const uint32_t length = static_cast<uint32_t>(data[pos] << 8 | data[pos + 1]);
            const uint32_t capacity = data[pos + 2] < 16 ? data[pos + 2] * 8u : 4096u;  // sometimes no room
            pos += 3;
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(length, size - pos));
            feed(t, data + pos, n, capacity);
            if (data[pos - 1] == 0xFF) (void)t.periodicHandle(5100);
            pos += n;
        }
        (void)t.periodicHandle(50);
        (void)t.setPort(nullptr);
    }
    sandbox.check();
    return 0;
}
