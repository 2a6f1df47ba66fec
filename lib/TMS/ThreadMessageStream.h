#pragma once
// A thread's bounded message queue, holding copies. Guarded by the thread's borrowed
// "TMSThreadMsg" lock: any task pushes, only the owning thread's task pops.
#include <cstdint>

#include "TMS/AbstractMessage.h"
#include "jlib/JDataStream.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace TMS {

class TMSMutex;

class ThreadMessageStream {
public:
    static constexpr JLIB::JResult kMoreWaiting = 10;
    static constexpr JLIB::JResult kNoStorage = 0x80000000u;
    static constexpr JLIB::JResult kNoLock = 0x80000004u;
    static constexpr JLIB::JResult kWasEmpty = 0x80000007u;
    static constexpr JLIB::JResult kFull = 0x80000008u;

    ThreadMessageStream() = default;
    virtual ~ThreadMessageStream() = default;
    ThreadMessageStream(const ThreadMessageStream&) = delete;
    ThreadMessageStream& operator=(const ThreadMessageStream&) = delete;

    // Lock borrowed (null or invalid: 0x80000004); 0x80000000 for capacity 0 or no memory.
    [[nodiscard]] JLIB::JResult initialize(const TMSMutex* lock, JLIB::HeapId heap, uint32_t capacity);
    // 0x80000008 when full, nothing stored.
    [[nodiscard]] JLIB::JResult push(const AbstractMessage& message);
    // 0 when the queue is now empty, 10 when more wait, 0x80000007 when it was empty.
    [[nodiscard]] JLIB::JResult pop(AbstractMessage& message);
    bool isEmpty() const;
    bool isFull() const;
    JLIB::JResult clear();
    // Drops the messages and the storage; the lock stays bound.
    JLIB::JResult release();

private:
    bool hasLock() const;

    JLIB::JDataStream<AbstractMessage> m_stream;
    const TMSMutex* m_pLock = nullptr;  // the owning thread's "TMSThreadMsg" lock
};

}  // namespace TMS
