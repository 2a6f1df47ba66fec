#include "MacBarServer/macbar_Server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "MacBarServer/macbar_File.h"
#include "MacBarServer/macbar_ServerThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "fsw/TempFolder.h"
#include "vsock/vsock.h"

namespace {

using namespace DbgcTest;

class TestProductInfo : public MACBAR::IMacBarProductInfo {
public:
    std::string folder;
    std::string name = "UZ";
    std::string staticDataPath() const override { return folder; }
    std::string productName(uint32_t) const override { return name; }
    std::string etherPort() const override { return "eth0"; }
};

// A writer thread on a port of its own, a station connected to it and a temporary static folder.
class MacBarServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.ok());
        m_info.folder = m_folder.path();
        MACBAR::macbar_SetProductInfo(&m_info);
        ASSERT_EQ(0, vsock_initModule());
        m_port = pickPort();
        ASSERT_NE(0, m_port);
        m_thread = std::make_unique<MACBAR::MacBarServerThread>(m_port);
        ASSERT_EQ(0u, m_thread->initialize("MacBarServer", 0, 0, 20000, 20000, 100, 0, TMS::getNullDataMap()));
        ASSERT_TRUE(waitUntil([&] { return m_thread->getStatus() == TMS::kStatusStop; }));
        ASSERT_EQ(0u, m_thread->start(TMS::getNullDataMap()));
        ASSERT_TRUE(m_station.connect(m_port));
    }
    void TearDown() override
    {
        m_station.close();
        if (m_thread) {
            EXPECT_EQ(0u, m_thread->release());
        }
        m_thread.reset();
        MACBAR::macbar_SetProductInfo(nullptr);
        EXPECT_EQ(0, vsock_endModule());
    }

    // Sends the text and answers everything up to and including the first "END>".
    std::string ask(const std::string& text)
    {
        if (!m_station.type(text)) return "<send failed>";
        if (!m_station.waitFor("END>")) return "<timeout>" + m_station.take();
        return m_station.take();
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    TestProductInfo m_info;
    uint16_t m_port = 0;
    std::unique_ptr<MACBAR::MacBarServerThread> m_thread;
    TcpClient m_station;
};

TEST_F(MacBarServerTest, AddressIsWrittenInUpperCasePairsAndReadBack)
{
    EXPECT_EQ("OK: END>", ask("MACADR WRITE 1 0a1b2c3d4e5f\r\n"));
    EXPECT_EQ("ethaddr=0A:1B:2C:3D:4E:5F", readText(m_folder.path("GW.env")));
    EXPECT_EQ("OK:0A1B2C3D4E5F END>", ask("macadr get\n"));
    // A comment after the command is not a token; a line that starts with one does nothing,
    // so the next reply is the first thing the station hears.
    EXPECT_EQ("OK:0A1B2C3D4E5F END>", ask("MACADR GET ;rest\n"));
    EXPECT_EQ("OK:0A1B2C3D4E5F END>", ask(";MACADR CLEAR 1\n#x\nMACADR GET\n"));
}

TEST_F(MacBarServerTest, RefusedCommandsAnswerNgAndLeaveTheFilesAsTheyWere)
{
    ASSERT_EQ("OK: END>", ask("MACADR WRITE 1 001122334455\n"));
    ASSERT_EQ("OK: END>", ask("ESERI WRITE abcdefgh12345678\n"));
    const struct {
        const char* line;
    } cases[] = {
        {"MACADR WRITE 2 66778899AABB\n"},     // only interface 1
        {"MACADR WRITE 1 66778899AAB\n"},      // eleven digits
        {"MACADR WRITE 1 66778899AABG\n"},     // not hexadecimal
        {"MACADR WRITE x 66778899AABB\n"},     // interface not decimal
        {"MACADR WRITE 1\n"},                  // no address
        {"MACADR CLEAR 0\n"},                  // interface 0
        {"MACADR CLEAR\n"},                    // no interface
        {"ESERI WRITE ABCDEFGH1234567\n"},     // fifteen characters
        {"ESERI WRITE ABCDEFGH12345678Z\n"},   // seventeen
        {"ESERI WRITE ABCDEFGH-2345678\n"},    // not a letter or digit
        {"ESERI WRITE \"BCDEFGH12345678\"\n"}, // the quotes stay part of the token
        {"PRONAME \"GET\"\n"},
        {"ESERI\n"},
        {"HELLO GET\n"},
        {"a b c d e f g h i j k l m n o p q r s t\n"},  // 20 tokens
        {"MACADR GET 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ("NG: END>", ask(c.line)) << c.line;
    }
    EXPECT_EQ("ethaddr=00:11:22:33:44:55", readText(m_folder.path("GW.env")));
    EXPECT_EQ("ABCDEFGH12345678", readText(m_folder.path("GW.eserial")));
    // Nineteen tokens still run.
    EXPECT_EQ("OK:ABCDEFGH12345678 END>", ask("ESERI GET 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19\n"));
}

TEST_F(MacBarServerTest, ClearRemovesTheFilesAndAnswersOkWhenAlreadyGone)
{
    ASSERT_EQ("OK: END>", ask("MACADR WRITE 1 001122334455\n"));
    ASSERT_EQ("OK: END>", ask("ESERI WRITE 0123456789ABCDEF\n"));
    EXPECT_EQ("OK: END>", ask("MACADR CLEAR 7\n"));
    EXPECT_FALSE(std::filesystem::exists(m_folder.path("GW.env")));
    EXPECT_EQ("NG: END>", ask("MACADR GET\n"));
    EXPECT_EQ("OK: END>", ask("MACADR CLEAR 1\n"));
    EXPECT_EQ("OK: END>", ask("eseri clear\n"));
    EXPECT_FALSE(std::filesystem::exists(m_folder.path("GW.eserial")));
    EXPECT_EQ("NG: END>", ask("ESERI GET\n"));
}

TEST_F(MacBarServerTest, ProductNameIsPaddedOrCutToTenCharacters)
{
    m_info.name = "GW5X";
    EXPECT_EQ("OK:GW5X       END>", ask("PRONAME GET\n"));
    m_info.name = "ABCDEFGHIJKLMN";
    EXPECT_EQ("OK:ABCDEFGHIJ END>", ask("PRONAME GET\n"));
}

TEST_F(MacBarServerTest, LineEditingAndLineEnds)
{
    // Backspace and delete take back a character; other control bytes are ignored.
    EXPECT_EQ("OK:UZ         END>", ask("PRONAMX\bE G\x01\x7f\x02GET\r"));
    // After an empty line the rest of the chunk waits for the next pass, and is still answered.
    EXPECT_EQ("OK:UZ         END>", ask("\nPRONAME GET\n"));
    // Bytes beyond 80 are dropped and the line keeps 79: the command word stays intact.
    EXPECT_EQ("NG: END>", ask("ESERI WRITE " + std::string(70, 'A') + "\n"));
    // Two lines in one chunk both run.
    ASSERT_TRUE(m_station.type("PRONAME GET\nPRONAME GET\n"));
    EXPECT_TRUE(m_station.waitFor("END>", 5s, 2));
    EXPECT_EQ("OK:UZ         END>OK:UZ         END>", m_station.take());
}

TEST(MacBarServerThreadTest, PortInUseFailsInitialize)
{
    TMS::TMSystem system;
    ASSERT_EQ(0, vsock_initModule());
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any = {};
    any.sin_family = AF_INET;
    socklen_t length = sizeof any;
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any));
    ASSERT_EQ(0, ::listen(fd, 1));
    ASSERT_EQ(0, ::getsockname(fd, reinterpret_cast<sockaddr*>(&any), &length));
    {
        MACBAR::MacBarServerThread thread(ntohs(any.sin_port));
        EXPECT_EQ(0x80000000u, thread.initialize("MacBarServer", 0, 0, 20000, 20000, 100, 0, TMS::getNullDataMap()));
        EXPECT_TRUE(TmsTest::hasLogLine(thread, "[E] MacBarServerThread::initialize - Cannot initialize 'MACBAR Server for TCP'!\n"));
    }
    ::close(fd);
    EXPECT_EQ(0, vsock_endModule());
}

}  // namespace
