#include "jsdp/JsdpTxData.h"

namespace JSDP {

void JsdpTxData::setup(const netc_endpoint& destination, const uint8_t* data, uint32_t size)
{
    m_destination = destination;
    m_pData = data;
    m_size = size;
}

JLIB::JResult JsdpTxData::request()
{
    if (m_state != kIdle) return kJsdpFailed;
    m_state = kQueued;
    return JLIB::kOk;
}

JLIB::JResult JsdpTxData::done()
{
    if (m_state != kQueued) return kJsdpFailed;
    m_state = kDone;
    return JLIB::kOk;
}

}  // namespace JSDP
