#pragma once
// The debug console shell: echoes and edits what a user types over a console transport, keeps one
// line of history, splits lines into tokens, runs the built-in commands and hands the rest to the
// command modules of a module table. Owner task only, except onLowIOWakeup (transport's task).
#include <cstdarg>
#include <cstdint>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "dbgc/dbgc_StringElement.h"
#include "jlib/jlib_result.h"

namespace DBGC {

class DebugConsole;

// Implemented by the thread that owns a shell.
class IDebugConsoleCallback {
public:
    virtual ~IDebugConsoleCallback() = default;
    // The shell's transport has events; called on the transport's task, so only post to the owner,
    // which then calls the shell's run on its own task.
    virtual JLIB::JResult onDebugConsoleWakeup(DebugConsole& console) = 0;
};

// One row of a module table. The handler gets the token count and the tokens, the command first.
struct DBG_MODULE_INFO {
    const char* name;
    JLIB::JResult (*handler)(DebugConsole& console, uint32_t count, const StringElement* tokens);
    const char* description;
};

class DebugConsole : public IDebugConsoleLowIOCallback {
public:
    static constexpr uint32_t kLineSize = 80;     // a line keeps at most 79 characters
    static constexpr uint32_t kOutputSize = 256;  // an answer keeps at most 255 characters
    static constexpr uint32_t kMaxTokens = 20;    // a line with 20 tokens is refused

    DebugConsole();
    ~DebugConsole() override;
    DebugConsole(const DebugConsole&) = delete;
    DebugConsole& operator=(const DebugConsole&) = delete;

    // Opens the transport with this shell as its callback. 0x80000000 when a transport is set
    // already, the table is null or empty, or the transport fails to open (it stays set until
    // finalize). The callback (may be null), transport and table are borrowed.
    [[nodiscard]] JLIB::JResult initialize(IDebugConsoleCallback* callback, IDebugConsoleLowIO& lowIO,
                                           const DBG_MODULE_INFO* table, uint32_t rows);
    // Closes and forgets the transport, then restarts; 0x80000000 without a transport.
    JLIB::JResult finalize();
    // Delivers the transport's events on the calling (owner) task; 0x80000000 without a transport
    // or when the transport fails.
    JLIB::JResult run();
    // Standard module current; line, history and answer emptied.
    JLIB::JResult restart();

    // The debug print's output lock around a multi-line answer; no dbgPrintf in between.
    JLIB::JResult startOutput();
    JLIB::JResult endOutput();
    // Formats one answer (cut at 255 characters) and sends all of it. 0x80000000 without a
    // transport or format, or when a send makes no progress; else the last send's and flush's codes.
    JLIB::JResult output(const char* format, ...) __attribute__((format(printf, 2, 3)));
    JLIB::JResult voutput(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

    JLIB::JResult onLowIOWakeup(IDebugConsoleLowIO& lowIO) override;
    // Writes the banner and the prompt.
    JLIB::JResult onLowIOPrepared(IDebugConsoleLowIO& lowIO) override;
    JLIB::JResult onLowIOReceived(IDebugConsoleLowIO& lowIO) override;

    // Reads and edits the received bytes; runs each finished line.
    JLIB::JResult parse();
    // Splits the current line into tokens and dispatches it; always 0.
    JLIB::JResult analyze();
    // Runs a command of the module named (ignoring case) module; always 0.
    JLIB::JResult runCommand(const char* module, uint32_t count, const StringElement* tokens);
    JLIB::JResult cmdLog(uint32_t count, const StringElement* tokens);

    // The name of the current module, as the prompt shows it.
    const char* currentModuleName() const;

private:
    JLIB::JResult writePrompt();
    void echo(uint8_t byte);
    // Handles one line end; false when parse must stop and leave the rest with the transport.
    bool endLine();
    int32_t findModule(const char* name) const;

    IDebugConsoleCallback* m_pCallback = nullptr;  // the owning thread
    IDebugConsoleLowIO* m_pLowIO = nullptr;        // kept alive by the owner while set
    const DBG_MODULE_INFO* m_pModuleTable = nullptr;  // the owner's table, static in practice
    uint32_t m_moduleCount = 0;
    uint32_t m_currentModule = 0;
    char m_output[kOutputSize] = {};
    char m_line[kLineSize] = {};
    uint32_t m_lineLength = 0;
    char m_history[kLineSize] = {};
    uint32_t m_historyLength = 0;
};

// Writes the banner between startOutput and endOutput.
JLIB::JResult dbgOpening(DebugConsole& console);

}  // namespace DBGC
