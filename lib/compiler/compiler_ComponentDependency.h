#pragma once
// Which components feed which through audio connections, and which are ready to be placed at a
// given step. Ports do not matter: two connections between one pair give one predecessor.
// One task at a time.
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "compiler_Component.h"
#include "compiler_ConnectionDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class ComponentDependency {
public:
    // uniqID -> its direct predecessors, each once, in the order of first appearance; ascending
    // by uniqID, each uniqID once. Flat, because every pass walks all of it.
    using Map = std::vector<std::pair<uint32_t, std::vector<uint32_t>>>;
    // uniqID -> step end of a placed component still running.
    using RunningMap = std::map<uint32_t, uint64_t>;
    // The finished components, ascending.
    using FinishedList = std::vector<uint32_t>;

    // Every instance and every id named by a connection gets an entry. Always 0.
    JLIB::JResult initialize(const std::vector<T_COMPONENT>& instances,
                             const std::vector<T_CONNECTIONDB_CONNECTION>& connections);
    // Moves the running components that end at or before currentStep to finished, then answers,
    // ascending, the ids neither running nor finished whose predecessors have all finished.
    std::vector<uint32_t> getProcessibleComponents(RunningMap& running, FinishedList& finished,
                                                   uint64_t currentStep) const;
    const Map& map() const { return m_map; }

private:
    Map m_map;
    // For each entry of m_map, the positions of its predecessors in m_map.
    std::vector<std::vector<uint32_t>> m_predecessorIndexes;
};

}  // namespace Compiler
