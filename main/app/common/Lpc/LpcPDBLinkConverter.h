#pragma once
// The position converter of one space: sixteen boundary points, a centre and three heights in
// centimetres, fed from the device database, converted between normalised and physical (metres)
// positions. Used only inside linked writes, under the device database lock; no lock of its own.
#include <cstdint>
#include <memory>

#include "common/Lpc/CoordinateConverter.h"
#include "jlib/jlib_result.h"

class JVariant;

namespace LPC {

class PDBLinkConverter {
public:
    static constexpr uint32_t kBoundaryPointNum = 16;
    static constexpr uint32_t kHeightNum = 3;
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    // A pair block that cannot be allocated stays absent; what needs it answers 0x80000000.
    PDBLinkConverter();
    virtual ~PDBLinkConverter();
    PDBLinkConverter(const PDBLinkConverter&) = delete;
    PDBLinkConverter& operator=(const PDBLinkConverter&) = delete;

    // Replaces both converters by new, empty ones (the pairs keep their values). 0x80000000 when
    // the horizontal one cannot be created (then no vertical one either) or the vertical one cannot.
    [[nodiscard]] JLIB::JResult clear();
    // Physical points and heights from centimetre values (toInt32, so other types count as 0).
    [[nodiscard]] JLIB::JResult setPointWidth(uint32_t index, const JVariant& x, const JVariant& y);
    [[nodiscard]] JLIB::JResult setPointCenter(const JVariant& x, const JVariant& y);
    [[nodiscard]] JLIB::JResult setPointHeight(uint32_t index, const JVariant& value);
    // Attaches the fixed normalised outline to the physical points and rebuilds both converters.
    [[nodiscard]] JLIB::JResult update();
    [[nodiscard]] JLIB::JResult updateWidth();
    [[nodiscard]] JLIB::JResult updateHeight();

    // 0, or 0x80000000 when the converter does not exist (never rebuilt) or the point lies in no
    // sector; the output is written on success only.
    [[nodiscard]] JLIB::JResult toPhysical_Horizontal(const uz::Vector2& normalized, uz::Vector2& physical) const;
    [[nodiscard]] JLIB::JResult toNormalized_Horizontal(const uz::Vector2& physical, uz::Vector2& normalized) const;
    [[nodiscard]] JLIB::JResult toPhysical_Vertical(float normalized, float& physical) const;
    [[nodiscard]] JLIB::JResult toNormalized_Vertical(float physical, float& normalized) const;

private:
    // The converters point into these blocks, so the blocks live as long as this object.
    std::unique_ptr<uz::HorizontalConvertPair[]> m_pBoundary;
    std::unique_ptr<uz::VerticalConvertPair[]> m_pHeights;
    std::unique_ptr<uz::HorizontalConvertPair> m_pCenter;
    std::unique_ptr<uz::HorizontalConverter> m_pHorizontal;  // absent until clear
    std::unique_ptr<uz::VerticalConverter> m_pVertical;      // absent until clear
};

}  // namespace LPC
