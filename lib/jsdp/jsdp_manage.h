#pragma once
// The discovery protocol's single manager (gl_manage): fixed pools of network entries, socket lines
// and registrations, the registration families (by id, and by index into a map of four), their
// changes and reads, and the manager state. Every operation runs with the main lock held (the
// caller takes it), except setup, which takes it itself; the socket layer's task reaches only
// funcSocketCallback, which touches nothing but the socket-event records under their own lock.
#include <cstdint>

#include "jsdp/JsdpCallbackDataSet.h"
#include "jsdp/JsdpList.h"
#include "jsdp/JsdpLocalHost.h"
#include "jsdp/JsdpObserver.h"
#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpComm;
class JsdpNetwork;
class JsdpService;

// The entry now holding the record: an entry of the same host is refreshed, a new host takes the
// head of the free list (none when the table is full: the record is dropped). *changed tells that
// the entry has a change not yet notified.
JsdpLocalHost* hostInfoArray_update(JsdpList<JsdpLocalHost>& used, JsdpList<JsdpLocalHost>& free,
                                    const _JSDP_HOST_INFO& host, uint8_t* changed);
// 0x80000005 for a task already subscribed, 0x80000007 without a free slot.
[[nodiscard]] JLIB::JResult userTaskInfoArray_subscribe(JsdpList<JsdpObserver>& used, JsdpList<JsdpObserver>& free,
                                                        uint16_t taskId, JsdpHostCallback callback);
// Every subscriber in subscription order.
void userTaskInfoArray_updateHost(const JsdpList<JsdpObserver>& used, const _JSDP_HOST_INFO* host, uint8_t enabled);

class T_JSDP_MANAGE {
public:
    static constexpr uint32_t kNetworkCount = 2;
    static constexpr uint32_t kCommCount = 2;
    static constexpr uint32_t kServiceCount = 4;
    static constexpr uint32_t kHostCount = 32;
    static constexpr uint32_t kObserverCount = 5;
    static constexpr uint32_t kSendQueueCapacity = kServiceCount + kHostCount;
    static constexpr uint32_t kIntervalMin = 100;
    static constexpr uint32_t kIntervalMax = 268435456;

    enum State : uint8_t {
        kUninitialized = 0,
        kPoolsReady = 1,   // no event function yet
        kAttached = 2,     // attached to the service task, nothing running
        kRegistering = 3,
        kIndexCleared = 4, // reset pending in the service task's setup pass
        kRunning = 5,
    };

    T_JSDP_MANAGE() = default;
    ~T_JSDP_MANAGE();
    T_JSDP_MANAGE(const T_JSDP_MANAGE&) = delete;
    T_JSDP_MANAGE& operator=(const T_JSDP_MANAGE&) = delete;

    // Builds the pools into their free lists and stores the lock functions and ids; state 1. A
    // manager already initialised is finalised first. 0, or 0x80000001 when a list cannot be built.
    [[nodiscard]] JLIB::JResult initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t mainLockId,
                                           uint16_t socketLockId);
    // Initialises first in state 0; then needs state 1 (else 0x80000005). Under the main lock:
    // records the calling task and the event function, prepares the socket-event records and
    // connects line i to pair i; state 2. 0x80000002 for a missing record.
    [[nodiscard]] JLIB::JResult setup(const _T_JSDP_LOCAL_SETUP* record);
    // Closes every line, releases the lists and forgets the lock and event functions; state 0.
    // Safe in any state.
    void finalize();
    // kJsdpNoLock without a lock function or id, 0x80000001 when the function fails, else 0.
    [[nodiscard]] JLIB::JResult mainLock() const;
    [[nodiscard]] JLIB::JResult mainUnlock() const;

    // Id family: one registration; *id gets its id, -1 when refused.
    [[nodiscard]] JLIB::JResult setConfig(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request);
    // Index family: up to four registrations, all or nothing; registration i's id goes to map entry i.
    [[nodiscard]] JLIB::JResult setConfigObsolete(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint32_t count);
    // Validates and records one registration (no state checks).
    [[nodiscard]] JLIB::JResult setConfigCore(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY& request);

    [[nodiscard]] JLIB::JResult clearConfig(int32_t id);
    [[nodiscard]] JLIB::JResult clearConfigObsolete();
    // Frees the registration; an entry left without registration is freed with its line (socket
    // closed). 0x80000002 when no registration has the id.
    [[nodiscard]] JLIB::JResult clearConfigCore(int32_t id);

    [[nodiscard]] JLIB::JResult changeTime(int32_t id, uint32_t intervalMs, uint32_t seconds);
    [[nodiscard]] JLIB::JResult changeStatus(int32_t id, uint8_t status);
    // The status 0..15, or a failure code.
    [[nodiscard]] JLIB::JResult getStatus(int32_t id);
    [[nodiscard]] JLIB::JResult changeTimeObsolete(uint32_t index, uint32_t intervalMs, uint32_t seconds);
    [[nodiscard]] JLIB::JResult changeStatusObsolate(uint32_t index, uint8_t status);
    [[nodiscard]] JLIB::JResult getStatusObsolate(uint32_t index);
    [[nodiscard]] JLIB::JResult changeTimeCore(int32_t id, uint32_t intervalMs, uint32_t seconds);
    [[nodiscard]] JLIB::JResult changeStatusCore(int32_t id, uint8_t status);
    [[nodiscard]] JLIB::JResult getStatusCore(int32_t id);

    // Host table and subscribers (main lock held, except notifyUpdateHostInfo, which takes it).
    // The notification pass: every changed entry is reported to every subscriber (1 enabled, 0
    // gone) and a gone entry is freed.
    void notifyUpdateHostInfo();
    // State 1 or above (else 0x80000004); then the subscribed hosts are replayed to callback with 1
    // on the caller's task.
    [[nodiscard]] JLIB::JResult subscribeTask(uint16_t taskId, JsdpHostCallback callback);
    // State 5 only (else count 0 and 0x80000004).
    [[nodiscard]] JLIB::JResult getNumOfActiveHost(uint32_t* count) const;
    [[nodiscard]] JLIB::JResult getNumOfHost(uint16_t* count) const;
    // A copy of the n-th enabled entry; 0x80000002 beyond the enabled count (out untouched).
    [[nodiscard]] JLIB::JResult getHostInfoByIndex(uint32_t n, _JSDP_HOST_INFO* host) const;
    [[nodiscard]] JLIB::JResult printHostList(JsdpPrintFunction f) const;
    [[nodiscard]] JLIB::JResult debugPrintStatus(JsdpPrintFunction f) const;

    // Processing passes, run by the service task; each takes the main lock itself and clears its
    // out flags first.
    JLIB::JResult runSetup(uint8_t* interval);
    JLIB::JResult runInterval(uint8_t* receive, uint8_t* send, uint8_t* notify);
    JLIB::JResult runSocketCallback(uint8_t* receive, uint8_t* send);
    // The result of the last line read (0 or 0x80000008).
    JLIB::JResult runReceive(uint8_t* more, uint8_t* send, uint8_t* notify);
    // The results of all lines ORed.
    JLIB::JResult runSend(uint8_t* first, uint8_t* second);

    // Socket layer's task, from vsockCallback.
    JLIB::JResult funcSocketCallback(int32_t sockId, netc_sock_cb_prm* prm);

    uint8_t getState() const { return m_state; }
    bool isIndexMode() const { return m_indexMode; }
    uint16_t getTaskId() const { return m_taskId; }
    int32_t getIdMapEntry(uint32_t index) const;
    // The registration with the id, null when none is in use.
    JsdpService* findService(int32_t id) const;
    // The network entry holding the registration, null when none.
    JsdpNetwork* findNetworkOf(int32_t id) const;
    uint32_t getNumOfNetworks() const { return m_usedNetworks.size(); }
    uint32_t getNumOfComms() const { return m_usedComms.size(); }
    uint32_t getNumOfFreeHosts() const { return m_freeHosts.size(); }
    uint32_t getNumOfFreeObservers() const { return m_freeObservers.size(); }
    uint32_t getNumOfUsedHosts() const { return m_usedHosts.size(); }
    const JsdpList<JsdpLocalHost>& usedHosts() const { return m_usedHosts; }
    const JsdpList<JsdpObserver>& usedObservers() const { return m_usedObservers; }
    const JsdpList<JsdpNetwork>& usedNetworks() const { return m_usedNetworks; }
    JsdpCallbackDataSet& callbackSet() { return m_callbackSet; }

private:
    bool hasRegistrations() const;
    // Returns an entry without registrations and its line to the free lists.
    void releaseNetwork(JsdpNetwork* network);
    // Back to the free list; a reply still waiting on a line is taken out of its queue first.
    void freeHost(JsdpLocalHost* host);

    uint8_t m_state = kUninitialized;
    uint16_t m_taskId = 0;
    JsdpEventFunction m_eventFunction = nullptr;
    JsdpLockFunction m_lockFunction = nullptr;
    JsdpLockFunction m_unlockFunction = nullptr;
    uint16_t m_mainLockId = 0;
    uint16_t m_socketLockId = 0;
    bool m_indexMode = false;
    // Receive scratch of the receive pass.
    netc_endpoint m_rxSource = {};
    uint8_t m_rxFlags = 0;
    _JSDP_HOST_INFO m_rxHost = {};
    JsdpList<JsdpNetwork> m_freeNetworks;
    JsdpList<JsdpNetwork> m_usedNetworks;
    JsdpList<JsdpComm> m_freeComms;
    JsdpList<JsdpComm> m_usedComms;
    JsdpList<JsdpService> m_freeServices;
    JsdpList<JsdpLocalHost> m_freeHosts;
    JsdpList<JsdpLocalHost> m_usedHosts;
    JsdpList<JsdpObserver> m_freeObservers;
    JsdpList<JsdpObserver> m_usedObservers;
    JsdpCallbackDataSet m_callbackSet;
};

// The callback given to the socket layer for every discovery socket; forwards to gl_manage.
int32_t vsockCallback(int32_t sockId, netc_sock_cb_prm* prm);

extern T_JSDP_MANAGE gl_manage;

}  // namespace JSDP
