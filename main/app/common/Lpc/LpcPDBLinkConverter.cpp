#include "common/Lpc/LpcPDBLinkConverter.h"

#include <new>

#include "jlib/JVariant.h"

namespace LPC {

namespace {

float metresOf(const JVariant& centimetres) { return static_cast<float>(centimetres.toInt32() / 100.0); }

// Boundary point i stands for fixed point i on the outline of the unit square, walking from (0, 1)
// along the top to (1, 1), down the right side, back along the bottom and up the left side.
const uz::Vector2* normalizedOutline()
{
    static const uz::Vector2 points[PDBLinkConverter::kBoundaryPointNum] = {
        {0.0f, 1.0f},  {0.25f, 1.0f}, {0.5f, 1.0f},  {0.75f, 1.0f}, {1.0f, 1.0f},  {1.0f, 0.75f},
        {1.0f, 0.5f},  {1.0f, 0.25f}, {1.0f, 0.0f},  {0.75f, 0.0f}, {0.5f, 0.0f},  {0.25f, 0.0f},
        {0.0f, 0.0f},  {0.0f, 0.25f}, {0.0f, 0.5f},  {0.0f, 0.75f}};
    return points;
}

// Low, middle and high.
const float* normalizedHeights()
{
    static const float heights[PDBLinkConverter::kHeightNum] = {0.0f, 0.5f, 1.0f};
    return heights;
}

}  // namespace

PDBLinkConverter::PDBLinkConverter()
    : m_pBoundary(new (std::nothrow) uz::HorizontalConvertPair[kBoundaryPointNum]),
      m_pHeights(new (std::nothrow) uz::VerticalConvertPair[kHeightNum]),
      m_pCenter(new (std::nothrow) uz::HorizontalConvertPair)
{
}

// The converters go first: they borrow the pair blocks.
PDBLinkConverter::~PDBLinkConverter()
{
    m_pVertical.reset();
    m_pHorizontal.reset();
}

JLIB::JResult PDBLinkConverter::clear()
{
    m_pHorizontal.reset();
    m_pVertical.reset();
    m_pHorizontal.reset(new (std::nothrow) uz::HorizontalConverter);
    if (!m_pHorizontal) return kFailed;
    m_pVertical.reset(new (std::nothrow) uz::VerticalConverter);
    if (!m_pVertical) return kFailed;
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::setPointWidth(uint32_t index, const JVariant& x, const JVariant& y)
{
    if (index >= kBoundaryPointNum || !m_pBoundary) return kFailed;
    m_pBoundary[index].physical = uz::Vector2(metresOf(x), metresOf(y));
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::setPointCenter(const JVariant& x, const JVariant& y)
{
    if (!m_pCenter) return kFailed;
    m_pCenter->physical = uz::Vector2(metresOf(x), metresOf(y));
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::setPointHeight(uint32_t index, const JVariant& value)
{
    if (index >= kHeightNum || !m_pHeights) return kFailed;
    m_pHeights[index].physical = metresOf(value);
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::update() { return updateWidth() | updateHeight(); }

JLIB::JResult PDBLinkConverter::updateWidth()
{
    if (!m_pBoundary || !m_pHorizontal || !m_pCenter) return kFailed;
    const uz::Vector2* outline = normalizedOutline();
    for (uint32_t i = 0; i < kBoundaryPointNum; ++i) m_pBoundary[i].normalized = outline[i];
    // A converter that holds a pair already refuses it again.
    for (uint32_t i = 0; i < kBoundaryPointNum; ++i) (void)m_pHorizontal->AddConvertPair(&m_pBoundary[i]);
    m_pCenter->normalized = uz::Vector2(0.5f, 0.5f);
    m_pHorizontal->SetCenter(*m_pCenter);
    m_pHorizontal->WantUpdate();
    (void)m_pHorizontal->Update(false);  // wanted just above, so it rebuilds
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::updateHeight()
{
    if (!m_pHeights || !m_pVertical) return kFailed;
    const float* heights = normalizedHeights();
    for (uint32_t i = 0; i < kHeightNum; ++i) m_pHeights[i].normalized = heights[i];
    for (uint32_t i = 0; i < kHeightNum; ++i) (void)m_pVertical->AddConvertPair(&m_pHeights[i]);
    m_pVertical->WantUpdate();
    (void)m_pVertical->Update(false);
    return JLIB::kOk;
}

JLIB::JResult PDBLinkConverter::toPhysical_Horizontal(const uz::Vector2& normalized, uz::Vector2& physical) const
{
    return m_pHorizontal && m_pHorizontal->ConvertToPhysical(normalized, physical) ? JLIB::kOk : kFailed;
}

JLIB::JResult PDBLinkConverter::toNormalized_Horizontal(const uz::Vector2& physical, uz::Vector2& normalized) const
{
    return m_pHorizontal && m_pHorizontal->ConvertToNormalized(physical, normalized) ? JLIB::kOk : kFailed;
}

JLIB::JResult PDBLinkConverter::toPhysical_Vertical(float normalized, float& physical) const
{
    return m_pVertical && m_pVertical->ConvertToPhysical(normalized, physical) ? JLIB::kOk : kFailed;
}

JLIB::JResult PDBLinkConverter::toNormalized_Vertical(float physical, float& normalized) const
{
    return m_pVertical && m_pVertical->ConvertToNormalized(physical, normalized) ? JLIB::kOk : kFailed;
}

}  // namespace LPC
