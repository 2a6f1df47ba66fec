#pragma once
// What the coefficient and audio processing bases share: the component's set-up (checked and
// stored by initialize), the port and resource queries for that set-up, and the accessor the
// engine or the player hands over. No lock: initialize runs before the object is used elsewhere.
#include <cstdint>

#include "dravo/common/dravo_FunctionBase.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

template <class Interface, const GUID& kOwnIid, class Accessor>
class SetupFunctionBase : public FunctionBase<Interface, kOwnIid> {
public:
    // The component's set-up as initialize stored it; all 0 before.
    struct ComponentSetup {
        uint32_t uniqID = 0;
        uint32_t numX = 0;
        uint32_t numY = 0;
        uint32_t dspType = 0;
        uint32_t sampleType = 0;
        uint32_t numSamplePerFrame = 0;
        uint32_t fsHz = 0;
    };

    uint32_t getNumInPort() override
    {
        return this->calcNumInPort(m_setup.uniqID, m_setup.numX, m_setup.numY);
    }
    uint32_t getNumOutPort() override
    {
        return this->calcNumOutPort(m_setup.uniqID, m_setup.numX, m_setup.numY);
    }
    uint32_t getNumInPortForAudioProcess() override
    {
        return this->calcNumInPortForAudioProcess(m_setup.uniqID, m_setup.numX, m_setup.numY);
    }
    uint32_t getNumOutPortForAudioProcess() override
    {
        return this->calcNumOutPortForAudioProcess(m_setup.uniqID, m_setup.numX, m_setup.numY);
    }
    uint32_t getFixedInPortName(uint32_t port, char* buffer, uint32_t size) override
    {
        return this->calcFixedInPortName(m_setup.uniqID, m_setup.numX, m_setup.numY, port, buffer, size);
    }
    uint32_t getFixedOutPortName(uint32_t port, char* buffer, uint32_t size) override
    {
        return this->calcFixedOutPortName(m_setup.uniqID, m_setup.numX, m_setup.numY, port, buffer, size);
    }
    uint32_t getResourceUsage(const char* dspName, uint32_t fsHz, uint32_t numSamplePerFrame,
                              const char* resourceName) override
    {
        return this->calcResourceUsage(m_setup.uniqID, m_setup.numX, m_setup.numY, dspName, fsHz, numSamplePerFrame,
                                       resourceName);
    }

    // Refuses (0x80000000, nothing changed), in this order: sizes the description does not
    // accept, a DSP type or sample type other than 0, a frame that is not a whole number of
    // 8-sample blocks (0 passes), a rate of 0. Otherwise stores accessor and set-up and answers
    // what onInitialize answers.
    uint32_t initialize(Accessor* accessor, uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t dspType,
                        uint32_t sampleType, uint32_t numSamplePerFrame, uint32_t fsHz) override
    {
        if (!this->isNumXYValid(numX, numY)) return JLIB::kFailed;
        if (dspType != 0) return JLIB::kFailed;
        if (sampleType != 0) return JLIB::kFailed;
        if (numSamplePerFrame % 8 != 0) return JLIB::kFailed;
        if (fsHz == 0) return JLIB::kFailed;
        m_pAccessor = accessor;
        m_setup = {uniqID, numX, numY, dspType, sampleType, numSamplePerFrame, fsHz};
        return this->onInitialize();
    }

    // A rate of 0 is refused (0x80000000) and the former rate kept; otherwise onChangeFsHz's answer.
    uint32_t changeFsHz(uint32_t fsHz) override
    {
        if (fsHz == 0) return JLIB::kFailed;
        m_setup.fsHz = fsHz;
        return this->onChangeFsHz();
    }

    uint32_t getUniqID() override { return m_setup.uniqID; }
    uint32_t getNumX() override { return m_setup.numX; }
    uint32_t getNumY() override { return m_setup.numY; }
    uint32_t getDSPType() override { return m_setup.dspType; }
    uint32_t getSampleType() override { return m_setup.sampleType; }
    uint32_t getNumSamplePerFrame() override { return m_setup.numSamplePerFrame; }
    uint32_t getFsHz() override { return m_setup.fsHz; }

protected:
    Accessor* m_pAccessor = nullptr;  // not owned: the engine's or the player's, outlives the use
    ComponentSetup m_setup;
};

}  // namespace DRAVO
