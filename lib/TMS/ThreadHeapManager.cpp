#include "TMS/ThreadHeapManager.h"

#include <new>

#include "TMS/ThreadHeapManagerImpl.h"

namespace TMS {

ThreadHeapManager::ThreadHeapManager() = default;

ThreadHeapManager::~ThreadHeapManager() = default;

JLIB::JResult ThreadHeapManager::initialize(const char* name, uint32_t size)
{
    m_pImpl.reset();
    m_pImpl.reset(new (std::nothrow) ThreadHeapManagerImpl(name, size));
    return m_pImpl ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult ThreadHeapManager::release()
{
    m_pImpl.reset();
    return JLIB::kOk;
}

const char* ThreadHeapManager::getName() const { return m_pImpl ? m_pImpl->getName() : ""; }

uint32_t ThreadHeapManager::getMaxBlock() const { return m_pImpl ? m_pImpl->getMaxBlock() : JLIB::kFailed; }

void* ThreadHeapManager::allocateMemory(uint32_t size, bool debug, const char* tag)
{
    return m_pImpl ? m_pImpl->allocateMemory(size, debug, tag) : nullptr;
}

uint32_t ThreadHeapManager::freeMemory(void* block, bool debug)
{
    return m_pImpl ? m_pImpl->freeMemory(block, debug) : JLIB::kFailed;
}

}  // namespace TMS
