#include "TMS/ThreadHeapManagerImpl.h"

#include "arena/mspace.h"

namespace TMS {

ThreadHeapManagerImpl::ThreadHeapManagerImpl(const char* name, uint32_t size)
    : m_pName(name), m_arena(create_mspace(size, 0))
{
}

ThreadHeapManagerImpl::~ThreadHeapManagerImpl()
{
    if (m_arena) (void)destroy_mspace(m_arena);
    m_arena = nullptr;
}

const char* ThreadHeapManagerImpl::getName() const { return m_pName ? m_pName : "(Unknown)"; }

uint32_t ThreadHeapManagerImpl::getMaxBlock() const { return 0xFFFFFFFFu; }

void* ThreadHeapManagerImpl::allocateMemory(uint32_t size, bool, const char*)
{
    return m_arena ? mspace_malloc(m_arena, size) : nullptr;
}

uint32_t ThreadHeapManagerImpl::freeMemory(void* block, bool)
{
    if (!m_arena) return 0x80000000u;
    mspace_free(m_arena, block);
    return 0;
}

}  // namespace TMS
