#pragma once
// Builders of the three compile input texts and a stdout catcher for the compiler tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace CompilerTest {

using nlohmann::json;

// Runs fn and answers what it wrote to standard output (debug print and log lines included).
inline std::string captureStdout(const std::function<void()>& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

// A component type that runs on DSP "DSP-A" needing the given resources there.
inline json componentType(const std::string& name, const std::vector<std::pair<std::string, uint32_t>>& needs,
                          const std::string& dspName = "DSP-A")
{
    json resources = json::array();
    for (const auto& [need, size] : needs) resources.push_back({{"name", need}, {"size", size}});
    return {{"name", name},
            {"majorVersion", 1},
            {"numX", 1},
            {"numY", 1},
            {"numInPort", 2},
            {"numOutPort", 2},
            {"dspResources",
             json::array({{{"dspName", dspName},
                           {"fsHz", 96000},
                           {"numSamplePerFrame", 32},
                           {"fixedDelay", 0},
                           {"resources", resources}}})}};
}

// A core holding the given (name, size) resources at base offset 0.
inline json core(const std::vector<std::pair<std::string, uint64_t>>& resources)
{
    json list = json::array();
    for (const auto& [name, size] : resources) {
        list.push_back({{"name", name}, {"offset", 0}, {"size", size}, {"shared", false}});
    }
    return {{"resources", list}};
}

inline json stepCores(int count, uint64_t stepSize)
{
    json cores = json::array();
    for (int i = 0; i < count; ++i) cores.push_back(core({{"step", stepSize}}));
    return cores;
}

// One configuration: system "OPV256-D" at 96000 Hz and 32 samples with one DSP "DSP-A".
struct Config {
    json types = json::array();
    json cores = stepCores(1, 333333);
    json instances = json::array();
    json connections = json::array();
    json logicConnections = json::array();
    uint32_t wantedFsHz = 96000;

    Config& type(const std::string& name, uint32_t step)
    {
        types.push_back(componentType(name, {{"step", step}}));
        return *this;
    }
    Config& instance(uint32_t uniqID, const std::string& name)
    {
        instances.push_back({{"uniqID", uniqID}, {"name", name}, {"majorVersion", 1}, {"numX", 1}, {"numY", 1}});
        return *this;
    }
    Config& connect(uint32_t from, uint32_t to)
    {
        connections.push_back({{"fromUniqID", from}, {"fromPortNo", 0}, {"toUniqID", to}, {"toPortNo", 0}});
        return *this;
    }

    std::string componentDB() const { return json{{"componentDB", {{"components", types}}}}.dump(); }
    std::string dspSystemDB() const
    {
        const json dsp = {{"name", "DSP-A"}, {"cores", cores}};
        const json system = {{"name", "OPV256-D"}, {"fsHz", 96000}, {"numSamplePerFrame", 32}, {"dsps", {dsp}}};
        return json{{"dspSystemDB", {{"dspSystems", {system}}}}}.dump();
    }
    std::string connectionDB() const
    {
        const json dspSystem = {{"name", "OPV256-D"},
                                {"fsHz", wantedFsHz},
                                {"numSamplePerFrame", 32},
                                {"renderSamples", 64},
                                {"delayCompensation", true}};
        return json{{"connectionDB",
                     {{"dspSystem", dspSystem},
                      {"components", instances},
                      {"connections", connections},
                      {"logicConnections", logicConnections}}}}
            .dump();
    }
};

}  // namespace CompilerTest
