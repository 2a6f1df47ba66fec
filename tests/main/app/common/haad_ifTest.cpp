#include "common/haad_if.h"

#include <gtest/gtest.h>

#include <array>

#include "common/rtc.h"
#include "common/uart.h"

namespace {

std::array<uint8_t, 4> lastMessage()
{
    uint8_t message[4];
    haad_get_message(message);
    return {message[0], message[1], message[2], message[3]};
}

TEST(haad_ifTest, InitClearsTheImageWithEveryPadSet)
{
    EXPECT_TRUE(haad_set_phantom(0, 2, 1));
    haad_if_init(0);
    for (uint32_t channel = 0; channel < kHaadChannels; ++channel) {
        for (uint32_t reg = 0; reg < kHaadRegisters; ++reg) {
            EXPECT_EQ(reg == 1 ? 0xFF : 0, haad_get_register(channel, reg)) << channel << "/" << reg;
        }
    }
}

TEST(haad_ifTest, GainSetsPadAndNibbleAndSendsCountedMessages)
{
    haad_if_init(1);
    const uint8_t counter = haad_get_counter();
    // Gain 72 on channel 1, input 3: pad bit 0, the high nibble of register 3 becomes 8 + 7.
    ASSERT_TRUE(haad_set_gain(1, 3, 72));
    EXPECT_EQ(0xFF & ~(1u << 3), haad_get_register(1, 1));
    EXPECT_EQ(0xF0, haad_get_register(1, 3));
    const uint8_t second = static_cast<uint8_t>((counter + 1) % 16);
    EXPECT_EQ((std::array<uint8_t, 4>{static_cast<uint8_t>(0x20 + second), 0x40, 3, 0xF0}), lastMessage());

    // An even input takes the low nibble and keeps the high one; gain 30 is row 5: 0 + 3.
    ASSERT_TRUE(haad_set_gain(1, 2, 30));
    EXPECT_EQ(0xF3, haad_get_register(1, 3));
    EXPECT_TRUE(haad_set_phantom(0, 7, 1));
    EXPECT_EQ(0x80, haad_get_register(0, 0));
    EXPECT_EQ((std::array<uint8_t, 4>{lastMessage()[0], 0x40, 0, 0x80}), lastMessage());
    EXPECT_LT(lastMessage()[0], 16);  // channel 0
}

TEST(haad_ifTest, CounterWrapsAfterFifteen)
{
    haad_if_init(1);
    for (int i = 0; i < 40; ++i) {
        const uint8_t before = haad_get_counter();
        ASSERT_TRUE(haad_send(0, 2, static_cast<uint8_t>(i)));
        EXPECT_EQ(before, lastMessage()[0]);
        EXPECT_EQ(before == 15 ? 0 : before + 1, haad_get_counter());
    }
}

TEST(haad_ifTest, ArgumentsOutOfRangeSendNothing)
{
    haad_if_init(1);
    const uint8_t counter = haad_get_counter();
    bool complete = true;
    EXPECT_FALSE(haad_set_gain(0, 0, 73));
    EXPECT_FALSE(haad_set_gain(0, 8, 10));
    EXPECT_FALSE(haad_set_gain(2, 0, 10));
    EXPECT_FALSE(haad_set_gain_NoNoise(0, 0, 73, complete));
    EXPECT_TRUE(complete);
    EXPECT_FALSE(haad_set_gain_NoNoise_Finish(2, 0, 0));
    EXPECT_FALSE(haad_set_phantom(0, 8, 1));
    EXPECT_FALSE(haad_set_pad(2, 0, 1));
    EXPECT_FALSE(haad_set_ha12(0, 9, 0, 0));
    EXPECT_FALSE(haad_send(0, 6, 1));
    EXPECT_EQ(counter, haad_get_counter());
}

TEST(haad_ifTest, GainDownAcrossRowsFourOrEightIsSplitInTwoSteps)
{
    haad_if_init(1);
    bool complete = false;
    // Upwards or within a range: one step.
    ASSERT_TRUE(haad_set_gain_NoNoise(0, 0, 60, complete));  // row 10: 8 + 5
    EXPECT_TRUE(complete);
    EXPECT_EQ(13, haad_get_register(0, 2) & 0x0F);
    ASSERT_TRUE(haad_set_gain_NoNoise(0, 0, 18, complete));  // row 3
    EXPECT_FALSE(complete);
    EXPECT_EQ(1, haad_get_register(0, 1) & 1);           // pad bit of row 3
    EXPECT_EQ(5, haad_get_register(0, 2) & 0x0F);        // A of row 3 with B of row 10
    ASSERT_TRUE(haad_set_gain_NoNoise_Finish(0, 0, 18));
    EXPECT_EQ(4, haad_get_register(0, 2) & 0x0F);

    // Across row 4 only: the pad bit moves, the nibble waits for the finish.
    ASSERT_TRUE(haad_set_gain_NoNoise(0, 1, 42, complete));  // row 7: 0 + 4
    EXPECT_TRUE(complete);
    EXPECT_EQ(0x40, haad_get_register(0, 2) & 0xF0);
    ASSERT_TRUE(haad_set_gain_NoNoise(0, 1, 6, complete));  // row 1
    EXPECT_FALSE(complete);
    EXPECT_EQ(0x40, haad_get_register(0, 2) & 0xF0);
    EXPECT_EQ(2, haad_get_register(0, 1) & 2);
    ASSERT_TRUE(haad_set_gain_NoNoise_Finish(0, 1, 6));
    EXPECT_EQ(0x30, haad_get_register(0, 2) & 0xF0);
}

TEST(haad_ifTest, SerialAndClockStubsAnswerZero)
{
    uint32_t sent = 7;
    const uint8_t byte = 1;
    EXPECT_EQ(0u, uartInit(0));
    EXPECT_EQ(0u, uartSetDataForm(0, 8, 1));
    EXPECT_EQ(0u, uartSetBaudRate(0, 125000));
    EXPECT_EQ(0u, uartTxStartStop(0, true));
    EXPECT_EQ(0u, uartSendData(0, 1, &byte, &sent));
    std::tm time{};
    EXPECT_EQ(0u, rtcInit());
    EXPECT_EQ(0u, rtcStopStart(true));
    EXPECT_EQ(0u, rtcReset());
    EXPECT_EQ(0u, rtcSetTime(&time));
    EXPECT_EQ(0u, rtcGetTime(&time));
    EXPECT_EQ(0u, rtcGetFileDT(&sent));
    bool active = false;
    EXPECT_EQ(0u, rtcGetExtAct(&active));
    EXPECT_EQ(0u, rtcSetTime_ext(&time));
    EXPECT_EQ(0u, rtcGetTime_ext(&time));
    EXPECT_EQ(0u, rtcSetTime_int(&time));
    EXPECT_EQ(0u, rtcGetTime_int(&time));
}

}  // namespace
