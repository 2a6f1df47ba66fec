#include "comctrl_MmsSynchronizer.h"

namespace ComControl {

JLIB::JResult MmsSynchronizer::initialize(bool notServerUnit, IUnitComponentObserver* observer)
{
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    return JLIB::kOk;
}

}  // namespace ComControl
