#include "dravo_parseAudioConfigJSON.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "compiler/compiler_JsonNumber.h"
#include "dbgc/dbgc_stdapi.h"

namespace DRAVO {

namespace {

using json = nlohmann::json;

using Compiler::getJsonObject;

// The typed reads store the default when the member is missing or does not convert; their
// 0x80000000 then is of no interest to the reader.
template <class Unsigned>
void read(const json& object, const char* key, Unsigned& out, Unsigned def)
{
    if (!Compiler::toUnsigned(getJsonObject(object, key), out)) out = def;
}

void read(const json& object, const char* key, std::string& out)
{
    const json& m = getJsonObject(object, key);
    out = m.is_string() ? m.get_ref<const std::string&>() : std::string();
}

void read(const json& object, const char* key, bool& out)
{
    const json& m = getJsonObject(object, key);
    out = m.is_boolean() ? m.get<bool>() : false;
}

// The list member, or null after the debug print when it is missing.
const json& list(const json& root, const char* key)
{
    const json& l = getJsonObject(root, key);
    if (l.is_null()) (void)dbgPrintf("JSON: '%s' tag not found.\n", key);
    return l;
}

AudioConnection readConnection(const json& entry)
{
    AudioConnection c;
    read(entry, "fromUniqID", c.fromUniqID, 0u);
    read(entry, "fromPortNo", c.fromPortNo, 0u);
    read(entry, "toUniqID", c.toUniqID, 0u);
    read(entry, "toPortNo", c.toPortNo, 0u);
    return c;
}

void readParts(const json& value, AudioConfig& config)
{
    const json& root = getJsonObject(value, "compileResult");
    if (root.is_null()) {
        (void)dbgPrintf("JSON: 'compileResult' tag not found.\n");
        return;
    }
    const json& dsp = getJsonObject(root, "dspSystem");
    if (dsp.is_null()) {
        (void)dbgPrintf("JSON: 'dspSystem' tag not found.\n");
        return;
    }
    AudioConfigDspSystem& s = config.dspSystem;
    read(dsp, "name", s.name);
    read(dsp, "fsHz", s.fsHz, 0u);
    read(dsp, "numSamplePerFrame", s.numSamplePerFrame, 0u);
    read(dsp, "renderSamples", s.renderSamples, 0u);
    read(dsp, "delayCompensation", s.delayCompensation);
    read(dsp, "result", s.result, 0x80000000u);

    // A list counts its elements, an object its members, a single value 1.
    const json& components = list(root, "components");
    if (components.is_null()) return;
    for (size_t i = 0; i < components.size(); ++i) {
        const json& e = getJsonObject(components, i);
        AudioConfigComponent c;
        read(e, "uniqID", c.uniqID, 0u);
        read(e, "name", c.name);
        read(e, "majorVersion", c.majorVersion, 0u);
        read(e, "numX", c.numX, 0u);
        read(e, "numY", c.numY, 0u);
        config.components.push_back(std::move(c));
    }

    const json& connections = list(root, "connections");
    if (connections.is_null()) return;
    for (size_t i = 0; i < connections.size(); ++i) {
        config.connections.push_back(readConnection(getJsonObject(connections, i)));
    }

    const json& assignments = list(root, "dspAssignments");
    if (assignments.is_null()) return;
    for (size_t i = 0; i < assignments.size(); ++i) {
        const json& e = getJsonObject(assignments, i);
        AudioConfigDspAssignment a;
        read(e, "dspNo", a.dspNo, 0u);
        read(e, "coreNo", a.coreNo, 0u);
        read(e, "stepOffset", a.stepOffset, uint64_t{0});
        read(e, "stepSize", a.stepSize, 0u);
        read(e, "uniqID", a.uniqID, 0u);
        read(e, "preUniqID", a.preUniqID, 0u);
        config.dspAssignments.push_back(a);
    }

    // Missing, it only prints: null counts no elements.
    const json& logic = list(root, "logicConnections");
    for (size_t i = 0; i < logic.size(); ++i) {
        config.logicConnections.push_back(readConnection(getJsonObject(logic, i)));
    }
}

}  // namespace

AudioConfig parseAudioConfigJSON(const std::string& text)
{
    try {
        return json::parse(text).get<AudioConfig>();
    } catch (const json::exception& e) {
        std::printf("message: %s\nexception id: %d\n", e.what(), e.id);
    } catch (...) {
        (void)dbgPrintf("JSON: unknown exception occurred.\n");
    }
    return AudioConfig();
}

void from_json(const json& value, AudioConfig& config)
{
    config.clear();
    // Only an exhausted heap can throw here; the parts read so far stay.
    try {
        readParts(value, config);
    } catch (...) {
        (void)dbgPrintf("JSON: unknown exception occurred.\n");
    }
}

}  // namespace DRAVO
