// Stand-in DSP player for the command protocol tests.
//
//   StandInPlayer <port>
//
// Listens on 127.0.0.1:<port> for one connection at a time and answers "/DRAVO/tcpconnected" on
// each. Frames are read as the player reads them: a little-endian length word, the OSC packet and
// zero fill to a multiple of 4. Output lines (tab separated):
//   listening <port>                 once the socket listens
//   connected / closed <held bytes>  connection life (held bytes: a frame left incomplete)
//   msg <L> <address> <tags> <args>  one line per message (a bundle's messages in order); a blob
//                                    prints as its hex bytes up to 64 bytes, else <size>#<fnv1a32>
//   invalid <L>                      a packet oscpack refuses
//   oversized <L>                    a length word above 65788; the connection is closed
//   done <command>                   a command of standard input was carried out
// Commands on standard input, one per line, fields tab separated:
//   error <text1> <text2> | errorone <text> | cut <pieces> | oversized | raw <hex frame>
//   pause | resume | close | quit
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>

namespace {

constexpr uint32_t kMaxFrame = 65792;

void say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at = line.find('\t'); at != std::string::npos; at = line.find('\t', start)) {
        fields.push_back(line.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string hex(const unsigned char* bytes, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::vector<unsigned char> unhex(const std::string& text)
{
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2) bytes.push_back(static_cast<unsigned char>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string blobText(const unsigned char* bytes, size_t size)
{
    if (size <= 64) return hex(bytes, size);
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 16777619u;
    char tail[32];
    std::snprintf(tail, sizeof(tail), "%zu#%08x", size, h);
    return tail;
}

void printMessage(uint32_t length, const osc::ReceivedMessage& m)
{
    std::string line = "msg\t" + std::to_string(length) + "\t" + m.AddressPattern() + "\t,";
    if (m.TypeTags()) line += std::string(m.TypeTags(), m.ArgumentCount());
    for (auto it = m.ArgumentsBegin(); it != m.ArgumentsEnd(); ++it) {
        line += "\t";
        if (it->IsInt32()) line += std::to_string(it->AsInt32());
        else if (it->IsString()) line += it->AsString();
        else if (it->IsFloat()) line += std::to_string(it->AsFloat());
        else if (it->IsBlob()) {
            const void* data = nullptr;
            osc::osc_bundle_element_size_t size = 0;
            it->AsBlob(data, size);
            line += blobText(static_cast<const unsigned char*>(data), static_cast<size_t>(size));
        } else line += "?";
    }
    say(line);
}


void printBundle(uint32_t length, const osc::ReceivedBundle& b)
{
    for (auto it = b.ElementsBegin(); it != b.ElementsEnd(); ++it) {
        if (it->IsBundle()) printBundle(length, osc::ReceivedBundle(*it));
        else printMessage(length, osc::ReceivedMessage(*it));
    }
}

void printPacket(const unsigned char* bytes, uint32_t length)
{
    try {
        const osc::ReceivedPacket packet(reinterpret_cast<const char*>(bytes), static_cast<osc::osc_bundle_element_size_t>(length));
        if (packet.IsBundle()) printBundle(length, osc::ReceivedBundle(packet));
        else printMessage(length, osc::ReceivedMessage(packet));
    } catch (const osc::Exception&) {
        say("invalid\t" + std::to_string(length));
    }
}

std::vector<unsigned char> frameOf(const osc::OutboundPacketStream& packet)
{
    const uint32_t length = static_cast<uint32_t>(packet.Size());
    std::vector<unsigned char> frame((4 + length + 3) & ~3u, 0);
    for (int i = 0; i < 4; ++i) frame[static_cast<size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
    std::memcpy(frame.data() + 4, packet.Data(), length);
    return frame;
}

std::vector<unsigned char> messageFrame(const char* address, const std::vector<std::string>& texts)
{
    static char buffer[kMaxFrame];
    osc::OutboundPacketStream packet(buffer, sizeof(buffer));
    packet << osc::BeginMessage(address);
    for (const std::string& t : texts) packet << t.c_str();
    packet << osc::EndMessage;
    return frameOf(packet);
}

class Player {
public:
    explicit Player(int listener) : m_listener(listener) {}

    void run()
    {
        std::string pendingInput;
        while (true) {
            pollfd fds[3] = {{0, POLLIN, 0}, {m_listener, POLLIN, 0}, {m_client, POLLIN, 0}};
            const nfds_t count = (m_client >= 0 && !m_paused) ? 3 : 2;
            if (::poll(fds, count, 1000) < 0) return;
            if (fds[0].revents) {
                char chunk[65536];
                const ssize_t n = ::read(0, chunk, sizeof(chunk));
                if (n <= 0) return;  // the test is gone
                pendingInput.append(chunk, static_cast<size_t>(n));
                for (size_t at = pendingInput.find('\n'); at != std::string::npos; at = pendingInput.find('\n')) {
                    const std::string line = pendingInput.substr(0, at);
                    pendingInput.erase(0, at + 1);
                    if (!command(split(line))) return;
                    say("done\t" + split(line)[0]);
                }
            }
            if (fds[1].revents & POLLIN) accept();
            if (count == 3 && fds[2].revents) readClient();
        }
    }

private:
    void accept()
    {
        const int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd < 0) return;
        if (m_client >= 0) closeClient();
        m_client = fd;
        const int one = 1;
        (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        say("connected");
        writeAll(messageFrame("/DRAVO/tcpconnected", {"StandInPlayer"}));
    }

    void closeClient()
    {
        if (m_client < 0) return;
        ::close(m_client);
        m_client = -1;
        say("closed\t" + std::to_string(m_held.size()));
        m_held.clear();
    }

    void readClient()
    {
        unsigned char chunk[65536];
        const ssize_t n = ::recv(m_client, chunk, sizeof(chunk), 0);
        if (n <= 0) {
            closeClient();
            return;
        }
        m_held.insert(m_held.end(), chunk, chunk + n);
        while (m_held.size() >= 4) {
            const uint32_t length = uint32_t(m_held[0]) | uint32_t(m_held[1]) << 8 | uint32_t(m_held[2]) << 16 |
                                    uint32_t(m_held[3]) << 24;
            if (length > kMaxFrame - 4) {
                say("oversized\t" + std::to_string(length));
                closeClient();
                return;
            }
            const size_t frame = (4 + size_t(length) + 3) & ~size_t(3);
            if (m_held.size() < frame) return;
            printPacket(m_held.data() + 4, length);
            m_held.erase(m_held.begin(), m_held.begin() + static_cast<long>(frame));
        }
    }

    void writeAll(const std::vector<unsigned char>& bytes)
    {
        size_t done = 0;
        while (m_client >= 0 && done < bytes.size()) {
            const ssize_t n = ::send(m_client, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }

    // false ends the player.
    bool command(const std::vector<std::string>& f)
    {
        const std::string& name = f[0];
        if (name == "quit") return false;
        if (name == "error" && f.size() >= 3) writeAll(messageFrame("/DRAVO/error", {f[1], f[2]}));
        else if (name == "errorone" && f.size() >= 2) writeAll(messageFrame("/DRAVO/error", {f[1]}));
        else if (name == "cut" && f.size() >= 2) writeCut(std::stoul(f[1]));
        else if (name == "oversized") writeOversized();
        else if (name == "raw" && f.size() >= 2) writeAll(unhex(f[1]));
        else if (name == "pause") m_paused = true;
        else if (name == "resume") m_paused = false;
        else if (name == "close") closeClient();
        return true;
    }

    // One "/DRAVO/error" frame in pieces, the first cutting the length word in two, with pauses
    // between them so that the reader sees each piece on its own.
    void writeCut(size_t pieces)
    {
        const std::vector<unsigned char> frame = messageFrame("/DRAVO/error", {"cut", "frame"});
        if (pieces < 2) pieces = 2;
        std::vector<size_t> ends = {2};
        for (size_t k = 1; k < pieces; ++k) ends.push_back(2 + (frame.size() - 2) * k / (pieces - 1));
        size_t from = 0;
        for (size_t end : ends) {
            writeAll(std::vector<unsigned char>(frame.begin() + static_cast<long>(from), frame.begin() + static_cast<long>(end)));
            from = end;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));  // pacing the peer's arrivals
        }
    }

    void writeOversized()
    {
        std::vector<unsigned char> bytes(64, 0);
        const uint32_t length = kMaxFrame - 4 + 1;
        for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
        writeAll(bytes);
    }

    int m_listener;
    int m_client = -1;
    bool m_paused = false;
    std::vector<unsigned char> m_held;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: StandInPlayer <port>\n");
        return 2;
    }
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    (void)::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    // A small receive buffer lets a paused player fill the sender's room soon.
    const int small = 4096;
    (void)::setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener, 4) != 0) {
        std::perror("StandInPlayer");
        return 1;
    }
    socklen_t size = sizeof(address);
    (void)::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    say("listening\t" + std::to_string(ntohs(address.sin_port)));
    Player(listener).run();
    ::close(listener);
    return 0;
}
