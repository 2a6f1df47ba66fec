#pragma once
// Shared by the TCP console tests: a plain TCP client on 127.0.0.1 that collects what the console
// writes, a port picker, bounded waits, and a console thread that opens and closes its TCP console
// on its own task when asked by an event (as the application's thread does on "DebugState").
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "dbgc/dbgc_DebugConsoleThread.h"

namespace DbgcTest {

using namespace std::chrono_literals;

inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

inline sockaddr_in loopback(uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return in;
}

// Sends standard output to /dev/null for its lifetime (printers in a loop would flood the log).
class StdoutSilencer {
public:
    StdoutSilencer()
    {
        (void)std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            (void)::dup2(devNull, STDOUT_FILENO);
            ::close(devNull);
        }
    }
    ~StdoutSilencer() { restore(); }
    StdoutSilencer(const StdoutSilencer&) = delete;
    StdoutSilencer& operator=(const StdoutSilencer&) = delete;
    void restore()
    {
        if (m_saved < 0) return;
        (void)std::fflush(stdout);
        (void)::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

private:
    int m_saved = -1;
};

// A TCP port on 127.0.0.1 that the system just handed out.
inline uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof in;
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

// A TCP port on all local addresses, held for the test's lifetime by a socket that shares it
// (SO_REUSEADDR) and never listens. A picked port that is let go can be taken by another test
// process before the console opens it; a held one cannot, while the console's listening socket,
// which shares its port too, opens it as often as the test wants. Nobody is served by the holder:
// a connection to the port is refused whenever the console is closed.
class PortHold {
public:
    PortHold()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_fd < 0) return;
        const int yes = 1;
        sockaddr_in in = loopback(0);
        in.sin_addr.s_addr = htonl(INADDR_ANY);
        socklen_t length = sizeof in;
        if (::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
            ::bind(m_fd, reinterpret_cast<sockaddr*>(&in), sizeof in) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
            m_port = ntohs(in.sin_port);
        }
    }
    ~PortHold()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    PortHold(const PortHold&) = delete;
    PortHold& operator=(const PortHold&) = delete;

    uint16_t port() const { return m_port; }  // 0 when no port could be held

private:
    int m_fd = -1;
    uint16_t m_port = 0;
};

// A console user. Everything received is kept; reads happen only inside the wait calls.
class TcpClient {
public:
    TcpClient() = default;
    ~TcpClient() { close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    bool connect(uint16_t port)
    {
        close();
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in in = loopback(port);
        return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr*>(&in), sizeof in) == 0;
    }
    void close()
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    bool type(const std::string& text)
    {
        return m_fd >= 0 && ::send(m_fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
    }

    // Reads until everything received since the last take contains `text` `times` times.
    bool waitFor(const std::string& text, std::chrono::milliseconds limit = 5s, size_t times = 1)
    {
        return readUntil([&] { return occurrences(text) >= times; }, limit);
    }
    // Reads until the peer closes the connection.
    bool waitClosed(std::chrono::milliseconds limit = 5s) { return readUntil([&] { return m_closed; }, limit); }

    // Types the line with a line feed and answers what came back between its echo and the next
    // prompt `prompt`; "<timeout>" when the prompt does not come.
    std::string command(const std::string& line, const std::string& prompt = "Top>", std::chrono::milliseconds limit = 5s)
    {
        (void)take();
        const std::string echo = line + "\n";
        if (!type(echo)) return "<send failed>";
        if (!readUntil([&] { return endsWith(m_received, prompt) && m_received.size() >= echo.size() + prompt.size(); },
                       limit)) {
            return "<timeout>" + take();
        }
        const std::string all = take();
        if (all.compare(0, echo.size(), echo) != 0) return "<no echo>" + all;
        return all.substr(echo.size(), all.size() - echo.size() - prompt.size());
    }

    size_t occurrences(const std::string& text) const
    {
        size_t n = 0;
        for (size_t at = m_received.find(text); at != std::string::npos; at = m_received.find(text, at + text.size())) ++n;
        return n;
    }
    std::string take()
    {
        std::string out;
        out.swap(m_received);
        return out;
    }
    const std::string& received() const { return m_received; }
    uint64_t total() const { return m_total; }
    // Reads whatever is there within the time; false when the connection is gone.
    bool pump(std::chrono::milliseconds limit)
    {
        pollfd p = {m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(limit.count())) <= 0) return true;
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = true;
            return false;
        }
        m_received.append(buffer, static_cast<size_t>(n));
        m_total += static_cast<uint64_t>(n);
        return true;
    }

private:
    static bool endsWith(const std::string& text, const std::string& end)
    {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    bool readUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline || m_fd < 0) return false;
            if (!pump(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + 1ms) && !done()) {
                return false;
            }
        }
        return true;
    }

    int m_fd = -1;
    bool m_closed = false;
    std::string m_received;
    uint64_t m_total = 0;
};

// Opens and closes its TCP console on its own task when sent event 20 or 21.
class ConsoleThread : public DBGC::DebugConsoleThread {
public:
    static constexpr uint32_t kStartEvent = 20;
    static constexpr uint32_t kStopEvent = 21;

    using DBGC::DebugConsoleThread::DebugConsoleThread;
    ~ConsoleThread() override
    {
        if (getTaskId() != kNoId) (void)release();  // before the hooks go
    }

    // Any task: asks the thread and waits until it has answered.
    JLIB::JResult startConsole() { return ask(kStartEvent); }
    JLIB::JResult stopConsole() { return ask(kStopEvent); }

protected:
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        if (eventNumber == kStartEvent) return answer(startEtherConsole());
        if (eventNumber == kStopEvent) return answer(stopEtherConsole());
        return DBGC::DebugConsoleThread::onReceiveEvent(eventNumber);
    }

private:
    static constexpr JLIB::JResult kNoAnswer = 0x7FFFFFFFu;

    JLIB::JResult ask(uint32_t eventNumber)
    {
        m_answer = kNoAnswer;
        if (JLIB::isFailure(sendEvent(eventNumber))) return 0xDEAD0000u;
        if (!waitUntil([&] { return m_answer.load() != kNoAnswer; })) return 0xDEAD0001u;
        return m_answer.load();
    }
    JLIB::JResult answer(JLIB::JResult result)
    {
        m_answer = result;
        return JLIB::kOk;
    }

    std::atomic<JLIB::JResult> m_answer{kNoAnswer};
};

}  // namespace DbgcTest
