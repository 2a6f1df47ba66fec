#pragma once
// The worker side of the transfer command repository: takes requested commands in request order
// and reports their progress. Any task; the repository serialises the calls through its owner's
// mutex.
#include <cstdint>

#include "comctrl/TCM/TcmTypes.h"

namespace TCM {

class IRepository {
public:
    virtual ~IRepository() = default;

    // As ICommunicator::refer.
    [[nodiscard]] virtual JLIB::JResult refer(const T_COMMAND_INFO** info, uint32_t index) = 0;
    // The oldest signalled slot, now running. 0x80000007 when nothing was signalled; 0x80000005
    // when the oldest signal is not for a requested slot (that signal is used up).
    [[nodiscard]] virtual JLIB::JResult next(uint32_t* index) = 0;
    // Records the total bytes. 0x80000005 unless running with a total still 0.
    [[nodiscard]] virtual JLIB::JResult start(uint32_t index, uint32_t total) = 0;
    // Adds bytes to the transferred count; with last set and transferred >= total the command
    // completes, its client is woken and the result is 1. data and length are not used.
    // 0x80000005 unless running.
    [[nodiscard]] virtual JLIB::JResult update(uint32_t index, uint32_t bytes, const void* data, uint32_t length,
                                               bool last) = 0;
    // The command failed: errors below 23 are kept, others recorded as 3; its client is woken.
    // 0x80000005 for a free or completed slot.
    [[nodiscard]] virtual JLIB::JResult fail(uint32_t index, uint32_t error) = 0;
    // Clears a running slot the worker abandons. 0x80000005 unless running.
    [[nodiscard]] virtual JLIB::JResult release(uint32_t index) = 0;
};

}  // namespace TCM
