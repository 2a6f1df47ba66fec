#pragma once
// What the owner of the command stream does with the player's notifications. Results: top bit set
// means failure. Called on the owner's task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TPCP {

class INotificationProcessor {
public:
    virtual ~INotificationProcessor() = default;
    // Texts may be null when the player sent no text in their place.
    virtual JLIB::JResult processTCPConnectedNotification(const char* text) = 0;
    virtual JLIB::JResult processErrorNotification(const char* text1, const char* text2) = 0;
};

}  // namespace TPCP
