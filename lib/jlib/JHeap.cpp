#include "JHeap.h"

#include <cstdarg>
#include <cstdlib>

namespace JLIB {

IHeapManager::~IHeapManager() = default;

namespace {

IHeapManager* pHeapManagerTable[kHeapSlots];
bool oHeapDebugOutputTable[kHeapSlots];
bool oInitialized = false;

void fillTables()
{
    for (unsigned i = 0; i < kHeapSlots; ++i) {
        pHeapManagerTable[i] = nullptr;
        oHeapDebugOutputTable[i] = false;
    }
    pHeapManagerTable[0] = GetGlobalHeapManager();
    oInitialized = true;
}

// A function-local static makes the first set-up safe even when two tasks race to it;
// afterwards the guard is one acquire load.
void setUp()
{
    static const bool done = (fillTables(), true);
    (void)done;
}

}  // namespace

const char* GlobalHeapManagerBase::getName() const { return "GlobalHeapManager"; }

uint32_t GlobalHeapManagerBase::getMaxBlock() const { return 0xFFFFFFFFu; }

void* GlobalHeapManagerBase::allocateMemory(uint32_t size, bool debug, const char* tag)
{
    void* block = std::malloc(size);
    (void)debugOutputOnAllocate(block, size, debug, tag);
    return block;
}

uint32_t GlobalHeapManagerBase::freeMemory(void* block, bool debug)
{
    if (!block) return 0x80000000u;
    (void)debugOutputOnFree(block, debug);
    std::free(block);
    return 0;
}

GlobalHeapManagerBase::~GlobalHeapManagerBase() = default;

int GlobalHeapManagerBase::debugOutput(const char* format, ...)
{
    (void)format;
    return 0;
}

int GlobalHeapManagerBase::debugOutputOnAllocate(void* block, uint32_t size, bool debug, const char* tag)
{
    if (!debug) return 0;
    const char* shown = tag ? tag : "????";
    if (block) {
        (void)debugOutput("     %s::new    > 0x%08X (%12d) = %s\n", getName(),
                          static_cast<unsigned>(reinterpret_cast<uintptr_t>(block)), static_cast<int>(size), shown);
    } else {
        (void)debugOutput("[NG] %s::new    > NULL       (%12d) = %s\n", getName(), static_cast<int>(size), shown);
    }
    return 0;
}

int GlobalHeapManagerBase::debugOutputOnFree(void* block, bool debug)
{
    if (!debug) return 0;
    if (block) {
        (void)debugOutput("     %s::delete > 0x%08X\n", getName(),
                          static_cast<unsigned>(reinterpret_cast<uintptr_t>(block)));
    } else {
        (void)debugOutput("[NG] %s::delete > NULL\n", getName());
    }
    return 0;
}

uint32_t SubscribeHeapId(HeapId id, IHeapManager& manager)
{
    setUp();
    if (id.id() >= kHeapSlots) return 0x80000000u;
    if (pHeapManagerTable[id.id()]) return 0x80000001u;
    pHeapManagerTable[id.id()] = &manager;
    return 0;
}

IHeapManager* GetHeapManager(HeapId id)
{
    setUp();
    if (id.id() >= kHeapSlots) return nullptr;
    return pHeapManagerTable[id.id()];
}

uint32_t SetHeapDebugOutput(HeapId id, bool on)
{
    setUp();
    if (id.id() >= kHeapSlots || !pHeapManagerTable[id.id()]) return 0x80000000u;
    oHeapDebugOutputTable[id.id()] = on;
    return 0;
}

bool GetHeapDebugOutputMode(HeapId id)
{
    setUp();
    if (id.id() >= kHeapSlots || !pHeapManagerTable[id.id()]) return false;
    return oHeapDebugOutputTable[id.id()];
}

IHeapManager* GetGlobalHeapManager()
{
    // Never destroyed: static objects built before the first allocation free their blocks at
    // exit after a function-local manager would already be gone.
    alignas(GlobalHeapManagerBase) static unsigned char storage[sizeof(GlobalHeapManagerBase)];
    static GlobalHeapManagerBase* gGlobalHeapManager = new (storage) GlobalHeapManagerBase();
    return gGlobalHeapManager;
}

namespace detail {

void* allocateWithHeader(HeapId id, const char* tag, uint32_t count, size_t elementSize)
{
    IHeapManager* manager = GetHeapManager(id);
    if (!manager) return nullptr;
    if (count == 0 || count > kMaxJNewCount) return nullptr;
    // The manager takes a 32-bit size: a total that does not fit is refused, never shortened.
    const uint64_t size = uint64_t{kHeapHeaderSize} + uint64_t{count} * elementSize;
    if (size > 0xFFFFFFFFull) return nullptr;
    auto* block = static_cast<unsigned char*>(
        manager->allocateMemory(static_cast<uint32_t>(size), GetHeapDebugOutputMode(id), tag));
    if (!block) return nullptr;
    block[0] = id.id();
    block[1] = static_cast<unsigned char>(count >> 16);
    block[2] = static_cast<unsigned char>(count >> 8);
    block[3] = static_cast<unsigned char>(count);
    block[4] = block[5] = block[6] = block[7] = 0;
    return block + kHeapHeaderSize;
}

void readHeader(const void* elements, unsigned char* heap, uint32_t* count)
{
    const auto* header = static_cast<const unsigned char*>(elements) - kHeapHeaderSize;
    *heap = header[0];
    *count = (uint32_t{header[1]} << 16) | (uint32_t{header[2]} << 8) | header[3];
}

uint32_t freeWithHeader(void* elements)
{
    auto* header = static_cast<unsigned char*>(elements) - kHeapHeaderSize;
    IHeapManager* manager = GetHeapManager(header[0]);
    if (!manager) return 0x80000000u;
    const uint32_t r = manager->freeMemory(header, GetHeapDebugOutputMode(header[0]));
    return (r & 0x80000000u) ? 0x80000000u : 0;
}

}  // namespace detail

}  // namespace JLIB
