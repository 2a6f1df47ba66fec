#include "PDB/Expression/ParameterProcUtilities.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <memory>
#include <type_traits>

#include "jlib/JHeap.h"
#include "jlib/jlib_ascii.h"

namespace ParameterProc {

const char Utilities::Infty[] = "\xE2\x88\x9E";
const char Utilities::PlusMinus[] = "\xC2\xB1";
const char Utilities::unit[] = "yzafpnum kMGTPEZY";

namespace {

constexpr uint32_t kReadFailed = 0x80000000u;

// Display texts must not depend on the process locale (a "," decimal point would break
// every reader of them), so printing and reading switch the calling thread to "C".
class CLocaleScope {
public:
    CLocaleScope()
    {
        static const locale_t s_cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (s_cLocale != static_cast<locale_t>(0)) m_previous = uselocale(s_cLocale);
    }
    ~CLocaleScope()
    {
        if (m_previous != static_cast<locale_t>(0)) (void)uselocale(m_previous);  // back to the caller's
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous = static_cast<locale_t>(0);
};

// Frees a block drawn with JNew when the scope ends.
struct JDeleter {
    void operator()(char* p) const { (void)JLIB::JDelete(p); }
};

// 10^-n as the double constants the printers multiply by.
constexpr double kDecimalScale[] = {1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001,
                                    0.000001, 0.0000001, 0.00000001, 0.000000001};

// Formats into the caller's buffer; 0 (and an empty text) when it would not fit.
template <typename... Args>
uint32_t printBounded(char* buffer, uint32_t size, const char* format, Args... args)
{
    const int n = std::snprintf(buffer, size, format, args...);
    if (n < 0 || static_cast<uint32_t>(n) >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<uint32_t>(n) + 1;
}

struct PrintLimits {
    uint32_t minimumSize;
    uint32_t largestDecimals;
};

template <typename T>
uint32_t printScaled(char* buffer, uint32_t size, T value, uint32_t decimals, PrintLimits limits,
                     T infinite, bool hasNegativeInfinite, T negativeInfinite)
{
    if (buffer == nullptr || size < limits.minimumSize || decimals > limits.largestDecimals) return 0;
    const CLocaleScope cLocale;
    if (value == infinite) return printBounded(buffer, size, "%s", Utilities::Infty);
    if (hasNegativeInfinite && value == negativeInfinite)
        return printBounded(buffer, size, "-%s", Utilities::Infty);
    if (decimals == 0) {
        if constexpr (std::is_signed_v<T>)
            return printBounded(buffer, size, "%d", static_cast<int>(value));
        else
            return printBounded(buffer, size, "%u", static_cast<unsigned>(value));
    }
    const double scaled = static_cast<double>(value) * kDecimalScale[decimals];
    return printBounded(buffer, size, "%.*f", static_cast<int>(decimals), scaled);
}

// Shared binary search: returns true with *exact set when the value hits an end or an entry,
// else false with the enclosing pair lo, hi (hi = lo + 1).
template <typename T>
bool searchTable(const T* table, uint32_t count, T value, uint32_t* exact, uint32_t* lo, uint32_t* hi)
{
    const uint32_t last = count - 1;
    if (value <= table[0]) {
        *exact = 0;
        return true;
    }
    if (value >= table[last]) {
        *exact = last;
        return true;
    }
    uint32_t low = 0;
    uint32_t high = last;
    while (high - low > 1) {
        const uint32_t mid = low + (high - low) / 2;
        if (value == table[mid]) {
            *exact = mid;
            return true;
        }
        if (value > table[mid])
            low = mid;
        else
            high = mid;
    }
    *lo = low;
    *hi = high;
    return false;
}

template <typename T>
uint32_t nearestIndex(const T* table, uint32_t count, T value)
{
    if (table == nullptr || count == 0) return 0;
    uint32_t exact = 0, lo = 0, hi = 0;
    if (searchTable(table, count, value, &exact, &lo, &hi)) return exact;
    const double mean = (static_cast<double>(table[lo]) + static_cast<double>(table[hi])) / 2.0;
    return static_cast<double>(value) > mean ? hi : lo;
}

template <typename T>
double fractionalIndex(const T* table, uint32_t count, T value)
{
    if (table == nullptr || count == 0) return 0.0;
    uint32_t exact = 0, lo = 0, hi = 0;
    if (searchTable(table, count, value, &exact, &lo, &hi)) return exact;
    double offset = 0.0;
    double span = 0.0;
    if constexpr (std::is_same_v<T, float>) {
        offset = value - table[lo];
        span = table[hi] - table[lo];
    } else {
        // 64 bits keep both differences exact for every 32-bit table.
        offset = static_cast<double>(static_cast<int64_t>(value) - static_cast<int64_t>(table[lo]));
        span = static_cast<double>(static_cast<int64_t>(table[hi]) - static_cast<int64_t>(table[lo]));
    }
    if (!(span > 0.0)) return lo;  // a table that is not ascending: no division by zero
    return lo + offset / span;
}

template <typename T>
T roundToStep(T minimum, T maximum, T step, T value)
{
    if (value <= minimum) return minimum;
    if (value >= maximum) return maximum;
    // In 64 bits the multiples next to the type's ends cannot wrap.
    int64_t s = static_cast<int64_t>(step);
    if (s < 0) s = -s;
    if (s == 0) s = 1;
    const int64_t v = value;
    int64_t lower = 0;
    int64_t upper = 0;
    if (v >= 0) {
        lower = (v / s) * s;
        upper = lower + s;
    } else {
        upper = (v / s) * s;
        lower = upper - s;
    }
    if (lower < minimum) lower = minimum;
    if (upper > maximum) upper = maximum;
    return static_cast<T>((v - lower < upper - v) ? lower : upper);
}

// Through unsigned char: a byte above 0x7F in a signed char must not reach the conversion
// as a negative number.
int upperOf(char c)
{
    return jlib_toupper(static_cast<unsigned char>(c));
}

double prefixFactor(char letter, bool* known)
{
    static const struct {
        char letter;
        double factor;
    } kPrefixes[] = {
        {'y', 1e-24}, {'z', 1e-21}, {'a', 1e-18}, {'f', 1e-15}, {'p', 1e-12}, {'n', 1e-9},
        {'u', 1e-6},  {'m', 1e-3},  {'k', 1e3},   {'M', 1e6},   {'G', 1e9},   {'T', 1e12},
        {'P', 1e15},  {'E', 1e18},  {'Z', 1e21},  {'Y', 1e24},
    };
    for (const auto& p : kPrefixes) {
        if (p.letter == letter) {
            *known = true;
            return p.factor;
        }
    }
    *known = false;
    return 0.0;
}

}  // namespace

uint32_t Utilities::sintToText(char* buffer, uint32_t size, int32_t value, uint32_t decimals)
{
    return printScaled<int32_t>(buffer, size, value, decimals, {13, 9}, INT32_MAX, true, INT32_MIN);
}

uint32_t Utilities::uintToText(char* buffer, uint32_t size, uint32_t value, uint32_t decimals)
{
    return printScaled<uint32_t>(buffer, size, value, decimals, {12, 9}, UINT32_MAX, false, 0);
}

uint32_t Utilities::sint16ToText(char* buffer, uint32_t size, int16_t value, uint32_t decimals)
{
    return printScaled<int16_t>(buffer, size, value, decimals, {8, 4}, INT16_MAX, true, INT16_MIN);
}

uint32_t Utilities::uint16ToText(char* buffer, uint32_t size, uint16_t value, uint32_t decimals)
{
    return printScaled<uint16_t>(buffer, size, value, decimals, {7, 4}, UINT16_MAX, false, 0);
}

uint32_t Utilities::doubleToText(char* buffer, uint32_t size, double value)
{
    if (buffer == nullptr || size < 7) return 0;
    const CLocaleScope cLocale;
    if (value == 0.0) return printBounded(buffer, size, "0.00");

    double a = std::fabs(value);
    int i = static_cast<int>(unit_none);
    // The bounds on i stop the loops for infinite and extreme values, which print "∞" or
    // "0.00" whatever the exact exponent.
    while (a >= 999.5 && i <= 16) {
        a *= 0.001;
        ++i;
    }
    while (a < 1.0 && i >= 0) {
        a *= 1000.0;
        --i;
    }
    if (i < 0) return printBounded(buffer, size, "0.00");

    const char* sign = value < 0.0 ? "-" : "";
    if (i > 16) return printBounded(buffer, size, "%s%s", sign, Infty);

    const char* format = a >= 100.0 ? "%s%3.0f%s" : (a >= 10.0 ? "%s%4.1f%s" : "%s%4.2f%s");
    const char prefix[2] = {i == static_cast<int>(unit_none) ? '\0' : unit[i], '\0'};
    return printBounded(buffer, size, format, sign, a, prefix);
}

double Utilities::textToDouble(const char* text, uint32_t length, uint32_t* error)
{
    if (text == nullptr) return 0.0;
    auto fail = [error]() {
        if (error != nullptr) *error = kReadFailed;
        return 0.0;
    };
    if (length == 0) return fail();

    // Only the given length is looked at, so an unterminated text is never over-read.
    const uint32_t available = static_cast<uint32_t>(strnlen(text, length));
    std::unique_ptr<char, JDeleter> copy(
        JLIB::JNew<char>(0, "ParameterProc::Utilities::textToDouble", available + 1));
    if (!copy) return fail();
    uint32_t kept = 0;
    for (uint32_t i = 0; i < available; ++i) {
        if (text[i] != ' ' && text[i] != '\t') copy.get()[kept++] = text[i];
    }
    copy.get()[kept] = '\0';

    double number = 0.0;
    char first = 0;
    char second = 0;
    int items = 0;
    {
        const CLocaleScope cLocale;
        items = std::sscanf(copy.get(), "%lf %c %c", &number, &first, &second);
    }
    if (items == EOF) return 0.0;  // nothing but blanks: no number, and no error either
    if (items == 0 || items == 3) return fail();
    if (items == 1) return number;
    bool known = false;
    const double factor = prefixFactor(first, &known);
    if (!known) return fail();
    return number * factor;
}

uint32_t Utilities::indexOfUInt16(const unsigned short* table, uint32_t count, unsigned short value)
{
    return nearestIndex(table, count, value);
}

uint32_t Utilities::indexOfSInt16(const short* table, uint32_t count, short value)
{
    return nearestIndex(table, count, value);
}

uint32_t Utilities::indexOfUInt(const unsigned int* table, uint32_t count, unsigned int value)
{
    return nearestIndex(table, count, value);
}

uint32_t Utilities::indexOfSInt(const int* table, uint32_t count, int value)
{
    return nearestIndex(table, count, value);
}

uint32_t Utilities::indexOfFloat(const float* table, uint32_t count, float value)
{
    if (table == nullptr || count == 0) return 0;
    const double position = indexOfFloatDP(table, count, value) + 0.5;
    if (!(position >= 0.0)) return 0;  // a NaN position has no index
    const double last = count - 1;
    return static_cast<uint32_t>(position < last ? position : last);
}

double Utilities::indexOfUInt16DP(const unsigned short* table, uint32_t count, unsigned short value)
{
    return fractionalIndex(table, count, value);
}

double Utilities::indexOfSInt16DP(const short* table, uint32_t count, short value)
{
    return fractionalIndex(table, count, value);
}

double Utilities::indexOfUIntDP(const unsigned int* table, uint32_t count, unsigned int value)
{
    return fractionalIndex(table, count, value);
}

double Utilities::indexOfSIntDP(const int* table, uint32_t count, int value)
{
    return fractionalIndex(table, count, value);
}

double Utilities::indexOfFloatDP(const float* table, uint32_t count, float value)
{
    if (std::isnan(value)) return 0.0;  // NaN lies nowhere in the table
    return fractionalIndex(table, count, value);
}

unsigned short Utilities::roundUInt16(const unsigned short* table, uint32_t count, unsigned short value)
{
    if (table == nullptr || count == 0) return 0;
    return table[indexOfUInt16(table, count, value)];
}

short Utilities::roundSInt16(const short* table, uint32_t count, short value)
{
    if (table == nullptr || count == 0) return 0;
    return table[indexOfSInt16(table, count, value)];
}

unsigned int Utilities::roundUInt(const unsigned int* table, uint32_t count, unsigned int value)
{
    if (table == nullptr || count == 0) return 0;
    return table[indexOfUInt(table, count, value)];
}

int Utilities::roundSInt(const int* table, uint32_t count, int value)
{
    if (table == nullptr || count == 0) return 0;
    return table[indexOfSInt(table, count, value)];
}

float Utilities::roundFloat(const float* table, uint32_t count, float value)
{
    if (table == nullptr || count == 0) return 0.0f;
    return table[indexOfFloat(table, count, value)];
}

unsigned short Utilities::roundUInt16(unsigned short minimum, unsigned short maximum,
                                      unsigned short step, unsigned short value)
{
    return roundToStep(minimum, maximum, step, value);
}

short Utilities::roundSInt16(short minimum, short maximum, short step, short value)
{
    return roundToStep(minimum, maximum, step, value);
}

unsigned int Utilities::roundUInt(unsigned int minimum, unsigned int maximum, unsigned int step,
                                  unsigned int value)
{
    return roundToStep(minimum, maximum, step, value);
}

int Utilities::roundSInt(int minimum, int maximum, int step, int value)
{
    return roundToStep(minimum, maximum, step, value);
}

float Utilities::roundFloat(float minimum, float maximum, float step, float value)
{
    if (value <= minimum) return minimum;
    if (value >= maximum) return maximum;
    float s = std::fabs(step);
    if (s == 0.0f) s = 1.0f;
    float lower = 0.0f;
    float upper = 0.0f;
    if (value >= 0.0f) {
        lower = std::trunc(value / s) * s;
        upper = lower + s;
    } else {
        upper = std::trunc(value / s) * s;
        lower = upper - s;
    }
    if (lower < minimum) lower = minimum;
    if (upper > maximum) upper = maximum;
    return (value - lower < upper - value) ? lower : upper;
}

int32_t Utilities::_strncmpi(const char* a, const char* b, uint32_t count)
{
    if (a == nullptr || b == nullptr || count == 0) return 1;
    for (uint32_t i = 0; i < count; ++i) {
        const int ca = upperOf(a[i]);
        const int cb = upperOf(b[i]);
        if (ca != cb) return ca > cb ? 1 : -1;
        if (ca == 0) return 0;
    }
    return 0;
}

int32_t Utilities::_strcmpi(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr) return 1;
    const size_t la = std::strlen(a);
    const size_t lb = std::strlen(b);
    const size_t longer = la > lb ? la : lb;
    return _strncmpi(a, b, longer > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(longer));
}

const char* Utilities::removeHeadSpace(const char* text, uint32_t length)
{
    if (text == nullptr) return nullptr;
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] == '\0') return nullptr;
        if (!jlib_isspace(static_cast<unsigned char>(text[i]))) return text + i;
    }
    return nullptr;
}

}  // namespace ParameterProc
