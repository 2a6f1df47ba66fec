#include "mms_SetOrderNotifyWrapper.h"

#include "comctrl/OrderedNotify/ISetOrderedNotify.h"

namespace MMS {

SetOrderNotifyWrapper::~SetOrderNotifyWrapper()
{
    if (m_pWriter != nullptr) m_pWriter->release();
}

uint32_t SetOrderNotifyWrapper::attach(void* writer)
{
    if (writer == nullptr || m_pWriter != nullptr) return kMmsFailed;
    m_pWriter = static_cast<OrderedNotify::ISetOrderedNotify*>(writer);
    return kMmsOk;
}

uint32_t SetOrderNotifyWrapper::set(uint32_t serial)
{
    if (m_pWriter == nullptr) return kMmsOk;
    return m_pWriter->notify(serial);
}

}  // namespace MMS
