#pragma once
// Hands socket events from the socket layer's task to the discovery task: the socket task records
// them in the live records under the socket-event lock and calls the notify function; the
// discovery task takes them over with copyWorks, also under that lock (taken after the main lock).
#include <cstdint>

#include "jsdp/JsdpCallbackPair.h"
#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpCallbackDataSet {
public:
    // Discovery task. pairs (count of them) are the manager's; each learns its set. Lock functions
    // may be null (no lock is taken then).
    void initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t lockId, JsdpEventFunction notify,
                    JsdpCallbackPair* pairs, uint32_t count);
    // Socket layer's task: records event 4 (send completed) or 5 (datagram arrived) in the live
    // record of the pair that has this socket id and calls notify with 2; other events and unknown
    // sockets record nothing. Always 0.
    JLIB::JResult callback(int32_t sockId, const netc_sock_cb_prm* prm);
    // Discovery task: every live record to its work record, the live events cleared.
    void copyWorks();
    // Null beyond the count.
    JsdpCallbackPair* getPair(uint32_t index);
    T_JSDP_VSOCK_CALLBACK_DATA* getWork(uint32_t index);

    // The socket-event lock; kJsdpNoLock when none is configured.
    [[nodiscard]] JLIB::JResult lock() const;
    [[nodiscard]] JLIB::JResult unlock() const;

private:
    JsdpLockFunction m_lock = nullptr;
    JsdpLockFunction m_unlock = nullptr;
    uint16_t m_lockId = 0;
    JsdpEventFunction m_notify = nullptr;
    JsdpCallbackPair* m_pPairs = nullptr;  // the manager's
    uint32_t m_count = 0;
};

}  // namespace JSDP
