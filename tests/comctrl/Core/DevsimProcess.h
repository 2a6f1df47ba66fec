#pragma once
// uz_devsim as a real child process with pipes on its standard input and output.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VUviRido/Socket/VComTestOwner.h"

namespace comctrltest {

// uz_devsim with pipes on its standard input and output; always reaped.
class DevsimProcess {
public:
    ~DevsimProcess()
    {
        if (m_pid > 0) {
            (void)::kill(m_pid, SIGKILL);
            int status = 0;
            (void)::waitpid(m_pid, &status, 0);
        }
        closeStdin();
        if (m_reader.joinable()) m_reader.join();  // ends with the child's output
        if (m_stdout >= 0) ::close(m_stdout);
    }

    bool start(const std::vector<std::string>& options)
    {
#ifdef UZ_DEVSIM_PATH
        std::vector<std::string> args = {UZ_DEVSIM_PATH};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0) return false;
        if (::pipe2(out, O_CLOEXEC) != 0) return false;
        m_pid = ::fork();
        if (m_pid == 0) {
            (void)::dup2(in[0], STDIN_FILENO);
            (void)::dup2(out[1], STDOUT_FILENO);
            for (int fd = 3; fd < 1024; ++fd) (void)::close(fd);  // no socket of this process goes along
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_stdin = in[1];
        m_stdout = out[0];
        if (m_pid < 0) return false;
        m_reader = std::thread([this] {
            char bytes[512];
            ssize_t n = 0;
            while ((n = ::read(m_stdout, bytes, sizeof(bytes))) > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_output.append(bytes, static_cast<size_t>(n));
            }
        });
        return true;
#else
        return false;
#endif
    }

    // The port of the first line "LISTEN <port>"; 0 when it did not come within 10 s.
    uint16_t listenPort()
    {
        std::string first;
        if (!vsocktest::waitFor([&] {
                const std::string out = output();
                const size_t end = out.find('\n');
                if (end == std::string::npos) return false;
                first = out.substr(0, end);
                return true;
            }, std::chrono::seconds(10))) {
            return 0;
        }
        if (first.rfind("LISTEN ", 0) != 0) return 0;
        return static_cast<uint16_t>(std::stoul(first.substr(7)));
    }

    std::string output()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_output;
    }
    void closeStdin()
    {
        if (m_stdin >= 0) ::close(m_stdin);
        m_stdin = -1;
    }
    void terminate() { (void)::kill(m_pid, SIGTERM); }
    // Sends one command line and gives the answer line it printed; "" when none came in 10 s.
    std::string ask(const std::string& line)
    {
        const size_t before = output().size();
        const std::string bytes = line + "\n";
        if (m_stdin < 0 || ::write(m_stdin, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return "";
        std::string answer;
        (void)vsocktest::waitFor([&] {
            const std::string out = output();
            const size_t end = out.find('\n', before);
            if (end == std::string::npos) return false;
            answer = out.substr(before, end - before);
            return true;
        }, std::chrono::seconds(10));
        return answer;
    }
    // As ask, for a simulator that also prints log lines: the first line after the command that
    // begins with prefix; "" when none came in 10 s.
    std::string askFor(const std::string& line, const std::string& prefix)
    {
        const size_t before = output().size();
        const std::string bytes = line + "\n";
        if (m_stdin < 0 || ::write(m_stdin, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return "";
        std::string answer;
        (void)vsocktest::waitFor([&] {
            const std::string out = output();
            for (size_t at = before; at < out.size();) {
                const size_t end = out.find('\n', at);
                if (end == std::string::npos) return false;
                if (out.compare(at, prefix.size(), prefix) == 0) {
                    answer = out.substr(at, end - at);
                    return true;
                }
                at = end + 1;
            }
            return false;
        }, std::chrono::seconds(10));
        return answer;
    }
    // The exit status; -1 when it did not end normally within the limit.
    int waitExit(std::chrono::seconds limit = std::chrono::seconds(10))
    {
        int status = 0;
        const bool ended = vsocktest::waitFor([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit);
        if (!ended) return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::string m_output;
};

}  // namespace comctrltest
