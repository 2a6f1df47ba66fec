#include "TMS/TMSystem.h"

#include "TMS/ThreadRepository.h"
#include "oswrap/oswrap.h"

namespace TMS {

TMSystem::TMSystem()
{
    if (JLIB::isSuccess(oswrap_init(nullptr, 0, 0))) (void)createThreadRepository();  // see the class comment
}

TMSystem::~TMSystem()
{
    (void)destroyThreadRepository();  // always 0
    (void)oswrap_exit();              // not started: nothing to shut down
}

}  // namespace TMS
