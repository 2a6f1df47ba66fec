#include "comctrl/Core/comctrl_EventMessengerProtocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandBytes.h"
#include "UnitTestSupport.h"
#include "vsock/VsockTestSupport.h"

using namespace comctrltest;
using ComControl::EventMessengerProtocol;

namespace {

constexpr uint32_t kPoison = 0x5A5A5A5A;

// The event command written byte by byte: result 0, id, name, text.
CommandBytes eventBytes(uint32_t command, uint32_t result, uint32_t id, const std::string& name, const std::string& text)
{
    CommandBytes c(command, 4);
    c.param(0x14, 1).be32(result).param(0x14, 1).be32(id);
    c.param(0x31, static_cast<uint32_t>(name.size() + 1));
    c.bytes.insert(c.bytes.end(), name.begin(), name.end());
    c.u8(0).param(0x31, static_cast<uint32_t>(text.size() + 1));
    c.bytes.insert(c.bytes.end(), text.begin(), text.end());
    c.u8(0).finish();
    return c;
}

const uint8_t* bytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class EventMessengerProtocolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vsocktest::startOsLayer()); }  // the codec's log lines
};

}  // namespace

TEST_F(EventMessengerProtocolTest, WritesTheEventAndAnswerLayout)
{
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(eventBytes(0x030101, 0, 0, "KeepAlive", "").data()), 48),
              eventCommand("KeepAlive", "", 0));
    const CommandBytes answer = eventBytes(0x030110, 0x80000004u, 9, "ApplyConfig", "A:1");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer.data()), answer.size()),
              answerCommand(9, "ApplyConfig", "A:1", 0x80000004u));
    // An empty text still travels as a text of one zero byte.
    const std::string keepAlive = eventCommand("KeepAlive", "");
    EXPECT_EQ(std::string("\x31\x00\x00\x00\x01\x00", 6), keepAlive.substr(keepAlive.size() - 6));
}

TEST_F(EventMessengerProtocolTest, TheLargestEventIs1085BytesAndLongerOnesAreRefused)
{
    const std::string name(23, 'n');
    const std::string text(1023, 't');
    std::vector<uint8_t> buffer(2000);
    uint32_t length = kPoison;
    ASSERT_EQ(0u, EventMessengerProtocol::Encode_Event(buffer.data(), 2000, &length, name.c_str(), text.c_str(), 0));
    EXPECT_EQ(1085u, length);
    EXPECT_EQ(1085u, EventMessengerProtocol::getMaxBufferSize());
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Encode_Event(buffer.data(), 2000, &length, (name + "n").c_str(),
                                                                text.c_str(), 0));
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Encode_EventAnswer(buffer.data(), 2000, &length, 0, name.c_str(),
                                                                      (text + "t").c_str(), 0));
    EXPECT_EQ(0x80000003u, EventMessengerProtocol::Encode_Event(buffer.data(), 1084, &length, name.c_str(),
                                                                text.c_str(), 0));
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Encode_Event(buffer.data(), 2000, nullptr, "a", "b", 0));
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Encode_Event(buffer.data(), 2000, &length, nullptr, "b", 0));
}

TEST_F(EventMessengerProtocolTest, DecodesAnEventAndRunsTheExecutor)
{
    RecordingExecutor executor;
    const std::string command = eventCommand("SetClientType", "TYPE:Editor PIN:12", 0);
    const CommandBytes withId = eventBytes(0x030101, 0, 0x1234, "MeterRequest", "CYCLE:100");
    uint32_t id = kPoison;
    const char* name = nullptr;
    const char* text = nullptr;
    ASSERT_EQ(0u, EventMessengerProtocol::Decode_Event(withId.data(), withId.size(), &executor, 42, &id, &name, &text));
    EXPECT_EQ(0x1234u, id);
    EXPECT_STREQ("MeterRequest", name);
    EXPECT_STREQ("CYCLE:100", text);
    EXPECT_EQ((std::vector<ExecutedEvent>{{42, "MeterRequest", "CYCLE:100"}}), executor.events);

    executor.result = 0x80000000u;
    EXPECT_EQ(0x80003002u, EventMessengerProtocol::Decode_Event(bytesOf(command), static_cast<uint32_t>(command.size()),
                                                                &executor, 1, nullptr, &name, &text));
    const std::string answer = answerCommand(1, "X", "");
    EXPECT_EQ(0x80000005u, EventMessengerProtocol::Decode_Event(bytesOf(answer), static_cast<uint32_t>(answer.size()),
                                                                &executor, 1, nullptr, &name, &text));
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Decode_Event(bytesOf(command), static_cast<uint32_t>(command.size()),
                                                                nullptr, 1, nullptr, &name, &text));
    EXPECT_EQ(2u, executor.events.size());
}

TEST_F(EventMessengerProtocolTest, RefusesDamagedEventsWithoutRunningThem)
{
    struct Case {
        const char* what;
        CommandBytes command;
    };
    const std::string longName(24, 'n');
    const std::string longText(1024, 't');
    const Case cases[] = {
        {"name above 23", eventBytes(0x030101, 0, 0, longName, "")},
        {"text above 1023", eventBytes(0x030101, 0, 0, "KeepAlive", longText)},
        {"three parameters", CommandBytes(0x030101, 3).param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x31, 1).u8(0).finish()},
        {"name not a text", CommandBytes(0x030101, 4).param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x11, 1).u8(65)
                                .param(0x31, 1).u8(0).finish()},
        {"text of 16-bit units", CommandBytes(0x030101, 4).param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x31, 1).u8(0)
                                     .param(0x32, 1).raw({0x41, 0}).finish()},
        {"unterminated text", CommandBytes(0x030101, 4).param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x31, 1).u8(0)
                                  .param(0x31, 2).raw({0x41, 0x42}).finish()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingExecutor executor;
        const char* name = nullptr;
        const char* text = nullptr;
        EXPECT_EQ(0x80000004u, EventMessengerProtocol::Decode_Event(c.command.data(), c.command.size(), &executor, 0,
                                                                    nullptr, &name, &text));
        EXPECT_TRUE(executor.events.empty());
    }
}

TEST_F(EventMessengerProtocolTest, DecodesAnAnswer)
{
    const std::string answer = answerCommand(5, "ApplyConfig", "X:1", 0x80000002u);
    uint32_t id = kPoison;
    uint32_t code = kPoison;
    const char* name = nullptr;
    const char* text = nullptr;
    ASSERT_EQ(0u, EventMessengerProtocol::Decode_EventAnswer(bytesOf(answer), static_cast<uint32_t>(answer.size()), &id,
                                                             &name, &text, &code));
    EXPECT_EQ(5u, id);
    EXPECT_EQ(0x80000002u, code);
    EXPECT_STREQ("ApplyConfig", name);
    EXPECT_STREQ("X:1", text);
    const std::string event = eventCommand("ApplyConfig", "");
    EXPECT_EQ(0x80000005u, EventMessengerProtocol::Decode_EventAnswer(bytesOf(event), static_cast<uint32_t>(event.size()),
                                                                      &id, &name, &text, &code));
    EXPECT_EQ(0x80000001u, EventMessengerProtocol::Decode_EventAnswer(bytesOf(answer), static_cast<uint32_t>(answer.size()),
                                                                      &id, &name, &text, nullptr));
}

TEST_F(EventMessengerProtocolTest, AnswerSizeCoversWhatTheAnswerRepeats)
{
    struct Case {
        const char* what;
        CommandBytes command;
        JLIB::JResult result;
        uint32_t size;
    };
    const Case cases[] = {
        {"event", eventBytes(0x030101, 0, 0, "KeepAlive", "A:1"), 0, 37 + 10 + 4},
        {"empty text", eventBytes(0x030101, 0, 0, "ApplyConfig", ""), 0, 37 + 12 + 1},
        {"answer", eventBytes(0x030110, 0, 0, "KeepAlive", ""), 0, 0},
        {"other command", eventBytes(0x030102, 0, 0, "KeepAlive", ""), 0x80000005u, kPoison},
        {"unreadable text counts its maximum",
         CommandBytes(0x030101, 4).param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x31, 2).raw({'E', 0})
             .param(0x11, 1).u8(1).finish(),
         0, 37 + 2 + 1024},
        {"damaged header", CommandBytes(0x030101, 0), 0x80000004u, kPoison},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t size = kPoison;
        EXPECT_EQ(c.result, EventMessengerProtocol::GetAnswerSize(&size, 0x11, c.command.data(), c.command.size()));
        EXPECT_EQ(c.size, size);
    }
    // The room it computes is exactly what the answer takes.
    const std::string event = eventCommand("SetClientType", "PIN:1234");
    uint32_t size = 0;
    ASSERT_EQ(0u, EventMessengerProtocol::GetAnswerSize(&size, 0x11, bytesOf(event), static_cast<uint32_t>(event.size())));
    EXPECT_EQ(answerCommand(0, "SetClientType", "PIN:1234").size(), size);
}

TEST_F(EventMessengerProtocolTest, ReplyAnswersAnEventWithoutRunningIt)
{
    const CommandBytes event = eventBytes(0x030101, 0, 77, "KeepAlive", "");
    uint8_t out[128];
    uint32_t length = kPoison;
    ASSERT_EQ(0u, EventMessengerProtocol::Reply(out, sizeof(out), &length, event.data(), event.size(), 0x80000001u));
    EXPECT_EQ(answerCommand(77, "KeepAlive", "", 0x80000001u), std::string(reinterpret_cast<const char*>(out), length));
    const std::string answer = answerCommand(1, "KeepAlive", "");
    length = kPoison;
    EXPECT_EQ(0u, EventMessengerProtocol::Reply(out, sizeof(out), &length, bytesOf(answer),
                                                static_cast<uint32_t>(answer.size()), 0));
    EXPECT_EQ(0u, length);
}
