#include "PDB/Expression/Freq12F24Expression.h"

#include <cstddef>

#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"

namespace Expression {

namespace {

constexpr uint32_t kKnobLow = 30;
constexpr uint32_t kKnobHigh = 330;
constexpr unsigned int kLowest = 200;
constexpr unsigned int kHighest = 200000;

// One decade of each series in hundredths (1.00 to 9.75).
constexpr unsigned int kR40[] = {100, 106, 112, 118, 125, 132, 140, 150, 160, 170, 180, 190, 200, 212,
                                 224, 236, 250, 265, 280, 300, 315, 335, 355, 375, 400, 425, 450, 475,
                                 500, 530, 560, 600, 630, 670, 710, 750, 800, 850, 900, 950};
constexpr unsigned int kR80[] = {100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145,
                                 150, 155, 160, 165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218,
                                 224, 230, 236, 243, 250, 258, 265, 272, 280, 290, 300, 307, 315, 325,
                                 335, 345, 355, 365, 375, 387, 400, 412, 425, 437, 450, 462, 475, 487,
                                 500, 515, 530, 545, 560, 580, 600, 615, 630, 650, 670, 690, 710, 730,
                                 750, 775, 800, 825, 850, 875, 900, 925, 950, 975};

// The series values times powers of ten, from kLowest to kHighest.
template <std::size_t N, std::size_t M>
constexpr std::array<unsigned int, N> expandSeries(const unsigned int (&decade)[M])
{
    std::array<unsigned int, N> table{};
    std::size_t n = 0;
    for (unsigned int scale = 1; scale <= 1000; scale *= 10) {
        for (unsigned int mantissa : decade) {
            const unsigned int value = mantissa * scale;
            if (value >= kLowest && value <= kHighest && n < N) table[n++] = value;
        }
    }
    return table;
}

static_assert(expandSeries<121>(kR40)[120] == kHighest && expandSeries<121>(kR40)[0] == kLowest);
static_assert(expandSeries<241>(kR80)[240] == kHighest && expandSeries<241>(kR80)[0] == kLowest);

}  // namespace

const std::array<unsigned int, Freq12F24Expression::kNormalCount> Freq12F24Expression::NormalTable =
    expandSeries<kNormalCount>(kR40);
const std::array<unsigned int, Freq12F24Expression::kFineCount> Freq12F24Expression::FineTable =
    expandSeries<kFineCount>(kR80);

Freq12F24Expression::Freq12F24Expression()
    : NumericTableExpressionT<unsigned int>(NormalTable.data(), kNormalCount, FineTable.data(), kFineCount, kKnobLow,
                                            kKnobHigh)
{
}

JLIB::JResult Freq12F24Expression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                          const PrmAttribute& attr, uint16_t) const
{
    if (buffer == nullptr || size == 0) return kNotSupported;
    // A scaling of 0 shows no decimals elsewhere; here it must not divide by zero.
    const double scaling = attr.m_Scaling == 0 ? 1.0 : static_cast<double>(attr.m_Scaling);
    length = ParameterProc::Utilities::doubleToText(buffer, size, value.toUInt32() / scaling);
    return length == 0 ? kNoBuffer : kOk;
}

}  // namespace Expression
