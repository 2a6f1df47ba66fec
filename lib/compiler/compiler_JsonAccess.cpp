#include "internal/compiler_JsonAccess.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "dbgc/dbgc_stdapi.h"

namespace Compiler {

namespace {

using json = nlohmann::json;

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

const json& getJsonTag(const json& value, const char* key)
{
    const json& member = getJsonObject(value, key);
    if (member.is_null()) (void)dbgPrintf("JSON: '%s' tag not found.\n", key);
    return member;
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
