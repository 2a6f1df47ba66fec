#pragma once
// The socket events of one line: a live record that the socket layer's task writes under the
// socket-event lock and a work record that the discovery task reads after taking them over.
#include <cstdint>

#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpCallbackDataSet;

constexpr uint32_t kCallbackReceived = 0x1;  // a datagram arrived
constexpr uint32_t kCallbackSent = 0x2;      // a send completed

struct T_JSDP_VSOCK_CALLBACK_DATA {
    int32_t sockId = -1;
    uint32_t flags = 0;
    int32_t sendResult = 0;
    int32_t receiveError = 0;  // the value of a failed receive notice
    int32_t receiveCount = 0;  // datagrams announced

    // Everything but the socket id.
    void clearEvents()
    {
        flags = 0;
        sendResult = 0;
        receiveError = 0;
        receiveCount = 0;
    }
};

class JsdpCallbackPair {
public:
    // set is the manager's and outlives the pair's use.
    void setSet(JsdpCallbackDataSet* set) { m_pSet = set; }
    // Discovery task: both records take the id and lose their events (the live one under the
    // socket-event lock), so events of a former socket never reach a new one.
    void setSockId(int32_t sockId);

    T_JSDP_VSOCK_CALLBACK_DATA& work() { return m_work; }
    T_JSDP_VSOCK_CALLBACK_DATA& live() { return m_live; }

private:
    JsdpCallbackDataSet* m_pSet = nullptr;
    T_JSDP_VSOCK_CALLBACK_DATA m_work;
    T_JSDP_VSOCK_CALLBACK_DATA m_live;
};

}  // namespace JSDP
