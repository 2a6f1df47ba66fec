// Cost of one compile of 100, 500 and 1000 component instances, as a chain (each feeds the next)
// and as an unconnected set on four cores, against a baseline in the same run that only parses
// the three input texts and prints a result document of the same size with the JSON library.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "compiler/compiler_CompilerForNativeCPU.h"

namespace {

using nlohmann::json;

struct Inputs {
    std::string componentDB, connectionDB, dspSystemDB;
};

Inputs makeInputs(int count, bool chained)
{
    const json resources = json::array({{{"name", "step"}, {"size", 100}}, {{"name", "mem"}, {"size", 16}}});
    const json type = {{"name", "Gain"},
                       {"majorVersion", 1},
                       {"numX", 1},
                       {"numY", 1},
                       {"numInPort", 1},
                       {"numOutPort", 1},
                       {"dspResources",
                        json::array({{{"dspName", "DSP-A"},
                                      {"fsHz", 96000},
                                      {"numSamplePerFrame", 32},
                                      {"fixedDelay", 0},
                                      {"resources", resources}}})}};
    json instances = json::array(), connections = json::array();
    for (int i = 1; i <= count; ++i) {
        instances.push_back({{"uniqID", i}, {"name", "Gain"}, {"majorVersion", 1}, {"numX", 1}, {"numY", 1}});
        if (chained && i > 1) {
            connections.push_back({{"fromUniqID", i - 1}, {"fromPortNo", 0}, {"toUniqID", i}, {"toPortNo", 0}});
        }
    }
    json cores = json::array();
    for (int c = 0; c < 4; ++c) {
        cores.push_back({{"resources",
                          json::array({{{"name", "step"}, {"offset", 0}, {"size", 333333}, {"shared", false}},
                                       {{"name", "mem"}, {"offset", 0}, {"size", 1 << 20}, {"shared", true}}})}});
    }
    const json system = {{"name", "OPV256-D"},
                         {"fsHz", 96000},
                         {"numSamplePerFrame", 32},
                         {"dsps", json::array({{{"name", "DSP-A"}, {"cores", cores}}})}};
    const json dspSystem = {{"name", "OPV256-D"},
                            {"fsHz", 96000},
                            {"numSamplePerFrame", 32},
                            {"renderSamples", 64},
                            {"delayCompensation", false}};
    return {json{{"componentDB", {{"components", json::array({type})}}}}.dump(),
            json{{"connectionDB",
                  {{"dspSystem", dspSystem},
                   {"components", instances},
                   {"connections", connections},
                   {"logicConnections", json::array()}}}}
                .dump(),
            json{{"dspSystemDB", {{"dspSystems", json::array({system})}}}}.dump()};
}

void compile(benchmark::State& state, bool chained)
{
    const Inputs in = makeInputs(static_cast<int>(state.range(0)), chained);
    Compiler::CompilerForNativeCPU compiler;
    std::string result;
    for (auto _ : state) {
        const uint32_t code = compiler.compile(in.componentDB, in.connectionDB, in.dspSystemDB, nullptr, result);
        if (code != 0) state.SkipWithError("compile failed");
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["bytes"] = static_cast<double>(result.size());
}

// Parses the three texts and prints the result document the compile writes for them.
void baseline(benchmark::State& state, bool chained)
{
    const Inputs in = makeInputs(static_cast<int>(state.range(0)), chained);
    Compiler::CompilerForNativeCPU compiler;
    std::string text;
    if (compiler.compile(in.componentDB, in.connectionDB, in.dspSystemDB, nullptr, text) != 0) {
        state.SkipWithError("compile failed");
        return;
    }
    const json result = json::parse(text);
    for (auto _ : state) {
        json a = json::parse(in.componentDB), b = json::parse(in.connectionDB), c = json::parse(in.dspSystemDB);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        benchmark::DoNotOptimize(c);
        std::string printed = result.dump(2, ' ', false);
        benchmark::DoNotOptimize(printed.data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_BaselineChain(benchmark::State& state) { baseline(state, true); }
void BM_CompileChain(benchmark::State& state) { compile(state, true); }
void BM_BaselineUnconnected(benchmark::State& state) { baseline(state, false); }
void BM_CompileUnconnected(benchmark::State& state) { compile(state, false); }

BENCHMARK(BM_BaselineChain)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileChain)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BaselineUnconnected)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileUnconnected)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
