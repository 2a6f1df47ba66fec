// uz_devsim: a stand-in for a device on the console link. Listens on 127.0.0.1, prints
// "LISTEN <port>" as its first line and serves until standard input closes or SIGTERM comes.
//   uz_devsim [--port N] [--hash HEX] [--layout FILE]
//   --port N    TCP port, 0 picks a free one (default 50368, the device's console port)
//   --hash HEX  the bytes answered as "HASH" to "SetClientType" (default none)
//   --root DIR  the file port's accessor "Config" works in DIR/Config, and the three synchronised
//               directories in DIR/Preset/3DRev, DIR/Snapshot and DIR/DCP (default none: no files)
//   --layout FILE  parameter databases for the database ports; standard input then takes the
//               commands of DeviceSimulator::onInput
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DeviceSimulator.h"
#include "oswrap/oswrap_module.h"
#include "vsock/vsock.h"

namespace {

constexpr uint16_t kDefaultPort = 50368;

volatile sig_atomic_t g_terminate = 0;
int g_wakeWrite = -1;

void onTerminate(int)
{
    g_terminate = 1;
    const char byte = 0;
    (void)!::write(g_wakeWrite, &byte, 1);  // wakes the loop; a full pipe wakes it as well
}

struct Options {
    uint16_t port = kDefaultPort;
    std::vector<uint8_t> hash;
    std::string layout;
    std::string root;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parseHash(const char* text, std::vector<uint8_t>& bytes)
{
    const size_t length = std::strlen(text);
    if (length % 2 != 0 || length > 256) return false;  // 128 bytes are far beyond any digest
    for (size_t i = 0; i < length; i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool parsePort(const char* text, uint16_t& port)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value > 65535) return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (option == "--port") {
            if (!parsePort(value, options.port)) return false;
        } else if (option == "--root") {
            options.root = value;
        } else if (option == "--layout") {
            options.layout = value;
        } else if (option == "--hash") {
            options.hash.clear();
            if (!parseHash(value, options.hash)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool makeWakePipe(int fds[2])
{
    if (::pipe(fds) != 0) return false;
    for (int i = 0; i < 2; ++i) {
        const int flags = ::fcntl(fds[i], F_GETFL);
        if (flags < 0 || ::fcntl(fds[i], F_SETFL, flags | O_NONBLOCK) != 0) return false;
    }
    return true;
}

void drain(int fd)
{
    char bytes[64];
    while (::read(fd, bytes, sizeof(bytes)) > 0) {
    }
}

// false once standard input is closed.
bool readInput(devsim::DeviceSimulator& simulator)
{
    char bytes[256];
    const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof(bytes));
    if (n > 0) simulator.onInput(bytes, static_cast<size_t>(n));
    return n > 0 || (n < 0 && (errno == EINTR || errno == EAGAIN));
}

int serve(devsim::DeviceSimulator& simulator, int wakeRead)
{
    using Clock = std::chrono::steady_clock;
    const auto kTick = std::chrono::milliseconds(devsim::DeviceSimulator::kTickMs);
    auto nextTick = Clock::now() + kTick;
    bool inputOpen = true;
    while (!g_terminate && inputOpen) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now()).count();
        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int ready = ::poll(fds, 2, wait > 0 ? static_cast<int>(wait) : 0);
        if (ready < 0 && errno != EINTR) return 1;
        if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
            drain(wakeRead);
            simulator.onWakeup();
        }
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) inputOpen = readInput(simulator);
        if (Clock::now() >= nextTick) {
            simulator.onTick();
            // Ticks missed while busy are not made up.
            nextTick = std::max(nextTick + kTick, Clock::now());
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    (void)std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the first line tells a waiting test the port
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: uz_devsim [--port N] [--hash HEX] [--layout FILE] [--root DIR]\n");
        return 2;
    }
    int wake[2] = {-1, -1};
    if (!makeWakePipe(wake)) {
        std::fprintf(stderr, "uz_devsim: no wake-up pipe\n");
        return 1;
    }
    g_wakeWrite = wake[1];
    struct sigaction action = {};
    action.sa_handler = &onTerminate;
    (void)sigemptyset(&action.sa_mask);
    (void)::sigaction(SIGTERM, &action, nullptr);
    (void)::signal(SIGPIPE, SIG_IGN);

    if (JLIB::isFailure(oswrap_init(nullptr, 0, 0)) || vsock_initModule() != 0) {
        std::fprintf(stderr, "uz_devsim: the OS layer or the socket layer did not start\n");
        return 1;
    }
    int status = 0;
    {
        devsim::DeviceSimulator simulator(options.hash, wake[1]);
        uint16_t port = 0;
        std::string error;
        if (!options.layout.empty() && JLIB::isFailure(simulator.loadLayout(options.layout, error))) {
            std::fprintf(stderr, "uz_devsim: layout: %s\n", error.c_str());
            status = 1;
        } else if (!options.root.empty() && JLIB::isFailure(simulator.setFileRoot(options.root))) {
            std::fprintf(stderr, "uz_devsim: no file root in %s\n", options.root.c_str());
            status = 1;
        } else if (JLIB::isFailure(simulator.start(options.port, port))) {
            status = 1;
        } else {
            std::printf("LISTEN %u\n", static_cast<unsigned>(port));
            status = serve(simulator, wake[0]);
        }
    }
    (void)vsock_endModule();  // every socket is closed by now
    (void)oswrap_exit();
    ::close(wake[0]);
    ::close(wake[1]);
    return status;
}
