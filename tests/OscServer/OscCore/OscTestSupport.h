#pragma once
// Helpers of the OSC core tests: a bounded wait for a condition, a heap manager that records what
// it hands out, and readers of JVariant lists.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "OscServer/OscCore/OscTypes.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace OscTest {

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Over malloc; remembers the tag of every live block and can refuse the n-th allocation.
class RecordingHeapManager : public JLIB::IHeapManager {
public:
    const char* getName() const override { return "RecordingHeap"; }
    uint32_t getMaxBlock() const override { return 0xFFFFFFFFu; }
    void* allocateMemory(uint32_t size, bool, const char* tag) override
    {
        ++allocations;
        if (allocations == refuseAllocation) return nullptr;
        void* block = std::malloc(size);
        if (block) live[block] = tag ? tag : "";
        return block;
    }
    uint32_t freeMemory(void* block, bool) override
    {
        live.erase(block);
        std::free(block);
        return 0;
    }

    std::vector<std::string> liveTags() const
    {
        std::vector<std::string> tags;
        for (const auto& [block, tag] : live) tags.push_back(tag);
        return tags;
    }

    std::map<void*, std::string> live;
    int allocations = 0;
    int refuseAllocation = 0;  // 1-based; 0 refuses none
};

// The texts of a list, one line per value, for comparing whole argument lists at once:
// "i:5", "u:7", "s:text", "f:1.5", "b:<hex>", "-" for an invalid value.
inline std::vector<std::string> describe(const JOSC::JVariantList& values)
{
    std::vector<std::string> lines;
    for (const JVariant& v : values) {
        switch (v.getType()) {
        case JVariant::kTypeInt32: lines.push_back("i:" + std::to_string(v.toInt32())); break;
        case JVariant::kTypeUInt32: lines.push_back("u:" + std::to_string(v.toUInt32())); break;
        case JVariant::kTypeString: lines.push_back(std::string("s:") + v.toString()); break;
        case JVariant::kTypeFloat: lines.push_back("f:" + std::to_string(v.toFloat())); break;
        case JVariant::kTypeBinary: {
            std::string hex = "b:";
            static const char digits[] = "0123456789abcdef";
            for (unsigned i = 0; i < v.getBinaryLength(); ++i) {
                hex += digits[v.toBinary()[i] >> 4];
                hex += digits[v.toBinary()[i] & 15];
            }
            lines.push_back(hex);
            break;
        }
        default: lines.push_back("-"); break;
        }
    }
    return lines;
}

}  // namespace OscTest
