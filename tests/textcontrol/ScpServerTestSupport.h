#pragma once
// A real owner for the text control server: a listening TCP socket on 127.0.0.1 on its own
// thread that delivers the socket's events to the server and calls onTimer every 100 ms, models
// the tests can steer, and plain TCP clients that read lines with bounded waits.
#include <poll.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "ScpTestSupport.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "textcontrol/ScpServer.h"
#include "vsock/VsockTestSupport.h"
#include "vsock/vsock.h"

namespace ScpTest {

// One parameter per address; integer values, display text "v=<value>"; "RO" refuses writes.
class TestParameters : public SCP::ScpParameter {
public:
    struct Entry {
        std::string address;
        int32_t value = 0;
        int32_t maximum = 100;  // writes above are stored clamped and answered 1
        SCP::ScpAddressAttrib::Type type = SCP::ScpAddressAttrib::kTypeInteger;
        bool readOnly = false;
    };
    std::vector<Entry> entries = {{"Fader", 0, 100}, {"Name", 0, 100, SCP::ScpAddressAttrib::kTypeString},
                                  {"RO", 5, 100, SCP::ScpAddressAttrib::kTypeInteger, true}};
    std::atomic<int> writes{0};
    std::atomic<int> lastSession{-1};
    std::string lastText;

    uint32_t getIndexFromAddress(uint32_t& index, const SCP::ScpString& address) override
    {
        for (uint32_t i = 0; i < entries.size(); ++i) {
            if (address.compare(entries[i].address.c_str(), JLIB::kCompareExact)) {
                index = i;
                return 0;
            }
        }
        return 0x80000005u;
    }
    uint32_t getAddress(SCP::ScpString& address, uint32_t index) override
    {
        if (index >= entries.size()) return 0x80000005u;
        return address.fromLatin1(("MIXER:" + entries[index].address).c_str(), 200);
    }
    uint32_t store(uint8_t session, uint32_t index, int64_t v)
    {
        ++writes;
        lastSession = session;
        Entry& e = entries[index];
        if (e.readOnly) return 0x80000009u;
        const bool clamped = v > e.maximum;
        e.value = static_cast<int32_t>(clamped ? e.maximum : v);
        return clamped ? 1 : 0;
    }
    uint32_t setValue(uint8_t session, uint32_t index, uint32_t, uint32_t, const JVariant& value) override
    {
        return store(session, index, value.toInt32());
    }
    uint32_t setRatio(uint8_t session, uint32_t index, uint32_t, uint32_t, uint32_t ratio, uint32_t) override
    {
        return store(session, index, ratio);
    }
    uint32_t incDec(uint8_t session, uint32_t index, uint32_t, uint32_t, int32_t steps, uint32_t, uint32_t) override
    {
        return store(session, index, static_cast<int64_t>(entries[index].value) + steps);
    }
    uint32_t setText(uint8_t session, uint32_t index, uint32_t, uint32_t, const SCP::ScpString& text) override
    {
        char buffer[64] = {};
        uint32_t written = 0;
        (void)text.toLatin1(buffer, sizeof buffer, &written, '?');
        lastText = buffer;
        return store(session, index, std::atoi(buffer));
    }
    uint32_t getValue(JVariant& value, uint8_t, uint32_t index, uint32_t, uint32_t) override
    {
        return value.setInt32(entries[index].value) == 0 ? 0 : 0;
    }
    uint32_t getRatio(uint32_t& ratio, uint32_t, uint8_t, uint32_t index, uint32_t, uint32_t) override
    {
        ratio = static_cast<uint32_t>(entries[index].value);
        return 0;
    }
    uint32_t getText(SCP::ScpString& text, uint8_t, uint32_t index, uint32_t, uint32_t) override
    {
        return text.fromLatin1(("v=" + std::to_string(entries[index].value)).c_str(), 32);
    }
    uint32_t getAttrib(SCP::ScpAddressAttrib& attrib, uint32_t index) override
    {
        attrib.clear();
        if (index < entries.size()) attrib.type = entries[index].type;
        return 0;
    }
    SCP::IScpParameterCallback* callback() const { return getCallback(); }
};

class TestDevice : public SCP::ScpDeviceController {
public:
    std::string lastTag, lastMode, lastEvent, lastEventData;
    uint32_t modelResult = 0;
    bool listFlag = false;
    std::string status = "running";

    static std::string latin1(const SCP::ScpString& s)
    {
        char buffer[300] = {};
        uint32_t written = 0;
        (void)s.toLatin1(buffer, sizeof buffer, &written, '?');
        return buffer;
    }
    uint32_t getDeviceInfo(SCP::ScpString& data, const SCP::ScpString& tag) override
    {
        lastTag = latin1(tag);
        (void)data.fromLatin1("V1.0", 64);
        return modelResult;
    }
    uint32_t getDeviceStatus(SCP::ScpString& data, const SCP::ScpString& tag) override
    {
        lastTag = latin1(tag);
        (void)data.fromLatin1(status.c_str(), 200);
        return modelResult;
    }
    uint32_t changeDeviceMode(const SCP::ScpString& mode) override
    {
        lastMode = latin1(mode);
        return modelResult;
    }
    uint32_t runEvent(const SCP::ScpString& id, const SCP::ScpString& data) override
    {
        lastEvent = latin1(id);
        lastEventData = latin1(data);
        return modelResult;
    }
    uint32_t getListItemNum(const SCP::ScpString&, uint32_t& number, uint32_t& head, uint32_t& tail) override
    {
        number = 3;
        head = 1;
        tail = 3;
        return modelResult;
    }
    uint32_t getListItem(const SCP::ScpString&, uint32_t index, JVariant& data, bool& flag) override
    {
        (void)data.setInt32(static_cast<int>(index) * 10);
        flag = listFlag;
        return modelResult;
    }
    uint32_t runIdentify(uint32_t) override { return modelResult; }
    SCP::IScpDeviceCallback* callback() const { return getCallback(); }
};

// One meter address "Meter" of `num` values 0, 1, 2...; `supplied` is the count the model hands out.
class TestMeters : public SCP::ScpMeter {
public:
    uint32_t num = 4;
    uint32_t supplied = 4;
    std::vector<uint8_t> values = std::vector<uint8_t>(400);
    TestMeters()
    {
        for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(i);
    }
    uint32_t getIndexFromAddress(uint32_t& index, const SCP::ScpString&) override
    {
        index = 0;
        return 0;
    }
    uint32_t getAddress(SCP::ScpString& address, uint32_t) override { return address.fromLatin1("Meter", 200); }
    uint32_t getAddressNum() override { return 1; }
    uint32_t getMeters(const uint8_t*& meters, uint32_t& count, uint32_t) override
    {
        meters = values.data();
        count = supplied;
        return 0;
    }
    uint32_t getAttrib(SCP::ScpMeterAttrib& attrib, uint32_t) override
    {
        attrib.clear();
        attrib.num = num;
        attrib.type = SCP::ScpMeterAttrib::kTypeLevel;
        return 0;
    }
};

// Models a test hands to the server in place of the owner's own (borrowed; they outlive it).
struct Models {
    SCP::ScpParameter* parameters = nullptr;
    SCP::ScpMeter* meters = nullptr;
};

// Owns the listening socket and the server on one thread.
class ServerOwner : public VCOM::IVComWakeupFunction {
public:
    explicit ServerOwner(uint32_t capacity = 4, Models models = {}) : m_thread([this] { loop(); })
    {
        port = vsocktest::pickPort(SOCK_STREAM);
        call([&] {
            socket = std::make_unique<VCOM::VComTcpServerSocket>(capacity);
            server = static_cast<SCP::ScpServer*>(SCP::createScpServer(0));
            initResult = server->initialize(nullptr, *socket, device,
                                            models.parameters ? *models.parameters : parameters,
                                            models.meters ? *models.meters : meters);
            (void)socket->start(7, *this);
            listenResult = socket->listen(VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"), port);
            return 0;
        });
    }
    ~ServerOwner() override
    {
        call([&] {
            (void)socket->stop();
            (void)SCP::destroyScpServer(server);
            server = nullptr;
            socket.reset();
            return 0;
        });
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

    template <typename F>
    auto call(F fn) -> decltype(fn())
    {
        using R = decltype(fn());
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
        std::future<R> done = task->get_future();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_steps.push_back([task] { (*task)(); });
        }
        m_cv.notify_all();
        if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) std::abort();
        return done.get();
    }

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_all();
        return 0;
    }

    // Whether session index i is enabled (owner thread).
    bool enabled(uint32_t i)
    {
        return call([&] {
            SCP::ScpSessionData* d = server->getChildSessionDataByIndex(i);
            return d && d->isEnabled();
        });
    }
    bool waitEnabled(uint32_t count)
    {
        return waitFor([&] {
            uint32_t n = 0;
            for (uint32_t i = 0; i < 4; ++i) n += enabled(i) ? 1 : 0;
            return n >= count;
        });
    }

    TestParameters parameters;
    TestDevice device;
    TestMeters meters;
    std::unique_ptr<VCOM::VComTcpServerSocket> socket;
    SCP::ScpServer* server = nullptr;
    uint32_t initResult = 0xFFFFFFFFu;
    JLIB::JResult listenResult = 0;
    uint16_t port = 0;
    std::atomic<bool> timerOn{true};

private:
    void loop()
    {
        auto nextTimer = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            m_cv.wait_until(lock, nextTimer, [this] { return m_quit || m_woken || !m_steps.empty(); });
            if (m_quit) return;
            std::deque<std::function<void()>> steps;
            steps.swap(m_steps);
            const bool woken = m_woken;
            m_woken = false;
            lock.unlock();
            for (auto& step : steps) step();
            if (woken && socket && server) (void)socket->runCallback(*server);
            if (std::chrono::steady_clock::now() >= nextTimer) {
                nextTimer += std::chrono::milliseconds(100);
                if (server && timerOn) (void)server->onTimer();
            }
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_steps;
    bool m_woken = false;
    bool m_quit = false;
    std::thread m_thread;
};

// A plain TCP client reading whole lines.
class Client {
public:
    explicit Client(uint16_t port) : m_socket(SOCK_STREAM) { connected = m_socket.connectLoopback(port); }
    int fd() const { return m_socket.fd(); }
    bool send(const std::string& text)
    {
        return ::send(fd(), text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
    }
    // The next line without its line feed; "<timeout>" when none arrives within the limit.
    std::string line(int limitMs = 3000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (true) {
            const size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::string out = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return out;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return "<timeout>";
            pollfd p{fd(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::recv(fd(), chunk, sizeof chunk, 0);
            if (n <= 0) return n == 0 ? "<closed>" : "<error>";
            m_buffer.append(chunk, static_cast<size_t>(n));
        }
    }
    // Sends a line and answers the reply line.
    std::string ask(const std::string& request)
    {
        if (!send(request + "\n")) return "<send failed>";
        return line();
    }
    std::string& buffered() { return m_buffer; }

    bool connected = false;

private:
    vsocktest::RawSocket m_socket;
    std::string m_buffer;
};

inline bool startSocketLayers() { return vsocktest::startOsLayer() && vsock_initModule() == 0; }

// The fixture of the command tests: a server of four sessions over the test's models, with one
// client connected and served. SetUp fills the models, then calls serve.
class ServedClientTest : public ::testing::Test {
protected:
    void serve(const Models& models)
    {
        owner = std::make_unique<ServerOwner>(4, models);
        ASSERT_EQ(0u, owner->initResult);
        ASSERT_EQ(1u, owner->listenResult);
        client = std::make_unique<Client>(owner->port);
        ASSERT_TRUE(client->connected);
        ASSERT_TRUE(owner->waitEnabled(1));
    }
    void TearDown() override
    {
        client.reset();
        owner.reset();  // before the model it borrows
    }

    std::unique_ptr<ServerOwner> owner;
    std::unique_ptr<Client> client;
};

}  // namespace ScpTest
