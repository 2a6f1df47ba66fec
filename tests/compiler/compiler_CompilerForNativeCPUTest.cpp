#include "compiler/compiler_CompilerForNativeCPU.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CompilerTestDocuments.h"
#include "compiler/compiler_ICompilerCallbackForNativeCPU.h"

namespace {

using CompilerTest::Config;
using CompilerTest::json;

struct Outcome {
    uint32_t code = 0x5A5A5A5A;
    std::string text = "stale";
    std::string out;
    json doc;
};

Outcome compile(Compiler::CompilerForNativeCPU& compiler, const Config& c,
                Compiler::ICompilerCallbackForNativeCPU* callback = nullptr)
{
    Outcome o;
    o.out = CompilerTest::captureStdout([&] {
        o.code = compiler.compile(c.componentDB(), c.connectionDB(), c.dspSystemDB(), callback, o.text);
    });
    if (!o.text.empty()) o.doc = json::parse(o.text);
    return o;
}

Outcome compile(const Config& c, Compiler::ICompilerCallbackForNativeCPU* callback = nullptr)
{
    Compiler::CompilerForNativeCPU compiler;
    return compile(compiler, c, callback);
}

// uniqID, DSP, core, step offset, step size, preUniqID: one written assignment.
using Placement = std::tuple<uint32_t, uint32_t, uint32_t, uint64_t, uint32_t, uint32_t>;

std::vector<Placement> placements(const json& doc)
{
    std::vector<Placement> out;
    for (const json& a : doc["compileResult"]["dspAssignments"]) {
        out.emplace_back(a["uniqID"], a["dspNo"], a["coreNo"], a["stepOffset"], a["stepSize"], a["preUniqID"]);
    }
    return out;
}

std::vector<uint32_t> componentIds(const json& doc)
{
    std::vector<uint32_t> out;
    for (const json& c : doc["compileResult"]["components"]) out.push_back(c["uniqID"]);
    return out;
}

class CountingCallback : public Compiler::ICompilerCallbackForNativeCPU {
public:
    explicit CountingCallback(int cancelAt = -1) : m_cancelAt(cancelAt) {}
    uint32_t onCompileProgress(bool& cancel) override
    {
        EXPECT_FALSE(cancel);  // cleared before every call
        cancel = ++calls == m_cancelAt;
        return 0xDEAD;
    }
    int calls = 0;

private:
    int m_cancelAt;
};

Config chain()
{
    Config c;
    c.type("Gain", 100).instance(30, "Gain").instance(10, "Gain").instance(20, "Gain").connect(10, 20).connect(20, 30);
    return c;
}

Config unconnected(int cores)
{
    Config c;
    c.type("Big", 100).type("Small", 50).instance(1, "Big").instance(2, "Small");
    c.cores = CompilerTest::stepCores(cores, 333333);
    return c;
}

}  // namespace

TEST(CompilerForNativeCPUTest, PlacesInstancesAsTheCasesSay)
{
    struct Case {
        const char* what;
        std::function<Config()> config;
        uint32_t code;
        uint32_t result;  // the record's "result"
        std::vector<Placement> placements;
        size_t connections;  // audio connections written
    };
    const Case cases[] = {
        {"empty configuration", [] { return Config(); }, 0, 0, {}, 0},
        {"chain 10 -> 20 -> 30", chain, 0, 0, {{10, 0, 0, 0, 100, 0}, {20, 0, 0, 100, 100, 10}, {30, 0, 0, 200, 100, 20}}, 2},
        {"unconnected on two cores", [] { return unconnected(2); }, 0, 0, {{1, 0, 0, 0, 100, 0}, {2, 0, 1, 0, 50, 0}}, 0},
        {"unconnected on one core", [] { return unconnected(1); }, 0, 0, {{1, 0, 0, 0, 100, 0}, {2, 0, 0, 100, 50, 1}}, 0},
        {"ready 7, 3, 5 placed 3, 5, 7",
         [] {
             Config c;
             c.type("T", 10).instance(7, "T").instance(3, "T").instance(5, "T");
             return c;
         },
         0, 0, {{3, 0, 0, 0, 10, 0}, {5, 0, 0, 10, 10, 3}, {7, 0, 0, 20, 10, 5}}, 0},
        {"need equal to the core fills it",
         [] {
             Config c;
             c.type("T", 333333).instance(1, "T");
             return c;
         },
         0, 0, {{1, 0, 0, 0, 333333, 0}}, 0},
        {"need larger than every core: enlarged",
         [] {
             Config c = chain();
             c.cores = CompilerTest::stepCores(2, 50);
             return c;
         },
         0x80000003u, 0x80000003u, {{10, 0, 0, 0, 100, 0}, {20, 0, 0, 100, 100, 10}, {30, 0, 0, 200, 100, 20}}, 2},
        {"later need would run past every core: enlarged",
         [] {
             Config c = chain();
             c.cores = CompilerTest::stepCores(2, 150);
             return c;
         },
         0x80000003u, 0x80000003u, {{10, 0, 0, 0, 100, 0}, {20, 0, 0, 100, 100, 10}, {30, 0, 0, 200, 100, 20}}, 2},
        {"one more after a full core: enlarged",
         [] {
             Config c;
             c.type("T", 333333).type("U", 1).instance(1, "T").instance(2, "U");
             return c;
         },
         0x80000003u, 0x80000003u, {{1, 0, 0, 0, 333333, 0}, {2, 0, 0, 333333, 1, 1}}, 0},
        {"type on a DSP the system lacks: no core",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "X").connect(1, 2);
             c.types.push_back(CompilerTest::componentType("X", {{"step", 10}}, "DSP-Z"));
             return c;
         },
         0x80000005u, 0x80000000u, {{1, 0, 0, 0, 10, 0}}, 0},
        {"need other than step fits nowhere: no core",
         [] {
             Config c;
             c.types.push_back(CompilerTest::componentType("M", {{"step", 10}, {"mem", 2000}}));
             c.cores = json::array({CompilerTest::core({{"step", 100}, {"mem", 1000}})});
             c.instance(1, "M");
             return c;
         },
         0x80000005u, 0x80000000u, {}, 0},
        {"placed without a step need: no step",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "M");
             c.types.push_back(CompilerTest::componentType("M", {{"mem", 5}}));
             c.cores = json::array({CompilerTest::core({{"step", 100}, {"mem", 1000}})});
             return c;
         },
         0x80000008u, 0x80000000u, {{2, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 10, 0}}, 0},
        // A core idle since step 10 must not take a component at step 100 that would end past
        // its capacity of 150.
        {"idle core is not filled past its capacity",
         [] {
             Config c;
             c.type("A", 100).type("S", 10).instance(1, "A").instance(2, "A").instance(3, "S").connect(1, 2);
             c.cores = CompilerTest::stepCores(2, 150);
             return c;
         },
         0x80000003u, 0x80000003u, {{1, 0, 0, 0, 100, 0}, {2, 0, 0, 100, 100, 1}, {3, 0, 1, 0, 10, 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = compile(c.config());
        EXPECT_EQ(c.code, o.code);
        ASSERT_FALSE(o.text.empty());
        const json& dsp = o.doc["compileResult"]["dspSystem"];
        EXPECT_EQ(c.result, dsp["result"].get<uint32_t>());
        EXPECT_EQ("OPV256-D", dsp["name"]);
        EXPECT_EQ(96000, dsp["fsHz"]);
        EXPECT_EQ(32, dsp["numSamplePerFrame"]);
        EXPECT_EQ(64, dsp["renderSamples"]);
        EXPECT_EQ(true, dsp["delayCompensation"]);
        EXPECT_EQ(c.placements, placements(o.doc));
        EXPECT_EQ(c.placements.size(), o.doc["compileResult"]["components"].size());
        EXPECT_EQ(c.connections, o.doc["compileResult"]["connections"].size());
    }
}

// None of these configurations can ever be placed completely; the placement loop used to spin
// for ever on each. The compile ends with what was placed, and the record says failure.
TEST(CompilerForNativeCPUTest, ConfigurationsThatCannotBePlacedEndWithCapacityExceeded)
{
    struct Case {
        const char* what;
        std::function<Config()> config;
        std::vector<uint32_t> placed;
    };
    const Case cases[] = {
        {"cycle",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "T").instance(3, "T").connect(1, 2).connect(2, 3).connect(3, 2);
             return c;
         },
         {1}},
        {"self-link",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "T").connect(2, 2);
             return c;
         },
         {1}},
        {"connection from an id that is no instance",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "T").connect(0, 2);
             return c;
         },
         {}},
        {"connection through an id that is no instance",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T").instance(2, "T").connect(1, 9).connect(9, 2);
             return c;
         },
         {1}},
        {"two instances with one uniqID",
         [] {
             Config c;
             c.type("T", 10).type("U", 10).instance(5, "T").instance(5, "U").instance(6, "T");
             return c;
         },
         {5, 6}},
        {"fitting cores have no step resource",
         [] {
             Config c;
             c.type("T", 10).instance(1, "T");
             c.cores = json::array({CompilerTest::core({{"mem", 100}})});
             return c;
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = compile(c.config());
        EXPECT_EQ(0x80000003u, o.code);
        ASSERT_FALSE(o.text.empty());
        EXPECT_EQ(0x80000000u, o.doc["compileResult"]["dspSystem"]["result"].get<uint32_t>());
        EXPECT_EQ(c.placed, componentIds(o.doc));
        EXPECT_TRUE(o.doc["compileResult"]["connections"].empty());
        EXPECT_NE(std::string::npos, o.out.find("[E] AbstractSimpleCompileStrategy::doCompile - ")) << o.out;
    }
}

TEST(CompilerForNativeCPUTest, UnusableInputAnswersWithAnEmptyText)
{
    struct Case { const char* what; std::function<Config()> config; };
    const Case cases[] = {
        {"fsHz differs from every system",
         [] {
             Config c = chain();
             c.wantedFsHz = 48000;
             return c;
         }},
        {"instance of an unknown type",
         [] {
             Config c = chain();
             c.instance(40, "Missing");
             return c;
         }},
        {"type differs in numX",
         [] {
             Config c = chain();
             c.instances[0]["numX"] = 2;
             return c;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = compile(c.config());
        EXPECT_EQ(0x80000001u, o.code);
        EXPECT_EQ("", o.text);
    }

    Config zeroRate = chain();
    std::string dspSystemDB = zeroRate.dspSystemDB();
    Compiler::CompilerForNativeCPU compiler;
    std::string text = "stale";
    // A system entry of frame size 0 that the connection database asks for.
    json db = json::parse(dspSystemDB);
    db["dspSystemDB"]["dspSystems"][0]["numSamplePerFrame"] = 0;
    json conn = json::parse(zeroRate.connectionDB());
    conn["connectionDB"]["dspSystem"]["numSamplePerFrame"] = 0;
    EXPECT_EQ(0x80000001u, compiler.compile(zeroRate.componentDB(), conn.dump(), db.dump(), nullptr, text));
    EXPECT_EQ("", text);
}

TEST(CompilerForNativeCPUTest, LaterCompileWithoutMatchingSystemDoesNotReuseTheEarlierOne)
{
    Compiler::CompilerForNativeCPU compiler;
    ASSERT_EQ(0u, compile(compiler, chain()).code);
    Config other = chain();
    other.wantedFsHz = 48000;
    const Outcome o = compile(compiler, other);
    EXPECT_EQ(0x80000001u, o.code);
    EXPECT_EQ("", o.text);
}

TEST(CompilerForNativeCPUTest, EveryCompileStartsFromEmptyCores)
{
    Compiler::CompilerForNativeCPU compiler;
    const Outcome first = compile(compiler, chain());
    const Outcome second = compile(compiler, chain());
    EXPECT_EQ(0u, second.code);
    EXPECT_EQ(first.text, second.text);
    EXPECT_EQ(0u, std::get<3>(placements(second.doc).at(0)));
}

TEST(CompilerForNativeCPUTest, ProgressIsAskedOncePerInstanceLookedAt)
{
    Config c;
    c.type("T", 10).instance(1, "T").instance(2, "T").instance(3, "T");
    CountingCallback counting;
    EXPECT_EQ(0u, compile(c, &counting).code);
    EXPECT_EQ(1 + 2 + 3, counting.calls);

    Compiler::CompilerForNativeCPU compiler;
    bool cancel = false;
    EXPECT_EQ(0u, compiler.onCompileProgress(cancel));  // no compile, no callback
    EXPECT_FALSE(cancel);
}

TEST(CompilerForNativeCPUTest, CancelStopsWithThePartialResultAndTheLogicConnections)
{
    Config c = chain();
    c.logicConnections.push_back({{"fromUniqID", 30}, {"fromPortNo", 1}, {"toUniqID", 10}, {"toPortNo", 2}});
    struct Case { int cancelAt; std::vector<uint32_t> placed; };
    const Case cases[] = {{1, {}}, {2, {10}}, {4, {10, 20}}};  // pass 2 looks at 10 and 20
    for (const Case& k : cases) {
        SCOPED_TRACE(k.cancelAt);
        CountingCallback cancelling(k.cancelAt);
        const Outcome o = compile(c, &cancelling);
        EXPECT_EQ(0x80000002u, o.code);
        EXPECT_EQ(k.cancelAt, cancelling.calls);
        EXPECT_EQ(2147483650u, o.doc["compileResult"]["dspSystem"]["result"].get<uint32_t>());
        EXPECT_EQ(k.placed, componentIds(o.doc));
        EXPECT_TRUE(o.doc["compileResult"]["connections"].empty());
        ASSERT_EQ(1u, o.doc["compileResult"]["logicConnections"].size());
        EXPECT_EQ(30, o.doc["compileResult"]["logicConnections"][0]["fromUniqID"]);
    }
}

TEST(CompilerForNativeCPUTest, ResultThatCannotBeWrittenAnswersFailure)
{
    Config c = chain();
    Compiler::CompilerForNativeCPU compiler;
    std::string text = "stale";
    // An empty system name matches the wanted empty name, but the writer refuses it.
    json db = json::parse(c.dspSystemDB());
    db["dspSystemDB"]["dspSystems"][0]["name"] = "";
    json conn = json::parse(c.connectionDB());
    conn["connectionDB"]["dspSystem"]["name"] = "";
    EXPECT_EQ(0x80000000u, compiler.compile(c.componentDB(), conn.dump(), db.dump(), nullptr, text));
    EXPECT_EQ("", text);
}

TEST(CompilerForNativeCPUTest, UnreadableInputsCompileAsEmptyDatabases)
{
    Compiler::CompilerForNativeCPU compiler;
    std::string text = "stale";
    std::string out = CompilerTest::captureStdout(
        [&] { EXPECT_EQ(0x80000001u, compiler.compile("{", "null", "[", nullptr, text)); });
    EXPECT_EQ("", text);
    EXPECT_NE(std::string::npos, out.find("JSON: 'connectionDB' tag not found.\n")) << out;
    EXPECT_EQ(2u, [&] {
        size_t n = 0;
        for (size_t p = out.find("exception id: "); p != std::string::npos; p = out.find("exception id: ", p + 1)) ++n;
        return n;
    }());
}

TEST(CompilerForNativeCPUTest, BothStrategiesLeaveTheReadyOrderAlone)
{
    Compiler::CompileStrategyUniqIdOrder byId;
    Compiler::CompileStrategyStepSizeOrder byStep;
    const Compiler::DspSystem system;
    std::vector<uint32_t> ready = {9, 2, 5};
    EXPECT_EQ(0u, byId.sortProcessibleComponents({}, {}, system, ready));
    EXPECT_EQ(0x80000000u, byStep.sortProcessibleComponents({}, {}, system, ready));
    EXPECT_EQ((std::vector<uint32_t>{9, 2, 5}), ready);
}
