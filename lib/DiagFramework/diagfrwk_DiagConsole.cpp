#include "DiagFramework/diagfrwk_DiagConsole.h"

#include <cstring>

#include "DiagFramework/diagfrwk_DiagHooks.h"
#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "dbgc/dbgc_LineInput.h"
#include "dbgc/dbgc_StringElement.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_printf.h"

namespace DiagFramework {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool sameWord(const char* text, const char* word) { return DBGC::StringElement(text).isEqual(word, false); }

// The four words that drive the session; they go to every client thread.
bool isSessionWord(const char* text)
{
    for (const DIAG_PRESET_COMMAND& preset : gPresetCommandTable) {
        if (sameWord(text, preset.commandName)) return true;
    }
    return false;
}

}  // namespace

DiagConsole::DiagConsole() = default;

DiagConsole::~DiagConsole() = default;

JLIB::JResult DiagConsole::initialize(IDiagConsoleCallback* callback, DBGC::IDebugConsoleLowIO& lowIO)
{
    m_pTable = getDiagCommandInfoTable();
    m_rowCount = 0;
    while (m_pTable[m_rowCount].commandId != -1 && m_pTable[m_rowCount].commandName) ++m_rowCount;
    m_pCurrent = nullptr;
    m_commands.clear();
    m_clientThreads.clear();
    m_commands.reserve(m_rowCount);  // fixed from here on: m_pCurrent points into it
    for (uint32_t row = 0; row < m_rowCount; ++row) {
        m_commands.emplace_back(&m_pTable[row]);
        for (const char* thread : m_pTable[row].destThreadName) {
            if (!thread) break;
            bool known = false;
            for (const char* name : m_clientThreads) known = known || std::strcmp(name, thread) == 0;
            if (!known) m_clientThreads.push_back(thread);
        }
    }
    m_pCallback = callback;
    m_pLowIO = &lowIO;
    m_initialized = false;
    if (JLIB::isFailure(lowIO.initialize(*this))) {
        JLIB_LOG("[E] DebugConsole::initialize - Cannot initialize 'Low-level I/O'!\n");
        return JLIB::kFailed;
    }
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult DiagConsole::run()
{
    if (!m_pLowIO || JLIB::isFailure(m_pLowIO->runCallback())) return JLIB::kFailed;
    return JLIB::kOk;
}

DiagCommand* DiagConsole::findCommand(const char* name)
{
    for (DiagCommand& command : m_commands) {
        if (sameWord(name, command.commandName())) return &command;
    }
    return nullptr;
}

JLIB::JResult DiagConsole::onReceiveRequest(const char* commandName, uint32_t step, const char* requester)
{
    if (!m_initialized || !commandName) return JLIB::kFailed;
    (void)DiagLogger::getInstance().add(commandName);  // an unset log only misses the line
    (void)DiagLogger::getInstance().add("\n");
    if (step != 0) {
        (void)output("DIAG SEQ ERROR! %s [received seq = %d]\n", commandName, static_cast<int32_t>(step));
        return JLIB::kFailed;
    }

    if (sameWord(commandName, "DIAG_END") && m_session) {
        m_session = false;
        (void)onDiagFinished();  // the run mode is the product's; the session ends regardless
    } else if (sameWord(commandName, "DIAG_START") && !m_session) {
        m_session = true;
        (void)onDiagStarted();  // likewise
    }
    if (isSessionWord(commandName)) {
        if (sameWord(commandName, "DIAG_INIT")) (void)restart();  // always 0
        // Every worker hears the session words, whether or not the session changed; a missing
        // worker does not stop the others from hearing them.
        for (const char* thread : m_clientThreads) (void)sendDiagSeqRequestMessage(thread, commandName, 0);
        return JLIB::kOk;
    }

    DiagCommand* command = findCommand(commandName);
    if (!command) {
        (void)output("DIAG COMMAND ERROR! %s\n", commandName);
        return JLIB::kFailed;
    }
    if (m_pCurrent && m_pCurrent != command) {
        m_pCurrent->stopSequence();
        (void)output("The previous running command was aborted.\n");
    }
    m_requester = requester ? requester : "";
    m_pCurrent = command;
    (void)onCurrentDiagCommandChanged(*command);  // publication is best effort
    command->startSequence();
    return sendDiagSeqRequestMessage(command->destThreadId(0), command->commandName(), 0);
}

JLIB::JResult DiagConsole::onReceiveReply(const char* commandName, uint32_t step, DiagResult result,
                                          const char* message)
{
    if (!m_initialized || !commandName) return JLIB::kFailed;
    if (!m_session || isSessionWord(commandName)) return JLIB::kOk;
    DiagCommand* command = findCommand(commandName);
    if (!command) {
        (void)output("DIAG COMMAND ERROR! %s\n", commandName);
        return JLIB::kFailed;
    }
    if (!command->isExecuting()) return JLIB::kOk;
    if (step == kCurrentSequence) step = static_cast<uint32_t>(command->sequenceNo());
    if (step != static_cast<uint32_t>(command->sequenceNo())) {
        (void)output("DIAG SEQ ERROR! %s [received seq = %d]\n", commandName, static_cast<int32_t>(step));
        return JLIB::kOk;
    }
    (void)command->setSequenceResult(result, message);  // the step is 0 to 3 while executing
    if (result != DiagResult::kOk || command->isLastSequence()) return finalizeCommandSeq(*command);
    (void)command->proceedSequence();  // not last: the next step exists
    return sendDiagSeqRequestMessage(command->destThreadId(command->sequenceNo()), command->commandName(),
                                     static_cast<uint32_t>(command->sequenceNo()));
}

JLIB::JResult DiagConsole::onReceiveOutputMessage(const char* text)
{
    if (!text) return JLIB::kFailed;
    return output("%s", text);
}

JLIB::JResult DiagConsole::finalizeCommandSeq(DiagCommand& command)
{
    (void)output(command.diagResult() == DiagResult::kOk ? "PASS: %s" : "FAIL: %s", command.commandName());
    (void)output(" %s", command.messageStr().c_str());
    (void)output("\n\n");  // lost console text is the operator's to notice; the log has it

    const uint32_t lastStep = static_cast<uint32_t>(command.sequenceNo());
    command.stopSequence();
    if (m_pCurrent == &command) m_pCurrent = nullptr;
    (void)onDiagCommandFinished(command);  // publication is best effort

    JLIB::JResult result = JLIB::kOk;
    const char* sentTo[kMaxSequence] = {};
    uint32_t sentCount = 0;
    for (int32_t step = 0; step < static_cast<int32_t>(kMaxSequence); ++step) {
        const char* thread = command.destThreadId(step);
        if (!thread) break;
        bool done = false;
        for (uint32_t i = 0; i < sentCount; ++i) done = done || std::strcmp(sentTo[i], thread) == 0;
        if (done) continue;
        sentTo[sentCount++] = thread;
        if (JLIB::isFailure(sendDiagResultMessage(thread, command.commandName(), lastStep, command.diagResult(),
                                                  command.messageStr().c_str()))) {
            result = JLIB::kFailed;
        }
    }
    bool requesterDone = m_requester.empty();
    for (uint32_t i = 0; i < sentCount; ++i) requesterDone = requesterDone || m_requester == sentTo[i];
    if (!requesterDone && JLIB::isFailure(sendDiagResultMessage(m_requester.c_str(), command.commandName(), lastStep,
                                                                command.diagResult(), command.messageStr().c_str()))) {
        result = JLIB::kFailed;
    }
    return result;
}

JLIB::JResult DiagConsole::output(const char* format, ...)
{
    if (!format) return JLIB::kFailed;
    va_list args;
    va_start(args, format);
    uint32_t length = 0;
    const JLIB::JResult formatted = jlib_vsnprintf(m_output, kOutputSize, &length, format, args);
    va_end(args);
    if (JLIB::isFailure(formatted)) return JLIB::kFailed;
    (void)DiagLogger::getInstance().add(m_output);  // an unset log only misses the text
    if (!m_pLowIO) return JLIB::kFailed;
    return DBGC::LineInput::sendWhole(*m_pLowIO, m_output, static_cast<uint32_t>(std::strlen(m_output)));
}

JLIB::JResult DiagConsole::restart()
{
    std::memset(m_line, 0, sizeof m_line);
    m_lineLength = 0;
    std::memset(m_output, 0, sizeof m_output);
    for (DiagCommand& command : m_commands) command.stopSequence();
    return JLIB::kOk;
}

JLIB::JResult DiagConsole::onLowIOWakeup(DBGC::IDebugConsoleLowIO&)
{
    if (m_pCallback) (void)m_pCallback->onDiagConsoleWakeup(*this);  // only posts to the owner
    return JLIB::kOk;
}

JLIB::JResult DiagConsole::onLowIOPrepared(DBGC::IDebugConsoleLowIO&)
{
    (void)output("####--- GW1/3/5 Diagnostics ---###\n");  // a lost banner is not reported
    return JLIB::kOk;
}

JLIB::JResult DiagConsole::onLowIOReceived(DBGC::IDebugConsoleLowIO&) { return parse(); }

void DiagConsole::echo(uint8_t byte) { DBGC::LineInput::echo(*m_pLowIO, byte, m_lineLength > 0); }

JLIB::JResult DiagConsole::parse()
{
    if (!m_pLowIO) return JLIB::kFailed;
    DBGC::LineInput::readLines(
        *m_pLowIO, m_line, kLineSize, m_lineLength,
        [this](uint8_t byte) {
            if (m_echo) echo(byte);
        },
        [this] { (void)analyze(); });  // always 0
    return JLIB::kOk;
}

JLIB::JResult DiagConsole::analyze()
{
    uint32_t first = 0;
    uint32_t end = m_lineLength < kLineSize ? m_lineLength : kLineSize - 1;
    while (first < end && isBlank(m_line[first])) ++first;
    while (end > first && isBlank(m_line[end - 1])) --end;
    char text[kLineSize] = {};
    std::memcpy(text, m_line + first, end - first);

    if (sameWord(text, "ECHO ON")) {
        m_echo = true;
    } else if (sameWord(text, "ECHO OFF")) {
        m_echo = false;
    } else if (sameWord(text, "PASS") || sameWord(text, "FAIL")) {
        if (m_pCurrent) {
            const DiagResult result = sameWord(text, "PASS") ? DiagResult::kOk : DiagResult::kNg;
            (void)onReceiveReply(m_pCurrent->commandName(), static_cast<uint32_t>(m_pCurrent->sequenceNo()), result,
                                 nullptr);  // errors are printed where they arise
        }
    } else {
        (void)onReceiveRequest(text, 0, nullptr);  // errors are printed where they arise
    }
    return JLIB::kOk;
}

}  // namespace DiagFramework
