#include "comctrl_PdbSynchronizer.h"

namespace ComControl {

JLIB::JResult PdbSynchronizer::initialize(bool notServerUnit, IUnitComponentObserver* observer)
{
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    return JLIB::kOk;
}

}  // namespace ComControl
