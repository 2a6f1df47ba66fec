#pragma once
// Conversion between normalised and physical positions of one space: horizontally by a fan of
// triangles around the centre, vertically piecewise linear between height pairs. The converters
// borrow their pairs: the owner keeps them alive as long as the converter exists, and changes to
// them take effect at the next rebuild only. No locks, one user at a time.
#include <vector>

#include "common/Lpc/AffineTransformer.h"

namespace uz {

struct HorizontalConvertPair {
    Vector2 normalized;
    Vector2 physical;
};

struct VerticalConvertPair {
    float normalized = 0.0f;
    float physical = 0.0f;
};

class HorizontalConverter {
public:
    HorizontalConverter() = default;
    HorizontalConverter(const HorizontalConverter&) = delete;
    HorizontalConverter& operator=(const HorizontalConverter&) = delete;

    // False, and nothing added, when this very pair (by address) is held already.
    bool AddConvertPair(HorizontalConvertPair* pair);
    // Removes every occurrence; true when there was one.
    bool RemoveConvertPair(HorizontalConvertPair* pair);
    void SetCenter(const HorizontalConvertPair& center);
    void WantUpdate() { m_wantUpdate = true; }
    // Rebuilds the fan when forced or wanted (the pair list is left in fan order); clears the wish;
    // true when it rebuilt. With two pairs or fewer the fan stays empty.
    bool Update(bool force);

    // True with the output written when a triangle's angle holds the point; the last such triangle
    // in fan order decides. False with the output untouched otherwise.
    bool ConvertToPhysical(const Vector2& normalized, Vector2& physical) const;
    bool ConvertToNormalized(const Vector2& physical, Vector2& normalized) const;

private:
    static bool convert(const std::vector<AffineTransformer>& fan, const Vector2& in, Vector2& out);

    std::vector<HorizontalConvertPair*> m_pairs;  // borrowed, see above
    std::vector<AffineTransformer> m_toNormalized;
    std::vector<AffineTransformer> m_toPhysical;
    Vector2 m_normalizedCenter = kZeroVector2;
    Vector2 m_physicalCenter = kZeroVector2;
    bool m_wantUpdate = false;
};

class VerticalConverter {
public:
    VerticalConverter() = default;
    VerticalConverter(const VerticalConverter&) = delete;
    VerticalConverter& operator=(const VerticalConverter&) = delete;

    bool AddConvertPair(VerticalConvertPair* pair);
    bool RemoveConvertPair(VerticalConvertPair* pair);
    void WantUpdate() { m_wantUpdate = true; }
    // Sorts the pairs by normalised height (ties by physical height) when forced or wanted.
    bool Update(bool force);

    // False with the output untouched when there are no pairs. Inputs beyond the end keys clamp
    // to the end values. The way back assumes the physical heights ascend with the normalised ones.
    bool ConvertToPhysical(float normalized, float& physical) const;
    bool ConvertToNormalized(float physical, float& normalized) const;

private:
    std::vector<VerticalConvertPair*> m_pairs;  // borrowed, see above
    bool m_wantUpdate = false;
};

}  // namespace uz
