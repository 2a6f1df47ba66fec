#include "dravo_AudioConnectionCollection.h"

#include <algorithm>

namespace DRAVO {

AudioConnectionCollection::~AudioConnectionCollection() { (void)finalize(); }  // always 0

JLIB::JResult AudioConnectionCollection::initialize() { return JLIB::kOk; }

JLIB::JResult AudioConnectionCollection::finalize() { return clearConnections(); }

JLIB::JResult AudioConnectionCollection::clearConnections()
{
    m_connections.clear();
    return JLIB::kOk;
}

JLIB::JResult AudioConnectionCollection::addConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                                       uint32_t toPortNo)
{
    const AudioConnection c(fromUniqID, fromPortNo, toUniqID, toPortNo);
    if (std::find(m_connections.begin(), m_connections.end(), c) == m_connections.end()) m_connections.push_back(c);
    return JLIB::kOk;
}

JLIB::JResult AudioConnectionCollection::removeConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                                          uint32_t toPortNo)
{
    const auto it = std::find(m_connections.begin(), m_connections.end(),
                              AudioConnection(fromUniqID, fromPortNo, toUniqID, toPortNo));
    if (it != m_connections.end()) m_connections.erase(it);
    return JLIB::kOk;
}

JLIB::JResult AudioConnectionCollection::removeConnectionsRelatedTo(uint32_t uniqID)
{
    std::erase_if(m_connections, [uniqID](const AudioConnection& c) { return c.fromUniqID == uniqID; });
    std::erase_if(m_connections, [uniqID](const AudioConnection& c) { return c.toUniqID == uniqID; });
    return JLIB::kOk;
}

JLIB::JResult AudioConnectionCollection::setConnections(const std::vector<AudioConnection>& connections)
{
    m_connections = connections;
    return JLIB::kOk;
}

JLIB::JResult AudioConnectionCollection::getConnections(std::vector<AudioConnection>& connections) const
{
    connections = m_connections;
    return JLIB::kOk;
}

}  // namespace DRAVO
