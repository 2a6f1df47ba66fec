#pragma once
// A thread's log ring: the last lines it wrote, each also sent to the device log. The ring is
// guarded by the borrowed thread lock, so the thread, senders logging into it and the debug
// console may all call.
#include <cstdarg>
#include <cstdint>

#include "jlib/JRingBuffer.h"
#include "jlib/jlib_result.h"

namespace TMS {

class TMSMutex;

class ThreadLogger {
public:
    static constexpr uint32_t kLineSize = 256;  // a line keeps at most 255 characters
    static constexpr JLIB::JResult kAlreadyMade = 1;
    static constexpr JLIB::JResult kNoLock = 0x80000004u;
    static constexpr JLIB::JResult kNoRing = 0x80000000u;
    static constexpr JLIB::JResult kBadBuffer = 0x80000002u;
    static constexpr JLIB::JResult kNoLine = 0x80000007u;

    struct LogItem {
        char text[kLineSize] = {};
    };

    ThreadLogger() = default;
    virtual ~ThreadLogger();
    ThreadLogger(const ThreadLogger&) = delete;
    ThreadLogger& operator=(const ThreadLogger&) = delete;

    // The lock and the name are borrowed and must outlive the ring. 1 when a ring exists already;
    // 0x80000004 for a null or invalid lock; 0x80000000 when no ring of `lines` can be made.
    [[nodiscard]] JLIB::JResult initialize(const TMSMutex* lock, const char* name, uint32_t lines);
    JLIB::JResult release();
    [[nodiscard]] JLIB::JResult clear();
    // Formats one line (cut to 255 characters), keeps it, dropping the oldest when full, and
    // writes it unchanged to the device log.
    JLIB::JResult add(const char* format, ...) __attribute__((format(printf, 2, 3)));
    JLIB::JResult vadd(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    // Index 0 is the oldest line. An index without a line leaves the empty text and gives 0x80000007.
    [[nodiscard]] JLIB::JResult get(uint32_t index, char* buffer, uint32_t size) const;
    uint32_t size() const;
    const char* threadName() const;

private:
    bool hasLock() const;

    const char* m_pName = nullptr;       // borrowed from the thread
    const TMSMutex* m_pLock = nullptr;   // the thread's "TMSThread" lock, borrowed
    JLIB::JRingBuffer<LogItem> m_ring;
};

}  // namespace TMS
