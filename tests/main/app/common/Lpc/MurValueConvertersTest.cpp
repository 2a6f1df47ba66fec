#include "common/Lpc/MurValueConverters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

JVariant text(const char* t) { return JVariant(t, JVariant::kMaxStringLength); }
JVariant none() { return JVariant(); }

// Type and value in one text, so a mismatch shows both sides.
std::string describe(const JVariant& v)
{
    switch (v.getType()) {
    case JVariant::kTypeInt32: return "Int32 " + std::to_string(v.toInt32());
    case JVariant::kTypeUInt32: return "UInt32 " + std::to_string(v.toUInt32());
    case JVariant::kTypeFloat: return std::isnan(v.toFloat()) ? "Float nan" : "Float " + std::to_string(v.toFloat());
    case JVariant::kTypeString: return "String \"" + std::string(v.toString()) + "\"";
    case JVariant::kTypeInvalid: return "invalid";
    default: return "type " + std::to_string(v.getType());
    }
}

enum class Flag { kClear, kSet, kUntouched };

struct Range {
    int32_t min;
    int32_t max;
    int32_t scaling;
};

constexpr Range kAny{0, 100, 1};
constexpr Range kLevel{-13800, 1000, 100};
constexpr Range kDelay{0, 1000, 1};
constexpr Range kFreq{20, 20000, 1};
constexpr Range kAzimuth{-17900, 18000, 100};
constexpr Range kInterval{125, 8000, 1};

// The worked values: a device value, its normalised value (exact where the digits are known)
// and its flag, then the device value the normalised value reads back as (none: not checked).
struct NormalizeCase {
    const char* what;
    const LPC::IValueConverter& converter;
    JVariant value;
    Range range;
    double normalised;
    Flag flag;
    JVariant back;
};

const NormalizeCase* normalizeCases(size_t& count)
{
    static const NormalizeCase cases[] = {
        {"default mid", LPC::sMurDefaultConverter, JVariant(50), kAny, 0.5, Flag::kClear, JVariant(50)},
        {"default above", LPC::sMurDefaultConverter, JVariant(150), kAny, 1.5, Flag::kSet, JVariant(150)},
        {"default empty range", LPC::sMurDefaultConverter, JVariant(7), {5, 5, 1}, 0.0, Flag::kSet, none()},
        {"default float is 0", LPC::sMurDefaultConverter, JVariant(50.0f), kAny, 0.0, Flag::kClear, none()},
        {"float mid", LPC::sMurDefaultFloatConverter, JVariant(25.0f), kAny, 0.25, Flag::kClear, JVariant(25.0f)},
        {"float below", LPC::sMurDefaultFloatConverter, JVariant(-10), kAny, -0.1f, Flag::kSet, none()},
        {"log 200", LPC::sMurLogConverter, JVariant(200), kFreq, 0.3333333432674408, Flag::kClear, JVariant(200)},
        {"log 2000", LPC::sMurLogConverter, JVariant(2000), kFreq, 0.6666666865348816, Flag::kClear,
         JVariant(2000)},
        {"log 20000", LPC::sMurLogConverter, JVariant(20000), kFreq, 1.0, Flag::kClear, JVariant(20000)},
        {"log 0", LPC::sMurLogConverter, JVariant(0), kFreq, 0.0, Flag::kSet, none()},
        {"level first point", LPC::sMurVolumeConverter, JVariant(-9600), kLevel, 0.0, Flag::kClear, JVariant(-9600)},
        {"level -60", LPC::sMurVolumeConverter, JVariant(-6000), kLevel, 0.05882352963089943, Flag::kClear,
         JVariant(-6000)},
        {"level -25", LPC::sMurVolumeConverter, JVariant(-2500), kLevel, 0.35294119268655777, Flag::kClear,
         JVariant(-2500)},
        {"level 0", LPC::sMurVolumeConverter, JVariant(0), kLevel, 0.7647058963775635, Flag::kClear, JVariant(0)},
        {"level top", LPC::sMurVolumeConverter, JVariant(1000), kLevel, 1.0, Flag::kClear, JVariant(1000)},
        {"level below", LPC::sMurVolumeConverter, JVariant(-9700), kLevel, 0.0, Flag::kSet, JVariant(-9600)},
        {"level above", LPC::sMurVolumeConverter, JVariant(1100), kLevel, 1.0, Flag::kSet, JVariant(1000)},
        {"level scaling 0", LPC::sMurVolumeConverter, JVariant(0), {-13800, 1000, 0}, 0.0, Flag::kUntouched, none()},
        {"delay 50", LPC::sMurDelayConverter, JVariant(50), kDelay, 0.4375, Flag::kClear, JVariant(50)},
        {"delay 300", LPC::sMurDelayConverter, JVariant(300), kDelay, 0.8125, Flag::kClear, JVariant(300)},
        {"delay point", LPC::sMurDelayConverter, JVariant(100), kDelay, 0.625, Flag::kClear, JVariant(100)},
        {"delay above", LPC::sMurDelayConverter, JVariant(1001), kDelay, 1.0, Flag::kSet, JVariant(1000)},
        {"on/off 2", LPC::sMurOnOffConverter, JVariant(2), kAny, 1.0, Flag::kSet, JVariant(1)},
        {"on/off -1", LPC::sMurOnOffConverter, JVariant(-1), kAny, 0.0, Flag::kSet, JVariant(0)},
        {"on/off 0.3", LPC::sMurOnOffConverter, JVariant(0.3f), kAny, 0.3f, Flag::kClear, JVariant(0)},
        {"on/off 1", LPC::sMurOnOffConverter, JVariant(1u), kAny, 1.0, Flag::kClear, JVariant(1)},
        {"invert 1", LPC::sMurOnOffInvertConverter, JVariant(1), kAny, 0.0, Flag::kClear, JVariant(1)},
        {"invert 3", LPC::sMurOnOffInvertConverter, JVariant(3), kAny, 0.0, Flag::kSet, JVariant(1)},
        {"interval 1000", LPC::sMurWGenIntervalConverter, JVariant(1000), kInterval, 0.5, Flag::kClear,
         JVariant(1000)},
        {"interval 8000", LPC::sMurWGenIntervalConverter, JVariant(8000), kInterval, 1.0, Flag::kClear,
         JVariant(8000)},
        {"interval 125", LPC::sMurWGenIntervalConverter, JVariant(125), kInterval, 0.0, Flag::kClear, JVariant(125)},
        {"interval 300", LPC::sMurWGenIntervalConverter, JVariant(300), kInterval, 2.0 / 6.0, Flag::kSet,
         JVariant(500)},
        {"interval below min", LPC::sMurWGenIntervalConverter, JVariant(1000), {2000, 8000, 1}, 0.0, Flag::kClear,
         none()},
        {"interval above max", LPC::sMurWGenIntervalConverter, JVariant(300), {0, 250, 1}, 1.0, Flag::kSet, none()},
        {"room lower case", LPC::sMurRoomIDConverter, text("concert hall"), kAny, 0.6, Flag::kUntouched,
         text("Concert Hall")},
        {"room capitals", LPC::sMurRoomIDConverter, text("CATHEDRAL"), kAny, 1.0, Flag::kUntouched,
         text("Cathedral")},
        {"room unknown", LPC::sMurRoomIDConverter, text("Garage"), kAny, 0.0, Flag::kUntouched, text("Room")},
        {"room not a text", LPC::sMurRoomIDConverter, JVariant(3), kAny, 0.0, Flag::kUntouched, text("Room")},
        {"azimuth 9000", LPC::sMurAzimuthConverter, JVariant(9000), kAzimuth, 0.25, Flag::kClear, JVariant(9000)},
        {"azimuth -9000", LPC::sMurAzimuthConverter, JVariant(-9000), kAzimuth, 0.75, Flag::kClear,
         JVariant(-9100)},
        {"azimuth 18000", LPC::sMurAzimuthConverter, JVariant(18000), kAzimuth, 100.0 / 36000.0 + 0.5,
         Flag::kClear, JVariant(18000)},
        {"azimuth 0", LPC::sMurAzimuthConverter, JVariant(0), kAzimuth, 0.0, Flag::kClear, JVariant(0)},
        {"dante 12", LPC::sMurPatchDante128Converter, text("Dante@12"), kAny, 0.046875, Flag::kClear,
         text("Dante@12")},
        {"dante 256", LPC::sMurPatchDante128Converter, text("Dante@256"), kAny, 1.0, Flag::kClear,
         text("Dante@256")},
        {"dante trailing letters", LPC::sMurPatchDante128Converter, text("Dante@12abc"), kAny, 0.046875,
         Flag::kClear, text("Dante@12")},
        {"dante lower-case head", LPC::sMurPatchDante128Converter, text("dante@12"), kAny, 0.0, Flag::kSet, none()},
        {"dante 0", LPC::sMurPatchDante128Converter, text("Dante@0"), kAny, 0.0, Flag::kSet, none()},
        {"dante 257", LPC::sMurPatchDante128Converter, text("Dante@257"), kAny, 0.0, Flag::kSet, none()},
        {"dante no number", LPC::sMurPatchDante128Converter, text("Dante@"), kAny, 0.0, Flag::kSet, none()},
        {"dante no head", LPC::sMurPatchDante128Converter, text("@12"), kAny, 0.0, Flag::kSet, none()},
        {"dante no separator", LPC::sMurPatchDante128Converter, text("Dante12"), kAny, 0.0, Flag::kSet, none()},
        {"dante huge number", LPC::sMurPatchDante128Converter, text("Dante@99999999999"), kAny, 0.0, Flag::kSet,
         none()},
        {"dante negative", LPC::sMurPatchDante128Converter, text("Dante@-1"), kAny, 0.0, Flag::kSet, none()},
        {"dante empty", LPC::sMurPatchDante128Converter, text(""), kAny, 0.0, Flag::kClear, text("")},
        {"dante Int32", LPC::sMurPatchDante128Converter, JVariant(12), kAny, 0.0, Flag::kSet, text("")},
        {"rec out 3", LPC::sMurPatchUzOutput256Converter, text("OBARecOut@3"), kAny, 67.0 / 256, Flag::kClear,
         text("OBARecOut@3")},
        {"aux out 1", LPC::sMurPatchUzOutput256Converter, text("AUXOut@1"), kAny, 132.0 / 256, Flag::kClear,
         text("AUXOut@1")},
        {"binaural out 2", LPC::sMurPatchUzOutput256Converter, text("BinauralOut@2"), kAny, 134.0 / 256,
         Flag::kClear, text("BinauralOut@2")},
        {"direct out 65", LPC::sMurPatchUzOutput256Converter, text("OBADirectOut@65"), kAny, 65.0 / 256,
         Flag::kClear, text("OBARecOut@1")},
        {"aux out 2", LPC::sMurPatchUzOutput256Converter, text("AUXOut@2"), kAny, 133.0 / 256, Flag::kClear,
         text("BinauralOut@1")},
        {"direct out 96", LPC::sMurPatchUzOutput256Converter, text("OBADirectOut@96"), kAny, 96.0 / 256,
         Flag::kClear, text("OBARecOut@32")},
        {"direct out 97", LPC::sMurPatchUzOutput256Converter, text("OBADirectOut@97"), kAny, 0.0, Flag::kSet,
         none()},
        {"output unknown head", LPC::sMurPatchUzOutput256Converter, text("Dante@1"), kAny, 0.0, Flag::kSet, none()},
        {"output lower-case head", LPC::sMurPatchUzOutput256Converter, text("auxout@1"), kAny, 0.0, Flag::kSet,
         none()},
    };
    count = std::size(cases);
    return cases;
}

}  // namespace

TEST(MurValueConvertersTest, NormalizesTheWorkedValuesAndReadsThemBack)
{
    size_t count = 0;
    const NormalizeCase* cases = normalizeCases(count);
    for (size_t i = 0; i < count; ++i) {
        const NormalizeCase& c = cases[i];
        SCOPED_TRACE(c.what);
        const Range& r = c.range;
        for (const bool before : {false, true}) {
            bool flag = before;
            EXPECT_EQ(c.normalised, c.converter.normalize(c.value, r.min, r.max, r.scaling, &flag));
            const bool expected = c.flag == Flag::kUntouched ? before : c.flag == Flag::kSet;
            EXPECT_EQ(expected, flag);
        }
        const double n = c.converter.normalize(c.value, r.min, r.max, r.scaling, nullptr);
        EXPECT_EQ(c.normalised, n);
        if (c.back.isValid()) {
            EXPECT_EQ(describe(c.back), describe(c.converter.reverse(n, r.min, r.max, r.scaling)));
        }
    }
}

TEST(MurValueConvertersTest, ReversesTheWorkedValues)
{
    struct Case {
        const char* what;
        const LPC::IValueConverter& converter;
        double normalised;
        Range range;
        JVariant expected;
    };
    const Case cases[] = {
        {"default half up", LPC::sMurDefaultConverter, 0.5, {0, 1, 1}, JVariant(1)},
        {"default half down", LPC::sMurDefaultConverter, 0.5, {-1, 0, 1}, JVariant(-1)},
        {"default below half", LPC::sMurDefaultConverter, 0.49999999999999994, {0, 1, 1}, JVariant(0)},
        {"float", LPC::sMurDefaultFloatConverter, 0.5, {-10, 10, 1}, JVariant(0.0f)},
        {"log half", LPC::sMurLogConverter, 0.5, kFreq, JVariant(632)},
        {"log top", LPC::sMurLogConverter, 1.0, kFreq, JVariant(20000)},
        {"level 0", LPC::sMurVolumeConverter, 0.0, kLevel, JVariant(-9600)},
        {"level 0.25", LPC::sMurVolumeConverter, 0.25, kLevel, JVariant(-3375)},
        {"level 0.5", LPC::sMurVolumeConverter, 0.5, kLevel, JVariant(-1250)},
        {"level 1", LPC::sMurVolumeConverter, 1.0, kLevel, JVariant(1000)},
        {"level above", LPC::sMurVolumeConverter, 1.5, kLevel, JVariant(1000)},
        {"level below", LPC::sMurVolumeConverter, -0.5, kLevel, JVariant(-9600)},
        {"level scaling 0", LPC::sMurVolumeConverter, 0.5, {-13800, 1000, 0}, none()},
        {"delay 0.6", LPC::sMurDelayConverter, 0.6, kDelay, JVariant(92)},
        {"delay 0.6 in tenths", LPC::sMurDelayConverter, 0.6, {0, 10000, 10}, JVariant(920)},
        {"on/off half", LPC::sMurOnOffConverter, 0.5, kAny, JVariant(1)},
        {"on/off 0.49", LPC::sMurOnOffConverter, 0.49, kAny, JVariant(0)},
        {"invert 0.2", LPC::sMurOnOffInvertConverter, 0.2, kAny, JVariant(1)},
        {"interval sixth", LPC::sMurWGenIntervalConverter, 1.0 / 6.0, kInterval, JVariant(250)},
        {"interval 0.99", LPC::sMurWGenIntervalConverter, 0.99, kInterval, JVariant(4000)},
        {"interval above", LPC::sMurWGenIntervalConverter, 1.2, kInterval, JVariant(125)},
        {"interval negative", LPC::sMurWGenIntervalConverter, -0.5, kInterval, JVariant(125)},
        {"room 1", LPC::sMurRoomIDConverter, 1.0, kAny, text("Cathedral")},
        {"room 1.2", LPC::sMurRoomIDConverter, 1.2, kAny, none()},
        {"room negative", LPC::sMurRoomIDConverter, -0.2, kAny, none()},
        {"azimuth quarter", LPC::sMurAzimuthConverter, 0.25, kAzimuth, JVariant(9000)},
        {"azimuth three quarters", LPC::sMurAzimuthConverter, 0.75, kAzimuth, JVariant(-9100)},
        {"dante 0", LPC::sMurPatchDante128Converter, 0.0, kAny, text("")},
        {"dante 1", LPC::sMurPatchDante128Converter, 1.0, kAny, text("Dante@256")},
        {"dante above", LPC::sMurPatchDante128Converter, 2.0, kAny, text("")},
        {"output 130", LPC::sMurPatchUzOutput256Converter, 130.0 / 256, kAny, text("")},
        {"output 64", LPC::sMurPatchUzOutput256Converter, 64.0 / 256, kAny, text("OBADirectOut@64")},
        {"output 128", LPC::sMurPatchUzOutput256Converter, 128.0 / 256, kAny, text("OBARecOut@64")},
        {"output 134", LPC::sMurPatchUzOutput256Converter, 134.0 / 256, kAny, text("BinauralOut@2")},
        {"output 135", LPC::sMurPatchUzOutput256Converter, 135.0 / 256, kAny, text("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(describe(c.expected), describe(c.converter.reverse(c.normalised, c.range.min, c.range.max,
                                                                     c.range.scaling)));
    }
}

TEST(MurValueConvertersTest, VolumeTableHoldsTheFloatFractionsWidened)
{
    EXPECT_EQ(0.05882352963089943, LPC::normalizedValueTableMurVolumeConverter[1].normalized);
    EXPECT_EQ(0.1764705926179886, LPC::normalizedValueTableMurVolumeConverter[2].normalized);
    EXPECT_EQ(0.529411792755127, LPC::normalizedValueTableMurVolumeConverter[3].normalized);
}

TEST(MurValueConvertersTest, PatchCountBoundsTheSources)
{
    LPC::MurPatchDante128Converter fresh;  // one source until initialised
    EXPECT_EQ("String \"Dante@1\"", describe(fresh.reverse(1.0, 0, 0, 0)));
    bool flag = false;
    EXPECT_EQ(0.0, fresh.normalize(text("Dante@2"), 0, 0, 0, &flag));
    EXPECT_TRUE(flag);
    EXPECT_EQ(0u, fresh.initialize(256));
    EXPECT_EQ(2.0 / 256, fresh.normalize(text("Dante@2"), 0, 0, 0, &flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ("String \"Dante@256\"", describe(fresh.reverse(1.0, 0, 0, 0)));
    // The shared singleton takes 256 sources although its name says 128.
    EXPECT_EQ(200.0 / 256, LPC::sMurPatchDante128Converter.normalize(text("Dante@200"), 0, 0, 0, nullptr));
}

// Normalised values come from the rack and may be anything: NaN reads as 0, integers saturate.
TEST(MurValueConvertersTest, ReverseOfNaNInfinitiesAndHugeValuesStaysDefined)
{
    struct Case {
        const char* what;
        const LPC::IValueConverter& converter;
        Range range;
        JVariant nan;
        JVariant plusInf;
        JVariant minusInf;
        JVariant plusHuge;
        JVariant minusHuge;
    };
    const Case cases[] = {
        {"default", LPC::sMurDefaultConverter, kAny, JVariant(0), JVariant(kMax), JVariant(kMin), JVariant(kMax),
         JVariant(kMin)},
        {"default full range", LPC::sMurDefaultConverter, {kMin, kMax, 1}, JVariant(0), JVariant(kMax),
         JVariant(kMin), JVariant(kMax), JVariant(kMin)},
        {"float", LPC::sMurDefaultFloatConverter, kAny, JVariant(std::nanf("")), JVariant(HUGE_VALF),
         JVariant(-HUGE_VALF), JVariant(HUGE_VALF), JVariant(-HUGE_VALF)},
        {"level", LPC::sMurVolumeConverter, kLevel, JVariant(-9600), JVariant(1000), JVariant(-9600),
         JVariant(1000), JVariant(-9600)},
        {"level huge scaling", LPC::sMurVolumeConverter, {0, 0, kMax}, JVariant(kMin), JVariant(kMax),
         JVariant(kMin), JVariant(kMax), JVariant(kMin)},
        {"delay", LPC::sMurDelayConverter, kDelay, JVariant(0), JVariant(1000), JVariant(0), JVariant(1000),
         JVariant(0)},
        {"delay huge scaling", LPC::sMurDelayConverter, {0, 0, kMin}, JVariant(0), JVariant(kMin), JVariant(0),
         JVariant(kMin), JVariant(0)},
        {"on/off", LPC::sMurOnOffConverter, kAny, JVariant(0), JVariant(kMax), JVariant(kMin), JVariant(kMax),
         JVariant(kMin)},
        {"invert", LPC::sMurOnOffInvertConverter, kAny, JVariant(0), JVariant(kMin), JVariant(kMax), JVariant(kMin),
         JVariant(kMax)},
        {"log", LPC::sMurLogConverter, kFreq, JVariant(0), JVariant(kMax), JVariant(0), JVariant(kMax), JVariant(0)},
        {"log without minimum", LPC::sMurLogConverter, {0, 20000, 1}, JVariant(0), JVariant(0), JVariant(0),
         JVariant(0), JVariant(0)},
        {"log negative minimum", LPC::sMurLogConverter, {-20, 20000, 1}, JVariant(0), JVariant(0), JVariant(0),
         JVariant(0), JVariant(0)},
        {"room", LPC::sMurRoomIDConverter, kAny, text("Room"), none(), none(), none(), none()},
        {"interval", LPC::sMurWGenIntervalConverter, kInterval, JVariant(125), JVariant(125), JVariant(125),
         JVariant(125), JVariant(125)},
        {"azimuth", LPC::sMurAzimuthConverter, kAzimuth, JVariant(0), JVariant(kMax), JVariant(kMin),
         JVariant(kMax), JVariant(kMin)},
        {"dante", LPC::sMurPatchDante128Converter, kAny, text(""), text(""), text(""), text(""), text("")},
        {"output", LPC::sMurPatchUzOutput256Converter, kAny, text(""), text(""), text(""), text(""), text("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Range& r = c.range;
        EXPECT_EQ(describe(c.nan), describe(c.converter.reverse(kNaN, r.min, r.max, r.scaling)));
        EXPECT_EQ(describe(c.plusInf), describe(c.converter.reverse(kInf, r.min, r.max, r.scaling)));
        EXPECT_EQ(describe(c.minusInf), describe(c.converter.reverse(-kInf, r.min, r.max, r.scaling)));
        EXPECT_EQ(describe(c.plusHuge), describe(c.converter.reverse(1e300, r.min, r.max, r.scaling)));
        EXPECT_EQ(describe(c.minusHuge), describe(c.converter.reverse(-1e300, r.min, r.max, r.scaling)));
    }
}

// The range is formed in 64 bits: a range wider than 32 bits reads back as a real range would.
TEST(MurValueConvertersTest, DefaultReverseFormsTheRangeInSixtyFourBits)
{
    EXPECT_EQ(kMax, LPC::sMurDefaultConverter.reverse(1.0, kMin, kMax, 1).toInt32());
    EXPECT_EQ(kMin, LPC::sMurDefaultConverter.reverse(0.0, kMin, kMax, 1).toInt32());
    EXPECT_EQ(0, LPC::sMurDefaultConverter.reverse(0.5, -2000000000, 2000000000, 1).toInt32());
    EXPECT_EQ(1000000000, LPC::sMurDefaultConverter.reverse(0.75, -2000000000, 2000000000, 1).toInt32());
}

// The azimuth's lower bound min - scaling may pass the 32-bit range; it is formed in 64 bits.
TEST(MurValueConvertersTest, AzimuthLowerBoundDoesNotOverflow)
{
    bool flag = true;
    const double n = LPC::sMurAzimuthConverter.normalize(JVariant(kMin), kMin, kMax, kMax, &flag);
    EXPECT_FALSE(flag);
    EXPECT_DOUBLE_EQ(double(kMax) / (double(kMax) - double(kMin) + double(kMax)) + 0.5, n);
}
