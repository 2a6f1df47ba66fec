#pragma once
// Up to 64 socket objects of one owner behind one wake-up and one delivery call. The collection is
// the wake-up target of its members (wakeup runs on the socket task and only marks and forwards);
// every other operation is owner task only. It does not own its members; they must outlive it
// (its destructor stops them) or be removed first.
#include <cstdint>
#include <map>

#include "VUviRido/Socket/IVCom.h"
#include "jlib/JVector.h"

namespace VCOM {

class VComCollection : public IVComWakeupFunction {
public:
    static constexpr uint32_t kCapacity = 64;

    VComCollection();
    ~VComCollection() override;
    VComCollection(const VComCollection&) = delete;
    VComCollection& operator=(const VComCollection&) = delete;

    // The owner's target (kept alive by the owner until stop); 0.
    JLIB::JResult start(IVComWakeupFunction& wakeup);
    JLIB::JResult stop();
    // Starts the object with the collection as its target: 0, or 0x80000000 when full or a member.
    JLIB::JResult addInstance(uint32_t userId, IVCom& object);
    // Removes and stops a member: 0, or 0x80000000 for a non-member (nothing stopped).
    JLIB::JResult removeInstance(IVCom& object);
    uint32_t getInstanceCountByUserId(uint32_t userId);
    // The index-th member under the user id in the order of adding; null beyond the count.
    IVCom* getInstanceByUserId(uint32_t userId, uint32_t index);
    IVCom* getInstance(uint32_t index);
    uint32_t size();

    // Socket task: marks a member woken and forwards to the owner's target; 0x80000000 for a
    // non-member.
    JLIB::JResult wakeup(uint16_t ownerTaskId, IVCom& object) override;
    // Delivers every woken member once (their runCallback runs without the lock held); 0.
    JLIB::JResult runCallback(IVComCallback& callback);

private:
    class ScopedLock;  // enter/leave for a scope
    JLIB::JResult enterCriticalSection();
    JLIB::JResult leaveCriticalSection();

    JLIB::JVector<IVCom*> m_ObjectList;
    std::map<IVCom*, bool> m_woken;
    std::multimap<uint32_t, IVCom*> m_users;
    uint16_t m_semId = 0;
    bool m_semCreated = false;
    IVComWakeupFunction* m_pWakeup = nullptr;  // the owner's; kept alive by the owner until stop
};

}  // namespace VCOM
