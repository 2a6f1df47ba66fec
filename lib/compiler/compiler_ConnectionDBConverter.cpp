#include "compiler_ConnectionDBConverter.h"

#include <set>
#include <tuple>

#include <nlohmann/json.hpp>

#include "internal/compiler_JsonDocument.h"
#include "jlib/jlib_cfg.h"

namespace Compiler {

namespace {

using json = nlohmann::json;

// Ordered field by field; std::string compares byte-wise as unsigned characters.
using ComponentKey = std::tuple<uint32_t, std::string, uint32_t, uint32_t, uint32_t>;
using ConnectionKey = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

ComponentKey readComponent(const json& entry)
{
    ComponentKey k;
    (void)getJsonValue(entry, "uniqID", std::get<0>(k), 0u);  // a member that does not convert keeps its default
    (void)getJsonValue(entry, "name", std::get<1>(k), "");
    (void)getJsonValue(entry, "majorVersion", std::get<2>(k), 0u);
    (void)getJsonValue(entry, "numX", std::get<3>(k), 0u);
    (void)getJsonValue(entry, "numY", std::get<4>(k), 0u);
    return k;
}

ConnectionKey readConnection(const json& entry)
{
    ConnectionKey k;
    (void)getJsonValue(entry, "fromUniqID", std::get<0>(k), 0u);  // as above
    (void)getJsonValue(entry, "fromPortNo", std::get<1>(k), 0u);
    (void)getJsonValue(entry, "toUniqID", std::get<2>(k), 0u);
    (void)getJsonValue(entry, "toPortNo", std::get<3>(k), 0u);
    return k;
}

// False (after the debug print) when the list is missing.
bool readConnections(const json& root, const char* key, std::set<ConnectionKey>& out)
{
    const json& list = getJsonTag(root, key);
    if (list.is_null()) return false;
    for (size_t i = 0; i < list.size(); ++i) out.insert(readConnection(getJsonObject(list, i)));
    return true;
}

std::vector<T_CONNECTIONDB_CONNECTION> toConnections(const std::set<ConnectionKey>& keys)
{
    std::vector<T_CONNECTIONDB_CONNECTION> out;
    out.reserve(keys.size());
    for (const ConnectionKey& k : keys) {
        out.push_back({std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k)});
    }
    return out;
}

void read(const json& value, T_CONNECTIONDB& db)
{
    const json& root = getJsonTag(value, "connectionDB");
    if (root.is_null()) return;
    const json& dsp = getJsonTag(root, "dspSystem");
    if (dsp.is_null()) return;
    (void)getJsonValue(dsp, "name", db.dspSystem.name, "");  // as above
    (void)getJsonValue(dsp, "fsHz", db.dspSystem.fsHz, 0u);
    (void)getJsonValue(dsp, "numSamplePerFrame", db.dspSystem.numSamplePerFrame, 0u);
    (void)getJsonValue(dsp, "renderSamples", db.dspSystem.renderSamples, 0u);
    (void)getJsonValue(dsp, "delayCompensation", db.dspSystem.delayCompensation, false);

    const json& components = getJsonTag(root, "components");
    if (components.is_null()) return;
    std::set<ComponentKey> componentKeys;
    for (size_t i = 0; i < components.size(); ++i) componentKeys.insert(readComponent(getJsonObject(components, i)));
    std::set<ConnectionKey> connectionKeys, logicKeys;
    if (!readConnections(root, "connections", connectionKeys)) return;
    if (!readConnections(root, "logicConnections", logicKeys)) return;

    db.components.reserve(componentKeys.size());
    for (const ComponentKey& k : componentKeys) {
        db.components.push_back({std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k), std::get<4>(k)});
    }
    db.connections = toConnections(connectionKeys);
    db.logicConnections = toConnections(logicKeys);
}

void logUnknownException()
{
    JLIB_LOG("[E] compiler_ConnectionDBConverter: unknown exception occurred.\n");
}

}  // namespace

JLIB::JResult ConnectionDBConverter::fromJsonString(const std::string& text)
{
    m_db = parseJsonDocument<T_CONNECTIONDB>(text.c_str(), logUnknownException);
    return JLIB::kOk;
}

void from_json(const json& value, T_CONNECTIONDB& db)
{
    readJsonDocument(value, db, read, logUnknownException);
}

}  // namespace Compiler
