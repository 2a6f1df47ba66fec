#include "VUviRido/Socket/VComSocketMapper.h"

#include "VUviRido/Socket/VComAbstractSocket.h"
#include "VUviRido/Socket/VComPlatform.h"

namespace VCOM {

VComSocketMapper::VComSocketMapper()
{
    m_semCreated = JLIB::isSuccess(VComACreSem(&m_semId, "SEM_SMAP"));
    if (!m_semCreated) VComDebugOutput("VComSocketMapper - SEM_SMAP cannot be created.\n");
}

VComSocketMapper::~VComSocketMapper()
{
    for (VComAbstractSocket*& object : m_objects) object = nullptr;
}

int32_t VComSocketMapper::findLocked(int32_t socketId) const
{
    if (socketId < 0) return -1;
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        if (m_objects[slot] && m_objects[slot]->getSocketId() == socketId) return slot;
    }
    return -1;
}

// Without its lock the map refuses rather than run unguarded: the socket task walks it.
int32_t VComSocketMapper::addSocket(VComAbstractSocket& object)
{
    if (!m_semCreated) return static_cast<int32_t>(kVComFailed);
    VComSemLock lock(m_semId);
    if (!lock.ok()) return static_cast<int32_t>(kVComFailed);
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        if (!m_objects[slot]) {
            m_objects[slot] = &object;
            return slot;
        }
    }
    return static_cast<int32_t>(kVComFailed);
}

JLIB::JResult VComSocketMapper::deleteSocket(int32_t socketId)
{
    if (!m_semCreated) return kVComFailed;
    VComSemLock lock(m_semId);
    if (!lock.ok()) return kVComFailed;
    const int32_t slot = findLocked(socketId);
    if (slot < 0) return kVComFailed;
    m_objects[slot] = nullptr;
    return kVComOk;
}

int32_t VComSocketMapper::SocketIdToHandle(int32_t socketId)
{
    if (socketId < 0 || !m_semCreated) return -1;
    VComSemLock lock(m_semId);
    if (!lock.ok()) return -1;
    return findLocked(socketId);
}

JLIB::JResult VComSocketMapper::runCallback(int32_t socketId, const netc_sock_cb_prm& prm)
{
    if (!m_semCreated) return kVComFailed;
    VComSemLock lock(m_semId);
    if (!lock.ok()) return kVComFailed;
    const int32_t slot = findLocked(socketId);
    if (slot < 0) return kVComFailed;  // the object has gone: the event is dropped
    VComAbstractSocket& object = *m_objects[slot];
    switch (prm.type) {
    case NETC_SOCK_EV_ACCEPTED: return object.onAccepted(prm.result, prm.result);
    case NETC_SOCK_EV_CONNECTED: return object.onConnected(prm.result);
    case NETC_SOCK_EV_TCP_SENT:
    case NETC_SOCK_EV_UDP_SENT: return object.onSent(prm.result);
    case NETC_SOCK_EV_TCP_RECEIVED:
    case NETC_SOCK_EV_UDP_RECEIVED: return object.onReceived(prm.result);
    default: return kVComFailed;
    }
}

VComSocketMapper& getSocketMapper()
{
    static VComSocketMapper mapper;
    return mapper;
}

}  // namespace VCOM
