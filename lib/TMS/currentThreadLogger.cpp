#include "TMS/currentThreadLogger.h"

#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"

namespace TMS {

ThreadLogger* currentThreadLogger()
{
    AbstractThread& thread = getCurrentThread();
    return thread.isNull() ? nullptr : &thread.logger();
}

}  // namespace TMS
