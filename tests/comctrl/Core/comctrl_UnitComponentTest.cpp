#include "comctrl/Core/comctrl_UnitComponent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Answers each call with the result and flags the test set, and counts resets.
class ScriptedComponent : public ComControl::UnitComponent {
public:
    JLIB::JResult result = 0;
    bool more = false;
    uint8_t setFlags = 0;
    int resets = 0;
    std::vector<std::string> calls;

    JLIB::JResult eventReset() override
    {
        ++resets;
        return 0;
    }
    JLIB::JResult eventSend(uint8_t*, uint32_t capacity, uint32_t* produced, bool* moreOut) override
    {
        calls.push_back("send " + std::to_string(capacity));
        *produced = 3;
        *moreOut = more;
        return result;
    }
    JLIB::JResult eventReceived(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t length, uint8_t* flags) override
    {
        calls.push_back("received " + std::to_string(length));
        *flags |= setFlags;
        return result;
    }
};

class RecordingPort : public ComControl::IPort {
public:
    std::vector<std::string> calls;
    JLIB::JResult expandResult = 0;
    JLIB::JResult expandBufferSize(uint32_t size) override
    {
        calls.push_back("expand " + std::to_string(size));
        return expandResult;
    }
    JLIB::JResult writeRequest(const char* name) override
    {
        calls.push_back(std::string("write ") + name);
        return 2;
    }
};

}  // namespace

TEST(UnitComponentTest, TranslatesTheMultiplexerCall)
{
    struct Case {
        const char* what;
        bool input;
        bool output;
        JLIB::JResult component;
        bool more;
        uint8_t setFlags;
        JLIB::JResult result;
        uint8_t flags;
        const char* call;
    };
    const Case cases[] = {
        {"send", false, true, 0, false, 0, 0, 0, "send 16"},
        {"send with more", false, true, 0, true, 0, 0, ComControl::IPortObserver::kFlagMore, "send 16"},
        {"send no room", false, true, 0x80000003u, false, 0, 0x80000001u, 0, "send 16"},
        {"send no room, other high bits", false, true, 0x80010003u, false, 0, 0x80000001u, 0, "send 16"},
        {"send failure", false, true, 0x80000005u, false, 0, 0x80000003u, 0, "send 16"},
        {"send without buffer", false, false, 0, false, 0, 0x80000001u, 0, ""},
        {"receive hold", true, true, 0, false, ComControl::IPortObserver::kFlagHold, 0,
         ComControl::IPortObserver::kFlagHold, "received 4"},
        {"receive no room", true, false, 0x80000003u, false, 0, 0x80000001u, 0, "received 4"},
        {"receive failure", true, true, 0x80000002u, false, 0, 0x80000003u, 0, "received 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedComponent component;
        component.result = c.component;
        component.more = c.more;
        component.setFlags = c.setFlags;
        uint8_t output[16];
        const uint8_t input[4] = {1, 2, 3, 4};
        uint32_t produced = 0x5A5A5A5A;
        uint8_t flags = 0xFF;  // cleared by the call
        EXPECT_EQ(c.result, component.event(c.output ? output : nullptr, c.output ? 16 : 0, &produced,
                                            c.input ? input : nullptr, c.input ? 4 : 0, &flags));
        EXPECT_EQ(c.flags, flags);
        EXPECT_EQ(std::string(c.call), component.calls.empty() ? "" : component.calls[0]);
    }
    ScriptedComponent component;
    uint32_t produced = 0;
    EXPECT_EQ(0x80000003u, component.event(nullptr, 0, &produced, nullptr, 0, nullptr));
    EXPECT_TRUE(component.calls.empty());
}

TEST(UnitComponentTest, APortIsSetWithAResetAndTheRequestedRoom)
{
    ScriptedComponent component;
    RecordingPort port;
    EXPECT_EQ(0x80000001u, component.setPortName(nullptr));
    EXPECT_EQ(0u, component.setPortName("EEVTX"));
    EXPECT_STREQ("EEVT", component.portname());
    EXPECT_EQ(0x80000000u, component.writeRequest());
    EXPECT_EQ(0u, component.extendReceiveBufferSize(1085));  // remembered without a port
    EXPECT_FALSE(component.isSendable());

    EXPECT_EQ(0u, component.setPort(&port));
    EXPECT_EQ(1, component.resets);
    EXPECT_TRUE(component.isSendable());
    EXPECT_EQ(0u, component.writeRequest());  // the port's "no room now" is not passed on
    port.expandResult = 0x80000001u;
    EXPECT_EQ(0x80000002u, component.extendReceiveBufferSize(4096));
    EXPECT_EQ(0u, component.setPort(nullptr));
    EXPECT_EQ(2, component.resets);
    EXPECT_FALSE(component.isSendable());
    EXPECT_EQ((std::vector<std::string>{"expand 1085", "write EEVT", "expand 4096"}), port.calls);
    EXPECT_EQ(4096u, component.requestedReceiveSize());
}
