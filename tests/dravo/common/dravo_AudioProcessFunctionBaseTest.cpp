#include "dravo/common/dravo_AudioProcessFunctionBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

// Records the player operations; the reserved slots must never be called by the base.
class RecordingPlayer : public DRAVO::IPlayerAccessor_V1 {
public:
    std::string last;

    uint32_t reservedOperation1() override { return note("reserved"); }
    uint32_t reservedOperation2() override { return note("reserved"); }
    uint32_t reservedOperation3() override { return note("reserved"); }
    uint32_t createCalcThread(uint32_t value, uint16_t value16, uint16_t& threadId) override
    {
        threadId = 42;
        return note("createCalcThread " + std::to_string(value) + " " + std::to_string(value16));
    }
    uint32_t deleteCalcThread(uint16_t threadId) override { return note("deleteCalcThread " + std::to_string(threadId)); }
    uint32_t resumeCalcThread(uint16_t threadId) override { return note("resumeCalcThread " + std::to_string(threadId)); }
    uint32_t endCheckCalcThread(uint16_t threadId, uint32_t value) override
    {
        return note("endCheckCalcThread " + std::to_string(threadId) + " " + std::to_string(value));
    }
    uint32_t fixedComponentEvent(uint32_t value, const void* data) override
    {
        return note("fixedComponentEvent " + std::to_string(value) + " " + static_cast<const char*>(data));
    }
    uint32_t componentLog(const char* text) override { return note(std::string("componentLog ") + text); }

private:
    uint32_t note(const std::string& call)
    {
        last = call;
        return uint32_t(call.size());
    }
};

}  // namespace

TEST(AudioProcessFunctionBaseTest, PlayerHelpersRefuseBeforeInitializeAndForwardAfter)
{
    dravotest::FakeDescription description;
    dravotest::FakeAudioProcess f(&description);
    uint16_t threadId = 7;
    EXPECT_EQ(0x80000000u, f.createCalcThread(1, 2, threadId));
    EXPECT_EQ(7, threadId);
    EXPECT_EQ(0x80000000u, f.deleteCalcThread(1));
    EXPECT_EQ(0x80000000u, f.resumeCalcThread(1));
    EXPECT_EQ(0x80000000u, f.endCheckCalcThread(1, 2));
    EXPECT_EQ(0x80000000u, f.fixedComponentEvent(1, "x"));
    EXPECT_EQ(0x80000000u, f.componentLog("text"));

    RecordingPlayer player;
    ASSERT_EQ(0u, f.initialize(&player, 1, 1, 1, 0, 0, 32, 96000));
    EXPECT_EQ(&player, f.playerAccessor());
    struct Case {
        std::string call;
        uint32_t result;
    };
    const Case cases[] = {
        {"createCalcThread 3 4", f.createCalcThread(3, 4, threadId)},
        {"deleteCalcThread 5", f.deleteCalcThread(5)},
        {"resumeCalcThread 6", f.resumeCalcThread(6)},
        {"endCheckCalcThread 7 8", f.endCheckCalcThread(7, 8)},
        {"fixedComponentEvent 9 data", f.fixedComponentEvent(9, "data")},
        {"componentLog hello", f.componentLog("hello")},
    };
    EXPECT_EQ("componentLog hello", player.last);  // the calls above ran in order
    for (const Case& c : cases) EXPECT_EQ(c.call.size(), c.result) << c.call;
    EXPECT_EQ(42, threadId);
}
