#pragma once
// The factory diagnostics console: an operator types the name of a hardware check, the console
// runs its steps one after another on the worker threads the command table names, collects each
// step's PASS or FAIL and prints and reports the verdict. Threads send the same requests as
// messages to the owner thread "Diag", which hands them to the entry points below. Owner task
// only, except onLowIOWakeup (the transport's task).
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "DiagFramework/config/diagfrwk_Config.h"
#include "DiagFramework/diagfrwk_DiagCommand.h"
#include "DiagFramework/diagfrwk_DiagMessage.h"
#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "jlib/jlib_result.h"

namespace DiagFramework {

class DiagConsole;

// Implemented by the owner thread.
class IDiagConsoleCallback {
public:
    // The console's transport has events; called on the transport's task: the owner posts itself
    // its private event 16 and calls the console's run when it handles it.
    virtual JLIB::JResult onDiagConsoleWakeup(DiagConsole& console) = 0;
    virtual ~IDiagConsoleCallback() = default;
};

class DiagConsole : public DBGC::IDebugConsoleLowIOCallback {
public:
    static constexpr uint16_t kDefaultPort = 50001;
    static constexpr uint32_t kOutputSize = 512;  // one output keeps at most 511 characters
    static constexpr uint32_t kLineSize = 80;     // a line keeps at most 79 characters

    DiagConsole();
    ~DiagConsole() override;
    DiagConsole(const DiagConsole&) = delete;
    DiagConsole& operator=(const DiagConsole&) = delete;

    // Takes the command table, builds the command list and the client thread names and opens the
    // transport with the console as its callback. 0, or 0x80000000 (and a log line) when the
    // transport fails. Both are borrowed: the owner keeps them alive.
    [[nodiscard]] JLIB::JResult initialize(IDiagConsoleCallback* callback, DBGC::IDebugConsoleLowIO& lowIO);
    // Delivers the transport's events; 0x80000000 without a transport or when it fails.
    JLIB::JResult run();

    // Message entry points; the owner calls them with the message's data. The requester is the
    // sending thread's name, null for the console's own input.
    JLIB::JResult onReceiveRequest(const char* commandName, uint32_t step, const char* requester);
    JLIB::JResult onReceiveReply(const char* commandName, uint32_t step, DiagResult result, const char* message);
    JLIB::JResult onReceiveOutputMessage(const char* text);

    // Prints on the console and records the text in the log; the transport's result.
    JLIB::JResult output(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Empties the input line and the output buffer and stops every command; the current command
    // stays set and the session as it is. Always 0.
    JLIB::JResult restart();

    JLIB::JResult onLowIOWakeup(DBGC::IDebugConsoleLowIO& lowIO) override;
    // Prints the banner for the user who connected.
    JLIB::JResult onLowIOPrepared(DBGC::IDebugConsoleLowIO& lowIO) override;
    JLIB::JResult onLowIOReceived(DBGC::IDebugConsoleLowIO& lowIO) override;

    // Reads and edits the received bytes; runs each finished line. An empty line ends the pass
    // and leaves the rest with the transport. 0x80000000 without a transport.
    JLIB::JResult parse();
    // Runs the current line; always 0.
    JLIB::JResult analyze();

    bool isEchoOn() const { return m_echo; }
    bool isSessionOpen() const { return m_session; }
    const DiagCommand* currentCommand() const { return m_pCurrent; }
    const std::vector<const char*>& clientThreadNames() const { return m_clientThreads; }
    const std::string& requester() const { return m_requester; }

private:
    DiagCommand* findCommand(const char* name);
    void echo(uint8_t byte);
    // Prints the verdict, ends the command and reports the verdict to its threads and requester.
    JLIB::JResult finalizeCommandSeq(DiagCommand& command);

    IDiagConsoleCallback* m_pCallback = nullptr;   // the owner thread
    DBGC::IDebugConsoleLowIO* m_pLowIO = nullptr;  // kept alive by the owner
    bool m_initialized = false;
    char m_output[kOutputSize] = {};
    char m_line[kLineSize] = {};
    uint32_t m_lineLength = 0;
    bool m_echo = false;
    bool m_session = false;
    const DIAG_COMMAND_INFO* m_pTable = nullptr;  // the static table
    uint32_t m_rowCount = 0;
    std::vector<DiagCommand> m_commands;  // one per row, in row order
    DiagCommand* m_pCurrent = nullptr;    // an element of m_commands
    std::vector<const char*> m_clientThreads;
    std::string m_requester;
};

}  // namespace DiagFramework
