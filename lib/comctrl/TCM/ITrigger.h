#pragma once
// Implemented by the repository's owner: wakes the communication worker or a client's task. The
// repository calls it with its mutex held, so an implementation must not call the repository.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TCM {

class ITrigger {
public:
    virtual ~ITrigger() = default;
    // Wakes the worker for a command of clientId. A set top bit marks failure.
    [[nodiscard]] virtual JLIB::JResult wakeWorker(uint32_t clientId) = 0;
    // Wakes the task of clientId. A set top bit marks failure.
    [[nodiscard]] virtual JLIB::JResult wakeClient(uint32_t clientId) = 0;
};

}  // namespace TCM
