#include "compiler_DspSystem.h"

#include <algorithm>

#include "compiler_resultCodes.h"

namespace Compiler {

namespace {

// The size enlarged step resources get: every need fits, and no step end wraps.
constexpr uint64_t kEnlargedStepSize = 0x7FFFFFFFFFFFFFFFull;

}  // namespace

JLIB::JResult DspSystem::initialize(const T_DSPSYSTEMDB_DSPSYSTEM& entry, uint32_t, uint32_t, uint32_t renderSamples,
                                    bool delayCompensation)
{
    (void)m_system.clear();  // always 0
    m_valid = false;
    m_system.name = entry.name;
    m_system.fsHz = entry.fsHz;
    m_system.numSamplePerFrame = entry.numSamplePerFrame;
    if (entry.fsHz == 0 || entry.numSamplePerFrame == 0) return JLIB::kFailed;
    m_system.renderSamples = renderSamples;
    m_system.delayCompensation = delayCompensation;
    m_system.dsps.reserve(entry.dsps.size());
    for (const T_DSPSYSTEMDB_DSP& dsp : entry.dsps) {
        T_DSPSYSTEM_DSP d{dsp.dspNo, dsp.name, {}};
        d.cores.reserve(dsp.cores.size());
        for (const T_DSPSYSTEMDB_CORE& core : dsp.cores) {
            T_DSPSYSTEM_CORE c{core.coreNo, {}, {}};
            c.resources.reserve(core.resources.size());
            for (const T_DSPSYSTEMDB_RESOURCE& r : core.resources) {
                c.resources.push_back({r.name, r.offset, r.size, r.shared, 0});
            }
            d.cores.push_back(std::move(c));
        }
        m_system.dsps.push_back(std::move(d));
    }
    m_valid = true;
    return JLIB::kOk;
}

const char* DspSystem::getDspSystemName() const { return m_valid ? m_system.name.c_str() : nullptr; }

uint32_t DspSystem::getDspNum() const { return m_valid ? static_cast<uint32_t>(m_system.dsps.size()) : 0; }

uint32_t DspSystem::getDspCoreNum(uint32_t dspNo) const
{
    if (!m_valid || dspNo >= m_system.dsps.size()) return 0;
    return static_cast<uint32_t>(m_system.dsps[dspNo].cores.size());
}

const char* DspSystem::getDspName(uint32_t dspNo) const
{
    if (!m_valid || dspNo >= m_system.dsps.size()) return nullptr;
    return m_system.dsps[dspNo].name.c_str();
}

const T_DSPSYSTEM_CORE* DspSystem::findCore(uint32_t dspNo, uint32_t coreNo) const
{
    if (!m_valid || dspNo >= m_system.dsps.size()) return nullptr;
    const std::vector<T_DSPSYSTEM_CORE>& cores = m_system.dsps[dspNo].cores;
    return coreNo < cores.size() ? &cores[coreNo] : nullptr;
}

const T_DSPSYSTEM_RESOURCE* DspSystem::findResource(uint32_t dspNo, uint32_t coreNo, const std::string& name) const
{
    const T_DSPSYSTEM_CORE* core = findCore(dspNo, coreNo);
    if (!core) return nullptr;
    for (const T_DSPSYSTEM_RESOURCE& r : core->resources) {
        if (r.name == name) return &r;
    }
    return nullptr;
}

uint64_t DspSystem::getRemainingResourceSize(uint32_t dspNo, uint32_t coreNo, const std::string& name,
                                             uint64_t step) const
{
    const T_DSPSYSTEM_RESOURCE* r = findResource(dspNo, coreNo, name);
    if (!r) return 0;
    // A core idle at this step still ends at its capacity; and once a fill level passes the
    // size, an unsigned difference would wrap into room without end.
    const uint64_t used = name == kStepResourceName ? std::max(r->usedSize, step) : r->usedSize;
    return used >= r->size ? 0 : r->size - used;
}

uint64_t DspSystem::getUsedResourceSize(uint32_t dspNo, uint32_t coreNo, const std::string& name, uint64_t) const
{
    const T_DSPSYSTEM_RESOURCE* r = findResource(dspNo, coreNo, name);
    return r ? r->usedSize : 0;
}

JLIB::JResult DspSystem::getAssignableDspCoreVector(const T_COMPONENT& component, std::vector<DspCore>& cores,
                                                    uint64_t currentStep, uint64_t& nextStep) const
{
    if (!m_valid) return JLIB::kFailed;
    cores.clear();
    nextStep = UINT64_MAX;
    bool busySeen = false;
    bool shortSeen = false;
    // Numbers are positions in the lists, whatever the records hold.
    for (uint32_t d = 0; d < m_system.dsps.size(); ++d) {
        const T_DSPSYSTEM_DSP& dsp = m_system.dsps[d];
        // Every DSP resource of the DSP's name counts, not only the first.
        for (const T_COMPONENT_DSPRESOURCE& need : component.dspResources) {
            if (need.dspName != dsp.name) continue;
            for (uint32_t c = 0; c < dsp.cores.size(); ++c) {
                bool busy = false, stepShort = false, otherShort = false;
                for (const T_COMPONENT_RESOURCE& r : need.resources) {
                    const bool isStep = r.name == kStepResourceName;
                    if (r.size > getRemainingResourceSize(d, c, r.name, currentStep)) {
                        if (!isStep) {
                            otherShort = true;
                            break;
                        }
                        stepShort = true;
                        continue;
                    }
                    if (!isStep) continue;
                    const uint64_t used = getUsedResourceSize(d, c, r.name, currentStep);
                    if (used > currentStep) {
                        busy = true;
                        nextStep = std::min(nextStep, used);
                    }
                }
                if (otherShort) continue;
                if (stepShort) {
                    shortSeen = true;
                } else if (busy) {
                    busySeen = true;
                } else {
                    cores.emplace_back(d, c);
                }
            }
        }
    }
    if (!cores.empty()) return JLIB::kOk;
    if (busySeen) return kCoresBusy;
    if (shortSeen) return kStepShort;
    return JLIB::kFailed;
}

JLIB::JResult DspSystem::assignComponentDspResource(uint32_t dspNo, uint32_t coreNo, uint32_t uniqID,
                                                    const T_COMPONENT_DSPRESOURCE& need,
                                                    T_COMPILERESULT_DSPASSIGNMENT& assignment, uint64_t currentStep)
{
    if (!m_valid) return JLIB::kFailed;
    assignment.resources.clear();
    if (!findCore(dspNo, coreNo)) return JLIB::kFailed;
    for (const T_COMPONENT_RESOURCE& r : need.resources) {
        if (r.size > getRemainingResourceSize(dspNo, coreNo, r.name, currentStep)) return kDoesNotFit;
    }
    T_DSPSYSTEM_CORE& core = m_system.dsps[dspNo].cores[coreNo];
    assignment.dspNo = dspNo;
    assignment.coreNo = coreNo;
    assignment.uniqID = uniqID;
    assignment.preUniqID = core.assignedUniqIDs.empty() ? 0 : core.assignedUniqIDs.back();
    for (const T_COMPONENT_RESOURCE& r : need.resources) {
        const bool isStep = r.name == kStepResourceName;
        for (T_DSPSYSTEM_RESOURCE& own : core.resources) {
            if (own.name != r.name) continue;
            if (isStep) {
                assignment.resources.push_back({r.name, own.offset + currentStep, r.size});
                own.usedSize = currentStep + r.size;
            } else {
                assignment.resources.push_back({r.name, own.offset + own.usedSize, r.size});
                own.usedSize += r.size;
            }
        }
    }
    core.assignedUniqIDs.push_back(uniqID);
    return JLIB::kOk;
}

JLIB::JResult DspSystem::increaseAllStepResources()
{
    if (!m_valid) return JLIB::kFailed;
    for (T_DSPSYSTEM_DSP& dsp : m_system.dsps) {
        for (T_DSPSYSTEM_CORE& core : dsp.cores) {
            for (T_DSPSYSTEM_RESOURCE& r : core.resources) {
                if (r.name == kStepResourceName) r.size = kEnlargedStepSize;
            }
        }
    }
    return JLIB::kOk;
}

}  // namespace Compiler
