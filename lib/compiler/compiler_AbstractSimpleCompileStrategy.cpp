#include "compiler_AbstractSimpleCompileStrategy.h"

#include <algorithm>

#include "compiler_ICompileStrategyCallback.h"
#include "compiler_resultCodes.h"
#include "jlib/jlib_cfg.h"

namespace Compiler {

namespace {

const T_COMPILERESULT_RESOURCE* findStep(const T_COMPILERESULT_DSPASSIGNMENT& assignment)
{
    for (const T_COMPILERESULT_RESOURCE& r : assignment.resources) {
        if (r.name == kStepResourceName) return &r;
    }
    return nullptr;
}

uint64_t earliestEnd(const ComponentDependency::RunningMap& running)
{
    uint64_t earliest = UINT64_MAX;
    for (const auto& entry : running) earliest = std::min(earliest, entry.second);
    return earliest;
}

}  // namespace

JLIB::JResult AbstractSimpleCompileStrategy::doCompile(const std::vector<T_COMPONENT>& instances,
                                                       const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                                       DspSystem dspSystem, T_COMPILERESULT& result,
                                                       ICompileStrategyCallback* callback)
{
    (void)result.clear();  // always 0
    const char* systemName = dspSystem.getDspSystemName();
    result.dspSystem = {systemName ? systemName : "",
                        dspSystem.getDspSystemFsHz(),
                        dspSystem.getDspSystemNumSamplePerFrame(),
                        dspSystem.getDspSystemRenderSamples(),
                        dspSystem.getDelayCompensation(),
                        JLIB::kFailed};
    if (JLIB::isFailure(m_dependency.initialize(instances, connections))) return kCapacityExceeded;

    ComponentDependency::RunningMap running;
    ComponentDependency::FinishedList finished;
    uint64_t currentStep = 0;
    size_t placed = 0;
    bool enlarged = false;
    std::vector<DspCore> cores;
    while (placed < instances.size()) {
        std::vector<uint32_t> ready = m_dependency.getProcessibleComponents(running, finished, currentStep);
        while (ready.empty()) {
            // With nothing running, nothing can finish and free a successor: what is left waits on
            // itself or on an id that never gets placed.
            if (running.empty()) {
                JLIB_LOG("[E] AbstractSimpleCompileStrategy::doCompile - %zu of %zu components can never be placed "
                         "(cycle, self-link or repeated uniqID).\n",
                         instances.size() - placed, instances.size());
                return kCapacityExceeded;
            }
            currentStep = std::max(currentStep, earliestEnd(running));
            ready = m_dependency.getProcessibleComponents(running, finished, currentStep);
        }
        if (!std::is_sorted(ready.begin(), ready.end())) std::sort(ready.begin(), ready.end());
        (void)sortProcessibleComponents(instances, connections, dspSystem, ready);  // either order serves
        const uint32_t target = ready.front();

        const T_COMPONENT* component = nullptr;
        for (const T_COMPONENT& instance : instances) {
            if (callback) {
                bool cancel = false;
                (void)callback->onCompileProgress(cancel);  // the code carries nothing
                if (cancel) {
                    result.dspSystem.result = kCancelled;
                    return kCancelled;
                }
            }
            if (instance.uniqID == target) {
                component = &instance;
                break;
            }
        }
        if (!component) {
            JLIB_LOG("[E] AbstractSimpleCompileStrategy::doCompile - connection names uid %u, which is no "
                     "component.\n",
                     target);
            return kCapacityExceeded;
        }

        for (;;) {
            uint64_t nextStep = 0;
            const JLIB::JResult r = dspSystem.getAssignableDspCoreVector(*component, cores, currentStep, nextStep);
            if (r == JLIB::kOk) break;
            if (r == kCoresBusy) {
                currentStep = std::max(currentStep, nextStep);
                continue;
            }
            if (r != kStepShort) return kNoCore;
            // Enlarged step resources fit every need: short again means the fitting cores have
            // no "step" at all, and enlarging once more would change nothing.
            if (enlarged) {
                JLIB_LOG("[E] AbstractSimpleCompileStrategy::doCompile - no core with a 'step' resource can take "
                         "uid %u.\n",
                         target);
                return kCapacityExceeded;
            }
            enlarged = true;
            (void)dspSystem.increaseAllStepResources();  // the system is valid: it answered above
        }

        const DspCore where = cores.front();
        T_COMPILERESULT_DSPASSIGNMENT assignment;
        const char* dspName = dspSystem.getDspName(where.first);
        for (const T_COMPONENT_DSPRESOURCE& need : component->dspResources) {
            if (dspName && need.dspName == dspName) {
                // A refusal leaves the assignment without "step", which is answered below.
                (void)dspSystem.assignComponentDspResource(where.first, where.second, target, need, assignment,
                                                           currentStep);
                break;
            }
        }
        result.components.push_back(
            {component->uniqID, component->name, component->majorVersion, component->numX, component->numY});
        result.dspAssignments.push_back(assignment);
        const T_COMPILERESULT_RESOURCE* step = findStep(assignment);
        if (!step) return kNoStepResource;
        running[target] = step->offset + step->size;
        ++placed;
    }

    result.connections.reserve(connections.size());
    for (const T_CONNECTIONDB_CONNECTION& c : connections) {
        result.connections.push_back({c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo});
    }
    result.dspSystem.result = enlarged ? kCapacityExceeded : JLIB::kOk;
    return result.dspSystem.result;
}

}  // namespace Compiler
