#pragma once
// Wake-up of a socket object's owner. wakeup runs on the socket task with the socket layer's table
// lock, "SEM_SMAP" and "SEM_SOCK" held: it only signals the owner, which then calls runCallback on
// its own thread. It must not call any socket operation.
#include <cstdint>

#include "VUviRido/Socket/VComResult.h"

namespace VCOM {

class IVCom;

class IVComWakeupFunction {
public:
    virtual JLIB::JResult wakeup(uint16_t ownerTaskId, IVCom& object) = 0;
    virtual ~IVComWakeupFunction() = default;
};

}  // namespace VCOM
