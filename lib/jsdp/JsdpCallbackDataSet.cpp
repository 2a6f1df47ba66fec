#include "jsdp/JsdpCallbackDataSet.h"

namespace JSDP {

void JsdpCallbackDataSet::initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t lockId,
                                     JsdpEventFunction notify, JsdpCallbackPair* pairs, uint32_t count)
{
    m_lock = lock;
    m_unlock = unlock;
    m_lockId = lockId;
    m_notify = notify;
    m_pPairs = pairs;
    m_count = pairs ? count : 0;
    for (uint32_t i = 0; i < m_count; ++i) m_pPairs[i].setSet(this);
}

JLIB::JResult JsdpCallbackDataSet::lock() const
{
    if (!m_lock || m_lockId == 0) return kJsdpNoLock;
    return JLIB::isFailure(m_lock(m_lockId)) ? kJsdpLockFailed : JLIB::kOk;
}

JLIB::JResult JsdpCallbackDataSet::unlock() const
{
    if (!m_unlock || m_lockId == 0) return kJsdpNoLock;
    return JLIB::isFailure(m_unlock(m_lockId)) ? kJsdpLockFailed : JLIB::kOk;
}

JLIB::JResult JsdpCallbackDataSet::callback(int32_t sockId, const netc_sock_cb_prm* prm)
{
    if (!prm || sockId < 0) return JLIB::kOk;
    const bool locked = lock() == JLIB::kOk;  // a failing lock cannot be reported to the socket layer
    bool recorded = false;
    for (uint32_t i = 0; i < m_count && !recorded; ++i) {
        T_JSDP_VSOCK_CALLBACK_DATA& live = m_pPairs[i].live();
        if (live.sockId != sockId) continue;
        if (prm->type == NETC_SOCK_EV_UDP_SENT) {
            live.flags |= kCallbackSent;
            live.sendResult = prm->result;
            recorded = true;
        } else if (prm->type == NETC_SOCK_EV_UDP_RECEIVED) {
            live.flags |= kCallbackReceived;
            if (prm->result < 0) live.receiveError = prm->result; else ++live.receiveCount;
            recorded = true;
        } else {
            break;  // the pair is found; nothing else is recorded
        }
    }
    if (recorded && m_notify) (void)m_notify(kEventSocket);  // the poster's answer changes nothing here
    if (locked) (void)unlock();  // taken above, so it is given back
    return JLIB::kOk;
}

void JsdpCallbackDataSet::copyWorks()
{
    const bool locked = lock() == JLIB::kOk;  // nothing better to do without it
    for (uint32_t i = 0; i < m_count; ++i) {
        T_JSDP_VSOCK_CALLBACK_DATA& live = m_pPairs[i].live();
        m_pPairs[i].work() = live;
        live.clearEvents();
    }
    if (locked) (void)unlock();  // taken above, so it is given back
}

JsdpCallbackPair* JsdpCallbackDataSet::getPair(uint32_t index) { return index < m_count ? &m_pPairs[index] : nullptr; }

T_JSDP_VSOCK_CALLBACK_DATA* JsdpCallbackDataSet::getWork(uint32_t index)
{
    return index < m_count ? &m_pPairs[index].work() : nullptr;
}

}  // namespace JSDP
