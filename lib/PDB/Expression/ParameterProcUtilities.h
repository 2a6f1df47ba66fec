#pragma once
// Number printing and reading, table searches, step rounding and case-blind text comparison
// for the value expressions. No state: any task may call.
#include <cstdint>

namespace ParameterProc {

class Utilities {
public:
    static const char Infty[];      // "∞", printed for infinite or out-of-scale values
    static const char PlusMinus[];  // "±"
    static const char unit[];       // SI prefix letters, 10^-24 (index 0) to 10^24 (index 16)
    static constexpr uint32_t unit_none = 8;  // index of the blank (no prefix) in unit

    // Print value * 10^-decimals with that many decimals. Return the bytes written including
    // the terminator, or 0 with nothing written for a null buffer, a buffer below the
    // minimum (13, 12, 8, 7 bytes) or too many decimals (above 9, 9, 4, 4). The largest
    // value (and the smallest of the signed types) prints "∞" ("-∞").
    static uint32_t sintToText(char* buffer, uint32_t size, int32_t value, uint32_t decimals);
    static uint32_t uintToText(char* buffer, uint32_t size, uint32_t value, uint32_t decimals);
    static uint32_t sint16ToText(char* buffer, uint32_t size, int16_t value, uint32_t decimals);
    static uint32_t uint16ToText(char* buffer, uint32_t size, uint16_t value, uint32_t decimals);

    // Three significant digits and an SI prefix letter ("1.23M", "-2.50m"); buffer of at
    // least 7 bytes. Returns the bytes written including the terminator, 0 when the text does
    // not fit (an empty text is left in the buffer then).
    static uint32_t doubleToText(char* buffer, uint32_t size, double value);

    // Reads a number with an optional SI prefix letter; blanks and tabs are ignored. On a bad
    // text returns 0.0 and writes 0x80000000 to *error when error is given.
    static double textToDouble(const char* text, uint32_t length, uint32_t* error = nullptr);

    // Index of the nearest entry of an ascending table (midway goes to the lower index);
    // 0 for a null table or a count of 0.
    static uint32_t indexOfUInt16(const unsigned short* table, uint32_t count, unsigned short value);
    static uint32_t indexOfSInt16(const short* table, uint32_t count, short value);
    static uint32_t indexOfUInt(const unsigned int* table, uint32_t count, unsigned int value);
    static uint32_t indexOfSInt(const int* table, uint32_t count, int value);
    static uint32_t indexOfFloat(const float* table, uint32_t count, float value);

    // Fractional position of the value between the enclosing entries; 0.0 for a null table or
    // a count of 0.
    static double indexOfUInt16DP(const unsigned short* table, uint32_t count, unsigned short value);
    static double indexOfSInt16DP(const short* table, uint32_t count, short value);
    static double indexOfUIntDP(const unsigned int* table, uint32_t count, unsigned int value);
    static double indexOfSIntDP(const int* table, uint32_t count, int value);
    static double indexOfFloatDP(const float* table, uint32_t count, float value);

    // Nearest entry value; 0 for a null table or a count of 0.
    static unsigned short roundUInt16(const unsigned short* table, uint32_t count, unsigned short value);
    static short roundSInt16(const short* table, uint32_t count, short value);
    static unsigned int roundUInt(const unsigned int* table, uint32_t count, unsigned int value);
    static int roundSInt(const int* table, uint32_t count, int value);
    static float roundFloat(const float* table, uint32_t count, float value);

    // Nearest multiple of the step inside minimum..maximum (a step of 0 counts as 1; midway
    // goes up; the limits themselves are always reachable).
    static unsigned short roundUInt16(unsigned short minimum, unsigned short maximum,
                                      unsigned short step, unsigned short value);
    static short roundSInt16(short minimum, short maximum, short step, short value);
    static unsigned int roundUInt(unsigned int minimum, unsigned int maximum, unsigned int step,
                                  unsigned int value);
    static int roundSInt(int minimum, int maximum, int step, int value);
    static float roundFloat(float minimum, float maximum, float step, float value);

    // Case-blind comparison of at most count characters: 0 equal, 1 a greater, -1 a smaller;
    // 1 for a null text or a count of 0.
    static int32_t _strncmpi(const char* a, const char* b, uint32_t count);
    // Case-blind comparison of whole texts; 1 for a null text and for two empty texts.
    static int32_t _strcmpi(const char* a, const char* b);

    // First character within length that is not white space; null when there is none.
    static const char* removeHeadSpace(const char* text, uint32_t length);
};

}  // namespace ParameterProc
