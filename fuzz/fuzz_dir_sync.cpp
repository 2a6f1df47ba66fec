// The directory port's receive path: the ten decoders, then a directory synchroniser put in each
// of its states over a folder in a temporary sandbox and fed the input as a run of commands for
// its own port or its file transferer's, with ticks between. Anything deleted or written outside
// that folder, or a changed file beside it, aborts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "comctrl/Core/comctrl_DirectorySynchronizeProtocol.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "fuzz_sandbox.h"
#include "oswrap/oswrap_module.h"

namespace P = ComControl::DirectorySynchronizeProtocol;

namespace {

constexpr const char* kDir = "Snapshot";

// Takes what a component asks to send at once, as the multiplexer does, and drops it.
class DrainPort : public ComControl::IPort {
public:
    ComControl::UnitComponent* directory = nullptr;
    ComControl::UnitComponent* transferer = nullptr;
    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char* name) override
    {
        ComControl::UnitComponent* c = std::strcmp(name, "DS_S") == 0 ? directory : transferer;
        if (!c) return 0;
        static uint8_t out[8192];
        bool more = true;
        for (int i = 0; i < 64 && more; ++i) {
            uint32_t produced = 0;
            more = false;
            if (JLIB::isFailure(c->eventSend(out, sizeof(out), &produced, &more))) break;
        }
        return 0;
    }
};

// The root as each run starts.
void fill(const FuzzSandbox& sandbox)
{
    sandbox.clearRoot();
    std::ofstream(sandbox.root / "a.vexas") << std::string(3000, 'a');
    std::ofstream(sandbox.root / "b.vexas") << "b";
    std::ofstream(sandbox.root / "sub" / "c.vexas") << "c";
}

void decodeAll(const uint8_t* data, uint32_t size)
{
    uint32_t user = 0, answer = 0;
    const char* file = nullptr;
    auto touch = [&](JLIB::JResult r, bool withFile) {
        if (JLIB::isFailure(r) || !withFile) return;
        volatile size_t sink = std::strlen(file);  // the text ends inside the input
        (void)sink;
    };
    touch(P::Decode_StartDirSync(data, size, kDir, &user), false);
    touch(P::Decode_ReqDirSync(data, size, kDir, &user), false);
    touch(P::Decode_FinishDirSync(data, size, kDir, &user), false);
    touch(P::Decode_ComplitedDir(data, size, kDir, &user), false);
    touch(P::Decode_StartDirSyncAnswer(data, size, kDir, &user, &answer), false);
    touch(P::Decode_ReqDirSyncAnswer(data, size, kDir, &user, &answer), false);
    touch(P::Decode_FinishDirSyncAnswer(data, size, kDir, &user, &answer), false);
    touch(P::Decode_ComplitedDirAnswer(data, size, kDir, &user, &answer), false);
    touch(P::Decode_ExistFile(data, size, kDir, &user, &file), true);
    touch(P::Decode_ExistFileAnswer(data, size, kDir, &user, &file, &answer), true);
}

void feed(ComControl::UnitComponent& c, const uint8_t* data, uint32_t size, uint32_t capacity)
{
    static uint8_t out[8192];
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)c.eventReceived(out, capacity, &produced, data, size, &flags);
}

void own(ComControl::DirectorySynchronizer& d, uint32_t id, uint32_t answer)
{
    uint8_t buffer[128];
    uint32_t length = 0;
    JLIB::JResult r = 0x80000000u;
    if (id == P::kStartDirSync) r = P::Encode_StartDirSync(buffer, sizeof(buffer), &length, kDir, 240);
    if (id == P::kComplitedDir) r = P::Encode_ComplitedDir(buffer, sizeof(buffer), &length, kDir, 240);
    if (id == P::kStartDirSyncAnswer) r = P::Encode_StartDirSyncAnswer(buffer, sizeof(buffer), &length, kDir, 240, answer);
    if (r == 0) feed(d, buffer, length, 8192);
}

// Idle, starting, target or source of the initial exchange, synchronised, stopping.
void enterState(ComControl::DirectorySynchronizer& d, uint8_t state)
{
    switch (state % 6) {
    case 1: (void)d.start((state & 0x40) != 0); break;
    case 2: own(d, P::kStartDirSync, 0); break;
    case 3:
        (void)d.start(false);
        own(d, P::kStartDirSyncAnswer, 0);
        break;
    case 4:
        own(d, P::kStartDirSync, 0);
        own(d, P::kComplitedDir, 0);
        break;
    case 5:
        own(d, P::kStartDirSync, 0);
        own(d, P::kComplitedDir, 0);
        (void)d.stop();
        break;
    default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0;  // dbgPrintf's lock needs it
    (void)started;
    static FuzzSandbox sandbox("/tmp/uz_fuzz_ds_XXXXXX");
    if (size < 1 || size > 65536) return 0;
    decodeAll(data + 1, static_cast<uint32_t>(size - 1));

    fill(sandbox);
    ComControl::FileAccessor accessor;
    if (accessor.initialize(1, sandbox.root.c_str(), 256, '/', nullptr) != 0) std::abort();
    DrainPort port;
    {
        ComControl::DirectorySynchronizer d;
        if (d.initialize((data[0] & 0x20) != 0, nullptr, 0, 1) != 0) std::abort();
        (void)d.setPortName("DS_S");
        ComControl::FileTransferer& t = *d.transferer(0);
        (void)t.setPortName("d010");
        if (d.registDirectory(kDir, sandbox.root.c_str(), 50, 240, (data[0] & 0x80) != 0, nullptr) != 0) std::abort();
        if (t.setAccessor(kDir, &accessor, 240) != 0) std::abort();
        port.directory = &d;
        port.transferer = &t;
        (void)d.setPort(&port);
        (void)t.setPort(&port);
        enterState(d, data[0]);
        // The rest is a run of commands, each behind a 16-bit length and a control byte: its top
        // bit sends it to the transferer, the next asks for a tick first, the low bits give room.
        size_t pos = 1;
        while (pos + 3 <= size) {
            const uint32_t length = static_cast<uint32_t>(data[pos] << 8 | data[pos + 1]);
            const uint8_t control = data[pos + 2];
            const uint32_t capacity = (control & 0x1F) < 8 ? (control & 0x1F) * 8u : 8192u;  // sometimes no room
            pos += 3;
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(length, size - pos));
            if (control & 0x40) (void)d.periodicHandle(50);
            if (control & 0x80) feed(t, data + pos, n, capacity);
            else feed(d, data + pos, n, capacity);
            pos += n;
        }
        (void)d.periodicHandle(50);
        (void)d.periodicHandle(5100);
        (void)t.setPort(nullptr);
        (void)d.setPort(nullptr);
    }
    sandbox.check();
    return 0;
}
