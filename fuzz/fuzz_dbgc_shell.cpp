// Feeds typed bytes through the debug console shell over an in-memory transport. Input: one byte
// choosing how many bytes each send takes (0 stalls while reporting success, 7 takes everything),
// then chunks, each a length byte and that many typed bytes; every chunk is one received event.
// The handlers check what the shell promises them: fewer than 20 tokens, each 1 to 79 characters.
// Each input then runs again against the console's real module table, without a thread tree or
// databases: every lookup gives the null thread or the null database.
#include <cstddef>
#include <cstdint>

#include "dbgc/Modules/dbgc_DebugModuleTable.h"
#include "dbgc/dbgc_DebugConsole.h"
#include "fuzz_lowio.h"

namespace {

class FuzzLowIO : public QueuedLowIO {
public:
    uint32_t takeAtMost = 0xFFFFFFFFu;
    uint64_t bytesSent = 0;

    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        if (!data || size == 0 || size > DBGC::DebugConsole::kOutputSize) __builtin_trap();
        *sent = size < takeAtMost ? size : takeAtMost;
        bytesSent += *sent;
        return 0;
    }
    JLIB::JResult runCallback() override
    {
        if (m_connectPending) {
            m_connectPending = false;
            (void)m_pCallback->onLowIOPrepared(*this);
        }
        if (m_receivePending) {
            m_receivePending = false;
            (void)m_pCallback->onLowIOReceived(*this);
            if (!m_input.empty()) raise(m_receivePending);
        }
        return 0;
    }

    void connect() { raise(m_connectPending); }
    void type(const uint8_t* bytes, size_t count)
    {
        queue(bytes, count);
        raise(m_receivePending);
    }
    bool hasEvents() const { return m_connectPending || m_receivePending; }

private:
    void raise(bool& pending)
    {
        pending = true;
        (void)m_pCallback->onLowIOWakeup(*this);
    }

    bool m_connectPending = false;
    bool m_receivePending = false;
};

struct Owner : DBGC::IDebugConsoleCallback {
    JLIB::JResult onDebugConsoleWakeup(DBGC::DebugConsole&) override { return 0; }
};

JLIB::JResult checkingHandler(DBGC::DebugConsole& console, uint32_t count, const DBGC::StringElement* tokens)
{
    if (count >= DBGC::DebugConsole::kMaxTokens) __builtin_trap();
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t length = tokens[i].length();
        if (length == 0 || length >= DBGC::DebugConsole::kLineSize) __builtin_trap();
        uint32_t value = 0;
        (void)tokens[i].toUInt(0, &value);  // only the walk over the text matters here
        (void)tokens[i].dec2Int();
    }
    if (count == 0) return 0;
    if (tokens[0] == "fail") return 0x80000000u;
    if (tokens[0] == "echo") {
        (void)console.startOutput();
        for (uint32_t i = 0; i < count; ++i) {
            const char* t = tokens[i].c_str();
            (void)console.output("%s %s %s %s\n", t, t, t, t);  // up to 319 characters: cut at 255
        }
        (void)console.endOutput();
    }
    return 0;
}

const DBGC::DBG_MODULE_INFO kTable[] = {
    {"Top", checkingHandler, "standard"},
    {"Thread", checkingHandler, "threads"},
    {"Component", checkingHandler, "components"},
};

void pump(FuzzLowIO& io, DBGC::DebugConsole& console)
{
    // Each event consumes at least one byte, so this ends; the bound only guards a regression.
    for (int i = 0; i < 100000 && io.hasEvents(); ++i) (void)console.run();
    if (io.hasEvents()) __builtin_trap();
}

void runInput(const uint8_t* data, size_t size, const DBGC::DBG_MODULE_INFO* table, uint32_t rows)
{
    FuzzLowIO io;
    Owner owner;
    DBGC::DebugConsole console;
    const uint32_t take = data[0] & 7u;
    io.takeAtMost = take == 7 ? 0xFFFFFFFFu : take;
    if (console.initialize(&owner, io, table, rows) != 0) __builtin_trap();
    io.connect();
    pump(io, console);
    for (size_t pos = 1; pos < size;) {
        size_t count = data[pos++];
        if (count > size - pos) count = size - pos;
        io.type(data + pos, count);
        pos += count;
        pump(io, console);
    }
    (void)console.finalize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    runInput(data, size, kTable, 3);
    runInput(data, size, DBGC::gDebugModuleTable, DBGC::getDebugModuleTableSize());
    return 0;
}
