#pragma once
// The engine program run as a real process for a test: installed (copied) into a folder of the
// test, since its settings and restart script lie beside it; started there with a standard
// input that stays open and is never written; its output read through a pipe with bounded waits.
// The shipped settings get an OSC receive port of their own, so engines run side by side.
// Likewise the debug console: a start without "dbgport" is given a free port.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "vsock/VsockTestSupport.h"

extern char** environ;

namespace EngineTest {

class EngineProcess {
public:
    EngineProcess() = default;
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    ~EngineProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            (void)::waitpid(m_pid, &status, 0);
        }
        closeFd(m_output);
        closeFd(m_input);
    }

    // Copies the built program, and with shippedSettings the settings file shipped beside it,
    // into the folder; the program path in it.
    static std::string install(const std::string& folder, bool shippedSettings)
    {
        const std::filesystem::path built(UZENGINE_PROGRAM);
        const std::filesystem::path program = std::filesystem::path(folder) / "uzengine";
        std::filesystem::copy_file(built, program, std::filesystem::copy_options::overwrite_existing);
        if (shippedSettings) {
            std::filesystem::copy_file(built.parent_path() / "SystemSetting.ini",
                                       std::filesystem::path(folder) / "SystemSetting.ini",
                                       std::filesystem::copy_options::overwrite_existing);
            useFreeOscPort(std::filesystem::path(folder) / "SystemSetting.ini");
        }
        // The definition files and the component libraries ship beside the program too.
        for (const char* shipped : {"Descriptor", "Component"}) {
            std::filesystem::copy(built.parent_path() / shipped, std::filesystem::path(folder) / shipped,
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::overwrite_existing);
        }
        return program.string();
    }

    // The settings' OSC receive port replaced by a free one (the shipped one is fixed).
    static void useFreeOscPort(const std::filesystem::path& settings)
    {
        std::stringstream text;
        text << std::ifstream(settings).rdbuf();
        std::string lines = text.str();
        const std::string shipped = "OSCRxPort = 49900";
        const size_t at = lines.find(shipped);
        if (at == std::string::npos) return;
        lines.replace(at, shipped.size(), "OSCRxPort = " + std::to_string(vsocktest::pickPort(SOCK_DGRAM)));
        std::ofstream(settings) << lines;
    }

    // Starts the program with its folder as working folder.
    bool start(const std::string& program, const std::vector<std::string>& arguments)
    {
        int output[2];
        int input[2];
        if (::pipe2(output, O_CLOEXEC) != 0) return false;
        if (::pipe2(input, O_CLOEXEC) != 0) return false;
        m_output = output[0];
        m_input = input[1];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_adddup2(&actions, output[1], 2);
        const std::string folder = std::filesystem::path(program).parent_path().string();
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        std::vector<std::string> texts = {program};
        texts.insert(texts.end(), arguments.begin(), arguments.end());
        bool debugPortGiven = false;
        for (const std::string& argument : arguments) debugPortGiven = debugPortGiven || argument.rfind("dbgport=", 0) == 0;
        if (!debugPortGiven) texts.push_back("dbgport=" + std::to_string(vsocktest::pickPort(SOCK_STREAM)));
        std::vector<char*> argv;
        for (std::string& text : texts) argv.push_back(text.data());
        argv.push_back(nullptr);
        m_started = std::chrono::steady_clock::now();
        const int spawned = ::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(output[1]);
        ::close(input[0]);
        if (spawned != 0) m_pid = -1;
        return spawned == 0;
    }

    // Reads until the output holds the text or the limit has passed.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (m_text.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= deadline || !readSome(deadline)) {
                return m_text.find(text) != std::string::npos;
            }
        }
        return true;
    }

    bool signal(int number) const { return m_pid > 0 && ::kill(m_pid, number) == 0; }

    // The exit code once the process has ended within the limit (its output read to the end);
    // nothing when it did not end or ended by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (readSome(deadline)) {
        }
        if (m_pid <= 0) return std::nullopt;
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
            ::poll(nullptr, 0, 1);
        }
        m_pid = -1;
        if (!WIFEXITED(status)) return std::nullopt;
        return WEXITSTATUS(status);
    }

    const std::string& output() const { return m_text; }
    std::chrono::steady_clock::time_point startedAt() const { return m_started; }

    size_t count(const std::string& line) const
    {
        size_t n = 0;
        for (size_t at = m_text.find(line); at != std::string::npos; at = m_text.find(line, at + line.size())) ++n;
        return n;
    }

private:
    static void closeFd(int& fd)
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }

    // One read when output comes before the deadline; false at the end of the output or the deadline.
    bool readSome(std::chrono::steady_clock::time_point deadline)
    {
        if (m_output < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd = {m_output, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
        char buffer[4096];
        const ssize_t got = ::read(m_output, buffer, sizeof(buffer));
        if (got <= 0) {
            closeFd(m_output);
            return false;
        }
        m_text.append(buffer, static_cast<size_t>(got));
        return true;
    }

    pid_t m_pid = -1;
    int m_output = -1;
    int m_input = -1;  // held open and never written: the engine must not wait for input
    std::string m_text;
    std::chrono::steady_clock::time_point m_started;
};

}  // namespace EngineTest
