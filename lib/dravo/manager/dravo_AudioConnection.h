#pragma once
// One audio connection from an output port of one component to an input port of another.
// Plain value.
#include <cstdint>

namespace DRAVO {

struct AudioConnection {
    uint32_t fromUniqID = 0;
    uint32_t fromPortNo = 0;
    uint32_t toUniqID = 0;
    uint32_t toPortNo = 0;

    AudioConnection() = default;
    AudioConnection(uint32_t fromUniq, uint32_t fromPort, uint32_t toUniq, uint32_t toPort)
        : fromUniqID(fromUniq), fromPortNo(fromPort), toUniqID(toUniq), toPortNo(toPort)
    {
    }

    bool operator==(const AudioConnection& other) const = default;
};

}  // namespace DRAVO
