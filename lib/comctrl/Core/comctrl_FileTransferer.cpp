#include "comctrl_FileTransferer.h"

namespace ComControl {

JLIB::JResult FileTransferer::initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId)
{
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    m_unitId = unitId;
    return JLIB::kOk;
}

}  // namespace ComControl
