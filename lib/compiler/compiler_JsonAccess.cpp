#include "internal/compiler_JsonAccess.h"

#include <cmath>
#include <cstdio>
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
// undefined: those take the default.
template <class Unsigned>
bool toUnsigned(const json& v, Unsigned& out)
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

template <class Unsigned>
JLIB::JResult readUnsigned(const json& value, const char* key, Unsigned& out, Unsigned def)
{
    const json& member = getJsonObject(value, key);
    if (member.is_null() || !toUnsigned(member, out)) {
        out = def;
        return JLIB::kFailed;
    }
    return JLIB::kOk;
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

JLIB::JResult getJsonValue(const json& value, const char* key, std::string& out, const char* def)
{
    const json& member = getJsonObject(value, key);
    if (!member.is_string()) {
        out = def ? def : "";
        return JLIB::kFailed;
    }
    out = member.get_ref<const std::string&>();
    return JLIB::kOk;
}

JLIB::JResult getJsonValue(const json& value, const char* key, uint32_t& out, uint32_t def)
{
    return readUnsigned(value, key, out, def);
}

JLIB::JResult getJsonValue(const json& value, const char* key, uint64_t& out, uint64_t def)
{
    return readUnsigned(value, key, out, def);
}

JLIB::JResult getJsonValue(const json& value, const char* key, bool& out, bool def)
{
    const json& member = getJsonObject(value, key);
    if (!member.is_boolean()) {
        out = def;
        return JLIB::kFailed;
    }
    out = member.get<bool>();
    return JLIB::kOk;
}

void printJsonException(const char* message, int id)
{
    std::printf("message: %s\nexception id: %d\n", message ? message : "", id);
}

}  // namespace Compiler
