#include "PDB/Expression/Q6F12Expression.h"

#include <cstring>

#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"

namespace Expression {

namespace {

constexpr uint32_t kKnobLow = 30;
constexpr uint32_t kKnobHigh = 330;

}  // namespace

const std::array<unsigned short, Q6F12Expression::kNormalCount> Q6F12Expression::NormalTable = {
    100,   110,   125,   140,   160,   180,   200,   220,   250,   280,   320,   350,   400,   450,   500,
    560,   630,   700,   800,   900,   1000,  1100,  1250,  1400,  1600,  1800,  2000,  2200,  2500,  2800,
    3200,  3500,  4000,  4500,  5000,  5600,  6300,  7000,  8000,  9000,  10000, 11000, 12500, 14000, 16000,
    18000, 20000, 22000, 25000, 28000, 32000, 35000, 40000, 45000, 50000, 56000, 63000,
};

const std::array<unsigned short, Q6F12Expression::kFineCount> Q6F12Expression::FineTable = {
    100,   105,   110,   120,   125,   130,   140,   150,   160,   170,   180,   190,   200,   210,   220,
    240,   250,   270,   280,   300,   320,   330,   350,   380,   400,   420,   450,   470,   500,   530,
    560,   600,   630,   670,   700,   750,   800,   850,   900,   950,   1000,  1050,  1100,  1200,  1250,
    1300,  1400,  1500,  1600,  1700,  1800,  1900,  2000,  2100,  2200,  2400,  2500,  2700,  2800,  3000,
    3200,  3300,  3500,  3800,  4000,  4200,  4500,  4700,  5000,  5300,  5600,  6000,  6300,  6700,  7000,
    7500,  8000,  8400,  9000,  9500,  10000, 10500, 11000, 12000, 12500, 13000, 14000, 15000, 16000, 17000,
    18000, 19000, 20000, 21000, 22000, 24000, 25000, 27000, 28000, 30000, 32000, 34000, 35000, 38000, 40000,
    42000, 45000, 47000, 50000, 53000, 56000, 60000, 63000,
};

Q6F12Expression::Q6F12Expression()
    : NumericTableExpressionT<unsigned short>(NormalTable.data(), kNormalCount, FineTable.data(), kFineCount,
                                              kKnobLow, kKnobHigh)
{
}

JLIB::JResult Q6F12Expression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                      const PrmAttribute& attr, uint16_t) const
{
    if (buffer == nullptr || size == 0) return kNotSupported;
    const unsigned short v = static_cast<unsigned short>(value.toUInt32() & 0xFFFFu);
    length = ParameterProc::Utilities::uint16ToText(buffer, size, v, ScalingToPoint(attr.m_Scaling));
    if (length == 0) return kNoBuffer;
    // Only zeros of a fraction are blanked: those of a whole number ("100") are its value.
    if (std::strchr(buffer, '.') == nullptr) return kOk;
    const size_t n = std::strlen(buffer);
    if (n >= 2 && buffer[n - 2] == '0' && buffer[n - 1] == '0') {
        buffer[n - 2] = ' ';
        buffer[n - 1] = ' ';
    } else if (n >= 1 && buffer[n - 1] == '0') {
        buffer[n - 1] = ' ';
    }
    return kOk;
}

}  // namespace Expression
