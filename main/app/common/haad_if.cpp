#include "common/haad_if.h"

#include <cstring>

#include "common/uart.h"

const uint8_t ha_gain_grp[kHaadInputs] = {2, 2, 3, 3, 4, 4, 5, 5};

const uint8_t ha_gain_bit[13][3] = {
    {1, 0, 0}, {1, 0, 3}, {1, 0, 5}, {1, 0, 4}, {0, 0, 0}, {0, 0, 3}, {0, 0, 5},
    {0, 0, 4}, {0, 8, 0}, {0, 8, 3}, {0, 8, 5}, {0, 8, 4}, {0, 8, 7},
};

namespace {

constexpr uint32_t kSerialPort = 0;
constexpr uint32_t kPhantomRegister = 0;
constexpr uint32_t kPadRegister = 1;
constexpr uint8_t kWriteCommand = 0x40;
constexpr uint8_t kCounterMax = 15;
constexpr uint32_t kBaudRate = 125000;
constexpr uint32_t kGainStep = 6;
// Rows from here on use part A (4) or the high part-A value (8): a change from at or above one of
// them to below it passes through a louder setting unless it is split.
constexpr uint32_t kRowCrossA = 4;
constexpr uint32_t kRowCrossB = 8;

uint8_t g_registers[kHaadChannels][kHaadRegisters];
uint8_t g_message[4];
uint8_t g_counter = 0;
uint8_t g_lastRow[kHaadChannels][kHaadInputs];

bool validInput(uint32_t channel, uint32_t input) { return channel < kHaadChannels && input < kHaadInputs; }

bool writeBit(uint32_t channel, uint32_t reg, uint32_t bit, uint32_t on)
{
    uint8_t value = g_registers[channel][reg];
    value = on ? static_cast<uint8_t>(value | (1u << bit)) : static_cast<uint8_t>(value & ~(1u << bit));
    return haad_send(channel, reg, value);
}

}  // namespace

void haad_if_init(uint32_t mode)
{
    std::memset(g_registers, 0, sizeof g_registers);
    for (uint32_t channel = 0; channel < kHaadChannels; ++channel) g_registers[channel][kPadRegister] = 0xFF;
    if (mode != 0) return;
    (void)uartInit(kSerialPort);  // the stubs cannot fail
    (void)uartSetDataForm(kSerialPort, 8, 1);
    (void)uartSetBaudRate(kSerialPort, kBaudRate);
    (void)uartTxStartStop(kSerialPort, true);
}

bool haad_send(uint32_t channel, uint32_t reg, uint8_t value)
{
    if (channel >= kHaadChannels || reg >= kHaadRegisters) return false;
    g_registers[channel][reg] = value;
    g_message[0] = static_cast<uint8_t>(channel * 32 + g_counter);
    g_message[1] = kWriteCommand;
    g_message[2] = static_cast<uint8_t>(reg);
    g_message[3] = value;
    g_counter = g_counter >= kCounterMax ? 0 : static_cast<uint8_t>(g_counter + 1);
    uint32_t sent = 0;
    (void)uartSendData(kSerialPort, sizeof g_message, g_message, &sent);  // no transport here
    return true;
}

bool haad_set_phantom(uint32_t channel, uint32_t input, uint32_t on)
{
    if (!validInput(channel, input)) return false;
    return writeBit(channel, kPhantomRegister, input, on);
}

bool haad_set_pad(uint32_t channel, uint32_t input, uint32_t padBit)
{
    if (!validInput(channel, input)) return false;
    return writeBit(channel, kPadRegister, input, padBit);
}

bool haad_set_ha12(uint32_t channel, uint32_t input, uint32_t partA, uint32_t partB)
{
    if (!validInput(channel, input)) return false;
    const uint32_t reg = ha_gain_grp[input];
    const uint8_t nibble = static_cast<uint8_t>((partA + partB) & 0x0F);
    uint8_t value = g_registers[channel][reg];
    value = (input % 2 == 0) ? static_cast<uint8_t>((value & 0xF0) | nibble)
                             : static_cast<uint8_t>((value & 0x0F) | (nibble << 4));
    return haad_send(channel, reg, value);
}

bool haad_set_gain(uint32_t channel, uint32_t input, uint32_t gain)
{
    if (!validInput(channel, input) || gain > kHaadGainMax) return false;
    const uint8_t* row = ha_gain_bit[gain / kGainStep];
    (void)haad_set_pad(channel, input, row[0]);  // arguments checked above
    (void)haad_set_ha12(channel, input, row[1], row[2]);
    return true;
}

bool haad_set_gain_NoNoise(uint32_t channel, uint32_t input, uint32_t gain, bool& complete)
{
    if (!validInput(channel, input) || gain > kHaadGainMax) return false;
    const uint32_t row = gain / kGainStep;
    const uint32_t old = g_lastRow[channel][input];
    const bool crossA = old >= kRowCrossA && row < kRowCrossA;
    const bool crossB = old >= kRowCrossB && row < kRowCrossB;
    (void)haad_set_pad(channel, input, ha_gain_bit[row][0]);  // arguments checked above
    if (crossB) (void)haad_set_ha12(channel, input, ha_gain_bit[row][1], ha_gain_bit[old][2]);
    complete = !(crossA || crossB);
    if (complete) (void)haad_set_ha12(channel, input, ha_gain_bit[row][1], ha_gain_bit[row][2]);
    g_lastRow[channel][input] = static_cast<uint8_t>(row);
    return true;
}

bool haad_set_gain_NoNoise_Finish(uint32_t channel, uint32_t input, uint32_t gain)
{
    if (!validInput(channel, input) || gain > kHaadGainMax) return false;
    const uint8_t* row = ha_gain_bit[gain / kGainStep];
    (void)haad_set_ha12(channel, input, row[1], row[2]);  // arguments checked above
    return true;
}

uint8_t haad_get_register(uint32_t channel, uint32_t reg)
{
    return (channel < kHaadChannels && reg < kHaadRegisters) ? g_registers[channel][reg] : 0;
}

void haad_get_message(uint8_t (&message)[4]) { std::memcpy(message, g_message, sizeof g_message); }

uint8_t haad_get_counter() { return g_counter; }
