#include "common/Lpc/MurValueConverters.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "common/Lpc/LpcTextTable.h"
#include "common/Lpc/internal/LpcSaturate.h"
#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"

namespace LPC {

constexpr NormalizedValueTable normalizedValueTableMurVolumeConverter[5] = {
    {0.0, -96.0},
    {static_cast<double>(1.0f / 17.0f), -60.0},
    {static_cast<double>(3.0f / 17.0f), -40.0},
    {static_cast<double>(9.0f / 17.0f), -10.0},
    {1.0, 10.0},
};

constexpr NormalizedValueTable normalizedValueTableMurDelayConverter[7] = {
    {0.0, 0.0}, {0.25, 20.0}, {0.5, 60.0}, {0.625, 100.0}, {0.75, 200.0}, {0.875, 400.0}, {1.0, 1000.0},
};

// Constant-initialised: usable from any start-up code, whatever the order of the units.
constinit const MurDefaultConverter sMurDefaultConverter{};
constinit const MurDefaultFloatConverter sMurDefaultFloatConverter{};
constinit const MurVolumeConverter sMurVolumeConverter{};
constinit const MurDelayConverter sMurDelayConverter{};
constinit const MurOnOffConverter sMurOnOffConverter{};
constinit const MurOnOffInvertConverter sMurOnOffInvertConverter{};
constinit const MurLogConverter sMurLogConverter{};
constinit const MurRoomIDConverter sMurRoomIDConverter{};
constinit const MurWGenIntervalConverter sMurWGenIntervalConverter{};
// 256 sources for both, the Dante one included.
constinit const MurPatchDante128Converter sMurPatchDante128Converter{256};
constinit const MurPatchUzOutput256Converter sMurPatchUzOutput256Converter{256};
constinit const MurAzimuthConverter sMurAzimuthConverter{};

namespace {

constexpr int32_t kRoomSteps = 5;  // six rooms, five steps between them

constexpr int32_t kIntervals[] = {125, 250, 500, 1000, 2000, 4000, 8000};
constexpr int32_t kLastInterval = static_cast<int32_t>(std::size(kIntervals)) - 1;

constexpr uint32_t kPatchTextSize = 64;
constexpr unsigned int kPatchVariantLength = 1024;  // the variant keeps at most 1023 of it

// (v - lo) / (hi - lo), 0 for an empty range. 64-bit bounds, so the azimuth's lower bound
// min - scaling cannot overflow; within 32 bits the result is the same.
double normalizeLinear(int64_t v, int64_t lo, int64_t hi, bool* outOfRange)
{
    if (outOfRange) *outOfRange = v < lo || v > hi;
    if (hi <= lo) return 0.0;
    return static_cast<double>(v - lo) / static_cast<double>(hi - lo);
}

// Rounded x × (max - min) + min; the range is formed in 64 bits so that no range overflows.
int32_t reverseLinear(double normalised, int32_t min, int32_t max)
{
    const int64_t range = static_cast<int64_t>(max) - min;
    return internal::roundToInt32(normalised * static_cast<double>(range) + min);
}

// The number after "@": digits up to the first non-digit, "" reads as 0.
uint32_t readPatchNumber(const std::string& text)
{
    const auto length = static_cast<uint32_t>(std::min<size_t>(text.size(), std::numeric_limits<uint32_t>::max()));
    uint32_t number = 0;
    // An overflow leaves 0xFFFFFFFF, which no patch accepts.
    (void)jlib_strntoul(&number, text.c_str(), nullptr, 10, length);
    return number;
}

// "<head>@<number>".
std::string formatPatch(const char* head, uint32_t number)
{
    char text[kPatchTextSize];
    uint32_t length = 0;
    if (JLIB::isFailure(jlib_snprintf(text, sizeof(text), &length, "%s@%u", head, number))) return std::string();
    return std::string(text, length);
}

}  // namespace

double MurDefaultConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                      bool* outOfRange) const
{
    return normalizeLinear(value.toInt32(), min, max, outOfRange);
}

JVariant MurDefaultConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    return JVariant(reverseLinear(normalised, min, max));
}

double MurDefaultFloatConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                           bool* outOfRange) const
{
    const float v = value.toFloat();
    const auto lo = static_cast<float>(min);
    const auto hi = static_cast<float>(max);
    if (outOfRange) *outOfRange = v < lo || v > hi;
    if (!(hi > lo)) return 0.0;
    const float n = (v - lo) / (hi - lo);
    return n;
}

JVariant MurDefaultFloatConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    const auto lo = static_cast<float>(min);
    const float range = static_cast<float>(max) - lo;
    return JVariant(static_cast<float>(normalised * range + lo));
}

double MurVolumeConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                     bool* outOfRange) const
{
    return normalizeWithTable(value, min, max, scaling, outOfRange, normalizedValueTableMurVolumeConverter,
                              std::size(normalizedValueTableMurVolumeConverter));
}

JVariant MurVolumeConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    return reverseWithTable(normalised, min, max, scaling, normalizedValueTableMurVolumeConverter,
                            std::size(normalizedValueTableMurVolumeConverter));
}

double MurDelayConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                    bool* outOfRange) const
{
    return normalizeWithTable(value, min, max, scaling, outOfRange, normalizedValueTableMurDelayConverter,
                              std::size(normalizedValueTableMurDelayConverter));
}

JVariant MurDelayConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    return reverseWithTable(normalised, min, max, scaling, normalizedValueTableMurDelayConverter,
                            std::size(normalizedValueTableMurDelayConverter));
}

double MurOnOffConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                    bool* outOfRange) const
{
    return MurOnOffConverter_normalize(value, min, max, scaling, outOfRange);
}

JVariant MurOnOffConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    return MurOnOffConverter_reverse(normalised, min, max, scaling);
}

double MurOnOffInvertConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                          bool* outOfRange) const
{
    return 1.0 - MurOnOffConverter_normalize(value, min, max, scaling, outOfRange);
}

JVariant MurOnOffInvertConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    return MurOnOffConverter_reverse(1.0 - normalised, min, max, scaling);
}

double MurLogConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                  bool* outOfRange) const
{
    const float v = value.toFloat();
    if (!(v > 0.0f)) {
        if (outOfRange) *outOfRange = true;
        return 0.0;
    }
    if (outOfRange) *outOfRange = false;
    // Double precision from the float inputs, the quotient cut to float as the rack's side does.
    const double r = 1.0 / static_cast<double>(static_cast<float>(min));
    const double n = std::log(static_cast<double>(v) * r) / std::log(static_cast<double>(static_cast<float>(max)) * r);
    return static_cast<float>(n);
}

JVariant MurLogConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    // The span ln(max / min) in single precision, the rest in double.
    const float span = std::log(static_cast<float>(max) / static_cast<float>(min));
    return JVariant(internal::roundToInt32(static_cast<double>(min) * std::exp(normalised * span)));
}

double MurRoomIDConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                     bool* outOfRange) const
{
    return toNormalizedValue(toRoomID(value), kRoomSteps);
}

JVariant MurRoomIDConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    // A negative position wraps to a large number and so finds no room.
    return toString(gl_RoomIDTable, static_cast<uint32_t>(std::size(gl_RoomIDTable)),
                    toInternalValue(normalised, kRoomSteps));
}

double MurWGenIntervalConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                           bool* outOfRange) const
{
    const int32_t v = value.toInt32();
    const auto* found = std::find(std::begin(kIntervals), std::end(kIntervals), v);
    int32_t step = 2;
    const bool known = found != std::end(kIntervals);
    if (known) step = static_cast<int32_t>(found - std::begin(kIntervals));
    if (outOfRange) *outOfRange = !known;
    if (v < min) step = 0;
    if (v > max) step = kLastInterval;
    return static_cast<double>(step) / kLastInterval;
}

JVariant MurWGenIntervalConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    const int32_t k = internal::truncateToInt32(normalised * kLastInterval);
    if (k < 1 || k > kLastInterval) return JVariant(kIntervals[0]);
    return JVariant(kIntervals[k]);
}

double MurAzimuthConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                      bool* outOfRange) const
{
    int32_t v = value.toInt32();
    if (v >= max) v = min;  // the end of the circle is its start
    const double n = normalizeLinear(v, static_cast<int64_t>(min) - scaling, max, outOfRange);
    return v >= 0 ? n - 0.5 : n + 0.5;
}

JVariant MurAzimuthConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    constexpr int32_t kDegrees = 359;
    int32_t degrees = reverseLinear(normalised, 0, kDegrees);
    if (degrees > 180) degrees -= 360;
    return JVariant(internal::saturateToInt32(static_cast<int64_t>(degrees) * 100));
}

JLIB::JResult MurPatchConverter::initialize(uint32_t patchCount)
{
    m_patchCount = patchCount;
    return JLIB::kOk;
}

double MurPatchConverter::normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                    bool* outOfRange) const
{
    const char* text = value.getType() == JVariant::kTypeString ? value.toString() : nullptr;
    if (!text) {
        if (outOfRange) *outOfRange = true;
        return 0.0;
    }
    if (*text == '\0') {
        if (outOfRange) *outOfRange = false;
        return 0.0;
    }
    const uint32_t patch = patchStringToValue(text);
    const bool known = patch >= 1 && patch <= m_patchCount;
    if (outOfRange) *outOfRange = !known;
    return known ? static_cast<double>(patch) / m_patchCount : 0.0;
}

JVariant MurPatchConverter::reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const
{
    if (normalised == 0.0) return JVariant("", kPatchVariantLength);
    const auto patch = static_cast<uint32_t>(internal::truncateToInt32(normalised * m_patchCount));
    return JVariant(patchValueToString(patch).c_str(), kPatchVariantLength);
}

uint32_t MurPatchDante128Converter::patchStringToValue(const std::string& text) const
{
    constexpr uint32_t kSources = 256;
    std::string head;
    std::string tail;
    if (JLIB::isFailure(split(text, head, tail, "@"))) return 0;
    if (head != "Dante") return 0;
    const uint32_t number = readPatchNumber(tail);
    return number >= 1 && number <= kSources ? number : 0;
}

std::string MurPatchDante128Converter::patchValueToString(uint32_t value) const
{
    if (value < 1 || value > 256) return std::string();
    return formatPatch("Dante", value);
}

namespace {

// Each head names a run of patch values starting after its offset.
struct OutputHead {
    const char* head;
    uint32_t offset;
    uint32_t last;  // the highest value written back with this head
};

constexpr OutputHead kOutputHeads[] = {
    {"OBADirectOut", 0, 64},
    {"OBARecOut", 64, 128},
    {"AUXOut", 131, 132},
    {"BinauralOut", 132, 134},
};

constexpr uint32_t kOutputNumbers = 96;  // every head reads 1..96

}  // namespace

uint32_t MurPatchUzOutput256Converter::patchStringToValue(const std::string& text) const
{
    std::string head;
    std::string tail;
    if (JLIB::isFailure(split(text, head, tail, "@"))) return 0;
    for (const OutputHead& h : kOutputHeads) {
        if (head != h.head) continue;
        const uint32_t number = readPatchNumber(tail);
        return number >= 1 && number <= kOutputNumbers ? number + h.offset : 0;
    }
    return 0;
}

std::string MurPatchUzOutput256Converter::patchValueToString(uint32_t value) const
{
    for (const OutputHead& h : kOutputHeads) {
        if (value > h.offset && value <= h.last) return formatPatch(h.head, value - h.offset);
    }
    return std::string();
}

}  // namespace LPC
