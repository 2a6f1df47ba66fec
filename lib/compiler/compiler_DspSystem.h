#pragma once
// The working model of the chosen DSP hardware during a compile: DSPs, cores and their resources
// with fill levels, and what was placed on each core. Copying copies the fill levels too.
// One task at a time.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "compiler_Component.h"
#include "compiler_CompileResult.h"
#include "compiler_DspSystemDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

struct T_DSPSYSTEM_RESOURCE {
    std::string name;
    uint32_t offset = 0;  // base offset
    uint64_t size = 0;    // capacity
    bool shared = false;  // not used by the compiler
    uint64_t usedSize = 0;  // "step": end of the last component placed; others: sum taken
};

struct T_DSPSYSTEM_CORE {
    uint32_t coreNo = 0;
    std::vector<T_DSPSYSTEM_RESOURCE> resources;
    std::vector<uint32_t> assignedUniqIDs;  // in the order placed
};

struct T_DSPSYSTEM_DSP {
    uint32_t dspNo = 0;
    std::string name;
    std::vector<T_DSPSYSTEM_CORE> cores;
};

struct T_DSPSYSTEM {
    std::string name;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    uint32_t renderSamples = 0;
    bool delayCompensation = false;
    std::vector<T_DSPSYSTEM_DSP> dsps;

    JLIB::JResult clear()
    {
        *this = T_DSPSYSTEM();
        return JLIB::kOk;
    }
};

// (DSP number, core number).
using DspCore = std::pair<uint32_t, uint32_t>;

class DspSystem {
public:
    // Takes name, fsHz and numSamplePerFrame from entry (fsHz and numSamplePerFrame given here are
    // not used) and copies its DSPs, cores and resources with empty fill levels. 0x80000000, and
    // invalid, when the entry's fsHz or numSamplePerFrame is 0.
    [[nodiscard]] JLIB::JResult initialize(const T_DSPSYSTEMDB_DSPSYSTEM& entry, uint32_t fsHz, uint32_t numSamplePerFrame,
                                           uint32_t renderSamples, bool delayCompensation);
    bool isValid() const { return m_valid; }

    // Null / 0 when invalid or out of range.
    const char* getDspSystemName() const;
    uint32_t getDspNum() const;
    uint32_t getDspCoreNum(uint32_t dspNo) const;
    const char* getDspName(uint32_t dspNo) const;
    uint32_t getDspSystemFsHz() const { return m_system.fsHz; }
    uint32_t getDspSystemNumSamplePerFrame() const { return m_system.numSamplePerFrame; }
    uint32_t getDspSystemRenderSamples() const { return m_system.renderSamples; }
    bool getDelayCompensation() const { return m_system.delayCompensation; }

    // The cores, DSPs in order and cores in order within each, that can take the component at
    // currentStep. 0 with a non-empty list; 0x80000001 when only cores busy at that step would
    // fit, with nextStep the earliest end among them; 0x80000002 when only larger step resources
    // would fit; 0x80000000 when invalid or no core can ever take it.
    [[nodiscard]] JLIB::JResult getAssignableDspCoreVector(const T_COMPONENT& component, std::vector<DspCore>& cores,
                                                           uint64_t currentStep, uint64_t& nextStep) const;
    // What is left of the first resource of that name on the core; 0 when invalid, out of range,
    // absent or full. For "step" only what lies from the given step on counts, so a component
    // placed there never runs past the core's capacity.
    uint64_t getRemainingResourceSize(uint32_t dspNo, uint32_t coreNo, const std::string& name, uint64_t step) const;
    // Fill level of the first resource of that name; 0 when invalid, out of range or absent.
    uint64_t getUsedResourceSize(uint32_t dspNo, uint32_t coreNo, const std::string& name, uint64_t step) const;
    // Takes every need of need from the core at currentStep and records the placement in
    // assignment. 0; 0x80000001 (nothing changed) when a need does not fit; 0x80000000 when
    // invalid or the DSP or core is out of range.
    [[nodiscard]] JLIB::JResult assignComponentDspResource(uint32_t dspNo, uint32_t coreNo, uint32_t uniqID,
                                                           const T_COMPONENT_DSPRESOURCE& need,
                                                           T_COMPILERESULT_DSPASSIGNMENT& assignment,
                                                           uint64_t currentStep);
    // Makes every "step" resource so large that every step need fits; 0x80000000 when invalid.
    [[nodiscard]] JLIB::JResult increaseAllStepResources();

private:
    const T_DSPSYSTEM_CORE* findCore(uint32_t dspNo, uint32_t coreNo) const;
    const T_DSPSYSTEM_RESOURCE* findResource(uint32_t dspNo, uint32_t coreNo, const std::string& name) const;

    T_DSPSYSTEM m_system;
    bool m_valid = false;
};

}  // namespace Compiler
