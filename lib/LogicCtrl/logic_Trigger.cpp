#include "logic_Trigger.h"

#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"

namespace LogicCtrl {

namespace {

constexpr const char* kEngineThreadName = "DSP";
// The engine thread answers this user event with a triggered pass.
constexpr uint32_t kTriggerEvent = 18;

}  // namespace

JLIB::JResult logic_Trigger(ILogicComponent*)
{
    // A missing thread is the null thread, which ignores the event; an engine thread that is
    // not yet set up will run its first pass anyway.
    (void)TMS::getThreadByName(kEngineThreadName).sendEvent(kTriggerEvent);
    return JLIB::kOk;
}

}  // namespace LogicCtrl
