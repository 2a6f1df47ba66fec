#pragma once
// The factory address and serial writer's line shell: no echo, no banner, no prompt. A station
// sends one command per line and reads one reply ending "END>" without a line end. Owner task
// only, except onLowIOWakeup (the transport's task).
#include <cstdarg>
#include <cstdint>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "dbgc/dbgc_StringElement.h"
#include "jlib/jlib_result.h"

namespace MACBAR {

class MacBarServer;

// Implemented by the thread that owns a server.
class IMacBarServerCallback {
public:
    virtual ~IMacBarServerCallback() = default;
    // The server's transport has events; called on the transport's task, so only post to the
    // owner, which then calls the server's run on its own task.
    virtual JLIB::JResult onMacBarServerWakeup(MacBarServer& server) = 0;
};

class MacBarServer : public DBGC::IDebugConsoleLowIOCallback {
public:
    static constexpr uint32_t kOutputSize = 256;  // a reply keeps at most 255 characters
    static constexpr uint32_t kLineSize = 80;     // a line keeps at most 79 characters
    static constexpr uint32_t kMaxTokens = 20;    // a line of 20 tokens or more is refused

    MacBarServer();
    ~MacBarServer() override;
    MacBarServer(const MacBarServer&) = delete;
    MacBarServer& operator=(const MacBarServer&) = delete;

    // Stores both and opens the transport with this server as its callback; 0x80000000 (and a
    // log line) when the transport fails. Both are borrowed: the owner keeps them alive.
    [[nodiscard]] JLIB::JResult initialize(IMacBarServerCallback* callback, DBGC::IDebugConsoleLowIO& lowIO);
    // Delivers the transport's events on the calling (owner) task; 0x80000000 without a
    // transport or when it fails.
    JLIB::JResult run();
    // Empties the input line and the output buffer; always 0.
    JLIB::JResult restart();
    // Formats one reply (cut at 255 characters) and sends all of it; 0x80000000 without a
    // transport or format, or when the transport fails or makes no progress.
    JLIB::JResult output(const char* format, ...) __attribute__((format(printf, 2, 3)));

    JLIB::JResult onLowIOWakeup(DBGC::IDebugConsoleLowIO& lowIO) override;
    // Nothing: the station speaks first.
    JLIB::JResult onLowIOPrepared(DBGC::IDebugConsoleLowIO& lowIO) override;
    JLIB::JResult onLowIOReceived(DBGC::IDebugConsoleLowIO& lowIO) override;

    // Reads the received bytes; runs each finished line. An empty line ends the pass and leaves
    // the rest with the transport. 0x80000000 without a transport.
    JLIB::JResult parse();
    // Splits the current line into tokens and runs it; always 0.
    JLIB::JResult analyze();
    // Runs one command (the first token names it) and writes its reply; always 0.
    JLIB::JResult runCommand(uint32_t count, const DBGC::StringElement* tokens);

private:
    IMacBarServerCallback* m_pCallback = nullptr;  // the owning thread
    DBGC::IDebugConsoleLowIO* m_pLowIO = nullptr;  // kept alive by the owner
    char m_output[kOutputSize] = {};
    char m_line[kLineSize] = {};
    uint32_t m_lineLength = 0;
};

}  // namespace MACBAR
