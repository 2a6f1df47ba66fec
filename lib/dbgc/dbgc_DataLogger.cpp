#include "dbgc/dbgc_DataLogger.h"

#include "jlib/jlib_cfg.h"
#include "jlib/jlib_printf.h"
#include "ossupport/ossupport_DateTime.h"
#include "oswrap/oswrap_semaphore.h"

namespace DBGC {

namespace {

// Holds the logger's lock for a scope; the id was created, so wait and signal cannot fail.
class LoggerLock {
public:
    explicit LoggerLock(uint16_t id) : m_id(id) { (void)oswrap_WaiSem(m_id); }
    ~LoggerLock() { (void)oswrap_SigSem(m_id); }
    LoggerLock(const LoggerLock&) = delete;
    LoggerLock& operator=(const LoggerLock&) = delete;

private:
    uint16_t m_id;
};

}  // namespace

DataLogger& DataLogger::getInstance()
{
    static DataLogger instance;
    return instance;
}

DataLogger::~DataLogger() { (void)finalize(); }  // nothing to report at process exit

JLIB::JResult DataLogger::initialize(JLIB::HeapId heap, uint32_t capacity0, uint32_t capacity1)
{
    if (m_lockId.load(std::memory_order_acquire) == 0) {
        T_OSW_CSEM pk{nullptr, 0, 1, "Logger"};
        uint16_t id = 0;
        // The logger cannot guard its rings without it: the process is broken.
        if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) jlib_cfg_dbgbrk(__FILE__, __LINE__);
        m_lockId.store(id, std::memory_order_release);
    }
    LoggerLock lock(m_lockId.load(std::memory_order_acquire));
    JLIB::JResult result = m_rings[0].initialize(heap, capacity0);
    result |= m_rings[1].initialize(heap, capacity1);
    m_counts[0] = 0;
    m_counts[1] = 0;
    return result;
}

JLIB::JResult DataLogger::finalize()
{
    const uint16_t id = m_lockId.load(std::memory_order_acquire);
    if (id == 0) return JLIB::kFailed;
    JLIB::JResult result = JLIB::kOk;
    {
        LoggerLock lock(id);
        result = m_rings[0].finalize() | m_rings[1].finalize();
        m_lockId.store(0, std::memory_order_release);
    }
    (void)oswrap_DelSem(id);  // the logger is closed whatever the OS layer answers
    return result;
}

JLIB::JResult DataLogger::clear()
{
    const uint16_t id = m_lockId.load(std::memory_order_acquire);
    if (id == 0) return JLIB::kFailed;
    LoggerLock lock(id);
    if (m_lockId.load(std::memory_order_acquire) != id) return JLIB::kFailed;  // finalized meanwhile
    return m_rings[0].clear() | m_rings[1].clear();
}

JLIB::JResult DataLogger::push(LogCategory category, uint32_t firstNumber, const char* text, uint32_t secondNumber,
                               const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult result = vpush(category, firstNumber, text, secondNumber, format, args);
    va_end(args);
    return result;
}

JLIB::JResult DataLogger::vpush(LogCategory category, uint32_t firstNumber, const char* text,
                                uint32_t secondNumber, const char* format, va_list args)
{
    if (m_lockId.load(std::memory_order_acquire) == 0 || !isCategory(category) || !format) return JLIB::kFailed;

    // Everything slow happens before the lock: formatting, the clock and the copies of the texts.
    LogRecord record;
    char message[kMessageSize];
    if (JLIB::isFailure(jlib_vsnprintf(message, kMessageSize, nullptr, format, args))) return JLIB::kFailed;
    record.category = category;
    record.firstNumber = firstNumber;
    record.text = text ? text : "";
    record.secondNumber = secondNumber;
    record.message = message;
    uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    (void)OSSUPPORT::GetLocalDateTime(&year, &month, &day, nullptr, &hour, &minute, &second);  // always 0
    record.year = static_cast<int32_t>(year);
    record.month = static_cast<uint8_t>(month);
    record.day = static_cast<uint8_t>(day);
    record.hour = static_cast<uint8_t>(hour);
    record.minute = static_cast<uint8_t>(minute);
    record.second = static_cast<uint8_t>(second);

    const uint16_t id = m_lockId.load(std::memory_order_acquire);
    if (id == 0) return JLIB::kFailed;  // finalized meanwhile
    LoggerLock lock(id);
    if (m_lockId.load(std::memory_order_acquire) != id) return JLIB::kFailed;  // as above
    JLIB::JResult result = JLIB::kOk;
    if (category == 0) {
        result |= m_rings[0].push(record);
        ++m_counts[0];
    }
    result |= m_rings[1].push(record);
    ++m_counts[1];
    return result;
}

JLIB::JResult DataLogger::at(LogCategory category, uint32_t index, LogRecord& record)
{
    const uint16_t id = m_lockId.load(std::memory_order_acquire);
    if (id == 0 || !isCategory(category)) return JLIB::kFailed;
    LoggerLock lock(id);
    if (m_lockId.load(std::memory_order_acquire) != id) return JLIB::kFailed;  // finalized meanwhile
    return m_rings[category].at(index, record);
}

uint32_t DataLogger::readUnderLock(LogCategory category, uint32_t (DataLogger::*reader)(uint32_t) const)
{
    const uint16_t id = m_lockId.load(std::memory_order_acquire);
    if (id == 0 || !isCategory(category)) return 0;
    LoggerLock lock(id);
    if (m_lockId.load(std::memory_order_acquire) != id) return 0;  // finalized meanwhile
    return (this->*reader)(static_cast<uint32_t>(category));
}

uint32_t DataLogger::size(LogCategory category) { return readUnderLock(category, &DataLogger::ringSize); }
uint32_t DataLogger::capacity(LogCategory category) { return readUnderLock(category, &DataLogger::ringCapacity); }
uint32_t DataLogger::logCount(LogCategory category) { return readUnderLock(category, &DataLogger::counter); }

JLIB::JResult DataLogger::beginMutex() { return oswrap_WaiSem(m_lockId.load(std::memory_order_acquire)); }
JLIB::JResult DataLogger::endMutex() { return oswrap_SigSem(m_lockId.load(std::memory_order_acquire)); }

}  // namespace DBGC
