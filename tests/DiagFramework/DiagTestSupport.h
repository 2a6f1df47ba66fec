#pragma once
// The diagnostics console's surroundings for its tests: an owner thread "Diag" with the console
// on a TCP port the test picks, worker threads that answer their steps, and a field writer that
// records the publications.
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "DiagFramework/diagfrwk_DiagAccessor.h"
#include "DiagFramework/diagfrwk_DiagConsole.h"
#include "DiagFramework/diagfrwk_DiagHooks.h"
#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "TMS/AbstractThread.h"
#include "dbgc/dbgc_LowIOEtherServer.h"

namespace DiagTest {

inline std::string text(const TMS::AbstractMessage& message, const char* key)
{
    const char* value = message.data(key).toString();
    return value ? value : "";
}

// Records every line it is given; any task.
class Journal {
public:
    void add(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    size_t count(const std::string& line) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t n = 0;
        for (const std::string& l : m_lines) n += l == line ? 1 : 0;
        return n;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// The console's owner as a product would write it: event 16 runs the console, the framework's
// messages go to its entry points, "SaveDiagLog" exports the log.
class DiagOwnerThread : public TMS::AbstractThread, public DiagFramework::IDiagConsoleCallback {
public:
    explicit DiagOwnerThread(uint16_t port) : TMS::AbstractThread(16), m_server(port) {}
    ~DiagOwnerThread() override
    {
        if (getTaskId() != kNoId) (void)release();
    }
    JLIB::JResult onDiagConsoleWakeup(DiagFramework::DiagConsole&) override { return sendEvent(16); }
    JLIB::JResult initializeResult = 0x7FFFFFFF;  // the console's, once set up
    Journal saved;

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap&) override
    {
        (void)DiagFramework::DiagLogger::getInstance().initialize();
        initializeResult = m_console.initialize(this, m_server);
        return 0;
    }
    JLIB::JResult onFinalize() override
    {
        (void)m_server.finalize();
        return 0;
    }
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        if (eventNumber == 16) (void)m_console.run();
        return 0;
    }
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const std::string name = text(message, "CommandName");
        const uint32_t step = message.data("SequenceNo").toUInt32();
        if (message.messageId() == DiagFramework::kDiagRequestMessageId) {
            (void)m_console.onReceiveRequest(name.c_str(), step, message.fromWhere());
        } else if (message.messageId() == DiagFramework::kDiagResultMessageId) {
            const auto result = static_cast<DiagFramework::DiagResult>(message.data("Result").toInt32());
            (void)m_console.onReceiveReply(name.c_str(), step, result, text(message, "Message").c_str());
        } else if (message.messageId() == DiagFramework::kDiagOutputMessageId) {
            (void)m_console.onReceiveOutputMessage(text(message, "Message").c_str());
        } else if (name == "SaveDiagLog") {
            const std::string path = text(message, "Path");
            saved.add(std::to_string(DiagFramework::DiagLogger::getInstance().exportToFile(path.c_str())));
        }
        return 0;
    }

private:
    DiagFramework::DiagConsole m_console;
    // Declared last: destroyed first, while the console it calls back still exists.
    DBGC::LowIOEtherServer m_server;
};

// A worker named in the table: records what it is asked and told, and answers each step with
// the answer set for the command (OK and "<name>:<step>" by default) unless answers are off.
class Worker : public TMS::AbstractThread {
public:
    Worker() : TMS::AbstractThread(16) {}
    ~Worker() override
    {
        if (getTaskId() != kNoId) (void)release();
    }

    Journal journal;  // "req CMD step" and "res CMD step result message"
    std::atomic<bool> answering{true};

    void setAnswer(const std::string& command, DiagFramework::DiagResult result, const std::string& message)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers[command] = {result, message};
    }

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const std::string name = text(message, "CommandName");
        const uint32_t step = message.data("SequenceNo").toUInt32();
        if (message.messageId() == DiagFramework::kDiagResultMessageId) {
            journal.add("res " + name + " " + std::to_string(step) + " " +
                        std::to_string(message.data("Result").toInt32()) + " " + text(message, "Message"));
            return 0;
        }
        if (message.messageId() != DiagFramework::kDiagRequestMessageId) return 0;
        journal.add("req " + name + " " + std::to_string(step));
        if (!answering || DiagFramework::DiagAccessor::getCommandCategory(DiagFramework::DiagAccessor::getCommandId(
                              name.c_str())) < 0) {
            return 0;
        }
        DiagFramework::DiagResult result = DiagFramework::DiagResult::kOk;
        std::string answer = std::string(getThreadName()) + ":" + std::to_string(step);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto found = m_answers.find(name);
            if (found != m_answers.end()) std::tie(result, answer) = found->second;
        }
        (void)DiagFramework::DiagAccessor::replyDiagResult(name.c_str(), step, result, answer.c_str());
        return 0;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::pair<DiagFramework::DiagResult, std::string>> m_answers;
};

// Records each publication as "address channel value".
class RecordingFieldWriter : public DiagFramework::IDiagFieldWriter {
public:
    Journal journal;
    JLIB::JResult writeDiagValue(uint32_t fieldIndex, const char* rootName, const char* address, int32_t channel,
                                 int32_t value) override
    {
        journal.add(std::to_string(fieldIndex) + " " + rootName + " " + address + " " + std::to_string(channel) + " " +
                    std::to_string(value));
        return 0;
    }
};

}  // namespace DiagTest
