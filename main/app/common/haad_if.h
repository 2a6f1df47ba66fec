#pragma once
// Head-amp control of two channels of eight inputs: a register image per channel and 4-byte
// register writes on serial port 0 (channel * 32 + sequence counter 0..15, 0x40, register,
// value). Process-wide state without a lock: one task at a time.
#include <cstdint>

constexpr uint32_t kHaadChannels = 2;
constexpr uint32_t kHaadInputs = 8;
constexpr uint32_t kHaadRegisters = 6;
constexpr uint32_t kHaadGainMax = 72;

// The register of each input's gain nibble (an even input the low, an odd one the high nibble).
extern const uint8_t ha_gain_grp[kHaadInputs];
// Per gain / 6: pad bit, part A, part B; the gain nibble is A + B.
extern const uint8_t ha_gain_bit[13][3];

// Clears the image and sets the pad register of both channels to 0xFF; mode 0 also sets up
// serial port 0 (8 data bits, 1 stop bit, 125000 baud, sending on).
void haad_if_init(uint32_t mode);
// Each answers false, with no effect, for a channel, input, register or gain out of range.
bool haad_send(uint32_t channel, uint32_t reg, uint8_t value);
bool haad_set_phantom(uint32_t channel, uint32_t input, uint32_t on);
bool haad_set_pad(uint32_t channel, uint32_t input, uint32_t padBit);
bool haad_set_ha12(uint32_t channel, uint32_t input, uint32_t partA, uint32_t partB);
bool haad_set_gain(uint32_t channel, uint32_t input, uint32_t gain);
// First step of a gain change without a step through loud gains: when the change crosses gain
// row 4 or 8 downwards, complete is false and haad_set_gain_NoNoise_Finish completes it later.
bool haad_set_gain_NoNoise(uint32_t channel, uint32_t input, uint32_t gain, bool& complete);
bool haad_set_gain_NoNoise_Finish(uint32_t channel, uint32_t input, uint32_t gain);

// The register image, the last message sent and the counter the next message carries.
uint8_t haad_get_register(uint32_t channel, uint32_t reg);
void haad_get_message(uint8_t (&message)[4]);
uint8_t haad_get_counter();
