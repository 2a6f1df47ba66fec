#pragma once
// A set of audio connections kept in insertion order, each once. No lock of its own: the owner
// guards it (the component registry with its lock).
#include <cstdint>
#include <vector>

#include "dravo_AudioConnection.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class AudioConnectionCollection {
public:
    AudioConnectionCollection() = default;
    AudioConnectionCollection(const AudioConnectionCollection&) = default;
    AudioConnectionCollection& operator=(const AudioConnectionCollection&) = default;
    virtual ~AudioConnectionCollection();

    // Every operation answers 0.
    JLIB::JResult initialize();
    JLIB::JResult finalize();
    JLIB::JResult clearConnections();
    // Appends the connection unless an equal one is in the set.
    JLIB::JResult addConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID, uint32_t toPortNo);
    // Erases the first equal connection; nothing when there is none.
    JLIB::JResult removeConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID, uint32_t toPortNo);
    // Erases every connection from uniqID, then every one to it; the others keep their order.
    JLIB::JResult removeConnectionsRelatedTo(uint32_t uniqID);
    // The set becomes a copy of connections, as given (repeats included).
    JLIB::JResult setConnections(const std::vector<AudioConnection>& connections);
    JLIB::JResult getConnections(std::vector<AudioConnection>& connections) const;

private:
    std::vector<AudioConnection> m_connections;
};

}  // namespace DRAVO
