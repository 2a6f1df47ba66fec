#include "compiler_CompileResultConverter.h"

#include <set>
#include <tuple>

#include <nlohmann/json.hpp>

#include "compiler_resultCodes.h"
#include "jlib/jlib_cfg.h"

namespace Compiler {

namespace {

using json = nlohmann::json;

// Ordered field by field, so the written lists come out sorted and without repeats.
using ComponentKey = std::tuple<uint32_t, std::string, uint32_t, uint32_t, uint32_t>;
using ConnectionKey = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;
// dspNo, coreNo, stepOffset, stepSize, uniqID, preUniqID.
using AssignmentKey = std::tuple<uint32_t, uint32_t, uint64_t, uint32_t, uint32_t, uint32_t>;

json connectionList(const std::vector<T_COMPILERESULT_CONNECTION>& connections)
{
    std::set<ConnectionKey> keys;
    for (const T_COMPILERESULT_CONNECTION& c : connections) {
        keys.emplace(c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo);
    }
    json list = json::array();
    for (const ConnectionKey& k : keys) {
        list.push_back({{"fromUniqID", std::get<0>(k)},
                        {"fromPortNo", std::get<1>(k)},
                        {"toUniqID", std::get<2>(k)},
                        {"toPortNo", std::get<3>(k)}});
    }
    return list;
}

json componentList(const std::vector<T_COMPILERESULT_COMPONENT>& components)
{
    std::set<ComponentKey> keys;
    for (const T_COMPILERESULT_COMPONENT& c : components) keys.emplace(c.uniqID, c.name, c.majorVersion, c.numX, c.numY);
    json list = json::array();
    for (const ComponentKey& k : keys) {
        list.push_back({{"uniqID", std::get<0>(k)},
                        {"name", std::get<1>(k)},
                        {"majorVersion", std::get<2>(k)},
                        {"numX", std::get<3>(k)},
                        {"numY", std::get<4>(k)}});
    }
    return list;
}

AssignmentKey assignmentKey(const T_COMPILERESULT_DSPASSIGNMENT& a)
{
    uint64_t stepOffset = 0;
    uint32_t stepSize = 0;
    for (const T_COMPILERESULT_RESOURCE& r : a.resources) {
        if (r.name == kStepResourceName) {
            stepOffset = r.offset;
            stepSize = r.size;
            break;
        }
    }
    return {a.dspNo, a.coreNo, stepOffset, stepSize, a.uniqID, a.preUniqID};
}

json assignmentList(const std::vector<T_COMPILERESULT_DSPASSIGNMENT>& assignments)
{
    std::set<AssignmentKey> keys;
    for (const T_COMPILERESULT_DSPASSIGNMENT& a : assignments) keys.insert(assignmentKey(a));
    json list = json::array();
    for (const AssignmentKey& k : keys) {
        list.push_back({{"dspNo", std::get<0>(k)},
                        {"coreNo", std::get<1>(k)},
                        {"stepOffset", std::get<2>(k)},
                        {"stepSize", std::get<3>(k)},
                        {"uniqID", std::get<4>(k)},
                        {"preUniqID", std::get<5>(k)}});
    }
    return list;
}

json document(const T_COMPILERESULT& r)
{
    json result = json::object();
    result["dspSystem"] = {{"name", r.dspSystem.name},
                           {"fsHz", r.dspSystem.fsHz},
                           {"numSamplePerFrame", r.dspSystem.numSamplePerFrame},
                           {"renderSamples", r.dspSystem.renderSamples},
                           {"delayCompensation", r.dspSystem.delayCompensation},
                           {"result", r.dspSystem.result}};
    result["components"] = componentList(r.components);
    result["connections"] = connectionList(r.connections);
    result["dspAssignments"] = assignmentList(r.dspAssignments);
    result["logicConnections"] = connectionList(r.logicConnections);
    json root = json::object();
    root["compileResult"] = std::move(result);
    return root;
}

}  // namespace

JLIB::JResult CompileResultConverter::setCompileResult(const T_COMPILERESULT& result)
{
    m_result = result;
    return JLIB::kOk;
}

JLIB::JResult CompileResultConverter::toJsonString(std::string& text) const
{
    text.clear();
    if (m_result.dspSystem.name.empty()) return JLIB::kFailed;
    try {
        // Indent 2, texts outside ASCII as they are; a text that is not UTF-8 throws.
        text = document(m_result).dump(2, ' ', false);
    } catch (const json::exception& e) {
        JLIB_LOG("[E] CompileResultConverter::toJsonString - %s\n", e.what());
        text.clear();
        return JLIB::kFailed;
    } catch (...) {
        JLIB_LOG("[E] compiler_CompileResultConverter: unknown exception occurred.\n");
        text.clear();
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

}  // namespace Compiler
