#include "compiler_DspSystemDBConverter.h"

#include <nlohmann/json.hpp>

#include "internal/compiler_JsonDocument.h"
#include "jlib/jlib_cfg.h"

namespace Compiler {

namespace {

using json = nlohmann::json;

T_DSPSYSTEMDB_RESOURCE readResource(const json& entry)
{
    T_DSPSYSTEMDB_RESOURCE r;
    (void)getJsonValue(entry, "name", r.name, "");  // a member that does not convert keeps its default
    (void)getJsonValue(entry, "offset", r.offset, 0u);
    (void)getJsonValue(entry, "size", r.size, uint64_t{0});
    (void)getJsonValue(entry, "shared", r.shared, false);
    return r;
}

T_DSPSYSTEMDB_CORE readCore(const json& entry, size_t position)
{
    T_DSPSYSTEMDB_CORE core;
    core.coreNo = static_cast<uint32_t>(position);
    const json& resources = getJsonObject(entry, "resources");
    for (size_t i = 0; i < resources.size(); ++i) core.resources.push_back(readResource(getJsonObject(resources, i)));
    return core;
}

T_DSPSYSTEMDB_DSP readDsp(const json& entry, size_t position)
{
    T_DSPSYSTEMDB_DSP dsp;
    dsp.dspNo = static_cast<uint32_t>(position);
    (void)getJsonValue(entry, "name", dsp.name, "");  // as above
    const json& cores = getJsonObject(entry, "cores");
    for (size_t i = 0; i < cores.size(); ++i) dsp.cores.push_back(readCore(getJsonObject(cores, i), i));
    return dsp;
}

T_DSPSYSTEMDB_DSPSYSTEM readDspSystem(const json& entry)
{
    T_DSPSYSTEMDB_DSPSYSTEM system;
    (void)getJsonValue(entry, "name", system.name, "");  // as above
    (void)getJsonValue(entry, "fsHz", system.fsHz, 0u);
    (void)getJsonValue(entry, "numSamplePerFrame", system.numSamplePerFrame, 0u);
    const json& dsps = getJsonObject(entry, "dsps");
    for (size_t i = 0; i < dsps.size(); ++i) system.dsps.push_back(readDsp(getJsonObject(dsps, i), i));
    return system;
}

void read(const json& value, T_DSPSYSTEMDB& db)
{
    const json& root = getJsonTag(value, "dspSystemDB");
    if (root.is_null()) return;
    const json& systems = getJsonTag(root, "dspSystems");
    if (systems.is_null()) return;
    for (size_t i = 0; i < systems.size(); ++i) db.dspSystems.push_back(readDspSystem(getJsonObject(systems, i)));
}

void logUnknownException()
{
    JLIB_LOG("[E] compiler_DspSystemDBConverter: unknown exception occurred.\n");
}

}  // namespace

JLIB::JResult DspSystemDBConverter::fromJsonString(const std::string& text)
{
    m_db = parseJsonDocument<T_DSPSYSTEMDB>(text.c_str(), logUnknownException);
    return JLIB::kOk;
}

void from_json(const json& value, T_DSPSYSTEMDB& db)
{
    readJsonDocument(value, db, read, logUnknownException);
}

}  // namespace Compiler
