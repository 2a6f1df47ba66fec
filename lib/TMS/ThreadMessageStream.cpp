#include "TMS/ThreadMessageStream.h"

#include "TMS/TMSMutex.h"

namespace TMS {

bool ThreadMessageStream::hasLock() const { return m_pLock && m_pLock->isValid(); }

JLIB::JResult ThreadMessageStream::initialize(const TMSMutex* lock, JLIB::HeapId heap, uint32_t capacity)
{
    if (!lock || !lock->isValid()) return kNoLock;
    m_pLock = lock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (JLIB::isFailure(m_stream.initialize(heap, capacity))) return kNoStorage;
    return JLIB::kOk;
}

JLIB::JResult ThreadMessageStream::push(const AbstractMessage& message)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    // A released queue is not busy: a busy answer would make senders retry for 10 s.
    if (!m_stream.getPointer()) return kNoStorage;
    if (m_stream.isFull()) return kFull;
    if (JLIB::isFailure(m_stream.push(message))) return kFull;
    return JLIB::kOk;
}

JLIB::JResult ThreadMessageStream::pop(AbstractMessage& message)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (m_stream.isEmpty()) return kWasEmpty;
    if (JLIB::isFailure(m_stream.pop(message))) return JLIB::kFailed;
    return m_stream.isEmpty() ? JLIB::kOk : kMoreWaiting;
}

bool ThreadMessageStream::isEmpty() const
{
    if (!hasLock()) return true;
    TMSMutexAutoReleaser hold(m_pLock);
    return m_stream.isEmpty();
}

bool ThreadMessageStream::isFull() const
{
    if (!hasLock()) return false;
    TMSMutexAutoReleaser hold(m_pLock);
    return m_stream.getPointer() != nullptr && m_stream.isFull();
}

JLIB::JResult ThreadMessageStream::clear()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    (void)m_stream.clear();  // always 0
    // The slots keep their old copies until overwritten: free their data now.
    AbstractMessage* slots = m_stream.getPointer();
    for (uint32_t i = 0; slots && i < m_stream.getRemainSize(); ++i) (void)slots[i].clear();  // always 0
    return JLIB::kOk;
}

JLIB::JResult ThreadMessageStream::release()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    return m_stream.deleteIntBuffer();
}

}  // namespace TMS
