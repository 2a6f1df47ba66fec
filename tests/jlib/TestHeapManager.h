#pragma once
// A heap manager for container tests: counts blocks, keeps the last tag and can refuse blocks.
// Registered once per process on heap number kTestHeap.
#include <cstdint>
#include <string>

#include "jlib/JHeap.h"

namespace testheap {

constexpr unsigned char kTestHeap = 7;

class TestHeapManager : public JLIB::GlobalHeapManagerBase {
public:
    const char* getName() const override { return "TestHeap"; }
    uint32_t getMaxBlock() const override { return maxBlock; }
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override
    {
        lastTag = tag ? tag : "(null)";
        lastSize = size;
        if (refuse) return nullptr;
        ++live;
        return GlobalHeapManagerBase::allocateMemory(size, debug, tag);
    }
    uint32_t freeMemory(void* block, bool debug) override
    {
        if (block) --live;
        ++frees;
        return GlobalHeapManagerBase::freeMemory(block, debug);
    }

    void reset()
    {
        refuse = false;
        maxBlock = 0xFFFFFFFFu;
        live = 0;
        frees = 0;
        lastSize = 0;
        lastTag.clear();
    }

    bool refuse = false;
    uint32_t maxBlock = 0xFFFFFFFFu;
    int live = 0;
    int frees = 0;
    uint32_t lastSize = 0;
    std::string lastTag;
};

// The process-wide instance, registered on first use and reset for each caller.
inline TestHeapManager& heap()
{
    static TestHeapManager manager;
    static const bool registered = JLIB::SubscribeHeapId(kTestHeap, manager) == 0;
    (void)registered;
    manager.reset();
    return manager;
}

}  // namespace testheap
