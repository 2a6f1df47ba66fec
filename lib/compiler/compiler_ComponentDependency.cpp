#include "compiler_ComponentDependency.h"

#include <algorithm>

namespace Compiler {

namespace {

// Marks, for each entry of the ascending map, whether its id is among the ascending ids.
template <class Ids, class IdOf>
void markPresent(const ComponentDependency::Map& map, const Ids& ids, IdOf idOf, std::vector<char>& marks)
{
    auto it = ids.begin();
    for (size_t i = 0; i < map.size() && it != ids.end(); ++i) {
        while (it != ids.end() && idOf(*it) < map[i].first) ++it;
        if (it != ids.end() && idOf(*it) == map[i].first) marks[i] = 1;
    }
}

}  // namespace

JLIB::JResult ComponentDependency::initialize(const std::vector<T_COMPONENT>& instances,
                                              const std::vector<T_CONNECTIONDB_CONNECTION>& connections)
{
    std::map<uint32_t, std::vector<uint32_t>> map;
    for (const T_CONNECTIONDB_CONNECTION& c : connections) {
        std::vector<uint32_t>& predecessors = map[c.toUniqID];
        if (std::find(predecessors.begin(), predecessors.end(), c.fromUniqID) == predecessors.end()) {
            predecessors.push_back(c.fromUniqID);
        }
    }
    for (const T_CONNECTIONDB_CONNECTION& c : connections) (void)map[c.fromUniqID];
    for (const T_COMPONENT& instance : instances) (void)map[instance.uniqID];

    m_map.assign(map.begin(), map.end());
    m_predecessorIndexes.assign(m_map.size(), {});
    const auto indexOf = [this](uint32_t id) {
        const auto it = std::lower_bound(m_map.begin(), m_map.end(), id,
                                         [](const Map::value_type& e, uint32_t v) { return e.first < v; });
        return static_cast<uint32_t>(it - m_map.begin());  // every predecessor has an entry
    };
    for (size_t i = 0; i < m_map.size(); ++i) {
        for (uint32_t p : m_map[i].second) m_predecessorIndexes[i].push_back(indexOf(p));
    }
    return JLIB::kOk;
}

std::vector<uint32_t> ComponentDependency::getProcessibleComponents(RunningMap& running, FinishedList& finished,
                                                                    uint64_t currentStep) const
{
    for (auto it = running.begin(); it != running.end();) {
        if (it->second <= currentStep) {
            finished.insert(std::lower_bound(finished.begin(), finished.end(), it->first), it->first);
            it = running.erase(it);
        } else {
            ++it;
        }
    }
    // Every pass looks at every entry: marks by position keep that a sequential walk.
    std::vector<char> isFinished(m_map.size(), 0), isRunning(m_map.size(), 0);
    markPresent(m_map, finished, [](uint32_t id) { return id; }, isFinished);
    markPresent(m_map, running, [](const RunningMap::value_type& e) { return e.first; }, isRunning);

    std::vector<uint32_t> ready;
    for (size_t i = 0; i < m_map.size(); ++i) {
        if (isRunning[i] || isFinished[i]) continue;
        const std::vector<uint32_t>& predecessors = m_predecessorIndexes[i];
        if (std::all_of(predecessors.begin(), predecessors.end(), [&](uint32_t p) { return isFinished[p] != 0; })) {
            ready.push_back(m_map[i].first);
        }
    }
    return ready;
}

}  // namespace Compiler
