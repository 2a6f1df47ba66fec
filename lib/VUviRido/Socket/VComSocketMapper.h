#pragma once
// Process-wide map from socket layer ids to socket objects (64 slots), guarded by "SEM_SMAP".
// Any task may call; runCallback runs on the socket task.
#include <cstdint>

#include "VUviRido/Socket/VComResult.h"
#include "vsock/vsock_types.h"

namespace VCOM {

class VComAbstractSocket;

class VComSocketMapper {
public:
    static constexpr int32_t kSlots = 64;

    VComSocketMapper();
    ~VComSocketMapper();
    VComSocketMapper(const VComSocketMapper&) = delete;
    VComSocketMapper& operator=(const VComSocketMapper&) = delete;

    // The lowest free slot now holding the object, or 0x80000000 when all are taken. The object's
    // socket id must be set before, since events find it by that id.
    [[nodiscard]] int32_t addSocket(VComAbstractSocket& object);
    // Frees the slot of the object with that socket layer id: 0, or 0x80000000 when none.
    JLIB::JResult deleteSocket(int32_t socketId);
    // The slot of the object with that socket layer id; -1 for a negative id or none.
    int32_t SocketIdToHandle(int32_t socketId);
    // Hands a socket layer event to the object that holds the id; 0x80000000 when none does.
    JLIB::JResult runCallback(int32_t socketId, const netc_sock_cb_prm& prm);

private:
    int32_t findLocked(int32_t socketId) const;

    VComAbstractSocket* m_objects[kSlots] = {};  // borrowed: an object leaves the map before it dies
    uint16_t m_semId = 0;
    bool m_semCreated = false;
};

VComSocketMapper& getSocketMapper();

}  // namespace VCOM
