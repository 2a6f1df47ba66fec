#pragma once
// The twelve converters between device values and the normalised values of the rack's plug-in
// parameters, each a program-wide constant singleton built at compile time, so they are ready
// before any start-up code runs. All operations are const; any task, no lock.
#include <cstdint>
#include <string>

#include "common/Lpc/IValueConverter.h"
#include "common/Lpc/LpcValueConversion.h"
#include "jlib/jlib_result.h"

namespace LPC {

// Linear over min..max for integers; reverse rounds halves away from zero.
class MurDefaultConverter final : public IValueConverter {
public:
    constexpr MurDefaultConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Linear over min..max in single precision; reverse gives a Float.
class MurDefaultFloatConverter final : public IValueConverter {
public:
    constexpr MurDefaultFloatConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Levels over normalizedValueTableMurVolumeConverter.
class MurVolumeConverter final : public IValueConverter {
public:
    constexpr MurVolumeConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Delay times over normalizedValueTableMurDelayConverter.
class MurDelayConverter final : public IValueConverter {
public:
    constexpr MurDelayConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Switches: MurOnOffConverter_normalize and MurOnOffConverter_reverse.
class MurOnOffConverter final : public IValueConverter {
public:
    constexpr MurOnOffConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// A switch whose plug-in sense is the opposite: 1 minus the on/off conversion both ways.
class MurOnOffInvertConverter final : public IValueConverter {
public:
    constexpr MurOnOffInvertConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Frequencies: ln(v / min) / ln(max / min); min must be positive (else NaN). A value of 0 or
// below gives 0 flagged; values beyond min..max are not flagged.
class MurLogConverter final : public IValueConverter {
public:
    constexpr MurLogConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Room names of gl_RoomIDTable as fifths; never writes the flag. Reverse gives the name, or an
// invalid value past the table.
class MurRoomIDConverter final : public IValueConverter {
public:
    constexpr MurRoomIDConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// The seven oscillator intervals 125 to 8000 as sixths.
class MurWGenIntervalConverter final : public IValueConverter {
public:
    constexpr MurWGenIntervalConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Azimuth in hundredths of a degree, shifted half a turn. It does not read back exactly:
// -9000 gives 0.75, which reads back as -9100.
class MurAzimuthConverter final : public IValueConverter {
public:
    constexpr MurAzimuthConverter() = default;
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;
};

// Texts naming a patch source ("<head>@<number>") as patch value / patch count.
class MurPatchConverter : public IValueConverter {
public:
    // Sets the patch count; 0.
    JLIB::JResult initialize(uint32_t patchCount);

    // No String: 0 flagged; the empty text: 0 unflagged; a patch value 1..count: value / count.
    double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                     bool* outOfRange) const override;
    // 0 gives the empty text, anything else the text of normalised × count.
    JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const override;

    // 0 for a text that names no patch.
    virtual uint32_t patchStringToValue(const std::string& text) const = 0;
    // Empty for a value that names no patch.
    virtual std::string patchValueToString(uint32_t value) const = 0;

protected:
    constexpr explicit MurPatchConverter(uint32_t patchCount) : m_patchCount(patchCount) {}

private:
    uint32_t m_patchCount;
};

// "Dante@1" to "Dante@256"; the head is case-sensitive.
class MurPatchDante128Converter final : public MurPatchConverter {
public:
    constexpr MurPatchDante128Converter() : MurPatchConverter(1) {}
    constexpr explicit MurPatchDante128Converter(uint32_t patchCount) : MurPatchConverter(patchCount) {}
    uint32_t patchStringToValue(const std::string& text) const override;
    std::string patchValueToString(uint32_t value) const override;
};

// "OBADirectOut@n" (1..64), "OBARecOut@n" (65..128), "AUXOut@1" (132), "BinauralOut@n"
// (133, 134); every head reads numbers 1..96.
class MurPatchUzOutput256Converter final : public MurPatchConverter {
public:
    constexpr MurPatchUzOutput256Converter() : MurPatchConverter(1) {}
    constexpr explicit MurPatchUzOutput256Converter(uint32_t patchCount) : MurPatchConverter(patchCount) {}
    uint32_t patchStringToValue(const std::string& text) const override;
    std::string patchValueToString(uint32_t value) const override;
};

// Levels: (0, -96), (1/17, -60), (3/17, -40), (9/17, -10), (1, +10); the fractions are the
// float values widened to double, as the rack's own tables hold them.
extern const NormalizedValueTable normalizedValueTableMurVolumeConverter[5];
// Delay times: (0, 0), (0.25, 20), (0.5, 60), (0.625, 100), (0.75, 200), (0.875, 400), (1, 1000).
extern const NormalizedValueTable normalizedValueTableMurDelayConverter[7];

extern const MurDefaultConverter sMurDefaultConverter;
extern const MurDefaultFloatConverter sMurDefaultFloatConverter;
extern const MurVolumeConverter sMurVolumeConverter;
extern const MurDelayConverter sMurDelayConverter;
extern const MurOnOffConverter sMurOnOffConverter;
extern const MurOnOffInvertConverter sMurOnOffInvertConverter;
extern const MurLogConverter sMurLogConverter;
extern const MurRoomIDConverter sMurRoomIDConverter;
extern const MurWGenIntervalConverter sMurWGenIntervalConverter;
extern const MurPatchDante128Converter sMurPatchDante128Converter;        // 256 sources
extern const MurPatchUzOutput256Converter sMurPatchUzOutput256Converter;  // 256 sources
extern const MurAzimuthConverter sMurAzimuthConverter;

}  // namespace LPC
