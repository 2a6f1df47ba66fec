#pragma once
// The hardware checks of the GW console family that the diagnostics console runs, and the four
// words that drive a diagnostic session. Each row names the worker thread of each of its steps;
// ids equal row indexes, so an id indexes the table directly.
#include <cstdint>

namespace DiagFramework {

constexpr uint32_t kMaxSequence = 4;  // steps 0 to 3

struct DIAG_COMMAND_INFO {
    int32_t commandId;
    int32_t category;
    const char* commandName;
    // Destination i carries out step i; the first null slot ends the list.
    const char* destThreadName[kMaxSequence];
};

struct DIAG_PRESET_COMMAND {
    const char* commandName;
    int32_t commandId;
};

namespace config {
inline constexpr const char* kDC = "DeviceControl";
inline constexpr const char* kGUI = "GUIBridge";
inline constexpr const char* kHUI = "HUI";
inline constexpr const char* kDSP = "DSP";
inline constexpr const char* kSlot = "SlotControl";
inline constexpr const char* kMIDI = "MIDI";
inline constexpr const char* kRec = "RecPlay";
}  // namespace config

constexpr uint32_t kDiagCommandCount = 137;

// Ended by a row with id -1 and a null name.
inline constexpr DIAG_COMMAND_INFO gDiagCommandInfoTable[kDiagCommandCount + 1] = {
    {0, 0, "VER_BOOT", {config::kDC, config::kGUI, nullptr, nullptr}},
    {1, 0, "VER_KERNEL", {config::kDC, config::kGUI, nullptr, nullptr}},
    {2, 0, "VER_MAIN", {config::kDC, config::kGUI, nullptr, nullptr}},
    {3, 0, "VER_MAINCOM", {config::kDC, config::kGUI, nullptr, nullptr}},
    {4, 0, "VER_SUB_PIC", {config::kDC, config::kGUI, nullptr, nullptr}},
    {5, 0, "VER_SUB_PNC", {config::kDC, config::kGUI, nullptr, nullptr}},
    {6, 0, "VER_SUB_PNFD1", {config::kDC, config::kGUI, nullptr, nullptr}},
    {7, 0, "VER_SUB_HA1", {config::kDC, config::kGUI, nullptr, nullptr}},
    {8, 0, "MAC_ADDRESS", {config::kDC, nullptr, nullptr, nullptr}},
    {9, 0, "PRODUCT_TYPE", {config::kDC, config::kGUI, config::kHUI, nullptr}},
    {10, 1, "RTC", {config::kDC, nullptr, nullptr, nullptr}},
    {11, 1, "USB_CONNECT", {config::kDC, nullptr, nullptr, nullptr}},
    {12, 1, "PNC_CONNECT", {config::kHUI, nullptr, nullptr, nullptr}},
    {13, 1, "PNFD_CONNECT", {config::kHUI, nullptr, nullptr, nullptr}},
    {14, 1, "FSW", {config::kHUI, nullptr, nullptr, nullptr}},
    {15, 1, "CPU_UVLO", {config::kDC, nullptr, nullptr, nullptr}},
    {16, 1, "USB_VBUS_ON", {config::kDC, nullptr, nullptr, nullptr}},
    {17, 1, "USB_VBUS_OFF", {config::kDC, nullptr, nullptr, nullptr}},
    {18, 1, "ETHER", {config::kDC, nullptr, nullptr, nullptr}},
    {19, 1, "BATT", {config::kDC, nullptr, nullptr, nullptr}},
    {20, 2, "CPLD_CONNECT", {config::kDSP, nullptr, nullptr, nullptr}},
    {21, 2, "CPLD_CLK", {config::kDSP, nullptr, nullptr, nullptr}},
    {22, 2, "CPLD_MUTE", {config::kDSP, nullptr, nullptr, nullptr}},
    {23, 2, "PLL", {config::kDSP, nullptr, nullptr, nullptr}},
    {24, 3, "SLOT_DET", {config::kSlot, nullptr, nullptr, nullptr}},
    {25, 3, "SLOT_MUTE", {config::kDSP, nullptr, nullptr, nullptr}},
    {26, 3, "SLOT_LED", {config::kSlot, nullptr, nullptr, nullptr}},
    {27, 3, "SLOT_SPI", {config::kSlot, nullptr, nullptr, nullptr}},
    {28, 3, "SLOT_GPIO", {config::kSlot, nullptr, nullptr, nullptr}},
    {29, 3, "SLOT_UART", {config::kSlot, nullptr, nullptr, nullptr}},
    {30, 3, "SLOT_SDIO", {config::kSlot, config::kDSP, nullptr, nullptr}},
    {31, 4, "DSP_SPI", {config::kDSP, nullptr, nullptr, nullptr}},
    {32, 4, "DSP_PORT", {config::kDSP, nullptr, nullptr, nullptr}},
    {33, 4, "DSP_SDIO", {config::kDSP, nullptr, nullptr, nullptr}},
    {34, 4, "DSP_SDRAM", {config::kDSP, nullptr, nullptr, nullptr}},
    {35, 4, "DSP_I2C", {config::kDSP, nullptr, nullptr, nullptr}},
    {36, 4, "USB_TO_HOST", {config::kDSP, nullptr, nullptr, nullptr}},
    {37, 4, "DSP_UVLO", {config::kDSP, nullptr, nullptr, nullptr}},
    {38, 5, "MIDI_LOOPBACK", {config::kMIDI, nullptr, nullptr, nullptr}},
    {39, 6, "PIC_CONNECT", {config::kRec, nullptr, nullptr, nullptr}},
    {40, 6, "MFI_CONNECT", {config::kRec, nullptr, nullptr, nullptr}},
    {41, 6, "IPOD_CONNECT", {config::kRec, nullptr, nullptr, nullptr}},
    {42, 6, "PIC_SDIO", {config::kRec, config::kDSP, nullptr, nullptr}},
    {43, 6, "PIC_PORT", {config::kDSP, config::kRec, config::kDSP, nullptr}},
    {44, 6, "PIC_UVLO", {config::kRec, nullptr, nullptr, nullptr}},
    {45, 6, "IPOD_VBUS_ON", {config::kRec, nullptr, nullptr, nullptr}},
    {46, 6, "IPOD_VBUS_OFF", {config::kRec, nullptr, nullptr, nullptr}},
    {47, 7, "AIN_AOUT", {config::kDSP, nullptr, nullptr, nullptr}},
    {48, 7, "ANA_UVLO", {config::kDSP, nullptr, nullptr, nullptr}},
    {49, 8, "LCD", {config::kHUI, nullptr, nullptr, nullptr}},
    {50, 8, "BACKLIGHT", {config::kHUI, nullptr, nullptr, nullptr}},
    {51, 8, "TOUCH", {config::kGUI, nullptr, nullptr, nullptr}},
    {52, 9, "CH_NAME_1", {config::kHUI, nullptr, nullptr, nullptr}},
    {53, 9, "CH_NAME_2", {config::kHUI, nullptr, nullptr, nullptr}},
    {54, 9, "CH_NAME_3", {config::kHUI, nullptr, nullptr, nullptr}},
    {55, 9, "CH_NAME_4", {config::kHUI, nullptr, nullptr, nullptr}},
    {56, 10, "SW_PNL", {config::kHUI, nullptr, nullptr, nullptr}},
    {57, 10, "SW_PNC", {config::kHUI, nullptr, nullptr, nullptr}},
    {58, 10, "SW_PNFD1", {config::kHUI, nullptr, nullptr, nullptr}},
    {59, 10, "SW_PNF", {config::kHUI, nullptr, nullptr, nullptr}},
    {60, 10, "SW_FD8_1", {config::kHUI, nullptr, nullptr, nullptr}},
    {61, 10, "SW_FD8_2", {config::kHUI, nullptr, nullptr, nullptr}},
    {62, 10, "SW_FD8_3", {config::kHUI, nullptr, nullptr, nullptr}},
    {63, 10, "SW_FD8_4", {config::kHUI, nullptr, nullptr, nullptr}},
    {64, 10, "SW_PNR", {config::kHUI, nullptr, nullptr, nullptr}},
    {65, 10, "SW_PNB", {config::kHUI, nullptr, nullptr, nullptr}},
    {66, 10, "SW_KNOB", {config::kHUI, nullptr, nullptr, nullptr}},
    {67, 11, "ALL_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {68, 11, "ORANGE_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {69, 11, "RED_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {70, 11, "GREEN_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {71, 11, "BLUE_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {72, 11, "WHITE_LEDS", {config::kHUI, nullptr, nullptr, nullptr}},
    {73, 12, "LED_PNL", {config::kHUI, nullptr, nullptr, nullptr}},
    {74, 12, "LED_PNC", {config::kHUI, nullptr, nullptr, nullptr}},
    {75, 12, "LED_PNFD1", {config::kHUI, nullptr, nullptr, nullptr}},
    {76, 12, "LED_PNF", {config::kHUI, nullptr, nullptr, nullptr}},
    {77, 12, "LED_FD8_1", {config::kHUI, nullptr, nullptr, nullptr}},
    {78, 12, "LED_FD8_2", {config::kHUI, nullptr, nullptr, nullptr}},
    {79, 12, "LED_FD8_3", {config::kHUI, nullptr, nullptr, nullptr}},
    {80, 12, "LED_FD8_4", {config::kHUI, nullptr, nullptr, nullptr}},
    {81, 12, "LED_PNR", {config::kHUI, nullptr, nullptr, nullptr}},
    {82, 12, "LED_PNB", {config::kHUI, nullptr, nullptr, nullptr}},
    {83, 13, "ENC_PNL", {config::kHUI, nullptr, nullptr, nullptr}},
    {84, 13, "ENC_PNC", {config::kHUI, nullptr, nullptr, nullptr}},
    {85, 13, "ENC_PNR", {config::kHUI, nullptr, nullptr, nullptr}},
    {86, 14, "FD_PNFD1", {config::kHUI, nullptr, nullptr, nullptr}},
    {87, 14, "FD_PNFD8", {config::kHUI, nullptr, nullptr, nullptr}},
    {88, 14, "FD_TOTAL", {config::kHUI, nullptr, nullptr, nullptr}},
    {89, 15, "HA_GAIN_1", {config::kDSP, nullptr, nullptr, nullptr}},
    {90, 15, "HA_GAIN_2", {config::kDSP, nullptr, nullptr, nullptr}},
    {91, 15, "HA_GAIN_3", {config::kDSP, nullptr, nullptr, nullptr}},
    {92, 15, "HA_GAIN_4", {config::kDSP, nullptr, nullptr, nullptr}},
    {93, 16, "QC64D_DET", {config::kSlot, nullptr, nullptr, nullptr}},
    {94, 16, "QC64D_MUTE", {config::kDSP, nullptr, nullptr, nullptr}},
    {95, 16, "QC64D_LED", {config::kSlot, nullptr, nullptr, nullptr}},
    {96, 16, "QC64D_SPI", {config::kSlot, nullptr, nullptr, nullptr}},
    {97, 16, "QC64D_GPIO", {config::kSlot, nullptr, nullptr, nullptr}},
    {98, 16, "QC64D_UART", {config::kSlot, nullptr, nullptr, nullptr}},
    {99, 16, "QC64D_SDIO", {config::kSlot, config::kDSP, nullptr, nullptr}},
    {100, 16, "QC64D_PORT", {config::kSlot, nullptr, nullptr, nullptr}},
    {101, 16, "QC64D_INIT", {config::kDSP, config::kSlot, nullptr, nullptr}},
    {102, 16, "QC64D_DIAG", {config::kDSP, config::kSlot, nullptr, nullptr}},
    {103, 17, "HAAD12_MAX", {config::kDSP, nullptr, nullptr, nullptr}},
    {104, 17, "HAAD34_MAX", {config::kDSP, nullptr, nullptr, nullptr}},
    {105, 17, "HAAD12_MIN", {config::kDSP, nullptr, nullptr, nullptr}},
    {106, 17, "HAAD34_MIN", {config::kDSP, nullptr, nullptr, nullptr}},
    {107, 17, "STIN", {config::kDSP, nullptr, nullptr, nullptr}},
    {108, 18, "HAAD_48V_ON", {config::kDSP, nullptr, nullptr, nullptr}},
    {109, 18, "HAAD_48V_OFF", {config::kDSP, nullptr, nullptr, nullptr}},
    {110, 19, "DA_AUDIO", {config::kDSP, nullptr, nullptr, nullptr}},
    {111, 19, "DA_NOISE", {config::kDSP, nullptr, nullptr, nullptr}},
    {112, 19, "DA_MAX", {config::kDSP, nullptr, nullptr, nullptr}},
    {113, 19, "DA_AMUTE", {config::kDSP, nullptr, nullptr, nullptr}},
    {114, 20, "TIMER_1", {config::kHUI, nullptr, nullptr, nullptr}},
    {115, 20, "TIMER_2", {config::kHUI, nullptr, nullptr, nullptr}},
    {116, 20, "TIMER_3", {config::kHUI, nullptr, nullptr, nullptr}},
    {117, 20, "TIMER_4", {config::kHUI, nullptr, nullptr, nullptr}},
    {118, 20, "TIMER_5", {config::kHUI, nullptr, nullptr, nullptr}},
    {119, 20, "TIMER_6", {config::kHUI, nullptr, nullptr, nullptr}},
    {120, 20, "TIMER_7", {config::kHUI, nullptr, nullptr, nullptr}},
    {121, 20, "TIMER_8", {config::kHUI, nullptr, nullptr, nullptr}},
    {122, 20, "TIMER_9", {config::kHUI, nullptr, nullptr, nullptr}},
    {123, 20, "TIMER_10", {config::kHUI, nullptr, nullptr, nullptr}},
    {124, 21, "DBG_CALIB", {config::kHUI, nullptr, nullptr, nullptr}},
    {125, 21, "DBG_CALIB_EXIT", {config::kHUI, nullptr, nullptr, nullptr}},
    {126, 21, "IQC_CHECK", {config::kHUI, nullptr, nullptr, nullptr}},
    {127, 21, "IQC_CHECK_EXIT", {config::kHUI, nullptr, nullptr, nullptr}},
    {128, 22, "PRODUCT_GW5", {config::kHUI, nullptr, nullptr, nullptr}},
    {129, 22, "PRODUCT_GW3", {config::kHUI, nullptr, nullptr, nullptr}},
    {130, 22, "PRODUCT_GW1", {config::kHUI, nullptr, nullptr, nullptr}},
    {131, 22, "PRODUCT_GW_RACK", {config::kHUI, nullptr, nullptr, nullptr}},
    {132, 22, "PRODUCT_TESTER", {config::kHUI, nullptr, nullptr, nullptr}},
    {133, 22, "PRODUCT_TEST_RACK", {config::kHUI, nullptr, nullptr, nullptr}},
    {134, 22, "PRODUCT_UNKNOWN", {config::kHUI, nullptr, nullptr, nullptr}},
    {135, 23, "I2C_ENABLE", {config::kHUI, config::kDSP, nullptr, nullptr}},
    {136, 23, "I2C_DISABLE", {config::kHUI, config::kDSP, nullptr, nullptr}},
    {-1, 0, nullptr, {nullptr, nullptr, nullptr, nullptr}},
};

constexpr int32_t kDiagInitId = 0x7FFFFFFF;
constexpr int32_t kDiagStartId = 0x7FFFFFFE;
constexpr int32_t kAbortId = 0x7FFFFFFD;
constexpr int32_t kDiagEndId = 0x7FFFFFFB;  // 0x7FFFFFFC is not used

inline constexpr DIAG_PRESET_COMMAND gPresetCommandTable[4] = {
    {"DIAG_INIT", kDiagInitId},
    {"DIAG_START", kDiagStartId},
    {"ABORT", kAbortId},
    {"DIAG_END", kDiagEndId},
};

inline const DIAG_COMMAND_INFO* getDiagCommandInfoTable() { return gDiagCommandInfoTable; }

}  // namespace DiagFramework
