#include "compiler_JsonNumber.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace Compiler {

namespace {

using json = nlohmann::json;

// Never written, so every thread may hand it out.
const json& nullJson()
{
    static const json s_null;
    return s_null;
}

// A plain static_cast of a negative or out-of-range number wraps, and of such a float is
// undefined: those are refused.
template <class Unsigned>
bool convertUnsigned(const json& v, Unsigned& out)
{
    constexpr uint64_t kMax = std::numeric_limits<Unsigned>::max();
    switch (v.type()) {
    case json::value_t::number_unsigned: {
        const uint64_t n = v.get<uint64_t>();
        if (n > kMax) return false;
        out = static_cast<Unsigned>(n);
        return true;
    }
    case json::value_t::number_integer: {
        const int64_t n = v.get<int64_t>();
        if (n < 0 || static_cast<uint64_t>(n) > kMax) return false;
        out = static_cast<Unsigned>(n);
        return true;
    }
    case json::value_t::number_float: {
        const double d = v.get<double>();
        // 2^bits as a double is exact; anything at or above it does not fit.
        const double limit = std::ldexp(1.0, std::numeric_limits<Unsigned>::digits);
        if (!(d >= 0.0) || d >= limit || std::floor(d) != d) return false;
        out = static_cast<Unsigned>(d);
        return true;
    }
    case json::value_t::boolean:
        out = v.get<bool>() ? 1 : 0;
        return true;
    default:
        return false;
    }
}

}  // namespace

const json& getJsonObject(const json& value, const char* key)
{
    if (!key || !value.is_object()) return nullJson();
    const auto it = value.find(key);
    return it == value.end() ? nullJson() : *it;
}

const json& getJsonObject(const json& value, size_t index)
{
    if (!value.is_array() || index >= value.size()) return nullJson();
    return value[index];
}

bool toUnsigned(const json& value, uint32_t& out)
{
    return convertUnsigned(value, out);
}

bool toUnsigned(const json& value, uint64_t& out)
{
    return convertUnsigned(value, out);
}

}  // namespace Compiler
