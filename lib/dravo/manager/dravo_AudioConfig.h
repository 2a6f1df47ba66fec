#pragma once
// The compiled audio configuration as the engine uses it: DSP system settings with the compile's
// code, the components, their audio connections, where each runs and the logic connections.
// Plain values, copied member-wise.
#include <cstdint>
#include <string>
#include <vector>

#include "dravo_AudioConnection.h"

namespace DRAVO {

struct AudioConfigDspSystem {
    std::string name;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    uint32_t renderSamples = 0;
    bool delayCompensation = false;
    uint32_t result = 0x80000000u;  // the compile's code; a failure until a result is read

    void clear() { *this = AudioConfigDspSystem(); }
};

struct AudioConfigComponent {
    uint32_t uniqID = 0;
    std::string name;
    uint32_t majorVersion = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;

    void clear() { *this = AudioConfigComponent(); }
};

struct AudioConfigDspAssignment {
    uint32_t dspNo = 0;
    uint32_t coreNo = 0;
    uint64_t stepOffset = 0;
    uint32_t stepSize = 0;
    uint32_t uniqID = 0;
    uint32_t preUniqID = 0;

    void clear() { *this = AudioConfigDspAssignment(); }
};

struct AudioConfig {
    AudioConfigDspSystem dspSystem;
    std::vector<AudioConfigComponent> components;
    std::vector<AudioConnection> connections;
    std::vector<AudioConfigDspAssignment> dspAssignments;
    std::vector<AudioConnection> logicConnections;

    void clear() { *this = AudioConfig(); }
};

}  // namespace DRAVO
