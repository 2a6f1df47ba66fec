// Parameter databases synchronised over a real link: this process's connecting unit against the
// device simulator in its own process (port i binds database i of each process's collection),
// both loading the same layout; and a raw TCP peer that sends malformed commands.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PdbLayout.h"
#include "PortTestSupport.h"
#include "UnitTestSupport.h"
#include "comctrl/Core/comctrl_PdbSynchronizer.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "comctrl/Core/comctrl_cnp.h"

using namespace comctrltest;
using P = ComControl::PdbSynchronizerProtocol;

namespace {

#ifdef UZ_PDB_LAYOUT_DIR
const std::string kLayout = std::string(UZ_PDB_LAYOUT_DIR) + "/pdb_layout.json";
#else
const std::string kLayout;
#endif
constexpr uint32_t kProfile = 0, kLcs = 3;
constexpr uint32_t kSubscriber = 0x5100;

class Watch : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override { return 0; }
};

std::string localDigest(uint32_t id)
{
    uint8_t structure[16] = {}, values[16] = {};
    EXPECT_EQ(0u, P::generateDigest(id, "", structure, values));
    return "DIGEST " + std::to_string(id) + " " + devsim::toHex(values, 16);
}

class PdbLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef UZ_DEVSIM_PATH
        GTEST_SKIP() << "uz_devsim is not built";
#endif
        ASSERT_TRUE(vcomtest::startLayers());
        std::string error;
        ASSERT_EQ(0u, m_layout.load(kLayout, error)) << error;
        ASSERT_TRUE(m_simulator.start({"--port", "0", "--layout", kLayout}));
        m_port = m_simulator.listenPort();
        ASSERT_NE(0, m_port) << m_simulator.output();
    }

    // The engine's connecting unit with both layout databases registered.
    void connectUnit()
    {
        ASSERT_EQ(0u, m_unit.selectDatabse(1));
        ASSERT_EQ(0u, m_unit.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), m_owner, &m_owner, 0x100000));
        nameLikeTheEngine(m_unit);
        for (uint32_t id : {kProfile, kLcs}) {
            ASSERT_EQ(0u, m_layout.database(id)->addDirtyFlag(kSubscriber, &m_watch, 0));
            ASSERT_EQ(0u, m_unit.registPdb(id, kSubscriber, 0xF0));
        }
        m_owner.onWake.push_back([&] { (void)m_unit.runCallback(); });
        m_owner.onTick.push_back([&] { (void)m_unit.periodicHandle(50); });
        ASSERT_EQ(0u, m_unit.connect(vcomtest::loopbackAddress(), m_port));
        ASSERT_TRUE(m_owner.pump([&] { return m_owner.logged("connected 0"); }));
    }
    void TearDown() override
    {
        m_owner.onWake.clear();
        m_owner.onTick.clear();
    }

    uint32_t status(uint32_t index)
    {
        uint32_t s = 99;
        EXPECT_EQ(0u, m_unit.pdbSyncStatus(index, &s));
        return s;
    }
    bool synchronize(uint32_t index, uint32_t direction)
    {
        if (m_unit.synchronizePdb(index, direction) != 0u) return false;
        return m_owner.pump([&] { return status(index) == ComControl::kPdbSyncAssociated; });
    }
    bool digestsEqual(uint32_t id)
    {
        // The device imports after it answered: give it the time of a few exchanges.
        return m_owner.pump([&] { return m_simulator.ask("digest " + std::to_string(id)) == localDigest(id); });
    }
    uint32_t local(uint32_t x, uint32_t y, uint8_t* factor = nullptr)
    {
        return m_layout.database(kProfile)->getUInt32(0, 0, x, y, factor);
    }

    devsim::PdbLayout m_layout;  // this process's databases, destroyed after the unit
    Watch m_watch;
    DevsimProcess m_simulator;
    uint16_t m_port = 0;
    LinkOwner m_owner;
    ComControl::ServerUnit m_unit;
};

}  // namespace

TEST_F(PdbLinkTest, BothDirectionsWithDifferingAndEqualDatabasesThenChangesWithoutEcho)
{
    PDB::ParameterDB& profile = *m_layout.database(kProfile);
    PDB::ParameterDB& lcs = *m_layout.database(kLcs);
    ASSERT_EQ(0u, profile.setUInt32(0, 0, 1, 1, 500, 0x01));
    ASSERT_EQ("OK", m_simulator.ask("set 0 256 level 0 0 900"));
    ASSERT_EQ(0u, lcs.setString(0, 3, 0, 0, "console", 0x01));
    ASSERT_EQ("OK", m_simulator.ask("set 3 512 name 0 0 device"));
    ASSERT_EQ("OK", m_simulator.ask("set 0 256 local 0 0 55"));  // not synchronised
    EXPECT_EQ("ERROR 0x80000002", m_simulator.askFor("pdbsync 11 0", "ERROR"));
    EXPECT_EQ("ERROR syntax", m_simulator.askFor("pdbsync 0 2", "ERROR"));
    connectUnit();
    ASSERT_EQ(ComControl::kPdbSyncIdle, status(kProfile));
    EXPECT_EQ("PDBSYNC 0 0", m_simulator.askFor("pdbsync 0 0", "PDBSYNC"));
    EXPECT_EQ(0x80000002u, m_unit.synchronizePdb(kProfile, 3));  // only directions 1 and 2
    EXPECT_EQ(0x80000002u, m_unit.registPdb(11, kSubscriber, 0xF0));
    EXPECT_EQ(0x80000002u, m_unit.pdbSyncStatus(11, nullptr));

    // Direction 2: the device's database wins. Its end associates once our last answer arrives.
    ASSERT_TRUE(synchronize(kProfile, 2));
    EXPECT_TRUE(m_owner.pump([&] { return m_simulator.askFor("pdbsync 0 0", "PDBSYNC") == "PDBSYNC 0 2"; }));
    // The digests stay apart: /local is not synchronised and differs.
    EXPECT_TRUE(m_owner.pump([&] { return local(0, 0) == 900; }));
    EXPECT_EQ(1u, local(1, 1));
    EXPECT_EQ(7u, profile.getUInt32(0, 2, 0, 0, nullptr));  // the local value stays
    // Direction 1: this side's database wins.
    ASSERT_TRUE(synchronize(kLcs, 1));
    EXPECT_TRUE(m_owner.pump([&] { return m_simulator.ask("get 3 512 name 0 0") == "VALUE console"; }));
    EXPECT_TRUE(digestsEqual(kLcs));

    // Equal databases, both directions: associated again with nothing to copy.
    for (uint32_t direction : {1u, 2u}) {
        ASSERT_EQ(0u, m_unit.asynchronizePdb(kLcs));
        ASSERT_TRUE(m_owner.pump([&] { return status(kLcs) == ComControl::kPdbSyncIdle; }));
        ASSERT_TRUE(synchronize(kLcs, direction));
        EXPECT_TRUE(digestsEqual(kLcs));
    }

    // Changes both ways.
    ASSERT_EQ(0u, profile.setUInt32(0, 0, 2, 1, 42, 0x01));
    // Ports without a database or association answer a failure; the others send.
    (void)m_unit.notifyPrmChanged();
    EXPECT_TRUE(m_owner.pump([&] { return m_simulator.ask("get 0 256 level 2 1") == "VALUE 42"; }));
    ASSERT_EQ("OK", m_simulator.ask("set 0 256 level 3 0 77"));
    EXPECT_TRUE(m_owner.pump([&] { return local(3, 0) == 77; }));
    uint8_t factor = 0;
    EXPECT_EQ(77u, local(3, 0, &factor));
    EXPECT_EQ(0xF0, factor);  // written by the link
    // The device passed the console's own change back marked as the console's: not written again.
    // A later change of the device arrives behind anything it sent before.
    (void)m_unit.notifyPrmChanged();
    ASSERT_EQ("OK", m_simulator.ask("set 0 256 level 0 1 88"));
    EXPECT_TRUE(m_owner.pump([&] { return local(0, 1) == 88; }));
    EXPECT_EQ(42u, local(2, 1, &factor));
    EXPECT_EQ(0x01, factor);
    EXPECT_EQ("VALUE 55", m_simulator.ask("get 0 256 local 0 0"));
}

namespace {

// A plain TCP peer speaking frames: name, big-endian length, payload.
class RawPeer {
public:
    ~RawPeer()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool connect(uint16_t port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in in = {};
        in.sin_family = AF_INET;
        in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        in.sin_port = htons(port);
        return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0;
    }
    bool send(const std::string& port, const std::vector<uint8_t>& command)
    {
        const std::string bytes = frame(port, std::string(command.begin(), command.end()));
        return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // Reads until a frame on port carries the command id, or the link closes (false), within 5 s.
    bool waitFor(const std::string& port, uint32_t id)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            while (m_buffer.size() >= 8) {
                const uint32_t length = (uint32_t(uint8_t(m_buffer[4])) << 24) | (uint32_t(uint8_t(m_buffer[5])) << 16) |
                                        (uint32_t(uint8_t(m_buffer[6])) << 8) | uint8_t(m_buffer[7]);
                if (m_buffer.size() < 8 + length) break;
                const std::string name = m_buffer.substr(0, port.size());
                const std::string payload = m_buffer.substr(8, length);
                m_buffer.erase(0, 8 + length);
                if (name == port && payload.size() >= 8 &&
                    ((uint32_t(uint8_t(payload[5])) << 16) | (uint32_t(uint8_t(payload[6])) << 8) |
                     uint8_t(payload[7])) == id) {
                    return true;
                }
            }
            if (!readSome()) return false;
        }
        return false;
    }
    // true once the peer closed the link within 5 s.
    bool closed()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            if (!readSome()) return m_eof;
        }
        return false;
    }

private:
    bool readSome()
    {
        pollfd p = {m_fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) return true;
        char bytes[4096];
        const ssize_t n = ::recv(m_fd, bytes, sizeof(bytes), 0);
        if (n <= 0) {
            m_eof = true;
            return false;
        }
        m_buffer.append(bytes, size_t(n));
        return true;
    }
    int m_fd = -1;
    bool m_eof = false;
    std::string m_buffer;
};

std::vector<uint8_t> encoded(const std::function<JLIB::JResult(uint8_t*, uint32_t, uint32_t*)>& encode)
{
    std::vector<uint8_t> b(4096);
    uint32_t length = 0;
    EXPECT_EQ(0u, encode(b.data(), uint32_t(b.size()), &length));
    b.resize(length);
    return b;
}

}  // namespace

TEST_F(PdbLinkTest, ARawPeerWithMalformedCommandsLosesTheLinkButARefusedSetDoesNot)
{
    const uint32_t address[3] = {256, 0, 0}, unknown[2] = {999, 0}, indexes[3] = {1, 1, 0};
    const JVariant value(5u);
    struct Case {
        const char* what;
        bool associate;
        std::vector<uint8_t> command;
        bool dropped;
    };
    std::vector<uint8_t> badRole = encoded([](uint8_t* b, uint32_t c, uint32_t* l) {
        return P::Encode_AssociationBeginRequest(b, c, l, "Profile", true);
    });
    badRole.back() = 0x40;
    const Case cases[] = {
        {"begin request with role 0x40", false, badRole, true},
        {"set with a text address", true, encoded([&](uint8_t* b, uint32_t c, uint32_t* l) {
             return P::Encode_SetParameter(b, c, l, value, 0xA0, "Profile", nullptr, "level", address, indexes, 2);
         }), true},
        {"set of depth 3", true, encoded([&](uint8_t* b, uint32_t c, uint32_t* l) {
             return P::Encode_SetParameter(b, c, l, value, 0xA0, "Profile", nullptr, nullptr, address, indexes, 3);
         }), true},
        {"set for another database", true, encoded([&](uint8_t* b, uint32_t c, uint32_t* l) {
             return P::Encode_SetParameter(b, c, l, value, 0xA0, "Other", nullptr, nullptr, address, indexes, 2);
         }), true},
        {"set of a component the device lacks", true, encoded([&](uint8_t* b, uint32_t c, uint32_t* l) {
             return P::Encode_SetParameter(b, c, l, value, 0xA0, "Profile", nullptr, nullptr, unknown, indexes, 2);
         }), false},
    };
    const auto simple = [](uint32_t id) {
        return encoded([id](uint8_t* b, uint32_t c, uint32_t* l) {
            uint32_t pos = 0;
            const JLIB::JResult r = ComControl::cnpMakeSimpleCommand(b, c, &pos, id);
            *l = pos;
            return r;
        });
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        RawPeer peer;
        ASSERT_TRUE(peer.connect(m_port));
        if (k.associate) {
            ASSERT_TRUE(peer.send("MPRF", encoded([](uint8_t* b, uint32_t c, uint32_t* l) {
                return P::Encode_AssociationBeginRequest(b, c, l, "Profile", true);
            })));
            ASSERT_TRUE(peer.waitFor("MPRF", ComControl::CNP_CMD_ASSOCIATION_TELL_COMPLETE));
            ASSERT_TRUE(peer.send("MPRF", simple(ComControl::CNP_CMD_ASSOCIATION_TELL_COMPLETE)));
            ASSERT_TRUE(peer.waitFor("MPRF", ComControl::CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER));
            ASSERT_TRUE(peer.send("MPRF", simple(ComControl::CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER)));
        }
        ASSERT_TRUE(peer.send("MPRF", k.command));
        if (k.dropped) {
            EXPECT_TRUE(peer.closed());
        } else {
            // Still associated: an end request is answered.
            ASSERT_TRUE(peer.send("MPRF", simple(ComControl::CNP_CMD_ASSOCIATION_END)));
            EXPECT_TRUE(peer.waitFor("MPRF", ComControl::CNP_CMD_ASSOCIATION_END_ANSWER));
        }
    }
}
