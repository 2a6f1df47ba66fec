#pragma once
// A thread's own heap: an arena made by initialize and given back by release. Not registered
// under a heap number; used only by its thread.
#include <cstdint>
#include <memory>

#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace TMS {

class ThreadHeapManagerImpl;

class ThreadHeapManager : public JLIB::IHeapManager {
public:
    ThreadHeapManager();
    ~ThreadHeapManager() override;
    ThreadHeapManager(const ThreadHeapManager&) = delete;
    ThreadHeapManager& operator=(const ThreadHeapManager&) = delete;

    // Drops an earlier arena, then makes the implementation (name borrowed): 0, or 0x80000000
    // when it cannot be allocated.
    [[nodiscard]] JLIB::JResult initialize(const char* name, uint32_t size);
    JLIB::JResult release();

    // The empty text without an implementation.
    const char* getName() const override;
    // 0x80000000 without an implementation.
    uint32_t getMaxBlock() const override;
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override;
    uint32_t freeMemory(void* block, bool debug) override;

private:
    std::unique_ptr<ThreadHeapManagerImpl> m_pImpl;
};

}  // namespace TMS
