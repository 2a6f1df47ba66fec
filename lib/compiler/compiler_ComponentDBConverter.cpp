#include "compiler_ComponentDBConverter.h"

#include <nlohmann/json.hpp>

#include "internal/compiler_JsonDocument.h"
#include "jlib/jlib_cfg.h"

namespace Compiler {

namespace {

using json = nlohmann::json;

T_COMPONENTDB_RESOURCE readResource(const json& entry)
{
    T_COMPONENTDB_RESOURCE r;
    (void)getJsonValue(entry, "name", r.name, "");  // a member that does not convert keeps its default
    (void)getJsonValue(entry, "size", r.size, 0u);
    return r;
}

T_COMPONENTDB_DSPRESOURCE readDspResource(const json& entry)
{
    T_COMPONENTDB_DSPRESOURCE d;
    (void)getJsonValue(entry, "dspName", d.dspName, "");  // as above
    (void)getJsonValue(entry, "fsHz", d.fsHz, 0u);
    (void)getJsonValue(entry, "numSamplePerFrame", d.numSamplePerFrame, 0u);
    (void)getJsonValue(entry, "fixedDelay", d.fixedDelay, 0u);
    // An absent list is null and counts 0; an object counts its members, a single value 1.
    const json& resources = getJsonObject(entry, "resources");
    for (size_t i = 0; i < resources.size(); ++i) d.resources.push_back(readResource(getJsonObject(resources, i)));
    return d;
}

T_COMPONENTDB_COMPONENT readComponent(const json& entry)
{
    T_COMPONENTDB_COMPONENT c;
    (void)getJsonValue(entry, "name", c.name, "");  // as above
    (void)getJsonValue(entry, "majorVersion", c.majorVersion, 0u);
    (void)getJsonValue(entry, "numX", c.numX, 0u);
    (void)getJsonValue(entry, "numY", c.numY, 0u);
    (void)getJsonValue(entry, "numInPort", c.numInPort, 0u);
    (void)getJsonValue(entry, "numOutPort", c.numOutPort, 0u);
    const json& dspResources = getJsonObject(entry, "dspResources");
    for (size_t i = 0; i < dspResources.size(); ++i) {
        c.dspResources.push_back(readDspResource(getJsonObject(dspResources, i)));
    }
    return c;
}

void read(const json& value, T_COMPONENTDB& db)
{
    const json& root = getJsonTag(value, "componentDB");
    if (root.is_null()) return;
    const json& components = getJsonTag(root, "components");
    if (components.is_null()) return;
    for (size_t i = 0; i < components.size(); ++i) db.components.push_back(readComponent(getJsonObject(components, i)));
}

void logUnknownException()
{
    JLIB_LOG("[E] compiler_ComponentDBConverter: unknown exception occurred.\n");
}

}  // namespace

JLIB::JResult ComponentDBConverter::fromJsonString(const std::string& text)
{
    m_db = parseJsonDocument<T_COMPONENTDB>(text.c_str(), logUnknownException);
    return JLIB::kOk;
}

void from_json(const json& value, T_COMPONENTDB& db)
{
    readJsonDocument(value, db, read, logUnknownException);
}

}  // namespace Compiler
