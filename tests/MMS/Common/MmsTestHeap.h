#pragma once
// The heap manager behind heap 1 in the tree library's tests: a real manager over malloc that
// counts live blocks, records the last tag and trace flag, and can refuse blocks. Registered once
// per process; every test of this program uses this one instance.
#include <cstdint>
#include <string>

#include "jlib/JHeap.h"

namespace MmsTest {

class TestHeapManager : public JLIB::GlobalHeapManagerBase {
public:
    const char* getName() const override { return "MmsTestHeap"; }
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override
    {
        ++allocations;
        lastTag = tag ? tag : "(null)";
        lastSize = size;
        lastDebug = debug;
        if (refuse) return nullptr;
        void* block = GlobalHeapManagerBase::allocateMemory(size, debug, tag);
        if (block) ++live;
        return block;
    }
    uint32_t freeMemory(void* block, bool debug) override
    {
        ++frees;
        lastDebug = debug;
        if (block) --live;
        return GlobalHeapManagerBase::freeMemory(block, debug);
    }
    void reset()
    {
        refuse = false;
        allocations = 0;
        frees = 0;
        lastSize = 0;
        lastDebug = false;
        lastTag.clear();
    }

    bool refuse = false;
    int allocations = 0;
    int frees = 0;
    int live = 0;  // blocks not yet given back, over the life of the process
    uint32_t lastSize = 0;
    bool lastDebug = false;
    std::string lastTag;
};

// Registers the manager for heap 1 on first use and resets its counters (live blocks excepted).
inline TestHeapManager& heap1()
{
    static TestHeapManager manager;
    static const bool registered = JLIB::SubscribeHeapId(1, manager) == 0;
    (void)registered;
    manager.reset();
    return manager;
}

}  // namespace MmsTest
