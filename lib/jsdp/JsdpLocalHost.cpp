#include "jsdp/JsdpLocalHost.h"

#include <cstring>

#include "oswrap/oswrap_time.h"

namespace JSDP {

void JsdpLocalHost::initialize()
{
    std::memset(&m_host, 0, sizeof(m_host));
    m_changed = false;
    m_enabled = false;
    (void)oswrap_svcStopTimerMs(&m_expiry);  // the record is present
    m_txData.idle();
}

}  // namespace JSDP
