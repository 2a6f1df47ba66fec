#include "common/Lpc/CoordinateConverter.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "common/Lpc/internal/uzFanKey.h"

namespace uz {

namespace {

// Piecewise linear between the pairs, clamped at both ends; key and value pick the pair members.
template <typename Key, typename Value>
float interpolate(const std::vector<VerticalConvertPair*>& pairs, float h, Key key, Value value)
{
    const size_t n = pairs.size();
    if (key(*pairs.front()) >= h) return value(*pairs.front());
    if (h >= key(*pairs.back())) return value(*pairs.back());
    for (size_t i = 0; i + 1 < n; ++i) {
        const VerticalConvertPair& lo = *pairs[i];
        const VerticalConvertPair& hi = *pairs[i + 1];
        if (!(key(hi) > h)) continue;
        if (key(lo) == key(hi)) return value(hi);
        return (value(hi) - value(lo)) * (h - key(lo)) / (key(hi) - key(lo)) + value(lo);
    }
    // Only a NaN gets here (no interval holds it); it stays NaN for the caller to refuse.
    return std::numeric_limits<float>::quiet_NaN();
}

float normalizedOf(const VerticalConvertPair& p) { return p.normalized; }
float physicalOf(const VerticalConvertPair& p) { return p.physical; }

template <typename T>
bool addOnce(std::vector<T*>& pairs, T* pair)
{
    if (std::find(pairs.begin(), pairs.end(), pair) != pairs.end()) return false;
    pairs.push_back(pair);
    return true;
}

template <typename T>
bool removeAll(std::vector<T*>& pairs, T* pair)
{
    const auto end = std::remove(pairs.begin(), pairs.end(), pair);
    const bool removed = end != pairs.end();
    pairs.erase(end, pairs.end());
    return removed;
}

}  // namespace

bool HorizontalConverter::AddConvertPair(HorizontalConvertPair* pair) { return addOnce(m_pairs, pair); }

bool HorizontalConverter::RemoveConvertPair(HorizontalConvertPair* pair) { return removeAll(m_pairs, pair); }

void HorizontalConverter::SetCenter(const HorizontalConvertPair& center)
{
    m_normalizedCenter = center.normalized;
    m_physicalCenter = center.physical;
}

bool HorizontalConverter::Update(bool force)
{
    const bool rebuild = force || m_wantUpdate;
    m_wantUpdate = false;
    if (!rebuild) return false;
    m_toPhysical.clear();
    m_toNormalized.clear();

    const size_t n = m_pairs.size();
    std::vector<float> keys(n);
    for (size_t i = 0; i < n; ++i) keys[i] = internal::FanKey(m_pairs[i]->normalized, m_normalizedCenter);
    // Bubble sort: swaps only on a strictly greater left key, so equal keys keep their order.
    for (size_t pass = 0; pass + 1 < n; ++pass) {
        for (size_t i = 0; i + 1 < n - pass; ++i) {
            if (keys[i] > keys[i + 1]) {
                std::swap(keys[i], keys[i + 1]);
                std::swap(m_pairs[i], m_pairs[i + 1]);
            }
        }
    }

    if (n > 2) {
        m_toPhysical.reserve(n);
        m_toNormalized.reserve(n);
        for (size_t j = 0; j < n; ++j) {
            const HorizontalConvertPair& a = *m_pairs[j];
            const HorizontalConvertPair& b = *m_pairs[j + 1 == n ? 0 : j + 1];
            const Triangle2D normalized(m_normalizedCenter, a.normalized, b.normalized);
            const Triangle2D physical(m_physicalCenter, a.physical, b.physical);
            m_toPhysical.emplace_back().SetAffineTransformer(normalized, physical);
            m_toNormalized.emplace_back().SetAffineTransformer(physical, normalized);
        }
    }
    return true;
}

bool HorizontalConverter::convert(const std::vector<AffineTransformer>& fan, const Vector2& in, Vector2& out)
{
    bool found = false;
    for (const AffineTransformer& t : fan) {
        if (!t.GetActiveArea().IsInsideAngle(in)) continue;
        out = t.Transform(in);
        found = true;
    }
    return found;
}

bool HorizontalConverter::ConvertToPhysical(const Vector2& normalized, Vector2& physical) const
{
    return convert(m_toPhysical, normalized, physical);
}

bool HorizontalConverter::ConvertToNormalized(const Vector2& physical, Vector2& normalized) const
{
    return convert(m_toNormalized, physical, normalized);
}

bool VerticalConverter::AddConvertPair(VerticalConvertPair* pair) { return addOnce(m_pairs, pair); }

bool VerticalConverter::RemoveConvertPair(VerticalConvertPair* pair) { return removeAll(m_pairs, pair); }

bool VerticalConverter::Update(bool force)
{
    const bool rebuild = force || m_wantUpdate;
    m_wantUpdate = false;
    if (!rebuild) return false;
    const size_t n = m_pairs.size();
    for (size_t pass = 0; pass + 1 < n; ++pass) {
        for (size_t i = 0; i + 1 < n - pass; ++i) {
            const VerticalConvertPair& l = *m_pairs[i];
            const VerticalConvertPair& r = *m_pairs[i + 1];
            if (l.normalized > r.normalized || (l.normalized == r.normalized && l.physical > r.physical)) {
                std::swap(m_pairs[i], m_pairs[i + 1]);
            }
        }
    }
    return true;
}

bool VerticalConverter::ConvertToPhysical(float normalized, float& physical) const
{
    if (m_pairs.empty()) return false;
    physical = interpolate(m_pairs, normalized, normalizedOf, physicalOf);
    return true;
}

bool VerticalConverter::ConvertToNormalized(float physical, float& normalized) const
{
    if (m_pairs.empty()) return false;
    normalized = interpolate(m_pairs, physical, physicalOf, normalizedOf);
    return true;
}

}  // namespace uz
