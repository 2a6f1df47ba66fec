#include "editor/VDProtocolLineBuffer.h"

#include <cstring>
#include <new>

namespace VDProtocol {

JLIB::JResult VDProtocolLineBuffer::initialize()
{
    if (m_pBuffer) return kAlreadyInitialized;
    m_pBuffer.reset(new (std::nothrow) char[kCapacity]());
    if (!m_pBuffer) return kNoMemory;
    m_used = 0;
    m_dropping = false;
    return JLIB::kOk;
}

void VDProtocolLineBuffer::append(const char* data, uint32_t count, const LineHandler& onLine)
{
    if (!m_pBuffer || !data) return;
    uint32_t start = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (data[i] != '\n') continue;
        store(data + start, i + 1 - start);
        finishLine(onLine);
        start = i + 1;
    }
    store(data + start, count - start);
}

void VDProtocolLineBuffer::clear()
{
    if (m_pBuffer) std::memset(m_pBuffer.get(), 0, m_used);
    m_used = 0;
    m_dropping = false;
}

void VDProtocolLineBuffer::store(const char* data, uint32_t count)
{
    if (m_dropping || count == 0) return;
    if (count > kCapacity - m_used) {
        // The line cannot be held whole: what came of it goes, and so does the rest up to its
        // line feed, so that no cut-off line is ever decoded.
        std::memset(m_pBuffer.get(), 0, m_used);
        m_used = 0;
        m_dropping = true;
        return;
    }
    std::memcpy(m_pBuffer.get() + m_used, data, count);
    m_used += count;
}

void VDProtocolLineBuffer::finishLine(const LineHandler& onLine)
{
    if (!m_dropping && onLine) {
        const char* text = m_pBuffer.get();
        onLine(std::string_view(text, strnlen(text, m_used)));
    }
    clear();
}

}  // namespace VDProtocol
