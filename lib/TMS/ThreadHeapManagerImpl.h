#pragma once
// The arena behind one thread's heap. Used only by its thread (arenas hold no lock).
#include <cstdint>

#include "jlib/JHeap.h"

namespace TMS {

class ThreadHeapManagerImpl : public JLIB::IHeapManager {
public:
    // Makes an arena of `size` bytes; the arena is null when no memory could be mapped.
    ThreadHeapManagerImpl(const char* name, uint32_t size);
    ~ThreadHeapManagerImpl() override;
    ThreadHeapManagerImpl(const ThreadHeapManagerImpl&) = delete;
    ThreadHeapManagerImpl& operator=(const ThreadHeapManagerImpl&) = delete;

    // "(Unknown)" without a name.
    const char* getName() const override;
    uint32_t getMaxBlock() const override;
    // The flag and the tag are not used; null without an arena.
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override;
    // 0x80000000 without an arena.
    uint32_t freeMemory(void* block, bool debug) override;

    bool hasArena() const { return m_arena != nullptr; }

private:
    const char* m_pName;  // borrowed from the thread
    void* m_arena;
};

}  // namespace TMS
