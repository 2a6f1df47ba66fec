#pragma once
// The editor's side of the editor link, for tests: a listener on 127.0.0.1 at a port the test
// picks (0: one the system hands out) that accepts the engine's connection, writes request lines
// and reads reply and notification lines, every wait bounded. It can also start the real program
// as a child process in a temporary folder, with a work folder there and this listener's port.
// One test thread uses it; not locked.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "main/app/editor/EngineProcess.h"

namespace EngineTest {

class TestEditor {
public:
    using Clock = std::chrono::steady_clock;

    TestEditor() = default;
    TestEditor(const TestEditor&) = delete;
    TestEditor& operator=(const TestEditor&) = delete;
    ~TestEditor()
    {
        closeConnection();
        closeFd(m_listener);
    }

    // Listens on 127.0.0.1 at the port (0: any free one); false when it cannot.
    bool listen(uint16_t port = 0)
    {
        closeFd(m_listener);
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listener < 0) return false;
        const int on = 1;
        (void)::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
        sockaddr_in address = loopback(port);
        socklen_t length = sizeof(address);
        if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 4) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            closeFd(m_listener);
            return false;
        }
        m_port = ntohs(address.sin_port);
        return true;
    }
    uint16_t port() const { return m_port; }
    // Stops listening: a later connect is refused.
    void stopListening() { closeFd(m_listener); }

    // Takes the next connection within the limit (an earlier one is closed first).
    bool accept(std::chrono::milliseconds limit)
    {
        if (m_listener < 0 || !waitReadable(m_listener, Clock::now() + limit)) return false;
        closeConnection();
        m_connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_connection >= 0;
    }
    bool isConnected() const { return m_connection >= 0; }
    void closeConnection()
    {
        closeFd(m_connection);
        m_received.clear();
        m_peerClosed = false;
    }

    // Writes the text and a line feed.
    bool writeLine(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        return writeBytes(text + "\n", limit);
    }
    // Writes the bytes as they are (several writes if the peer reads slowly), within the limit.
    bool writeBytes(const std::string& bytes, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto deadline = Clock::now() + limit;
        size_t done = 0;
        while (done < bytes.size()) {
            if (m_connection < 0 || !waitFor(m_connection, POLLOUT, deadline)) return false;
            const ssize_t n = ::send(m_connection, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // The next line without its line feed, or nothing when none completes within the limit.
    std::optional<std::string> readLine(std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto deadline = Clock::now() + limit;
        while (true) {
            const size_t end = m_received.find('\n');
            if (end != std::string::npos) {
                std::string line = m_received.substr(0, end);
                m_received.erase(0, end + 1);
                return line;
            }
            if (!readSome(deadline)) return std::nullopt;
        }
    }
    // Whether the engine closes the connection within the limit (lines still unread are kept).
    bool waitForClose(std::chrono::milliseconds limit)
    {
        const auto deadline = Clock::now() + limit;
        while (!m_peerClosed) {
            if (!readSome(deadline) && !m_peerClosed) return false;
        }
        return true;
    }
    // Bytes received and not yet returned as a line.
    const std::string& unread() const { return m_received; }

    // Installs the program in a temporary folder, makes the work folder "work" there and starts
    // the program with "uid", "work" and this listener's "port", then the extra arguments.
    bool startEngine(const std::string& uid = "dev01", const std::vector<std::string>& extra = {})
    {
        const std::string program = EngineProcess::install(m_folder.path(), true);
        std::error_code ignored;
        std::filesystem::create_directories(workFolder(), ignored);
        std::vector<std::string> arguments = {"uid=" + uid, "work=" + workFolder(), "port=" + std::to_string(m_port)};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return m_engine.start(program, arguments);
    }
    EngineProcess& engine() { return m_engine; }
    const TempFolder& folder() const { return m_folder; }
    std::string workFolder() const { return m_folder.file("work"); }

private:
    static sockaddr_in loopback(uint16_t port)
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    static void closeFd(int& fd)
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    static bool waitFor(int fd, short events, Clock::time_point deadline)
    {
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd p = {fd, events, 0};
            const int n = ::poll(&p, 1, static_cast<int>(left));
            if (n > 0) return true;
            if (n < 0 && errno != EINTR) return false;
        }
    }
    static bool waitReadable(int fd, Clock::time_point deadline) { return waitFor(fd, POLLIN, deadline); }

    // One read of what has arrived before the deadline; false at the deadline or the end.
    bool readSome(Clock::time_point deadline)
    {
        if (m_connection < 0 || m_peerClosed || !waitReadable(m_connection, deadline)) return false;
        char buffer[65536];
        const ssize_t n = ::recv(m_connection, buffer, sizeof(buffer), 0);
        if (n <= 0) {
            m_peerClosed = true;
            return false;
        }
        m_received.append(buffer, static_cast<size_t>(n));
        return true;
    }

    int m_listener = -1;
    int m_connection = -1;
    uint16_t m_port = 0;
    bool m_peerClosed = false;
    std::string m_received;
    TempFolder m_folder;
    EngineProcess m_engine;  // ended before the folder goes (members end in reverse order)
};

}  // namespace EngineTest
