#pragma once
// One decoded OSC message: address, type tags as the packet has them (leading comma included) and
// the arguments the decoder keeps, in packet order. A plain value.
#include <string>
#include <vector>

#include "jlib/JVariant.h"

namespace TPCP {

struct OscMessage {
    std::string address;
    std::string typeTags;
    std::vector<JVariant> arguments;
};

}  // namespace TPCP
