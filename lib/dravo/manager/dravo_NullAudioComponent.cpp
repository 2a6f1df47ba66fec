#include "dravo_NullAudioComponent.h"

#include "LogicCtrl/logic_LogicComponentCollection.h"

namespace DRAVO {

NullAudioComponent& NullAudioComponent::getNullObject()
{
    // Built after the logic network, so that it is destroyed first at exit: its destructor still
    // asks the network to let go of its logic part.
    (void)LogicCtrl::LogicComponentCollection::singleton();
    static NullAudioComponent s_null;
    s_null.resetToConstructed();
    return s_null;
}

}  // namespace DRAVO
