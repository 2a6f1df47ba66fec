#include "TMS/AbstractMessage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "TMS/SystemMessage.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadMessageStream.h"
#include "ThreadTestSupport.h"

namespace {

// Keys must be arrays known when compiling; a pointer or a string object cannot become one.
static_assert(std::is_constructible_v<TMS::MessageKey, const char (&)[12]>);
static_assert(!std::is_constructible_v<TMS::MessageKey, const char*>);
static_assert(!std::is_constructible_v<TMS::MessageKey, char*>);
static_assert(!std::is_constructible_v<TMS::MessageKey, std::string>);

constexpr char kKeyA[] = "Key";
constexpr char kKeyB[] = "Key";  // equal text, another pointer

class AbstractMessageTest : public testing::Test {
protected:
    TMS::TMSystem m_system;
};

}  // namespace

TEST_F(AbstractMessageTest, UninitialisedMessageHoldsAndTakesNothing)
{
    TMS::AbstractMessage message;
    EXPECT_STREQ("Dummy", message.fromWhere());
    EXPECT_EQ(TMS::kMessageNone, message.messageType());
    EXPECT_EQ(0u, message.messageId());
    EXPECT_FALSE(message.isValid());
    EXPECT_EQ(0x80000000u, message.addData("CommandName", "x"));
    EXPECT_EQ(0x80000000u, message.addData("Count", 1));
    EXPECT_EQ(0x80000000u, message.deleteData("CommandName"));
    EXPECT_FALSE(message.data("CommandName").isValid());
    EXPECT_TRUE(message.arguments().empty());
    EXPECT_EQ(&TMS::getNullDataMap(), &message.arguments());
}

TEST_F(AbstractMessageTest, InitializeNamesTheCallerAndRefusesUnknownTypes)
{
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 7));
    EXPECT_STREQ("NullThread", message.fromWhere());  // the test's main thread is no framework thread
    EXPECT_EQ(TMS::kMessageUser, message.messageType());
    EXPECT_EQ(7u, message.messageId());
    ASSERT_EQ(0u, message.addData("CommandName", "Status"));

    EXPECT_EQ(0x80000000u, message.initialize(static_cast<TMS::MessageType>(3), 1));
    EXPECT_STREQ("Dummy", message.fromWhere());
    EXPECT_EQ(TMS::kMessageNone, message.messageType());
    EXPECT_EQ(0u, message.messageId());
    EXPECT_TRUE(message.arguments().empty());

    ASSERT_EQ(0u, message.initialize(TMS::kMessageSystem, 2));
    ASSERT_EQ(0u, message.addData("A", 1));
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 3));  // a new initialize empties the map
    EXPECT_TRUE(message.arguments().empty());
    EXPECT_EQ(0u, message.clear());
    EXPECT_STREQ("Dummy", message.fromWhere());
    EXPECT_FALSE(message.isValid());
}

TEST_F(AbstractMessageTest, AddDataStoresEachKindUnderItsKey)
{
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    const uint8_t bytes[] = {1, 2, 3};
    ASSERT_EQ(0u, message.addData("U", 5u));
    ASSERT_EQ(0u, message.addData("I", -5));
    ASSERT_EQ(0u, message.addData("F", 2.5f));
    ASSERT_EQ(0u, message.addData("S", "text"));
    ASSERT_EQ(0u, message.addData("N", static_cast<const char*>(nullptr)));
    ASSERT_EQ(0u, message.addData("B", bytes, 3));
    EXPECT_EQ(0x80000002u, message.addData("B0", bytes, 0));
    EXPECT_EQ(0x80000002u, message.addData("Bn", nullptr, 3));
    const std::string longText(2000, 'x');
    ASSERT_EQ(0u, message.addData("L", longText.c_str()));

    struct Case { const char* key; int type; };
    const Case cases[] = {
        {"U", JVariant::kTypeUInt32}, {"I", JVariant::kTypeInt32},  {"F", JVariant::kTypeFloat},
        {"S", JVariant::kTypeString}, {"N", JVariant::kTypeString}, {"B", JVariant::kTypeBinary},
        {"L", JVariant::kTypeString}, {"B0", JVariant::kTypeInvalid}, {"Bn", JVariant::kTypeInvalid},
        {"Missing", JVariant::kTypeInvalid}, {nullptr, JVariant::kTypeInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "(null)");
        EXPECT_EQ(c.type, message.data(c.key).getType());
    }
    EXPECT_EQ(5u, message.data("U").toUInt32());
    EXPECT_EQ(-5, message.data("I").toInt32());
    EXPECT_FLOAT_EQ(2.5f, message.data("F").toFloat());
    EXPECT_STREQ("text", message.data("S").toString());
    EXPECT_STREQ("", message.data("N").toString());
    EXPECT_EQ(0, std::memcmp(bytes, message.data("B").toBinary(), 3));
    EXPECT_STREQ("ERROR:", message.data("L").toString());  // longer than a value may hold
    EXPECT_EQ(7u, message.arguments().size());

    EXPECT_EQ(0u, message.deleteData("S"));
    EXPECT_EQ(0x80000000u, message.deleteData("S"));
    EXPECT_EQ(0x80000002u, message.deleteData(nullptr));
    EXPECT_FALSE(message.data("S").isValid());
}

TEST_F(AbstractMessageTest, EqualKeyTextReplacesTheValueAndKeepsTheFirstKey)
{
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    ASSERT_EQ(0u, message.addData(kKeyA, 1));
    ASSERT_EQ(0u, message.addData(kKeyB, "two"));
    ASSERT_EQ(1u, message.arguments().size());
    EXPECT_EQ(kKeyA, message.arguments().begin()->first.text());
    EXPECT_STREQ("two", message.data("Key").toString());
}

TEST_F(AbstractMessageTest, CopiesShareKeysAndOwnTheirValues)
{
    TMS::AbstractMessage original;
    ASSERT_EQ(0u, original.initialize(TMS::kMessageUser, 4));
    ASSERT_EQ(0u, original.addData(kKeyA, "first"));
    TMS::AbstractMessage copy(original);
    ASSERT_EQ(0u, original.addData(kKeyA, "changed"));
    EXPECT_STREQ("first", copy.data("Key").toString());
    EXPECT_EQ(kKeyA, copy.arguments().begin()->first.text());
    EXPECT_EQ(original.fromWhere(), copy.fromWhere());
    EXPECT_EQ(4u, copy.messageId());

    TMS::AbstractMessage assigned;
    assigned = original;
    (void)original.clear();  // always 0
    EXPECT_STREQ("changed", assigned.data("Key").toString());
    EXPECT_EQ(TMS::kMessageUser, assigned.messageType());
}

TEST_F(AbstractMessageTest, SystemMessageKnowsOnlyTheFourRequests)
{
    TMS::ArgumentMap arguments;
    arguments["Mode"] = JVariant(3);
    for (uint32_t id = 0; id <= 4; ++id) {
        SCOPED_TRACE(id);
        const TMS::SystemMessage message(static_cast<TMS::SysMessageId>(id), arguments);
        EXPECT_STREQ("Dummy", message.fromWhere());
        if (id <= 3) {
            EXPECT_EQ(TMS::kMessageSystem, message.messageType());
            EXPECT_EQ(id, message.messageId());
            EXPECT_EQ(3, message.data("Mode").toInt32());
        } else {
            EXPECT_EQ(TMS::kMessageNone, message.messageType());
            EXPECT_TRUE(message.arguments().empty());
        }
    }
}

TEST_F(AbstractMessageTest, SendingByUnknownNameIsAcceptedAndLost)
{
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    EXPECT_EQ(0u, message.send("Nobody"));
    EXPECT_EQ(0u, message.sendWithWaiting("Nobody"));
    EXPECT_EQ(0u, message.send(static_cast<const char*>(nullptr)));
}

TEST(ThreadMessageStreamTest, QueueKeepsOrderAndAnswersEachState)
{
    TMS::TMSystem system;
    TMS::ThreadMessageStream queue;
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));

    // Without a lock.
    EXPECT_EQ(0x80000004u, queue.push(message));
    EXPECT_EQ(0x80000004u, queue.pop(message));
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_FALSE(queue.isFull());
    EXPECT_EQ(0x80000004u, queue.clear());
    EXPECT_EQ(0x80000004u, queue.initialize(nullptr, 0, 2));

    TMS::TMSMutex lock("TMSThreadMsg");
    EXPECT_EQ(0x80000000u, queue.initialize(&lock, 0, 0));
    ASSERT_EQ(0u, queue.initialize(&lock, 0, 2));
    for (uint32_t id = 1; id <= 2; ++id) {
        ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, id));
        ASSERT_EQ(0u, queue.push(message));
    }
    EXPECT_TRUE(queue.isFull());
    EXPECT_EQ(0x80000008u, queue.push(message));

    TMS::AbstractMessage out;
    EXPECT_EQ(10u, queue.pop(out));
    EXPECT_EQ(1u, out.messageId());
    EXPECT_EQ(0u, queue.pop(out));
    EXPECT_EQ(2u, out.messageId());
    EXPECT_EQ(0x80000007u, queue.pop(out));
    EXPECT_TRUE(queue.isEmpty());

    ASSERT_EQ(0u, queue.push(message));
    EXPECT_EQ(0u, queue.clear());
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(0u, queue.release());
    // A released queue is not busy: senders must not wait for room that never comes.
    EXPECT_EQ(0x80000000u, queue.push(message));
}
