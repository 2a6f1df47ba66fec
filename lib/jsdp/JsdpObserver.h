#pragma once
// One subscriber to host changes: a task id and the callback it gave. A slot of the manager's pool;
// used under the main lock.
#include <cstdint>

#include "jsdp/jsdp_types.h"

namespace JSDP {

// Receives a host record (valid only during the call) and 1 when the host is present or was
// refreshed, 0 when it is gone. Its answer is not looked at.
using JsdpHostCallback = JLIB::JResult (*)(const _JSDP_HOST_INFO* host, uint8_t enabled);

class JsdpObserver {
public:
    void subscribe(uint16_t taskId, JsdpHostCallback callback)
    {
        m_taskId = taskId;
        m_callback = callback;
    }
    bool compare(uint16_t taskId) const { return m_taskId == taskId; }
    // Calls the callback when one is set; its answer is not looked at.
    void onCallback(const _JSDP_HOST_INFO* host, uint8_t enabled) const
    {
        if (m_callback) (void)m_callback(host, enabled);
    }
    // Clears the slot.
    void finalize() { subscribe(0, nullptr); }
    uint16_t getTaskId() const { return m_taskId; }
    JsdpHostCallback getCallback() const { return m_callback; }

private:
    uint16_t m_taskId = 0;
    JsdpHostCallback m_callback = nullptr;
};

}  // namespace JSDP
