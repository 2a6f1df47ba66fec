#include "dravo_getCurrentThreadId.h"

#include <pthread.h>

namespace DRAVO {

ThreadId getCurrentThreadId() { return static_cast<ThreadId>(pthread_self()); }

}  // namespace DRAVO
