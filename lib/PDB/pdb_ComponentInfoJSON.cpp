#include "pdb_ComponentInfoJSON.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "jlib/jlib_cfg.h"
#include "pdb_ParameterAttr.h"

namespace PDB {

namespace {

using nlohmann::json;

// Result of an add for a type text that is none of the ten.
constexpr JLIB::JResult kUnknownType = 0x80020000u;

const json& nullJson()
{
    static const json s_null;
    return s_null;
}

// Number texts follow the C library's decimal conversions: leading white space and a sign are
// taken, the number ends at the first character that cannot continue it. No number at all, or
// one beyond the converter's range, fails.
bool toUnsigned(const std::string& text, uint64_t& out)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(start, &end, 10);
    if (end == start || errno == ERANGE) return false;
    out = v;
    return true;
}

bool toSigned(const std::string& text, int64_t& out)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(start, &end, 10);
    if (end == start || errno == ERANGE) return false;
    out = v;
    return true;
}

bool toFloat(const std::string& text, float& out)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(start, &end);
    if (end == start || errno == ERANGE) return false;
    out = v;
    return true;
}

// A JSON number as an unsigned 32-bit value; false for a fraction, a negative value or one
// beyond 32 bits, which a plain conversion would turn into garbage.
bool numberToUInt32(const json& v, uint32_t& out)
{
    if (const auto* u = v.get_ptr<const json::number_unsigned_t*>()) {
        if (*u > 0xFFFFFFFFu) return false;
        out = static_cast<uint32_t>(*u);
        return true;
    }
    if (const auto* i = v.get_ptr<const json::number_integer_t*>()) {
        if (*i < 0 || *i > 0xFFFFFFFF) return false;
        out = static_cast<uint32_t>(*i);
        return true;
    }
    if (const auto* f = v.get_ptr<const json::number_float_t*>()) {
        if (!std::isfinite(*f) || *f < 0.0 || *f > 4294967295.0 || std::trunc(*f) != *f) return false;
        out = static_cast<uint32_t>(*f);
        return true;
    }
    return false;
}

// What one parameter element came to.
enum class ParamOutcome { Handled, ConversionFailed };

struct ParamTexts {
    std::string address;
    std::string type;
    std::string patternX;
    std::string patternY;
    std::string commentX;
    std::string commentY;
    std::string min;
    std::string max;
    std::string def;
    std::string nominal;
    std::string step;
    uint32_t scaling = 1;
    std::string unit;
    std::string kind;
    std::string defUI;
    ParamAttr attr;
};

ParamTexts readParamTexts(const json& p)
{
    ParamTexts t;
    (void)getJsonValue(p, "strAddress", t.address, "");  // a missing key takes its default
    (void)getJsonValue(p, "type", t.type, "");
    (void)getJsonValue(p, "patternX", t.patternX, "1");
    (void)getJsonValue(p, "patternY", t.patternY, "1");
    (void)getJsonValue(p, "commentX", t.commentX, "");
    (void)getJsonValue(p, "commentY", t.commentY, "");
    (void)getJsonValue(p, "min", t.min, "0");
    (void)getJsonValue(p, "max", t.max, "0");
    (void)getJsonValue(p, "def", t.def, "0");
    (void)getJsonValue(p, "nominal", t.nominal, "");
    (void)getJsonValue(p, "step", t.step, "1");
    (void)getJsonValue(p, "scaling", t.scaling, 1u);
    (void)getJsonValue(p, "unit", t.unit, "");
    (void)getJsonValue(p, "kind", t.kind, "");
    (void)getJsonValue(p, "defUI", t.defUI, "");
    if (t.nominal.empty()) t.nominal = t.min;

    const json& a = getJsonObject(p, "attr");
    uint8_t recallable = 1, nonvolatile = 1, syncable = 1, noeditflag = 1, isPrivate = 0;
    (void)getJsonValue(a, "recallable", recallable, 1);
    (void)getJsonValue(a, "nonvolatile", nonvolatile, 1);
    (void)getJsonValue(a, "syncable", syncable, 1);
    (void)getJsonValue(a, "noeditflag", noeditflag, 1);
    (void)getJsonValue(a, "private", isPrivate, 0);
    uint8_t flags = 0;
    if (recallable) flags |= ParamAttr::kRecallable;
    if (nonvolatile) flags |= ParamAttr::kNonVolatile;
    if (syncable) flags |= ParamAttr::kSyncable;
    if (noeditflag) flags |= ParamAttr::kNoEditMark;
    if (isPrivate) flags |= ParamAttr::kPrivate;
    (void)t.attr.set(0, flags);  // always 0
    return t;
}

// The five values of an integer type, cut to the type's width without clamping.
template <typename T, typename Wide, bool (*Convert)(const std::string&, Wide&)>
bool integerValues(const ParamTexts& t, T& min, T& max, T& def, T& nominal, uint32_t& step)
{
    Wide v[5] = {};
    const std::string* texts[5] = {&t.min, &t.max, &t.def, &t.nominal, &t.step};
    for (int i = 0; i < 5; ++i) {
        if (!Convert(*texts[i], v[i])) return false;
    }
    min = static_cast<T>(v[0]);
    max = static_cast<T>(v[1]);
    def = static_cast<T>(v[2]);
    nominal = static_cast<T>(v[3]);
    step = static_cast<uint32_t>(v[4]);
    return true;
}

template <typename T>
bool unsignedValues(const ParamTexts& t, T& min, T& max, T& def, T& nominal, uint32_t& step)
{
    return integerValues<T, uint64_t, toUnsigned>(t, min, max, def, nominal, step);
}

template <typename T>
bool signedValues(const ParamTexts& t, T& min, T& max, T& def, T& nominal, uint32_t& step)
{
    return integerValues<T, int64_t, toSigned>(t, min, max, def, nominal, step);
}

// Adds the parameter of one element; refusals are logged here, a failed conversion is left to
// the caller, which ends the decoding.
ParamOutcome addParameter(ComponentInfo& info, const json& p)
{
    const ParamTexts t = readParamTexts(p);
    const char* a = t.address.c_str();
    const char* cx = t.commentX.c_str();
    const char* cy = t.commentY.c_str();
    const char* unit = t.unit.c_str();
    const char* kind = t.kind.c_str();
    const char* defUI = t.defUI.c_str();

    JLIB::JResult result = kUnknownType;
    const std::string& type = t.type;
    const bool known = type == "UINT32" || type == "UINT16" || type == "UINT8" || type == "SINT32" ||
                       type == "SINT16" || type == "SINT8" || type == "FLOAT" || type == "BOOL" ||
                       type == "STRING" || type == "BINARY";
    if (known) {
        bool okX = false;
        bool okY = false;
        const uint32_t px = getNumPattern(t.patternX, &okX);
        const uint32_t py = getNumPattern(t.patternY, &okY);
        if (!okX || !okY) return ParamOutcome::ConversionFailed;
        uint32_t step = 0;
        if (type == "UINT32") {
            uint32_t v[4];
            if (!unsignedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressUINT32(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                           kind, defUI);
        } else if (type == "UINT16") {
            uint16_t v[4];
            if (!unsignedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressUINT16(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                           kind, defUI);
        } else if (type == "UINT8") {
            uint8_t v[4];
            if (!unsignedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressUINT8(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                          kind, defUI);
        } else if (type == "SINT32") {
            int32_t v[4];
            if (!signedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressSINT32(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                           kind, defUI);
        } else if (type == "SINT16") {
            int16_t v[4];
            if (!signedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressSINT16(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                           kind, defUI);
        } else if (type == "SINT8") {
            int8_t v[4];
            if (!signedValues(t, v[0], v[1], v[2], v[3], step)) return ParamOutcome::ConversionFailed;
            result = info.addAddressSINT8(a, px, py, cx, cy, v[0], v[1], v[2], v[3], step, t.scaling, t.attr, unit,
                                          kind, defUI);
        } else if (type == "FLOAT") {
            float v[5];
            if (!toFloat(t.min, v[0]) || !toFloat(t.max, v[1]) || !toFloat(t.def, v[2]) ||
                !toFloat(t.nominal, v[3]) || !toFloat(t.step, v[4])) {
                return ParamOutcome::ConversionFailed;
            }
            result = info.addAddressFLOAT(a, px, py, cx, cy, v[0], v[1], v[2], v[3], v[4], t.scaling, t.attr, unit,
                                          kind, defUI);
        } else if (type == "BOOL") {
            uint64_t v[3];
            if (!toUnsigned(t.min, v[0]) || !toUnsigned(t.max, v[1]) || !toUnsigned(t.def, v[2])) {
                return ParamOutcome::ConversionFailed;
            }
            result = info.addAddressBOOL(a, px, py, cx, cy, v[0] != 0, v[1] != 0, v[2] != 0, t.attr, unit, kind,
                                         defUI);
        } else {
            uint64_t size = 0;
            if (!toUnsigned(t.max, size)) return ParamOutcome::ConversionFailed;
            if (size > 0xFFFFFFFFu) {
                // Cutting the size to 32 bits would give an unrelated element size.
                result = JLIB::kInvalidArgument;
            } else if (type == "STRING") {
                result = info.addAddressSTRING(a, px, py, cx, cy, static_cast<uint32_t>(size), t.def.c_str(), t.attr,
                                               unit, kind, defUI);
            } else {
                result = info.addAddressBINARY(a, px, py, cx, cy, static_cast<uint32_t>(size), t.attr, unit, kind,
                                               defUI);
            }
        }
    }
    if (JLIB::isFailure(result)) {
        JLIB_LOG("[E] JSON: couldn't add the address [%s]. err=%08x\n", a, result);
    }
    return ParamOutcome::Handled;
}

void decode(const json& value, ComponentInfo& info)
{
    (void)info.clear();  // always 0
    const json& component = getJsonObject(value, "component");
    if (component.is_null()) {
        JLIB_LOG("[E] JSON: 'component' tag not found.\n");
        return;
    }
    std::string name, commentX, commentY;
    uint32_t version = 0, minX = 1, minY = 1, maxX = 1, maxY = 1;
    (void)getJsonValue(component, "name", name, "");  // a missing key takes its default
    (void)getJsonValue(component, "majorVer", version, 0u);
    (void)getJsonValue(component, "minX", minX, 1u);
    (void)getJsonValue(component, "minY", minY, 1u);
    (void)getJsonValue(component, "maxX", maxX, 1u);
    (void)getJsonValue(component, "maxY", maxY, 1u);
    (void)getJsonValue(component, "commentX", commentX, "");
    (void)getJsonValue(component, "commentY", commentY, "");
    if (JLIB::isFailure(info.initialize(name.c_str(), version, minX, minY, maxX, maxY, commentX.c_str(),
                                        commentY.c_str(), nullptr))) {
        JLIB_LOG("[E] JSON: 'componentInfo' decode error.\n");
        return;
    }
    const json& params = getJsonObject(component, "parameters");
    if (params.is_null()) {
        JLIB_LOG("[E] JSON: 'parameters' tag not found.\n");
        return;
    }
    // An array counts its elements, an object its members, any other value 1.
    const size_t count = params.size();
    for (size_t i = 0; i < count; ++i) {
        if (addParameter(info, getJsonObject(params, static_cast<uint32_t>(i))) == ParamOutcome::ConversionFailed) {
            JLIB_LOG("[E] JSON: unknown exception occurred.\n");
            return;
        }
    }
}

}  // namespace

ComponentInfo parseComponentInfoJSON(const char* text)
{
    if (!text) {
        JLIB_LOG("[E] JSON: unknown exception occurred.\n");
        return ComponentInfo();
    }
    try {
        const json value = json::parse(text);
        ComponentInfo info;
        from_json(value, info);
        return info;
    } catch (const json::exception& e) {
        std::printf("message: %s\nexception id: %d\n", e.what(), e.id);
    } catch (...) {
        JLIB_LOG("[E] JSON: unknown exception occurred.\n");
    }
    return ComponentInfo();
}

void from_json(const nlohmann::json& value, ComponentInfo& info)
{
    // Nothing may escape into the JSON library's caller: what was decoded stays.
    try {
        decode(value, info);
    } catch (...) {
        JLIB_LOG("[E] JSON: unknown exception occurred.\n");
    }
}

const nlohmann::json& getJsonObject(const nlohmann::json& value, const char* key)
{
    if (!key || !value.is_object()) return nullJson();
    const auto it = value.find(key);
    return it == value.end() ? nullJson() : *it;
}

const nlohmann::json& getJsonObject(const nlohmann::json& value, uint32_t index)
{
    if (!value.is_array() || index >= value.size()) return nullJson();
    return value[index];
}

JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, std::string& out, const char* def)
{
    const json& member = getJsonObject(value, key);
    if (const auto* text = member.get_ptr<const json::string_t*>()) {
        out = *text;
        return JLIB::kOk;
    }
    out = def ? def : "";
    return JLIB::kFailed;
}

JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint32_t& out, uint32_t def)
{
    const json& member = getJsonObject(value, key);
    if (const auto* flag = member.get_ptr<const json::boolean_t*>()) {
        out = *flag ? 1 : 0;
        return JLIB::kOk;
    }
    if (member.is_number()) {
        if (numberToUInt32(member, out)) return JLIB::kOk;
        JLIB_LOG("[E] JSON: '%s' is not a whole number in range, default used.\n", key);
    }
    out = def;
    return JLIB::kFailed;
}

JLIB::JResult getJsonValue(const nlohmann::json& value, const char* key, uint8_t& out, uint8_t def)
{
    const json& member = getJsonObject(value, key);
    if (const auto* flag = member.get_ptr<const json::boolean_t*>()) {
        out = *flag ? 1 : 0;
        return JLIB::kOk;
    }
    // Integers keep their low 8 bits, whatever their sign or width.
    if (const auto* u = member.get_ptr<const json::number_unsigned_t*>()) {
        out = static_cast<uint8_t>(*u);
        return JLIB::kOk;
    }
    if (const auto* i = member.get_ptr<const json::number_integer_t*>()) {
        out = static_cast<uint8_t>(*i);
        return JLIB::kOk;
    }
    if (member.is_number()) {
        uint32_t whole = 0;
        if (numberToUInt32(member, whole)) {
            out = static_cast<uint8_t>(whole);
            return JLIB::kOk;
        }
        JLIB_LOG("[E] JSON: '%s' is not a whole number in range, default used.\n", key);
    }
    out = def;
    return JLIB::kFailed;
}

uint32_t getNumPattern(const std::string& text, bool* ok)
{
    if (ok) *ok = false;
    if (text.empty()) {
        if (ok) *ok = true;
        return 1;
    }
    uint32_t rule = 0;
    std::string digits = text;
    if (text[0] == '*') {
        rule = 0x10000000u;
        digits = text.substr(1);
    } else if (text[0] == '/') {
        rule = 0x20000000u;
        digits = text.substr(1);
    }
    uint64_t n = 0;
    // N lives in the low 16 bits: a larger one would change the rule.
    if (!toUnsigned(digits, n) || n > 0xFFFFu) return 0;
    if (n == 0) n = 1;
    if (ok) *ok = true;
    return rule + static_cast<uint32_t>(n);
}

}  // namespace PDB
