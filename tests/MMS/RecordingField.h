#pragma once
// A field core whose build operations the definition readers call are recorded instead of
// carried out: each answers with a code the test chooses and keeps the added node with its
// attribute values, so a test sees exactly what a reader passes and how it reacts to refusals.
#include <cstdint>
#include <string>
#include <vector>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Base.h"
#include "jlib/JVariant.h"

namespace MmsTreeTest {

struct AddedNode {
    bool isCollection = false;
    std::string root;
    std::vector<unsigned> path;  // the node path up to the depth
    unsigned depth = 0;
    std::string name;
    unsigned arraySize = 0;
    unsigned type = 0;
    bool has[5] = {};  // minimum, maximum, default, step, nominal
    JVariant values[5];
    std::string unit;  // "(null)" when passed as null
    unsigned unitSize = 0;
    unsigned scaling = 0;
    unsigned kind = 0;
    std::string nameFormat;
    unsigned nameFormatSize = 0;
};

class RecordingField : public MMS::Base {
public:
    RecordingField() : MMS::Base(nullptr, nullptr, nullptr, nullptr) { (void)MmsTest::heap1(); }

    uint32_t getStatus(uint8_t* status) override
    {
        calls.push_back("getStatus");
        if (statusResult & 0x80000000u) return statusResult;
        *status = this->status;
        return 0;
    }
    uint32_t startBuild() override
    {
        calls.push_back("startBuild");
        if (startResult == 0) status = 1;
        return startResult;
    }
    uint32_t createRoot(const char* root, const char* top, uint32_t collections, uint32_t parameters,
                        uint32_t stringBytes) override
    {
        calls.push_back("createRoot");
        rootName = root;
        topName = top;
        counts[0] = collections;
        counts[1] = parameters;
        counts[2] = stringBytes;
        return createResult;
    }
    uint32_t setDescName(const char* root, const char* desc) override
    {
        calls.push_back("setDescName");
        descName = desc;
        return 0;
    }
    uint32_t setDescVersion(const char* root, const char* v) override
    {
        calls.push_back("setDescVersion");
        version = v;
        return 0x80000000u;  // ignored by the reader
    }
    uint32_t addCollectionFast(uint32_t* index, const char* root, const uint32_t* path, uint32_t depth,
                               const char* name, uint32_t arraySize) override
    {
        calls.push_back(std::string("addCollection ") + name);
        if (refuseNode == name) return 0x80000009u;
        AddedNode n;
        n.isCollection = true;
        n.root = root;
        n.path.assign(path, path + depth);
        n.depth = depth;
        n.name = name;
        n.arraySize = arraySize;
        nodes.push_back(n);
        *index = nextIndex++;
        return 0;
    }
    uint32_t addPrmFast(uint32_t* index, const char* root, const uint32_t* path, uint32_t depth, const char* name,
                        uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum, JVariant* def,
                        JVariant* step, JVariant* nominal, const char* unit, uint32_t unitSize, uint32_t scaling,
                        uint32_t kind, const char* nameFormat, uint32_t nameFormatSize) override
    {
        calls.push_back(std::string("addPrm ") + name);
        AddedNode n;
        n.root = root;
        n.path.assign(path, path + depth);
        n.depth = depth;
        n.name = name;
        n.arraySize = arraySize;
        n.type = type;
        JVariant* given[5] = {minimum, maximum, def, step, nominal};
        for (int i = 0; i < 5; ++i) {
            n.has[i] = given[i] != nullptr;
            if (given[i]) n.values[i] = *given[i];
        }
        n.unit = unit ? unit : "(null)";
        n.unitSize = unitSize;
        n.scaling = scaling;
        n.kind = kind;
        n.nameFormat = nameFormat ? nameFormat : "(null)";
        n.nameFormatSize = nameFormatSize;
        if (refuseNode == name) return 0x80000002u;
        nodes.push_back(n);
        *index = nextIndex++;
        return 0;
    }
    uint32_t linkBuild(uint8_t) override
    {
        calls.push_back("linkBuild");
        return endResult;
    }
    uint32_t finishBuild(uint8_t) override
    {
        calls.push_back("finishBuild");
        if (!(endResult & 0x80000000u) || endResult == 0x80000005u) status = 2;
        return endResult;
    }

    bool called(const std::string& name) const
    {
        for (const auto& c : calls)
            if (c == name) return true;
        return false;
    }
    const AddedNode* node(const std::string& name) const
    {
        for (const auto& n : nodes)
            if (n.name == name) return &n;
        return nullptr;
    }

    unsigned char status = 2;
    uint32_t statusResult = 0;
    uint32_t startResult = 0;
    uint32_t createResult = 0;
    uint32_t endResult = 0;
    std::string refuseNode;
    std::vector<std::string> calls;
    std::vector<AddedNode> nodes;
    std::string rootName, topName, descName, version;
    unsigned counts[3] = {};
    unsigned nextIndex = 0;
};

}  // namespace MmsTreeTest
