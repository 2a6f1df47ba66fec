#include "VUviRido/Socket/VComCollection.h"

#include "VUviRido/Socket/VComPlatform.h"

namespace VCOM {

// Holds "SEM_VCC" for a scope; released on every path.
class VComCollection::ScopedLock {
public:
    explicit ScopedLock(VComCollection& owner) : m_owner(owner), m_held(JLIB::isSuccess(owner.enterCriticalSection())) {}
    ~ScopedLock()
    {
        if (m_held) (void)m_owner.leaveCriticalSection(); // a held lock is always released
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    bool ok() const { return m_held; }

private:
    VComCollection& m_owner;
    bool m_held;
};

VComCollection::VComCollection()
    : m_ObjectList(kCapacity, JLIB::JAllocator<IVCom*>(0, "VComCollection::m_ObjectList"))
{
    m_semCreated = JLIB::isSuccess(VComACreSem(&m_semId, "SEM_VCC"));
    if (!m_semCreated) VComDebugOutput("VComCollection - SEM_VCC cannot be created.\n");
}

VComCollection::~VComCollection()
{
    for (IVCom* member : m_ObjectList) (void)member->stop(); // always 0; the members stay
    // Each collection takes an id from a bounded pool; leaving it behind would drain the pool.
    if (m_semCreated) (void)VComDelSem(m_semId); // fails only when the OS wrapper has ended already
}

JLIB::JResult VComCollection::enterCriticalSection()
{
    if (!m_semCreated) {
        VComDebugOutput("VComCollection::enterCriticalSection - no SEM_VCC.\n");
        return kVComFailed;
    }
    return JLIB::isSuccess(VComWaiSem(m_semId)) ? kVComOk : kVComFailed;
}

JLIB::JResult VComCollection::leaveCriticalSection()
{
    if (!m_semCreated) {
        VComDebugOutput("VComCollection::leaveCriticalSection - no SEM_VCC.\n");
        return kVComFailed;
    }
    return JLIB::isSuccess(VComSigSem(m_semId)) ? kVComOk : kVComFailed;
}

JLIB::JResult VComCollection::start(IVComWakeupFunction& wakeup)
{
    m_pWakeup = &wakeup;
    return kVComOk;
}

JLIB::JResult VComCollection::stop()
{
    m_pWakeup = nullptr;
    return kVComOk;
}

JLIB::JResult VComCollection::addInstance(uint32_t userId, IVCom& object)
{
    {
        ScopedLock lock(*this);
        if (!lock.ok()) return kVComFailed;
        if (m_ObjectList.size() >= kCapacity || m_woken.count(&object) != 0) return kVComFailed;
    }
    // Started outside "SEM_VCC": start takes "SEM_SOCK", which the socket task holds while it
    // calls wakeup, and wakeup takes "SEM_VCC".
    (void)object.start(userId, *this); // always 0
    ScopedLock lock(*this);
    if (!lock.ok()) return kVComFailed;
    if (JLIB::isFailure(m_ObjectList.push_back(&object))) return kVComFailed;
    m_woken.emplace(&object, false);
    m_users.emplace(object.getUserId(), &object);
    return kVComOk;
}

JLIB::JResult VComCollection::removeInstance(IVCom& object)
{
    bool wasMember = false;
    {
        ScopedLock lock(*this);
        if (!lock.ok()) return kVComFailed;
        for (IVCom** it = m_ObjectList.begin(); it != m_ObjectList.end(); ++it) {
            if (*it != &object) continue;
            IVCom** next = nullptr;
            (void)m_ObjectList.erase(it, next); // the vector holds it, so it cannot be empty
            break;
        }
        wasMember = m_woken.erase(&object) != 0;
        for (auto it = m_users.begin(); it != m_users.end(); ++it) {
            if (it->second == &object) {
                m_users.erase(it);
                break;
            }
        }
    }
    if (!wasMember) return kVComFailed;
    // Stopped outside the lock: closing reports through the socket task's locks (see addInstance).
    (void)object.stop(); // always 0
    return kVComOk;
}

uint32_t VComCollection::getInstanceCountByUserId(uint32_t userId)
{
    ScopedLock lock(*this);
    if (!lock.ok()) return 0;
    return static_cast<uint32_t>(m_users.count(userId));
}

IVCom* VComCollection::getInstanceByUserId(uint32_t userId, uint32_t index)
{
    ScopedLock lock(*this);
    if (!lock.ok()) return nullptr;
    auto range = m_users.equal_range(userId);
    for (auto it = range.first; it != range.second; ++it, --index) {
        if (index == 0) return it->second;
    }
    return nullptr;
}

IVCom* VComCollection::getInstance(uint32_t index)
{
    ScopedLock lock(*this);
    if (!lock.ok()) return nullptr;
    IVCom* member = nullptr;
    return JLIB::isSuccess(m_ObjectList.get(member, index)) ? member : nullptr;
}

uint32_t VComCollection::size()
{
    ScopedLock lock(*this);
    if (!lock.ok()) return 0;
    return m_ObjectList.size();
}

JLIB::JResult VComCollection::wakeup(uint16_t ownerTaskId, IVCom& object)
{
    ScopedLock lock(*this);
    if (!lock.ok()) return kVComFailed;
    auto it = m_woken.find(&object);
    if (it == m_woken.end()) return kVComFailed;
    it->second = true;
    if (m_pWakeup) (void)m_pWakeup->wakeup(ownerTaskId, object); // the owner's answer changes nothing
    return kVComOk;
}

JLIB::JResult VComCollection::runCallback(IVComCallback& callback)
{
    // The members as they are now, in key order; each is looked up again before delivery, so a
    // callback may remove (and destroy) another member safely.
    IVCom* members[kCapacity] = {};
    uint32_t count = 0;
    {
        ScopedLock lock(*this);
        if (!lock.ok()) return kVComFailed;
        for (const auto& entry : m_woken) {
            if (count < kCapacity) members[count++] = entry.first;
        }
    }
    for (uint32_t i = 0; i < count; ++i) {
        bool woken = false;
        {
            ScopedLock lock(*this);
            if (!lock.ok()) return kVComFailed;
            auto it = m_woken.find(members[i]);
            if (it == m_woken.end()) continue;
            woken = it->second;
            it->second = false;
        }
        if (woken) (void)members[i]->runCallback(callback); // its failures were its own to report
    }
    return kVComOk;
}

}  // namespace VCOM
