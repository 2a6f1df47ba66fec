#include "DiagFramework/diagfrwk_DiagLogger.h"

#include <new>

#include "fsw/fsw_api.h"

namespace DiagFramework {

DiagLogger& DiagLogger::getInstance()
{
    static DiagLogger instance;
    return instance;
}

JLIB::JResult DiagLogger::initialize()
{
    m_pLock.reset(new (std::nothrow) TMS::TMSMutex("DiagLog"));
    if (!m_pLock || !m_pLock->isValid()) {
        m_pLock.reset();
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult DiagLogger::finalize()
{
    m_pLock.reset();
    return JLIB::kOk;
}

JLIB::JResult DiagLogger::add(const char* text)
{
    if (!text || !m_pLock) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*m_pLock);
    for (const char* c = text; *c != '\0'; ++c) {
        if (m_count == kCapacity) {
            m_head = (m_head + 1) % kCapacity;
            --m_count;
        }
        m_ring[(m_head + m_count) % kCapacity] = *c;
        ++m_count;
    }
    return JLIB::kOk;
}

uint32_t DiagLogger::getLogSize() const
{
    if (!m_pLock) return 1;
    TMS::TMSMutexAutoReleaser hold(*m_pLock);
    return m_count + 1;
}

uint32_t DiagLogger::getAll(char* buffer, uint32_t size) const
{
    if (!buffer || size == 0 || !m_pLock) return 0;
    TMS::TMSMutexAutoReleaser hold(*m_pLock);
    const uint32_t take = m_count < size - 1 ? m_count : size - 1;
    const uint32_t first = m_head + (m_count - take);
    for (uint32_t i = 0; i < take; ++i) buffer[i] = m_ring[(first + i) % kCapacity];
    buffer[take] = '\0';
    return take + 1;
}

JLIB::JResult DiagLogger::clear()
{
    if (!m_pLock) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*m_pLock);
    m_head = 0;
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult DiagLogger::exportToFile(const char* path) const
{
    if (!path || !m_pLock) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*m_pLock);
    T_FSW_HANDLE handle = kFswInvalidHandle;
    if (JLIB::isFailure(fsw_open(&handle, path, kFswOpenWrite | kFswOpenCreate))) return JLIB::kFailed;
    bool written = true;
    // At most two pieces: from the oldest character to the end of the ring, then the wrapped rest.
    const uint32_t firstPiece = m_head + m_count <= kCapacity ? m_count : kCapacity - m_head;
    const uint32_t pieces[2][2] = {{m_head, firstPiece}, {0, m_count - firstPiece}};
    for (const auto& piece : pieces) {
        if (piece[1] == 0) continue;
        uint32_t count = 0;
        written = written && JLIB::isSuccess(fsw_write(m_ring + piece[0], &count, piece[1], &handle)) &&
                  count == piece[1];
    }
    const bool closed = JLIB::isSuccess(fsw_close(&handle));
    return written && closed ? JLIB::kOk : JLIB::kFailed;
}

}  // namespace DiagFramework
