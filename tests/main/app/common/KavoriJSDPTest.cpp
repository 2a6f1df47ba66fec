#include "common/KavoriJSDPAbstract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "common/KavoriJSDPListener.h"
#include "common/KavoriJSDPResponder.h"
#include "jsdp/JsdpTestSupport.h"
#include "jsdp/jsdp_api.h"
#include "vsock/vsock.h"

namespace {

using jsdptest::DatagramWriter;
using jsdptest::RawUdp;
using jsdptest::waitFor;
using Texts = std::vector<std::string>;

class CountingCallback : public KAVORI::IKavoriJSDPCallback {
public:
    void onJSDPEvent() override { events.fetch_add(1); }
    std::atomic<uint32_t> events{0};
};

TEST(KavoriJSDPExInfoTest, DecodesOnlyCompleteTexts)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        Texts texts;
    };
    const Case cases[] = {
        {"three texts", {2, 'a', 'b', 0, 1, 'c'}, {"ab", "", "c"}},
        {"cut short", {2, 'a', 'b', 3, 'c', 'd'}, {"ab"}},
        {"length byte last", {1, 'x', 5}, {"x"}},
        {"first text cut", {9, 'a'}, {}},
        {"empty texts", {0, 0}, {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Texts texts = {"kept"};  // texts are appended
        EXPECT_EQ(0u, KAVORI::KavoriJSDPAbstract::getExInfo(texts, c.bytes.data(), uint32_t(c.bytes.size())));
        Texts expected = {"kept"};
        expected.insert(expected.end(), c.texts.begin(), c.texts.end());
        EXPECT_EQ(expected, texts);
    }
    Texts texts;
    const uint8_t byte = 0;
    EXPECT_EQ(0x80000000u, KAVORI::KavoriJSDPAbstract::getExInfo(texts, nullptr, 4));
    EXPECT_EQ(0x80000000u, KAVORI::KavoriJSDPAbstract::getExInfo(texts, &byte, 0));
    EXPECT_TRUE(texts.empty());
}

TEST(KavoriJSDPExInfoTest, EncodesThreeTextsEachCutTo255Bytes)
{
    const std::string text(300, 't');
    const std::vector<uint8_t> bytes = KAVORI::KavoriJSDPAbstract::makeExInfo("first", text, "");
    ASSERT_EQ(1u + 5 + 1 + 255 + 1, bytes.size());
    EXPECT_EQ(5, bytes[0]);
    EXPECT_EQ(255, bytes[6]);
    EXPECT_EQ(0, bytes.back());
    Texts texts;
    ASSERT_EQ(0u, KAVORI::KavoriJSDPAbstract::getExInfo(texts, bytes.data(), uint32_t(bytes.size())));
    EXPECT_EQ((Texts{"first", std::string(255, 't'), ""}), texts);
}

TEST(KavoriJSDPServiceTest, ServicesAreReplacedByNameAndTypeAndFoundWithOrWithoutType)
{
    KAVORI::KavoriJSDPResponder glue;
    EXPECT_EQ(0x80000000u, glue.addService(nullptr, "t", "x"));
    EXPECT_EQ(0x80000000u, glue.addService("n", nullptr, "x"));
    EXPECT_EQ(0x80000000u, glue.addService("n", "t", nullptr));
    ASSERT_EQ(0u, glue.addService("svc", "a", "one"));
    ASSERT_EQ(0u, glue.addService("svc", "b", "two"));
    glue.find("svc", "a")->handle = 7;  // as if set up
    ASSERT_EQ(0u, glue.addService("svc", "a", "three"));
    ASSERT_EQ(2u, glue.services().size());
    EXPECT_EQ("three", glue.services()[0].text);
    EXPECT_EQ(-1, glue.services()[0].handle);
    EXPECT_EQ("b", glue.find("svc", "b")->type);
    EXPECT_EQ("a", glue.find("svc", nullptr)->type);
    EXPECT_EQ(nullptr, glue.find("svc", "c"));
    EXPECT_EQ(nullptr, glue.find(nullptr, "a"));

    EXPECT_EQ(0x80000000u, glue.removeService(nullptr, "a"));
    EXPECT_EQ(0u, glue.removeService("svc", nullptr));  // every type
    EXPECT_TRUE(glue.services().empty());
    EXPECT_EQ(0x80000000u, glue.setSessionEmpty("svc", "a", 1));
    EXPECT_EQ(0u, glue.start());  // nothing to set up
    EXPECT_EQ(0x80000000u, glue.initialize(nullptr, "second", nullptr));
    EXPECT_FALSE(glue.isInitialized());

    EXPECT_EQ(1, KAVORI::KavoriJSDPResponder::getInstance().role());
    EXPECT_EQ(2, KAVORI::KavoriJSDPListener::getInstance().role());
    EXPECT_EQ(&KAVORI::KavoriJSDPListener::getInstance(), &KAVORI::KavoriJSDPListener::getInstance());
}

// The real discovery library behind the glue, on a port of the test.
class KavoriJSDPLibraryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_port = jsdptest::pickPort();
        ASSERT_NE(0, m_port);
    }
    void TearDown() override { EXPECT_EQ(0, vsock_endModule()); }

    void prepare(KAVORI::KavoriJSDPAbstract& glue)
    {
        glue.setPort(m_port);
        glue.setIPAddress("127.0.0.1", "255.255.255.0");
        const uint8_t mac[8] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
        glue.setMACAddress(mac, sizeof mac);
        glue.setHostName("host");
    }
    // The library accepts setups once its task has attached itself.
    bool started(KAVORI::KavoriJSDPAbstract& glue)
    {
        return waitFor([&] { return glue.start() == 0; }, std::chrono::seconds(20));  // slow under the sanitizers
    }

    TMS::TMSystem m_system;
    uint16_t m_port = 0;
    CountingCallback m_callback;
};

TEST_F(KavoriJSDPLibraryTest, ResponderAnnouncesItsServiceWithTheThreeTexts)
{
    KAVORI::KavoriJSDPResponder glue;
    prepare(glue);
    ASSERT_EQ(0u, glue.initialize("first", "second", &m_callback));
    EXPECT_TRUE(glue.isInitialized());
    EXPECT_EQ(0x80000000u, glue.initialize("again", "again", nullptr));
    ASSERT_EQ(0u, glue.addService("svc", "type", std::string(300, 't').c_str()));
    ASSERT_TRUE(started(glue));
    EXPECT_GE(glue.services()[0].handle, 0);

    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    peer.setReceiveLimit(200);
    std::vector<uint8_t> answer;
    ASSERT_TRUE(waitFor([&] {
        if (!peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {}, 0x00).bytes())) return false;
        answer = peer.receive();
        return !answer.empty();
    }));
    ASSERT_GT(answer.size(), 36u);
    EXPECT_EQ(0x80, answer[6] & 0x80);
    const uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_EQ(0, std::memcmp(mac, answer.data() + 24, 6));
    ASSERT_EQ(3, answer[30]);
    EXPECT_EQ(0, std::memcmp("svc", answer.data() + 31, 3));
    const size_t extensionAt = 31 + 3 + 2;
    const uint32_t extensionLength = (uint32_t(answer[34]) << 8) | answer[35];
    ASSERT_EQ(answer.size(), extensionAt + extensionLength);
    Texts texts;
    ASSERT_EQ(0u, KAVORI::KavoriJSDPAbstract::getExInfo(texts, answer.data() + extensionAt, extensionLength));
    EXPECT_EQ((Texts{"first", std::string(255, 't'), "host"}), texts);
    // The asking host is an event of the library, which reaches the registered callback.
    EXPECT_TRUE(waitFor([&] { return m_callback.events.load() > 0; }));

    EXPECT_EQ(0u, glue.setSessionEmpty("svc", "type", 1));
    EXPECT_EQ(0x80000000u, glue.setSessionEmpty("svc", "other", 1));

    // Cleared: no more answers.
    EXPECT_EQ(0u, glue.stop());
    EXPECT_EQ(-1, glue.services()[0].handle);
    EXPECT_EQ(0x80000000u, glue.setSessionEmpty("svc", "type", 1));
    EXPECT_TRUE(waitFor([&] {
        if (!peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {}, 0x00).bytes())) return false;
        return peer.receive().empty();
    }));

    EXPECT_EQ(0u, glue.finalize());
    EXPECT_FALSE(glue.isInitialized());
    EXPECT_EQ(0x80000000u, glue.finalize());  // the library is no longer started
    EXPECT_TRUE(KAVORI::gCallbackListSnapshot().empty());
}

TEST_F(KavoriJSDPLibraryTest, ListenerListsHeardServicesWithThreeTextsByNameFilter)
{
    KAVORI::KavoriJSDPListener glue;
    prepare(glue);
    ASSERT_EQ(0u, glue.initialize("first", "second", &m_callback));
    // The listener takes the answers for the names it asks for.
    for (const char* name : {"svcA", "other", "short"}) ASSERT_EQ(0u, glue.addService(name, "type"));
    EXPECT_EQ("second", glue.services()[0].text);
    ASSERT_TRUE(started(glue));

    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    const std::vector<uint8_t> three = KAVORI::KavoriJSDPAbstract::makeExInfo("a", "b", "c");
    const std::vector<uint8_t> two = {1, 'a', 1, 'b'};
    // Sent again until heard: the library opens its socket on its own task after the setup.
    const auto heardAll = [&] {
        uint32_t count = 0;
        return JSDP::jsdp_getNumOfHost(&count) == 0 && count == 3;
    };
    bool heard = false;
    for (int round = 0; round < 50 && !heard; ++round) {
        ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svcA", three, 0x81).bytes()));
        ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("other", three, 0x82).bytes()));
        ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("short", two, 0x81).bytes()));
        heard = waitFor(heardAll, std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(heard);
    EXPECT_GT(m_callback.events.load(), 0u);

    std::vector<KAVORI::KavoriJSDPListener::ServiceRecord> records(1);
    ASSERT_EQ(0u, glue.getServices(records, nullptr));
    ASSERT_EQ(2u, records.size());  // the host with two texts is left out
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    EXPECT_EQ("other", records[0].name);
    EXPECT_EQ(2, records[0].status);
    const auto& svc = records[1];
    EXPECT_EQ("svcA", svc.name);
    EXPECT_EQ("192.168.1.20", svc.address);
    const uint8_t mac[6] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    EXPECT_EQ(0, std::memcmp(mac, svc.mac, 6));
    EXPECT_EQ("a", svc.first);
    EXPECT_EQ("b", svc.text);
    EXPECT_EQ("c", svc.host);
    EXPECT_EQ(1, svc.status);

    // The host's name must be the beginning of the filter.
    struct Case {
        const char* filter;
        size_t count;
    };
    const Case cases[] = {{"svcA", 1}, {"svcA and more", 1}, {"svc", 0}, {"other", 1}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        ASSERT_EQ(0u, glue.getServices(records, c.filter));
        EXPECT_EQ(c.count, records.size());
    }

    EXPECT_EQ(0u, glue.stop());
    EXPECT_EQ(0u, glue.finalize());
}

}  // namespace
