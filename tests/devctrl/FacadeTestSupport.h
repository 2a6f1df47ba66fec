#pragma once
// Doubles for the facade and broker tests: a link framework that records every call and answers
// what the test scripts, a real thread-safe field with roots of one described parameter
//   /<root>/Gain[8]  int32 -1000 .. 1000, default 0, description name "Mixer"
// and a field that fails chosen operations on top of the real one.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "PDB/Expression/ILinkFramework.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace FacadeTest {

constexpr uint32_t kGainCount = 8;
constexpr uint32_t kGainNode[1] = {0};
constexpr const char* kDescName = "Mixer";

inline bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

// One call of the framework, with the arguments that matter to the facades.
struct LinkCall {
    std::string op;  // "set", "get", "min", "max", "linked"
    std::string unitName;
    std::string descName;
    std::string root;  // "(null)" for a null root
    std::vector<uint32_t> nodes;
    std::vector<uint32_t> indexes;
    uint32_t depth = 0;
    int value = 0;  // the value written (set)
    uint32_t factor = 0;
    uint32_t option = 0;  // the read's clear flag
    uint32_t taskId = 0;
};

class RecordingLinkFramework : public ParameterProc::ILinkFramework {
public:
    uint32_t setLinkedPrm(const JVariant& value, const char* unitName, const char* descName, const char* root,
                          const uint32_t* nodes, const uint32_t* indexes, uint32_t depth, uint8_t factor, uint8_t,
                          uint16_t, uint8_t, uint32_t taskId, const MMS::ISetChecker*, uint32_t,
                          const MMS::ExternalSetArg*) override
    {
        LinkCall call = record("set", unitName, descName, root, nodes, indexes, depth);
        call.value = value.toInt32();
        call.factor = factor;
        call.taskId = taskId;
        calls.push_back(call);
        return setResult;
    }
    uint32_t getLinkedPrm(JVariant* value, uint8_t* state, const char* unitName, const char* descName,
                          const char* root, const uint32_t* nodes, const uint32_t* indexes, uint32_t depth,
                          uint8_t option, uint32_t taskId) override
    {
        LinkCall call = record("get", unitName, descName, root, nodes, indexes, depth);
        call.option = option;
        call.taskId = taskId;
        calls.push_back(call);
        if (value) *value = answer;
        if (state) *state = 0x5A;
        return getResult;
    }
    uint32_t getLinkedPrmMin(JVariant* value, const char* unitName, const char* descName, const char* root,
                             const uint32_t* nodes, uint32_t depth) override
    {
        calls.push_back(record("min", unitName, descName, root, nodes, nullptr, depth));
        if (value) *value = answer;
        return minResult;
    }
    uint32_t getLinkedPrmMax(JVariant* value, const char* unitName, const char* descName, const char* root,
                             const uint32_t* nodes, uint32_t depth) override
    {
        calls.push_back(record("max", unitName, descName, root, nodes, nullptr, depth));
        if (value) *value = answer;
        return maxResult;
    }
    uint32_t isLinkedPrm(const char* unitName, const char* descName, const char* root, const uint32_t* nodes,
                         uint32_t depth) override
    {
        calls.push_back(record("linked", unitName, descName, root, nodes, nullptr, depth));
        return linkedResult;
    }

    std::vector<std::string> ops() const
    {
        std::vector<std::string> out;
        for (const LinkCall& c : calls) out.push_back(c.op);
        return out;
    }

    // Scripted answers: 4 (or a failure) passes the call on to the field.
    uint32_t setResult = 4;
    uint32_t getResult = 4;
    uint32_t minResult = 4;
    uint32_t maxResult = 4;
    uint32_t linkedResult = 0;
    int answer = 4242;  // what the read operations write into the value
    std::vector<LinkCall> calls;

private:
    static LinkCall record(const char* op, const char* unitName, const char* descName, const char* root,
                           const uint32_t* nodes, const uint32_t* indexes, uint32_t depth)
    {
        LinkCall call;
        call.op = op;
        call.unitName = unitName ? unitName : "(null)";
        call.descName = descName ? descName : "(null)";
        call.root = root ? root : "(null)";
        call.depth = depth;
        for (uint32_t i = 0; i < depth && i < 5; ++i) {
            if (nodes) call.nodes.push_back(nodes[i]);
            if (indexes) call.indexes.push_back(indexes[i]);
        }
        return call;
    }
};

// Builds the named roots with Gain[8] and the description name into a new field.
inline void buildRoots(MMS::IField& field, std::initializer_list<const char*> roots)
{
    ASSERT_EQ(0u, field.startBuild());
    for (const char* name : roots) {
        ASSERT_EQ(0u, field.createRoot(name, "Top", 4, 4, 64)) << name;
        ASSERT_EQ(0u, field.setDescName(name, kDescName)) << name;
        JVariant minimum(-1000);
        JVariant maximum(1000);
        JVariant def(0);
        uint32_t index = 99;
        ASSERT_EQ(0u, field.addPrmFast(&index, name, nullptr, 0, "Gain", kGainCount, MMS::kMmsTypeInt32, &minimum,
                                       &maximum, &def, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0))
            << name;
    }
    ASSERT_EQ(0u, field.linkBuild(1));
    ASSERT_EQ(0u, field.finishBuild(1));
}

inline uint32_t setGain(MMS::IField& field, const char* root, uint32_t element, int value, uint32_t task = 99,
                        uint8_t factor = 1)
{
    const uint32_t index[1] = {element};
    return field.setPrmFast(JVariant(value), root, kGainNode, index, 1, factor, 0, 0, 0, task, nullptr, 0, nullptr);
}

// The element's value; INT32_MIN when the read failed. factor receives the element's set factor.
inline int getGain(MMS::IField& field, const char* root, uint32_t element, uint8_t* factor = nullptr)
{
    const uint32_t index[1] = {element};
    JVariant out;
    if (isFailure(field.getPrmFast(&out, factor, root, kGainNode, index, 1, 0, 0))) return INT32_MIN;
    return out.toInt32();
}

inline std::vector<int> allGains(MMS::IField& field, const char* root)
{
    std::vector<int> out;
    for (uint32_t i = 0; i < kGainCount; ++i) out.push_back(getGain(field, root, i));
    return out;
}

// A real field that fails the operations named in `failing` with 0x80000006 (and, for setPrmFast,
// the elements in `failingElements`), and counts the value writes that reach it.
class FaultyField : public MMS::Field {
public:
    FaultyField() : MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr) {}

    uint32_t shareRootFast(MMS::sharedRootInfo* out, const char* root, const uint32_t* nodes,
                           const uint32_t* indices, uint32_t depth) override
    {
        if (failing.count("shareRootFast")) return kFault;
        return MMS::Field::shareRootFast(out, root, nodes, indices, depth);
    }
    uint32_t getDescName(char* out, const char* root) override
    {
        if (failing.count("getDescName")) return kFault;
        return MMS::Field::getDescName(out, root);
    }
    uint32_t subscribe(uint32_t mode, uint32_t taskId, uint32_t areaCount, bool raiseAll) override
    {
        if (failing.count("subscribe")) return kFault;
        return MMS::Field::subscribe(mode, taskId, areaCount, raiseAll);
    }
    uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes, const uint32_t* indices,
                        uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
                        uint8_t notifyOptions, uint32_t originatorId, const MMS::ISetChecker* checker,
                        uint32_t notifyMode, const MMS::ExternalSetArg* externalArg) override
    {
        ++singleWrites;
        if (indices && depth > 0 && failingElements.count(indices[depth - 1])) return kFault;
        return MMS::Field::setPrmFast(value, root, nodes, indices, depth, factor, includeOriginator, setOptions,
                                      notifyOptions, originatorId, checker, notifyMode, externalArg);
    }
    uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                      const uint32_t* first, const uint32_t* last, uint32_t depth,
                                      const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
                                      uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                      uint32_t originatorId, const MMS::ISetChecker* checker, uint32_t rootFlags,
                                      uint32_t notifyMode, const MMS::ExternalSetArg* externalArg) override
    {
        ++arrayWrites;
        return MMS::Field::setPrmAndFactorArrayFast(values, root, nodes, first, last, depth, factors, repeat,
                                                    singleFactor, includeOriginator, setOptions, notifyOptions,
                                                    originatorId, checker, rootFlags, notifyMode, externalArg);
    }

    static constexpr uint32_t kFault = 0x80000006u;
    std::set<std::string> failing;
    std::set<uint32_t> failingElements;
    int singleWrites = 0;
    int arrayWrites = 0;
};

}  // namespace FacadeTest
