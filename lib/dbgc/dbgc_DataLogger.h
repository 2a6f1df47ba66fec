#pragma once
// Process-wide store of the latest diagnostic records in two rings: ring 0 holds category 0,
// ring 1 every record. Any task may call; the rings and counters sit behind the plain lock "Logger".
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "jlib/JHeap.h"
#include "jlib/JRingBuffer.h"
#include "jlib/jlib_result.h"

namespace DBGC {

// 0 and 1 are the only categories.
using LogCategory = int32_t;

struct LogRecord {
    LogCategory category = 0;
    uint32_t firstNumber = 0;
    std::string text;
    uint32_t secondNumber = 0;
    // Local time of the push.
    int32_t year = 2000;
    uint8_t month = 1;
    uint8_t day = 1;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    std::string message;  // at most 255 characters
};

class DataLogger {
public:
    static constexpr uint32_t kMessageSize = 256;

    static DataLogger& getInstance();

    DataLogger(const DataLogger&) = delete;
    DataLogger& operator=(const DataLogger&) = delete;

    // Creates the lock when there is none, then (re)makes both rings from the heap and zeroes the
    // counters. Result: the two rings' set-up results combined.
    [[nodiscard]] JLIB::JResult initialize(JLIB::HeapId heap, uint32_t capacity0, uint32_t capacity1);
    // Releases the rings and deletes the lock; 0x80000000 when not set up.
    JLIB::JResult finalize();
    // Empties both rings; the counters keep counting. 0x80000000 when not set up.
    JLIB::JResult clear();
    // Formats the message (cut at 255 characters) and dates the record before taking the lock.
    // 0x80000000 when not set up, for a category other than 0 and 1 or a null format. A null text
    // stores an empty one.
    JLIB::JResult push(LogCategory category, uint32_t firstNumber, const char* text, uint32_t secondNumber,
                       const char* format, ...) __attribute__((format(printf, 6, 7)));
    JLIB::JResult vpush(LogCategory category, uint32_t firstNumber, const char* text, uint32_t secondNumber,
                        const char* format, va_list args) __attribute__((format(printf, 6, 0)));
    // Index 0 is the oldest record of that category's ring. 0x80000000 when not set up or for a bad
    // category; else the ring's answer (a default record for an index it does not hold).
    [[nodiscard]] JLIB::JResult at(LogCategory category, uint32_t index, LogRecord& record);
    // 0 when not set up or for a bad category.
    uint32_t size(LogCategory category);
    uint32_t capacity(LogCategory category);
    uint32_t logCount(LogCategory category);

    // The lock itself, for a reader that walks several records at once.
    JLIB::JResult beginMutex();
    JLIB::JResult endMutex();

private:
    static constexpr uint32_t kCategories = 2;

    DataLogger() = default;
    ~DataLogger();

    static bool isCategory(LogCategory category) { return category == 0 || category == 1; }
    uint32_t readUnderLock(LogCategory category, uint32_t (DataLogger::*reader)(uint32_t) const);
    uint32_t ringSize(uint32_t index) const { return m_rings[index].size(); }
    uint32_t ringCapacity(uint32_t index) const { return m_rings[index].capacity(); }
    uint32_t counter(uint32_t index) const { return m_counts[index]; }

    JLIB::JRingBuffer<LogRecord> m_rings[kCategories];
    uint32_t m_counts[kCategories] = {};
    std::atomic<uint16_t> m_lockId{0};  // 0: not set up; read without the lock by every caller
};

}  // namespace DBGC
