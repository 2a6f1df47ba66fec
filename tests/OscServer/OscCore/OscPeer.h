#pragma once
// Real OSC peers of the server tests, as child processes: Debian's oscsend and oscdump, and a
// python3-liblo script that runs several clients, each on a port of its own. Every wait is
// bounded; a child that does not end when asked is killed, and every child is reaped.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace OscTest {

// A UDP port on 127.0.0.1 that the system just handed out.
inline uint16_t pickUdpPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return 0;
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

class ChildProcess {
public:
    using Lines = std::vector<std::string>;

    // Starts argv[0] (a full path) with its output on a pipe, and its input on a pipe when asked.
    ChildProcess(const std::vector<std::string>& argv, bool withInput)
    {
        int out[2] = {-1, -1};
        int in[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        if (withInput && ::pipe2(in, O_CLOEXEC) != 0) {
            closeAll(out);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (withInput) posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int r = ::posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (withInput) ::close(in[0]);
        if (r != 0) {
            m_pid = -1;
            ::close(out[0]);
            if (withInput) ::close(in[1]);
            return;
        }
        m_out = out[0];
        m_in = withInput ? in[1] : -1;
    }

    // A child still running is ended: the clients given a moment to leave on their own input's end.
    ~ChildProcess()
    {
        if (m_pid > 0 && m_in >= 0) (void)finish(std::chrono::seconds(2));
        stop();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running() const { return m_pid > 0; }

    bool writeLine(const std::string& line)
    {
        if (m_in < 0) return false;
        const std::string text = line + "\n";
        return ::write(m_in, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // Reads output until done(lines) holds or the limit passes.
    bool waitFor(const std::function<bool(const Lines&)>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done(m_lines)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) return done(m_lines);
        }
        return true;
    }

    const Lines& lines() const { return m_lines; }

    // Waits for the child to end by itself (its input closed first) and reaps it; killed after
    // the bound. The exit status as waitpid gives it.
    int finish(std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        closeInput();
        int status = -1;
        if (m_pid > 0 && !reap(limit, status)) {
            ::kill(m_pid, SIGKILL);
            (void)::waitpid(m_pid, &status, 0);
        }
        release();
        return status;
    }

    // Ends the child now: input closed and SIGTERM, then SIGKILL after a bound; reaped either way.
    void stop()
    {
        closeInput();
        int status = -1;
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            if (!reap(std::chrono::seconds(2), status)) {
                ::kill(m_pid, SIGKILL);
                (void)::waitpid(m_pid, &status, 0);
            }
        }
        release();
    }

private:
    static void closeAll(int (&fds)[2])
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }

    void closeInput()
    {
        if (m_in >= 0) ::close(m_in);
        m_in = -1;
    }

    void release()
    {
        m_pid = -1;
        if (m_out >= 0) ::close(m_out);
        m_out = -1;
    }

    bool reap(std::chrono::milliseconds limit, int& status)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));  // polling the exit, not a thread
        }
        return false;
    }

    // One read within timeoutMs; false at the end of the output or on timeout.
    bool readSome(int timeoutMs)
    {
        if (m_out < 0) return false;
        pollfd p = {m_out, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(m_out, buffer, sizeof(buffer));
        if (n <= 0) return false;
        m_partial.append(buffer, static_cast<size_t>(n));
        for (size_t at = m_partial.find('\n'); at != std::string::npos; at = m_partial.find('\n')) {
            m_lines.push_back(m_partial.substr(0, at));
            m_partial.erase(0, at + 1);
        }
        return true;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_in = -1;
    std::string m_partial;
    Lines m_lines;
};

// Several OSC clients in one python3-liblo process, each with a socket of its own on a port picked
// from the system (liblo's own choice repeats across processes started side by side). liblo sends;
// what arrives is decoded here, as python3-liblo cuts a blob at its first zero byte. Input lines
// "send <client> <port> <path> <types> <values...>" (tab separated; blobs in hex); output lines
// "ready <client> <port>", then per received message "msg <client> <source port> <seconds> <path>
// <types> <values...>", and "bundle <client> <seconds>" / "end <client>" around the messages of
// each bundle; seconds on the monotonic clock of arrival.
inline const char* kLibloClientsScript = R"PY(
import os, select, socket, struct, sys, time
import liblo

out = sys.stdout
def emit(*fields):
    out.write("\t".join(str(f) for f in fields) + "\n")
    out.flush()

def text(t, a):
    if t == "b":
        return bytes(a).hex()
    if t in "fd":
        return "%g" % a
    return str(a)

# Where the next field starts after size bytes at at: fields fill whole 4-byte words.
def padded(at, size):
    return at + (size + 3) // 4 * 4

def string(data, at):
    end = data.index(b"\0", at)
    return data[at:end].decode("utf-8", "replace"), padded(at, end - at + 1)

FIXED = {"i": ">i", "h": ">q", "f": ">f", "d": ">d", "t": ">Q", "c": ">i", "r": ">I"}
NO_DATA = {"T": True, "F": False, "N": None, "I": float("inf")}

# One datagram: a message, or a bundle of elements (each a message or a bundle) after its time tag.
def decode(c, src, seconds, data):
    if data.startswith(b"#bundle\0"):
        emit("bundle", c, seconds)
        at = 16
        while at + 4 <= len(data):
            size = struct.unpack_from(">i", data, at)[0]
            decode(c, src, seconds, data[at + 4:at + 4 + size])
            at += 4 + size
        emit("end", c)
        return
    path, at = string(data, 0)
    types, at = string(data, at) if at < len(data) else (",", at)
    values = []
    for t in types[1:]:
        if t in FIXED:
            value = struct.unpack_from(FIXED[t], data, at)[0]
            values.append(chr(value) if t == "c" else value)
            at += struct.calcsize(FIXED[t])
        elif t in "sS":
            value, at = string(data, at)
            values.append(value)
        elif t == "b":
            size = struct.unpack_from(">i", data, at)[0]
            values.append(data[at + 4:at + 4 + size])
            at = padded(at + 4, size)
        elif t == "m":
            values.append(list(data[at:at + 4]))
            at += 4
        elif t in NO_DATA:
            values.append(NO_DATA[t])
        else:
            raise ValueError("type " + t)
    emit("msg", c, src, seconds, path, types[1:], *[text(t, a) for t, a in zip(types[1:], values)])

def free_port():
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port

def server():
    # A port another process takes between the pick and the bind is picked again.
    for attempt in range(50):
        try:
            return liblo.Server(free_port())
        except liblo.ServerError:
            pass
    raise SystemExit("no free port")

servers = []
receivers = {}  # a second handle on each client's socket, read here instead of by liblo
for c in range(int(sys.argv[1])):
    s = server()
    servers.append(s)
    r = socket.fromfd(s.fileno(), socket.AF_INET, socket.SOCK_DGRAM)
    receivers[r.fileno()] = (c, r)
    emit("ready", c, s.port)

pending = b""
while True:
    ready, _, _ = select.select([0] + list(receivers), [], [], 1.0)
    for fd in ready:
        if fd != 0:
            c, r = receivers[fd]
            while True:
                try:
                    data, source = r.recvfrom(65536, socket.MSG_DONTWAIT)
                except BlockingIOError:
                    break
                try:
                    decode(c, source[1], "%.4f" % time.monotonic(), data)
                except (ValueError, struct.error):
                    pass  # not OSC, or a type liblo would not take either: dropped
            continue
        chunk = os.read(0, 65536)
        if not chunk:
            sys.exit(0)
        pending += chunk
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            f = line.decode().split("\t")
            if f[0] != "send":
                continue
            args = []
            for t, v in zip(f[4], f[5:]):
                if t in "ih":
                    args.append((t, int(v)))
                elif t in "fd":
                    args.append((t, float(v)))
                elif t == "b":
                    args.append((t, list(bytes.fromhex(v))))
                else:
                    args.append((t, v))
            servers[int(f[1])].send(("127.0.0.1", int(f[2])), f[3], *args)
)PY";

class LibloClients {
public:
    using Lines = ChildProcess::Lines;

    explicit LibloClients(int count)
        : m_count(count), m_child({"/usr/bin/python3", "-u", "-c", kLibloClientsScript, std::to_string(count)}, true)
    {
    }

    // Waits until every client has its socket; false if they do not come up.
    bool start()
    {
        if (!m_child.running()) return false;
        const bool up = m_child.waitFor([this](const Lines& lines) { return countOf(lines, "ready\t") == m_count; },
                                        std::chrono::seconds(20));
        if (!up) return false;
        for (const std::string& line : m_child.lines()) {
            const std::vector<std::string> f = fields(line);
            if (f[0] == "ready") m_ports.push_back(static_cast<uint16_t>(std::stoi(f[2])));
        }
        return static_cast<int>(m_ports.size()) == m_count;
    }

    uint16_t port(int client) const { return m_ports.at(static_cast<size_t>(client)); }

    // values are written as text; the types say how the script sends them.
    bool send(int client, uint16_t port, const std::string& path, const std::string& types = "",
              const std::vector<std::string>& values = {})
    {
        std::string line = "send\t" + std::to_string(client) + "\t" + std::to_string(port) + "\t" + path + "\t" + types;
        for (const std::string& v : values) line += "\t" + v;
        return m_child.writeLine(line);
    }

    // The messages a client received so far, as "path values..." (space separated).
    Lines received(int client) const
    {
        Lines messages;
        for (const std::string& line : m_child.lines()) {
            const std::vector<std::string> f = fields(line);
            if (f[0] != "msg" || f[1] != std::to_string(client)) continue;
            std::string text = f[4];
            for (size_t i = 6; i < f.size(); ++i) text += " " + f[i];
            messages.push_back(text);
        }
        return messages;
    }

    // The source ports of a client's messages, in order.
    std::vector<uint16_t> sources(int client) const
    {
        std::vector<uint16_t> ports;
        for (const std::string& line : m_child.lines()) {
            const std::vector<std::string> f = fields(line);
            if (f[0] == "msg" && f[1] == std::to_string(client)) ports.push_back(static_cast<uint16_t>(std::stoi(f[2])));
        }
        return ports;
    }

    // The datagrams a client received: when each arrived and how many messages it held.
    struct Datagram {
        double seconds;
        size_t messages;
    };
    std::vector<Datagram> datagrams(int client) const
    {
        std::vector<Datagram> all;
        bool inBundle = false;
        for (const std::string& line : m_child.lines()) {
            const std::vector<std::string> f = fields(line);
            if (f.size() < 2 || f[1] != std::to_string(client)) continue;
            if (f[0] == "bundle") {
                all.push_back({std::stod(f[2]), 0});
                inBundle = true;
            } else if (f[0] == "end") {
                inBundle = false;
            } else if (f[0] == "msg") {
                if (!inBundle) all.push_back({std::stod(f[3]), 0});
                ++all.back().messages;
            }
        }
        return all;
    }

    // Waits until the client has received at least count messages.
    bool waitForMessages(int client, size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        return m_child.waitFor([&](const Lines&) { return received(client).size() >= count; }, limit);
    }

private:
    static std::vector<std::string> fields(const std::string& line)
    {
        std::vector<std::string> f;
        size_t start = 0;
        for (size_t at = line.find('\t'); at != std::string::npos; at = line.find('\t', start)) {
            f.push_back(line.substr(start, at - start));
            start = at + 1;
        }
        f.push_back(line.substr(start));
        return f;
    }
    static int countOf(const Lines& lines, const std::string& prefix)
    {
        int n = 0;
        for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    int m_count;
    ChildProcess m_child;
    std::vector<uint16_t> m_ports;
};

}  // namespace OscTest
