#include "jsdp/JsdpCallbackPair.h"

#include "jsdp/JsdpCallbackDataSet.h"

namespace JSDP {

void JsdpCallbackPair::setSockId(int32_t sockId)
{
    m_work.sockId = sockId;
    m_work.clearEvents();
    const bool locked = m_pSet && m_pSet->lock() == JLIB::kOk;  // nothing better to do without it
    m_live.sockId = sockId;
    m_live.clearEvents();
    if (locked) (void)m_pSet->unlock();  // taken above, so it is given back
}

}  // namespace JSDP
