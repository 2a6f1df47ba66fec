#pragma once
// Shared by the meter data tests: the layers started once per process, bounded waits, a plain UDP
// socket of the test, a writer of crafted datagrams and recorders for the owner interfaces.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "JMDP/jmdp_Client.h"
#include "JMDP/jmdp_Packet.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"

namespace jmdptest {

inline const JMDP::SendProductId kDevice(192, 168, 0, 10, 0, 0, 0, 0);

inline bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return (r == 0 || r == OSWRAP::kWrongState) && vsock_initModule() == 0;
    }();
    return started;
}

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline sockaddr_in ipv4(const char* address, uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    (void)::inet_pton(AF_INET, address, &in.sin_addr);  // the tests pass literal addresses
    return in;
}

// A UDP port on 127.0.0.1 that the system just handed out.
inline uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return 0;
    sockaddr_in in = ipv4("127.0.0.1", 0);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

// A client initialised on a port the test picked. Another process may take a picked port before
// the client binds it, so a few ports are tried; null when none worked.
inline std::unique_ptr<JMDP::JMDPClient> openClient(const char* group, const char* local,
                                                    JMDP::IClientMeterDataAccessor* accessor,
                                                    JMDP::IJMDPClientCallback* callback, uint16_t& port)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        port = pickPort();
        auto client = std::make_unique<JMDP::JMDPClient>(group, port);
        if (client->initialize(accessor, callback, local, kDevice, "PRCS") == 0) return client;
    }
    return nullptr;
}

// A plain UDP socket of the test; its receive waits at most 5 s.
class RawUdp {
public:
    RawUdp() : m_fd(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        const timeval limit = {5, 0};
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
        const int buffer = 1 << 20;
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof(buffer));
    }
    ~RawUdp() { ::close(m_fd); }
    RawUdp(const RawUdp&) = delete;
    RawUdp& operator=(const RawUdp&) = delete;

    bool bind(uint16_t port)
    {
        const sockaddr_in in = ipv4("127.0.0.1", port);
        return ::bind(m_fd, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) == 0;
    }
    uint16_t port() const
    {
        sockaddr_in in = {};
        socklen_t length = sizeof(in);
        if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
        return ntohs(in.sin_port);
    }
    bool sendTo(const char* address, uint16_t port, const std::vector<uint8_t>& bytes)
    {
        const sockaddr_in in = ipv4(address, port);
        return ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) ==
               static_cast<ssize_t>(bytes.size());
    }
    // Group datagrams leave through the loopback interface.
    bool sendToGroup(const char* group, uint16_t port, const std::vector<uint8_t>& bytes)
    {
        in_addr loopback = {};
        loopback.s_addr = htonl(INADDR_LOOPBACK);
        if (::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof(loopback)) != 0) return false;
        return sendTo(group, port, bytes);
    }
    // One datagram, empty after 5 s without one.
    std::vector<uint8_t> receive()
    {
        std::vector<uint8_t> bytes(4096);
        const ssize_t n = ::recv(m_fd, bytes.data(), bytes.size(), 0);
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return bytes;
    }

private:
    int m_fd;
};

// Builds a datagram byte by byte, so that tests can also write what no sender would.
class PacketWriter {
public:
    PacketWriter(const JMDP::SendProductId& id = kDevice, const char* name = "PRCS", uint32_t time = 0x01020304)
    {
        append({'J', 'M', 'D', 'P'});
        m_bytes.insert(m_bytes.end(), id.data(), id.data() + JMDP::SendProductId::kSize);
        uint8_t field[4] = {};
        std::memcpy(field, name, std::min<size_t>(std::strlen(name), 4));
        m_bytes.insert(m_bytes.end(), field, field + 4);
        append({uint8_t(time >> 24), uint8_t(time >> 16), uint8_t(time >> 8), uint8_t(time)});
    }
    PacketWriter& block(uint8_t flags, uint8_t id1, uint8_t id2, uint8_t id3, uint16_t start, uint16_t count)
    {
        append({flags, id1, id2, id3, uint8_t(start >> 8), uint8_t(start), uint8_t(count >> 8), uint8_t(count)});
        return *this;
    }
    PacketWriter& area(uint16_t size, uint8_t tag1, uint8_t tag2, const std::vector<uint8_t>& data)
    {
        append({uint8_t(size >> 8), uint8_t(size), tag1, tag2});
        return append(data);
    }
    PacketWriter& values(size_t count, uint8_t first = 1)
    {
        for (size_t i = 0; i < count; ++i) m_bytes.push_back(static_cast<uint8_t>(first + i));
        return *this;
    }
    PacketWriter& append(const std::vector<uint8_t>& data)
    {
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// One block as the accessor saw it.
struct Block {
    uint8_t flags = 0;
    uint32_t meterId = 0;
    uint32_t start = 0;
    uint32_t count = 0;
    uint16_t areaSize = 0;
    uint8_t tag1 = 0;
    uint8_t tag2 = 0;
    std::vector<uint8_t> area;
    std::vector<uint8_t> values;
};

class RecordingAccessor : public JMDP::IClientMeterDataAccessor {
public:
    JLIB::JResult decodeMeterPacket(const JMDP::MeterDataBlockHeaderEx& header, const uint8_t* values,
                                    uint32_t size) override
    {
        Block b;
        b.flags = header.data()[0];
        b.meterId = header.getMeterId();
        b.start = header.getStartPos();
        b.count = header.getDataNum();
        const JMDP::ExtendedArea& area = header.extendedArea();
        b.areaSize = area.getSize();
        b.tag1 = area.getTag1();
        b.tag2 = area.getTag2();
        if (header.hasExtendedArea()) {
            b.area.resize(b.areaSize - JMDP::kAreaFieldsSize);
            if (!b.area.empty()) {
                EXPECT_EQ(0u, area.getArea(b.area.data(), static_cast<uint32_t>(b.area.size())));
            }
        }
        b.values.assign(values, values + size);
        std::lock_guard<std::mutex> guard(m_mutex);
        m_blocks.push_back(b);
        return m_answer;
    }
    std::vector<Block> take()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        std::vector<Block> blocks;
        blocks.swap(m_blocks);
        return blocks;
    }
    void answer(JLIB::JResult result) { m_answer = result; }

private:
    std::mutex m_mutex;
    std::vector<Block> m_blocks;
    JLIB::JResult m_answer = 0;
};

// Counts notifications; they arrive on the socket layer's task.
class CountingCallback : public JMDP::IJMDPClientCallback {
public:
    JLIB::JResult onReceivedMeterPacket(JMDP::JMDPClient& client) override
    {
        m_last.store(&client);
        ++m_count;
        return 0;
    }
    int count() const { return m_count.load(); }
    JMDP::JMDPClient* last() const { return m_last.load(); }
    bool waitForCount(int n) { return waitFor([&] { return count() >= n; }); }

private:
    std::atomic<int> m_count{0};
    std::atomic<JMDP::JMDPClient*> m_last{nullptr};
};

inline std::vector<uint8_t> sequence(size_t count, uint8_t first = 1)
{
    std::vector<uint8_t> v(count);
    for (size_t i = 0; i < count; ++i) v[i] = static_cast<uint8_t>(first + i);
    return v;
}

}  // namespace jmdptest
