#include "VUviRido/Socket/VComByteStream.h"

#include <cstring>

#include "jlib/JHeap.h"

namespace VCOM {

namespace {

// The tag under which the heap has always listed a socket object's streams.
constexpr const char* kTag = "JLIB::JDataStream";

uint32_t lesser(uint32_t a, uint32_t b) { return a < b ? a : b; }

}  // namespace

VComByteStream::~VComByteStream()
{
    if (m_pStorage) (void)JLIB::JDelete(m_pStorage);  // a JNew block is always taken back
}

JLIB::JResult VComByteStream::initialize(uint32_t capacity)
{
    if (m_pStorage) (void)JLIB::JDelete(m_pStorage);  // as in the destructor
    m_pStorage = nullptr;
    m_capacity = 0;
    clear();
    m_pStorage = capacity > 0 ? JLIB::JNew<unsigned char>(0, kTag, capacity) : nullptr;
    if (!m_pStorage) return 0x80000003u;
    m_capacity = capacity;
    return JLIB::kOk;
}

void VComByteStream::push(const unsigned char* data, uint32_t length, uint32_t* stored)
{
    const uint32_t n = data ? lesser(length, getRemainSize()) : 0;
    *stored = n;
    if (n == 0) return;
    // The free space starts behind the newest byte and may wrap once.
    uint32_t write = m_read + m_count;
    if (write >= m_capacity) write -= m_capacity;
    const uint32_t first = lesser(n, m_capacity - write);
    std::memcpy(m_pStorage + write, data, first);
    std::memcpy(m_pStorage, data + first, n - first);
    m_count += n;
}

bool VComByteStream::pushAll(const unsigned char* data, uint32_t length)
{
    if (!data || length > getRemainSize()) return false;
    uint32_t stored = 0;
    push(data, length, &stored);
    return true;
}

void VComByteStream::pop(unsigned char* out, uint32_t size, uint32_t* taken)
{
    const uint32_t n = out ? lesser(size, m_count) : 0;
    *taken = n;
    if (n == 0) return;
    const uint32_t first = lesser(n, m_capacity - m_read);
    std::memcpy(out, m_pStorage + m_read, first);
    std::memcpy(out + first, m_pStorage, n - first);
    m_read += n;
    if (m_read >= m_capacity) m_read -= m_capacity;
    m_count -= n;
}

void VComByteStream::clear()
{
    m_count = 0;
    m_read = 0;
}

}  // namespace VCOM
