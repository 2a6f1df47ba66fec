#pragma once
// Asks the DSP engine thread for a triggered pass of the logic network.
#include "jlib/jlib_result.h"

namespace LogicCtrl {

class ILogicComponent;

// Any thread. Posts user event 18 to the thread named "DSP"; without such a thread nothing
// happens. The component is not used. Always 0.
JLIB::JResult logic_Trigger(ILogicComponent* component);

}  // namespace LogicCtrl
