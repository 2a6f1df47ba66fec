#include "TMS/ThreadLogger.h"

#include "TMS/TMSMutex.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_printf.h"
#include "jlib/jlib_string.h"

namespace TMS {

ThreadLogger::~ThreadLogger()
{
    m_pName = nullptr;
    (void)m_ring.finalize();  // always 0
}

bool ThreadLogger::hasLock() const { return m_pLock && m_pLock->isValid(); }

JLIB::JResult ThreadLogger::initialize(const TMSMutex* lock, const char* name, uint32_t lines)
{
    if (m_ring.capacity() != 0) return kAlreadyMade;
    if (!lock || !lock->isValid()) return kNoLock;
    m_pLock = lock;
    TMSMutexAutoReleaser hold(m_pLock);
    (void)m_ring.finalize();  // always 0
    m_pName = nullptr;
    if (JLIB::isFailure(m_ring.initialize(0, lines))) return kNoRing;
    m_pName = name;
    return JLIB::kOk;
}

JLIB::JResult ThreadLogger::release()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    m_pName = nullptr;
    return m_ring.finalize();
}

JLIB::JResult ThreadLogger::clear()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (m_ring.capacity() == 0) return kNoRing;
    return m_ring.clear();
}

JLIB::JResult ThreadLogger::add(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult result = vadd(format, args);
    va_end(args);
    return result;
}

JLIB::JResult ThreadLogger::vadd(const char* format, va_list args)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (m_ring.capacity() == 0) return kNoRing;
    LogItem item;
    JLIB_RETURN_IF_FAILED(jlib_vsnprintf(item.text, kLineSize, nullptr, format, args));
    JLIB_RETURN_IF_FAILED(m_ring.push(item));
    // The line is finished text now: "%s" keeps a "%" in it from being read as a conversion.
    (void)jlib_cfg_devicelog_head("lib/TMS/ThreadLogger", 107);
    (void)jlib_cfg_devicelog_msg("%s", item.text);
    return JLIB::kOk;
}

JLIB::JResult ThreadLogger::get(uint32_t index, char* buffer, uint32_t size) const
{
    if (!buffer || size == 0) return kBadBuffer;
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (m_ring.capacity() == 0) return kNoRing;
    LogItem item;
    if (JLIB::isFailure(m_ring.at(index, item))) {
        buffer[0] = '\0';
        return kNoLine;
    }
    (void)jlib_strcpy_s(buffer, size, item.text);  // cutting to the caller's buffer is intended
    return JLIB::kOk;
}

uint32_t ThreadLogger::size() const
{
    if (!hasLock()) return 0;
    TMSMutexAutoReleaser hold(m_pLock);
    return m_ring.size();
}

const char* ThreadLogger::threadName() const
{
    return (m_ring.capacity() != 0 && m_pName) ? m_pName : "";
}

}  // namespace TMS
