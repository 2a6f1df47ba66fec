#include "mms_StringMemoryFactory.h"

#include <cstring>

#include "jlib/jlib_result.h"
#include "mms_Result.h"
#include "mms_SharedMemWrapper.h"

namespace MMS {

uint32_t StringMemoryFactory::createMemoryArea(SharedMemWrapper* memory, uint32_t size)
{
    return allocMemoryPool(memory, size);
}

uint32_t StringMemoryFactory::allocMemoryPool(SharedMemWrapper* memory, uint32_t size)
{
    if (m_pPool != nullptr) return kMmsBadArgument;
    if (memory == nullptr) return kMmsMissing;
    if (size == 0) return kMmsOk;
    char* pool = static_cast<char*>(memory->malloc(size));
    if (pool == nullptr) return kMmsNoMemory;
    std::memset(pool, 0, size);
    m_pPool = pool;
    m_poolSize = size;
    m_used = 0;
    m_flags |= kOwned;
    return kMmsOk;
}

uint32_t StringMemoryFactory::restore(SharedMemWrapper* memory, const char* data, uint32_t size)
{
    if (data == nullptr || size == 0) return kMmsOk;
    JLIB_RETURN_IF_FAILED(allocMemoryPool(memory, size));
    std::memcpy(m_pPool, data, size);
    m_used = size;
    return kMmsOk;
}

uint32_t StringMemoryFactory::joint(const char* data, uint32_t size)
{
    if (data == nullptr || size == 0) return kMmsOk;
    JLIB_RETURN_IF_FAILED(releaseMemoryPool(nullptr));
    // Never written through: used = size leaves no room to append.
    m_pPool = const_cast<char*>(data);
    m_poolSize = size;
    m_used = size;
    return kMmsOk;
}

uint32_t StringMemoryFactory::releaseMemoryPool(SharedMemWrapper* memory)
{
    if ((m_flags & kOwned) != 0) {
        if (memory == nullptr) return kMmsMissing;
        (void)memory->free(m_pPool);  // always 0
    }
    m_flags = 0;
    m_pPool = nullptr;
    m_poolSize = 0;
    m_used = 0;
    return kMmsOk;
}

uint32_t StringMemoryFactory::destroy(SharedMemWrapper* memory)
{
    (void)releaseMemoryPool(memory);  // an owned pool without wrapper stays; nothing else to do
    return kMmsOk;
}

uint32_t StringMemoryFactory::createStringPool(uint32_t* offset, uint32_t* storedLength, const char* text,
                                               uint32_t length, bool skipEmpty)
{
    if (offset == nullptr || storedLength == nullptr) return kMmsBadArgument;
    uint32_t textLength = 0;
    uint32_t stored = length;
    if (length != 0 && text != nullptr) {
        const void* end = std::memchr(text, '\0', length);
        textLength = end == nullptr ? length : static_cast<uint32_t>(static_cast<const char*>(end) - text);
        if (textLength < length) stored = textLength + 1;
        if (skipEmpty && textLength == 0) stored = 0;
    }
    if (stored == 0) {
        *offset = 0;
        *storedLength = 0;
        return kMmsOk;
    }
    if (static_cast<uint64_t>(m_used) + stored > m_poolSize) return kMmsBadArgument;
    if (text != nullptr) {
        std::memcpy(m_pPool + m_used, text, textLength);
        if (stored > textLength) m_pPool[m_used + textLength] = '\0';
    }
    *offset = m_used;
    *storedLength = stored;
    m_used += stored;
    return kMmsOk;
}

}  // namespace MMS
