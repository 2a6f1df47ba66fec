#pragma once
// Told by the audio component collection that the component set changed. Called on the thread
// that changed it, with the collection's lock held: an implementation only signals its own
// thread, which then brings its view up to date itself.
#include <cstdint>

namespace DRAVO {

class IAudioComponentCallback {
public:
    virtual ~IAudioComponentCallback() {}
    virtual uint32_t rawCallbackChangeAudioComponentConfig() = 0;
};

}  // namespace DRAVO
