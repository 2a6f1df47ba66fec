#pragma once
// Interface identifier of the component library contract: 16 bytes whose three numeric parts are
// stored in host byte order. A plain value; any task.
#include <cstdint>

namespace DRAVO {

struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

static_assert(sizeof(GUID) == 16, "component libraries compile identifiers as 16-byte records");

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.data4[i] != b.data4[i]) return false;
    }
    return true;
}

inline constexpr GUID IID_IUnknown = {0xCF13D66Eu, 0x92B0u, 0x4B2Eu, {0xA5, 0x5E, 0xD0, 0xFC, 0x85, 0xF7, 0x7F, 0x52}};
inline constexpr GUID IID_IParamInfoFunction_V1 = {
    0x6AE6A549u, 0x3E9Au, 0x42E9u, {0xAE, 0xF4, 0x6C, 0x8C, 0x9E, 0x8C, 0x67, 0x66}};
inline constexpr GUID IID_ICalcCoefFunction_V1 = {
    0x6CFA38C4u, 0x23D2u, 0x4869u, {0x84, 0xF6, 0x28, 0x8D, 0x42, 0x0A, 0xE4, 0x62}};
inline constexpr GUID IID_IAudioProcessFunction_V1 = {
    0xEAD6E579u, 0xE865u, 0x463Eu, {0x8A, 0x71, 0xD2, 0xF1, 0xF7, 0x01, 0xD4, 0x83}};
inline constexpr GUID IID_ILogicControlFunction_V1 = {
    0x2DDDAE60u, 0xC316u, 0x44F8u, {0xBC, 0x36, 0x27, 0x07, 0xB3, 0x5F, 0xB2, 0xD9}};

}  // namespace DRAVO
