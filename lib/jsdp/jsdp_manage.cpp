#include "jsdp/jsdp_manage.h"

#include "jlib/jlib_cfg.h"
#include "jsdp/JsdpComm.h"
#include "jsdp/JsdpLocalHost.h"
#include "jsdp/JsdpNetwork.h"
#include "jsdp/JsdpObserver.h"
#include "jsdp/JsdpService.h"
#include "jsdp/jsdp_address.h"
#include "oswrap/oswrap_task.h"
#include "vsock/vsock_addr.h"

namespace JSDP {

namespace {

constexpr int32_t kNoId = -1;
constexpr uint32_t kIndexCount = T_JSDP_MANAGE::kServiceCount;

// The pools: static slots that the manager hands out through its lists. Defined before gl_manage,
// so they outlive its finalisation at process end.
JsdpNetwork gl_networks[T_JSDP_MANAGE::kNetworkCount];
JsdpComm gl_comms[T_JSDP_MANAGE::kCommCount];
JsdpService gl_services[T_JSDP_MANAGE::kServiceCount];
JsdpLocalHost gl_hosts[T_JSDP_MANAGE::kHostCount];
JsdpObserver gl_observers[T_JSDP_MANAGE::kObserverCount];
int32_t gl_idMap[kIndexCount] = {kNoId, kNoId, kNoId, kNoId};
JsdpCallbackPair gl_callbackPair[T_JSDP_MANAGE::kCommCount];

uint8_t validRole(uint8_t role) { return (role == kRoleListener || role == kRoleBoth) ? role : kRoleResponder; }

bool intervalInRange(uint32_t intervalMs, uint32_t seconds)
{
    if (intervalMs < T_JSDP_MANAGE::kIntervalMin || intervalMs > T_JSDP_MANAGE::kIntervalMax) return false;
    return seconds * 1000u >= intervalMs;  // an unsigned 32-bit product, as the owners compute it
}

// One main-lock section of a pass; a lock that could not be taken is not given back.
class MainSection {
public:
    explicit MainSection(const T_JSDP_MANAGE& manage) : m_manage(manage), m_locked(manage.mainLock() == JLIB::kOk) {}
    ~MainSection()
    {
        if (m_locked) (void)m_manage.mainUnlock();  // taken by the constructor
    }
    MainSection(const MainSection&) = delete;
    MainSection& operator=(const MainSection&) = delete;

private:
    const T_JSDP_MANAGE& m_manage;
    bool m_locked;
};

}  // namespace

T_JSDP_MANAGE gl_manage;

int32_t vsockCallback(int32_t sockId, netc_sock_cb_prm* prm)
{
    return static_cast<int32_t>(gl_manage.funcSocketCallback(sockId, prm));
}

T_JSDP_MANAGE::~T_JSDP_MANAGE() { finalize(); }

JLIB::JResult T_JSDP_MANAGE::funcSocketCallback(int32_t sockId, netc_sock_cb_prm* prm)
{
    return m_callbackSet.callback(sockId, prm);
}

JLIB::JResult T_JSDP_MANAGE::initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t mainLockId,
                                        uint16_t socketLockId)
{
    if (m_state != kUninitialized) finalize();
    m_lockFunction = lock;
    m_unlockFunction = unlock;
    m_mainLockId = mainLockId;
    m_socketLockId = socketLockId;
    m_eventFunction = nullptr;
    m_indexMode = false;
    m_taskId = 0;
    JLIB::JResult r = JLIB::kOk;
    for (JsdpNetwork& network : gl_networks) {
        if (JLIB::isFailure(network.initialize())) r = kJsdpLockFailed;
    }
    for (uint32_t i = 0; i < kServiceCount; ++i) {
        (void)gl_services[i].initialize(static_cast<int32_t>(i));  // ids are never negative here
        gl_idMap[i] = kNoId;
    }
    for (JsdpLocalHost& host : gl_hosts) host.initialize();
    for (uint32_t i = 0; i < kCommCount; ++i) {
        if (JLIB::isFailure(gl_comms[i].initialize(static_cast<uint16_t>(i), kSendQueueCapacity))) r = kJsdpLockFailed;
    }
    for (JsdpObserver& observer : gl_observers) observer.finalize();
    if (JLIB::isFailure(m_freeNetworks.initializeFull(gl_networks, kNetworkCount)) ||
        JLIB::isFailure(m_usedNetworks.initialize(kNetworkCount)) ||
        JLIB::isFailure(m_freeComms.initializeFull(gl_comms, kCommCount)) ||
        JLIB::isFailure(m_usedComms.initialize(kCommCount)) ||
        JLIB::isFailure(m_freeServices.initializeFull(gl_services, kServiceCount)) ||
        JLIB::isFailure(m_freeHosts.initializeFull(gl_hosts, kHostCount)) ||
        JLIB::isFailure(m_usedHosts.initialize(kHostCount)) ||
        JLIB::isFailure(m_freeObservers.initializeFull(gl_observers, kObserverCount)) ||
        JLIB::isFailure(m_usedObservers.initialize(kObserverCount))) {
        r = kJsdpLockFailed;
    }
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] T_JSDP_MANAGE::initialize - no memory for the pools\n");
        finalize();
        return r;
    }
    m_state = kPoolsReady;
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::setup(const _T_JSDP_LOCAL_SETUP* record)
{
    if (!record) return kJsdpBadArgument;
    if (m_state == kUninitialized) {
        JLIB_RETURN_IF_FAILED(initialize(record->lockFunction, record->unlockFunction, record->mainLockId,
                                         record->socketLockId));
    }
    if (m_state != kPoolsReady) return kJsdpConflict;
    // Read before the lock: the OS layer's own lock is taken before any semaphore, never after.
    uint16_t taskId = 0;
    (void)oswrap_GetTskId(&taskId);  // 0 stays when no id is left; the id is only recorded
    const JLIB::JResult locked = mainLock();
    if (JLIB::isFailure(locked)) return locked;
    m_taskId = taskId;
    m_eventFunction = record->eventFunction;
    m_callbackSet.initialize(m_lockFunction, m_unlockFunction, m_socketLockId, m_eventFunction, gl_callbackPair,
                             kCommCount);
    for (uint32_t i = 0; i < kCommCount; ++i) gl_comms[i].connectCallbackPair(&gl_callbackPair[i]);
    m_state = kAttached;
    if (locked == JLIB::kOk) (void)mainUnlock();  // taken above
    return JLIB::kOk;
}

void T_JSDP_MANAGE::finalize()
{
    if (m_usedObservers.exists() || m_freeObservers.exists()) {
        for (JsdpObserver& observer : gl_observers) observer.finalize();
    }
    m_freeObservers.release();
    m_usedObservers.release();
    if (m_usedComms.exists() || m_freeComms.exists()) {
        for (JsdpComm& comm : gl_comms) comm.finalize();
    }
    m_freeComms.release();
    m_usedComms.release();
    m_freeHosts.release();
    m_usedHosts.release();
    if (m_freeServices.exists()) {
        for (JsdpService& service : gl_services) service.finalize();
    }
    m_freeServices.release();
    for (JsdpNetwork& network : gl_networks) network.finalize();
    m_freeNetworks.release();
    m_usedNetworks.release();
    for (int32_t& entry : gl_idMap) entry = kNoId;
    // The locks are deleted after this; nothing may take them through the manager any more.
    m_callbackSet.initialize(nullptr, nullptr, 0, nullptr, gl_callbackPair, kCommCount);
    m_lockFunction = nullptr;
    m_unlockFunction = nullptr;
    m_mainLockId = 0;
    m_socketLockId = 0;
    m_eventFunction = nullptr;
    m_indexMode = false;
    m_taskId = 0;
    m_state = kUninitialized;
}

JLIB::JResult T_JSDP_MANAGE::mainLock() const
{
    if (!m_lockFunction || m_mainLockId == 0) return kJsdpNoLock;
    return JLIB::isFailure(m_lockFunction(m_mainLockId)) ? kJsdpLockFailed : JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::mainUnlock() const
{
    if (!m_unlockFunction || m_mainLockId == 0) return kJsdpNoLock;
    return JLIB::isFailure(m_unlockFunction(m_mainLockId)) ? kJsdpLockFailed : JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::setConfigCore(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY& request)
{
    *id = kNoId;
    if (request.extensionLength > kExtensionMax) return kJsdpBadArgument;
    if (isZeroAddress(request.localAddress)) return kJsdpBadArgument;

    JsdpNetwork* network = nullptr;
    for (JsdpNetwork* used : m_usedNetworks) {
        if (used->compare(request.localAddress, request.port)) {
            network = used;
            break;
        }
    }
    if (!network) {
        network = m_freeNetworks.front();
        JsdpComm* comm = m_freeComms.front();
        if (!network || !comm) return kJsdpExhausted;
        // A free entry holding a line would hand one line to two entries.
        JLIB_ASSERT(network->getComm() == nullptr);
        (void)m_freeComms.pop();      // comm is its head
        (void)m_usedComms.push(comm);  // both lists have room for every line
        network->setComm(comm);
        network->set(request.localAddress, request.port);
        (void)m_freeNetworks.pop();           // network is its head
        (void)m_usedNetworks.push(network);   // room for every entry
    }

    const JLIB::JResult r = [&]() -> JLIB::JResult {
        const uint8_t role = validRole(request.role);
        JsdpService* first = nullptr;
        JsdpService* second = nullptr;
        network->searchServiceByName(request.nameLength, request.name, &first, &second);
        if (second || (first && first->checkType(role))) return kJsdpConflict;
        if (role != kRoleResponder && request.intervalMs == 0) return kJsdpBadArgument;
        JsdpService* service = m_freeServices.front();
        if (!service) return kJsdpExhausted;
        JLIB_RETURN_IF_FAILED(network->addService(service));  // four slots, four registrations
        (void)m_freeServices.pop();  // service is its head
        const JLIB::JResult built = service->setupData(role, request);
        if (JLIB::isFailure(built)) {
            (void)network->removeService(service);  // added above
            service->refresh();
            (void)m_freeServices.push(service);  // its slot was freed by the pop
            return built;
        }
        *id = service->getId();
        return JLIB::kOk;
    }();
    // An entry that holds no registration after a refusal would keep a socket open for nothing.
    if (JLIB::isFailure(r) && network->IsEmpty()) releaseNetwork(network);
    return r;
}

void T_JSDP_MANAGE::releaseNetwork(JsdpNetwork* network)
{
    JsdpComm* comm = network->getComm();
    if (comm) {
        network->clearComm();
        (void)m_usedComms.remove(comm);  // an entry's line is in use
        comm->reset();
        (void)m_freeComms.push(comm);    // room for every line
    }
    (void)m_usedNetworks.remove(network);
    network->set(netc_addr_any, 0);
    (void)m_freeNetworks.push(network);
}

bool T_JSDP_MANAGE::hasRegistrations() const
{
    for (JsdpNetwork* network : m_usedNetworks) {
        if (!network->IsEmpty()) return true;
    }
    return false;
}

JLIB::JResult T_JSDP_MANAGE::setConfig(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request)
{
    if (id) *id = kNoId;
    if (!id || !request) return kJsdpBadArgument;
    if (m_state == kUninitialized) return kJsdpNotRunning;
    if ((m_state != kPoolsReady && m_state != kAttached && m_state != kRunning) || !m_eventFunction) {
        return kJsdpWrongFamily;
    }
    m_state = kRegistering;
    const JLIB::JResult r = setConfigCore(id, *request);
    if (JLIB::isSuccess(r)) {
        m_state = kRunning;
        (void)m_eventFunction(kEventSetup);  // the poster answers 0
        return r;
    }
    // The registrations that stand keep announcing; their reads and changes stay open.
    if (hasRegistrations()) {
        m_state = kRunning;
    } else {
        m_indexMode = false;
        m_state = kAttached;
    }
    return r;
}

JLIB::JResult T_JSDP_MANAGE::setConfigObsolete(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint32_t count)
{
    if (m_state == kUninitialized) return kJsdpNotRunning;
    if (m_state != kPoolsReady && m_state != kAttached) return kJsdpConflict;
    if (!m_eventFunction) return kJsdpWrongFamily;
    if (count > kIndexCount || (!requests && count != 0)) return kJsdpBadArgument;
    m_state = kRegistering;
    m_indexMode = true;
    for (uint32_t i = 0; i < count; ++i) {
        const JLIB::JResult r = setConfigCore(&gl_idMap[i], requests[i]);
        if (JLIB::isSuccess(r)) continue;
        for (uint32_t j = i; j-- > 0;) {
            (void)clearConfigCore(gl_idMap[j]);  // made by this call, so present
            gl_idMap[j] = kNoId;
        }
        m_indexMode = false;
        m_state = kAttached;
        return r;
    }
    m_state = kRunning;
    (void)m_eventFunction(kEventSetup);  // the poster answers 0
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::clearConfigCore(int32_t id)
{
    JsdpNetwork* network = findNetworkOf(id);
    if (!network) return kJsdpBadArgument;
    JsdpService* service = network->searchServiceById(id);
    (void)network->removeService(service);  // found in it
    // A datagram still waiting on the line would leave with a cleared registration's content.
    if (network->getComm()) network->getComm()->withdrawSend(&service->getTxData());
    service->refresh();
    (void)m_freeServices.push(service);  // room for every registration
    if (network->IsEmpty()) releaseNetwork(network);
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::clearConfig(int32_t id) { return clearConfigCore(id); }

JLIB::JResult T_JSDP_MANAGE::clearConfigObsolete()
{
    if (m_state == kUninitialized) return kJsdpNotRunning;
    if (m_state == kAttached || m_state == kIndexCleared || !m_indexMode) return kJsdpWrongFamily;
    JLIB::JResult r = JLIB::kOk;
    for (int32_t& entry : gl_idMap) {
        if (entry == kNoId) continue;
        r = clearConfigCore(entry);
        entry = kNoId;
    }
    if (JLIB::isFailure(r)) return r;
    m_state = kIndexCleared;
    if (m_eventFunction) (void)m_eventFunction(kEventSetup);  // the poster answers 0
    return r;
}

JLIB::JResult T_JSDP_MANAGE::changeTimeCore(int32_t id, uint32_t intervalMs, uint32_t seconds)
{
    if (!intervalInRange(intervalMs, seconds) || id < 0) return kJsdpBadArgument;
    if (m_state != kRunning) return kJsdpNotRunning;
    JsdpService* service = findService(id);
    if (!service) return kJsdpBadArgument;
    service->changeInterval(intervalMs);
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::changeStatusCore(int32_t id, uint8_t status)
{
    if (status > 1 || id < 0) return kJsdpBadArgument;
    if (m_state != kRunning) return kJsdpNotRunning;
    JsdpService* service = findService(id);
    if (!service) return kJsdpBadArgument;
    return service->setStatus(status);
}

JLIB::JResult T_JSDP_MANAGE::getStatusCore(int32_t id)
{
    if (id < 0) return kJsdpBadArgument;
    if (m_state != kRunning) return kJsdpNotRunning;
    const JsdpService* service = findService(id);
    if (!service || !service->isBuilt()) return kJsdpBadArgument;
    return service->getStatus();
}

JLIB::JResult T_JSDP_MANAGE::changeTime(int32_t id, uint32_t intervalMs, uint32_t seconds)
{
    if (id < 0) return kJsdpBadArgument;
    if (m_indexMode) return kJsdpWrongFamily;
    return changeTimeCore(id, intervalMs, seconds);
}

JLIB::JResult T_JSDP_MANAGE::changeStatus(int32_t id, uint8_t status)
{
    if (id < 0) return kJsdpBadArgument;
    if (m_indexMode) return kJsdpWrongFamily;
    return changeStatusCore(id, status);
}

JLIB::JResult T_JSDP_MANAGE::getStatus(int32_t id)
{
    if (id < 0) return kJsdpBadArgument;
    if (m_indexMode) return kJsdpWrongFamily;
    return getStatusCore(id);
}

JLIB::JResult T_JSDP_MANAGE::changeTimeObsolete(uint32_t index, uint32_t intervalMs, uint32_t seconds)
{
    if (index >= kIndexCount) return kJsdpBadArgument;
    if (!m_indexMode) return kJsdpWrongFamily;
    return changeTimeCore(gl_idMap[index], intervalMs, seconds);
}

JLIB::JResult T_JSDP_MANAGE::changeStatusObsolate(uint32_t index, uint8_t status)
{
    if (index >= kIndexCount) return kJsdpBadArgument;
    if (!m_indexMode) return kJsdpWrongFamily;
    if (gl_idMap[index] == kNoId) return kJsdpBadArgument;
    return changeStatusCore(gl_idMap[index], status);
}

JLIB::JResult T_JSDP_MANAGE::getStatusObsolate(uint32_t index)
{
    if (index >= kIndexCount) return kJsdpBadArgument;
    if (!m_indexMode) return kJsdpWrongFamily;
    if (gl_idMap[index] == kNoId) return kJsdpBadArgument;
    return getStatusCore(gl_idMap[index]);
}

int32_t T_JSDP_MANAGE::getIdMapEntry(uint32_t index) const { return index < kIndexCount ? gl_idMap[index] : kNoId; }

JsdpNetwork* T_JSDP_MANAGE::findNetworkOf(int32_t id) const
{
    if (id < 0) return nullptr;
    for (JsdpNetwork* network : m_usedNetworks) {
        if (network->searchServiceById(id)) return network;
    }
    return nullptr;
}

JsdpService* T_JSDP_MANAGE::findService(int32_t id) const
{
    const JsdpNetwork* network = findNetworkOf(id);
    return network ? network->searchServiceById(id) : nullptr;
}

// ---- host table and subscribers ----

JsdpLocalHost* hostInfoArray_update(JsdpList<JsdpLocalHost>& used, JsdpList<JsdpLocalHost>& free,
                                    const _JSDP_HOST_INFO& host, uint8_t* changed)
{
    *changed = 0;
    for (JsdpLocalHost* entry : used) {
        if (!entry->compare(host)) continue;
        *changed = entry->updateHost(host) ? 1 : 0;
        return entry;
    }
    JsdpLocalHost* entry = free.front();
    if (!entry) return nullptr;  // the table is full: known hosts are still refreshed
    (void)free.pop();            // entry is its head
    entry->setHost(host);
    (void)used.push(entry);      // room for every entry
    *changed = 1;
    return entry;
}

JLIB::JResult userTaskInfoArray_subscribe(JsdpList<JsdpObserver>& used, JsdpList<JsdpObserver>& free, uint16_t taskId,
                                          JsdpHostCallback callback)
{
    for (JsdpObserver* observer : used) {
        if (observer->compare(taskId)) return kJsdpConflict;
    }
    JsdpObserver* observer = free.front();
    if (!observer) return kJsdpExhausted;
    (void)free.pop();  // observer is its head
    observer->subscribe(taskId, callback);
    (void)used.push(observer);  // room for every slot
    return JLIB::kOk;
}

void userTaskInfoArray_updateHost(const JsdpList<JsdpObserver>& used, const _JSDP_HOST_INFO* host, uint8_t enabled)
{
    for (JsdpObserver* observer : used) observer->onCallback(host, enabled);
}

void T_JSDP_MANAGE::freeHost(JsdpLocalHost* host)
{
    JsdpTxData& reply = host->getTxDataInfo();
    if (!reply.IsIdle()) {
        for (JsdpComm* comm : m_usedComms) comm->withdrawSend(&reply);
    }
    (void)m_usedHosts.remove(host);  // an in-use entry
    host->initialize();
    (void)m_freeHosts.push(host);    // room for every entry
}

void T_JSDP_MANAGE::notifyUpdateHostInfo()
{
    const MainSection section(*this);
    for (JsdpLocalHost* host : m_usedHosts) {
        bool remove = false;
        host->callback(m_usedObservers, &remove);
        if (remove) freeHost(host);
    }
}

JLIB::JResult T_JSDP_MANAGE::subscribeTask(uint16_t taskId, JsdpHostCallback callback)
{
    if (m_state == kUninitialized) return kJsdpNotRunning;
    JLIB_RETURN_IF_FAILED(userTaskInfoArray_subscribe(m_usedObservers, m_freeObservers, taskId, callback));
    for (JsdpLocalHost* host : m_usedHosts) host->initialCallback(callback);
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::getNumOfActiveHost(uint32_t* count) const
{
    if (!count) return kJsdpBadArgument;
    *count = 0;
    if (m_state != kRunning) return kJsdpNotRunning;
    for (JsdpLocalHost* host : m_usedHosts) {
        if (host->IsEnable()) ++*count;
    }
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::getNumOfHost(uint16_t* count) const
{
    if (!count) return kJsdpBadArgument;
    *count = 0;
    if (m_state != kRunning) return kJsdpNotRunning;
    *count = static_cast<uint16_t>(m_usedHosts.size());
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::getHostInfoByIndex(uint32_t n, _JSDP_HOST_INFO* host) const
{
    if (!host) return kJsdpBadArgument;
    if (m_state != kRunning) return kJsdpNotRunning;
    uint32_t i = 0;
    for (JsdpLocalHost* entry : m_usedHosts) {
        if (!entry->IsEnable()) continue;
        if (i++ == n) {
            *host = entry->getHost();
            return JLIB::kOk;
        }
    }
    return kJsdpBadArgument;
}

JLIB::JResult T_JSDP_MANAGE::printHostList(JsdpPrintFunction f) const
{
    if (!f) return kJsdpBadArgument;
    int i = 0;
    for (JsdpLocalHost* host : m_usedHosts) {
        (void)f("%2d:", i++);
        host->print(f);
    }
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::debugPrintStatus(JsdpPrintFunction f) const
{
    if (!f) return kJsdpBadArgument;
    (void)f("[\n");
    int i = 0;
    for (JsdpNetwork* network : m_usedNetworks) {
        char text[128] = {};
        if (vsock_ntop(&network->getAddress(), text, sizeof(text)) != 0) text[0] = '\0';
        (void)f("<%2d:", i++);
        (void)f("IP:%s, ", text);
    }
    (void)f("]\n");
    return JLIB::kOk;
}

// ---- processing passes ----

JLIB::JResult T_JSDP_MANAGE::runSetup(uint8_t* interval)
{
    *interval = 0;
    if (m_state != kIndexCleared) {
        *interval = 1;
        return JLIB::kOk;
    }
    const MainSection section(*this);
    for (JsdpComm* comm : m_usedComms) comm->reset();
    for (JsdpLocalHost* host : m_usedHosts) {
        (void)m_usedHosts.remove(host);  // the one being visited
        host->initialize();
        (void)m_freeHosts.push(host);    // room for every entry
    }
    m_state = kAttached;
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::runInterval(uint8_t* receive, uint8_t* send, uint8_t* notify)
{
    *receive = 0;
    *send = 0;
    *notify = 0;
    {
        const MainSection section(*this);
        for (JsdpNetwork* network : m_usedNetworks) network->runInterval(receive, send);
    }
    // A second section, so that a waiting caller gets in between.
    const MainSection section(*this);
    for (JsdpLocalHost* host : m_usedHosts) {
        if (host->runTimeoutProcess()) *notify = 1;
    }
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::runSocketCallback(uint8_t* receive, uint8_t* send)
{
    *receive = 0;
    *send = 0;
    const MainSection section(*this);
    m_callbackSet.copyWorks();
    for (JsdpComm* comm : m_usedComms) comm->runSocketCallback(m_callbackSet, receive, send);
    return JLIB::kOk;
}

JLIB::JResult T_JSDP_MANAGE::runReceive(uint8_t* more, uint8_t* send, uint8_t* notify)
{
    *more = 0;
    *send = 0;
    *notify = 0;
    JLIB::JResult result = JLIB::kOk;
    const MainSection section(*this);
    for (JsdpNetwork* network : m_usedNetworks) {
        JsdpComm* comm = network->getComm();
        if (!comm) continue;
        uint8_t lineMore = 0;
        m_rxFlags = 0;
        result = comm->doReceive(network->getAddress(), &m_rxSource, &m_rxFlags, &m_rxHost, &lineMore);
        *more |= lineMore;
        if (JLIB::isFailure(result) || isZeroAddress(m_rxSource.addr)) continue;

        JsdpService* first = nullptr;
        JsdpService* second = nullptr;
        network->searchServiceByName(m_rxHost.nameLength, m_rxHost.name, &first, &second);
        const bool request = (m_rxFlags & kFlagResponse) == 0;
        auto takes = [request](const JsdpService* service) {
            return service && (request ? service->isProcessRequest() : service->isProcessResponse());
        };
        JsdpService* chosen = takes(first) ? first : (takes(second) ? second : nullptr);
        if (chosen) {
            uint8_t changed = 0;
            JsdpLocalHost* host = hostInfoArray_update(m_usedHosts, m_freeHosts, m_rxHost, &changed);
            if (changed) *notify = 1;
            if (host && request && chosen->needResponse()) {
                const uint8_t* data = nullptr;
                uint32_t size = 0;
                chosen->getShareData(&data, &size);
                // One answer at a time per host: a reply still queued covers this request too.
                if (JLIB::isSuccess(comm->requestSendWithSet(&host->getTxDataInfo(), m_rxSource, data, size))) {
                    *send = 1;
                }
            }
        }
        m_rxSource.addr = netc_addr_any;
    }
    return result;
}

JLIB::JResult T_JSDP_MANAGE::runSend(uint8_t* first, uint8_t* second)
{
    *first = 0;
    *second = 0;
    JLIB::JResult result = JLIB::kOk;
    const MainSection section(*this);
    for (JsdpComm* comm : m_usedComms) {
        uint8_t lineFirst = 0;
        uint8_t lineSecond = 0;
        result |= comm->doSend(&lineFirst, &lineSecond);
        *second |= lineSecond;
    }
    return result;
}

}  // namespace JSDP
