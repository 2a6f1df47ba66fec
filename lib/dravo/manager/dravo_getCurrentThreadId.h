#pragma once
// Identity of the calling OS thread as the DSP component manager records it. Any task.
#include <cstdint>

namespace DRAVO {

// The POSIX thread identity; never 0 for a live thread.
using ThreadId = uint64_t;

ThreadId getCurrentThreadId();

}  // namespace DRAVO
