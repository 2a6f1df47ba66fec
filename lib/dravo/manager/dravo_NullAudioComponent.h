#pragma once
// The audio component that stands for none. One process-wide instance, reset at every hand-out;
// hand it out on one task at a time.
#include "dravo_AudioComponent.h"

namespace DRAVO {

class NullAudioComponent : public AudioComponent {
public:
    // The shared null component, first brought back to a new one's state (whatever an earlier
    // caller did to it through the reference is released and gone).
    static NullAudioComponent& getNullObject();

    bool isNull() const override { return true; }
};

}  // namespace DRAVO
