#include "TMS/NullObjectTimer.h"

namespace TMS {

NullObjectTimer& NullObjectTimer::getInstance()
{
    static NullObjectTimer instance;
    return instance;
}

}  // namespace TMS
