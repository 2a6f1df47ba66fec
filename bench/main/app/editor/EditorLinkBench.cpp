// The editor's most frequent request over the real link: "set" "prm_val" to the running program
// and back (its reply, then its notification drained), against a bare loopback TCP echo of a
// line of the same size in the same run.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 30000;

int listenLoopback(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

int acceptWithin(int listener)
{
    pollfd p = {listener, POLLIN, 0};
    if (::poll(&p, 1, kWaitMs) <= 0) return -1;
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    const int on = 1;
    if (fd >= 0) (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    return fd;
}

// Lines of one connection, every wait bounded.
class LineSocket {
public:
    explicit LineSocket(int fd) : m_fd(fd) {}
    ~LineSocket()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool write(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += size_t(n);
        }
        return true;
    }
    // Skips notifications of other parameters (changes of the device itself) up to the line that
    // begins with the head and holds the text.
    bool readUntil(std::string& line, const char* head, const char* text)
    {
        while (readLine(line)) {
            if (line.rfind(head, 0) == 0 && line.find(text) != std::string::npos) return true;
            if (line.rfind(R"({"notify")", 0) != 0) return false;
        }
        return false;
    }
    bool readLine(std::string& line)
    {
        while (true) {
            const size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                line.assign(m_buffer, 0, end);
                m_buffer.erase(0, end + 1);
                return true;
            }
            pollfd p = {m_fd, POLLIN, 0};
            if (::poll(&p, 1, kWaitMs) <= 0) return false;
            char chunk[65536];
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0) return false;
            m_buffer.append(chunk, size_t(n));
        }
    }

private:
    int m_fd;
    std::string m_buffer;
};

std::string setLine(int value)
{
    return R"({"request":{"cmd":"set_prm_val","from":"ed","to":"dev01","reqid":"1","cmdinfo":{"info":)"
           R"({"prmAddr":"Status/#0/Status/Battery:0:0","prmValue":)" +
           std::to_string(value) + "}}}}\n";
}

// The program installed in a folder of its own with what ships beside it.
std::string install(const fs::path& folder)
{
    const fs::path built(UZENGINE_PROGRAM);
    fs::copy_file(built, folder / "uzengine", fs::copy_options::overwrite_existing);
    fs::copy_file(built.parent_path() / "SystemSetting.ini", folder / "SystemSetting.ini",
                  fs::copy_options::overwrite_existing);
    for (const char* shipped : {"Descriptor", "Component"}) {
        fs::copy(built.parent_path() / shipped, folder / shipped,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    fs::create_directories(folder / "work");
    return (folder / "uzengine").string();
}

void BM_SetParameterOverTheEditorLink(benchmark::State& state)
{
    char pattern[] = "/tmp/uz_editor_bench_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) return state.SkipWithError("no temporary folder");
    const fs::path folder(made);
    uint16_t port = 0;
    const int listener = listenLoopback(port);
    if (listener < 0) return state.SkipWithError("cannot listen");
    const std::string program = install(folder);
    std::vector<std::string> texts = {program, "uid=dev01", "work=" + (folder / "work").string(),
                                      "port=" + std::to_string(port)};
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return state.SkipWithError("cannot start the program");
    {
        LineSocket link(acceptWithin(listener));
        std::string line;
        // The device's own start-up changes may be notified before the connected line.
        if (!link.readUntil(line, R"({"connected")", "")) {
            state.SkipWithError("no connected line");
        } else {
            int value = 2;
            for (auto _ : state) {
                value = value == 2 ? 3 : 2;  // a new value each time, so each write is notified
                if (!link.write(setLine(value)) || !link.readUntil(line, R"({"reply")", "") ||
                    !link.readUntil(line, R"({"notify")", "Status/#0/Status/Battery:0:0")) {
                    static std::string why;
                    why = "no reply and notification: " + line.substr(0, 200);
                    state.SkipWithError(why.c_str());
                    break;
                }
            }
        }
    }  // closing the link ends the program
    int status = 0;
    for (int i = 0; i < kWaitMs && ::waitpid(pid, &status, WNOHANG) == 0; ++i) ::usleep(1000);
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        (void)::waitpid(pid, &status, 0);
    }
    ::close(listener);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}
BENCHMARK(BM_SetParameterOverTheEditorLink)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The baseline: a thread echoing each line back over loopback TCP.
void BM_LoopbackEchoOfTheSameLine(benchmark::State& state)
{
    uint16_t port = 0;
    const int listener = listenLoopback(port);
    if (listener < 0) return state.SkipWithError("cannot listen");
    std::thread echo([listener] {
        LineSocket peer(acceptWithin(listener));
        std::string line;
        while (peer.readLine(line) && peer.write(line + "\n")) {
        }
    });
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        state.SkipWithError("cannot connect");
    } else {
        LineSocket link(fd);
        const std::string request = setLine(2);
        std::string line;
        for (auto _ : state) {
            if (!link.write(request) || !link.readLine(line)) {
                state.SkipWithError("the echo broke");
                break;
            }
        }
    }  // closing ends the echo thread
    echo.join();
    ::close(listener);
}
BENCHMARK(BM_LoopbackEchoOfTheSameLine)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
