#pragma once
// Remembers files that arrived from the peer, so that noticing their change does not send them
// back. Owner task of the link only.
#include "jlib/jlib_result.h"

namespace ComControl {

class IReceivedItemStrategy {
public:
    virtual ~IReceivedItemStrategy() = default;
    [[nodiscard]] virtual JLIB::JResult append(const char* fileName) = 0;
    virtual bool isReceivedItem(const char* fileName) = 0;
    // true: the owner clears the strategy after every tick.
    virtual bool isForgettable() const = 0;
    virtual JLIB::JResult clear() = 0;
};

}  // namespace ComControl
