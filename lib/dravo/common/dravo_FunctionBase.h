#pragma once
// What the four function bases share: the reference count, the interface query and the
// descriptive queries, which ask the library's component description. The virtual destructor
// declared here is the bases' own slot, after every operation of the interface. No lock: counts
// are taken and released on the thread that creates and destroys the audio component.
#include <cstdint>

#include "dravo/common/dravo_GUID.h"
#include "dravo/common/dravo_IComponentDescription.h"
#include "dravo/common/dravo_IUnknown.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

template <class Interface, const GUID& kOwnIid>
class FunctionBase : public Interface {
public:
    FunctionBase() = default;
    FunctionBase(const FunctionBase&) = delete;
    FunctionBase& operator=(const FunctionBase&) = delete;
    virtual ~FunctionBase() = default;

    void* queryInterface(const GUID& iid) override
    {
        if (iid == IID_IUnknown) {
            (void)addRef();
            return static_cast<IUnknown*>(this);
        }
        if (iid == kOwnIid) {
            (void)addRef();
            return static_cast<Interface*>(this);
        }
        return nullptr;
    }

    uint32_t addRef() override { return ++m_refCount; }

    // A release beyond the last reference answers 0 and changes nothing.
    uint32_t release() override
    {
        if (m_refCount == 0) return 0;
        if (--m_refCount != 0) return m_refCount;
        delete this;
        return 0;
    }

    uint32_t getRequiredSystemVersion() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getRequiredSystemVersion() : 0;
    }
    const char* getComponentName() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        const char* name = d ? d->getComponentName() : nullptr;
        return name ? name : "";
    }
    uint32_t getComponentMajorVersion() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getComponentMajorVersion() : 0;
    }
    uint32_t getComponentMinorVersion() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getComponentMinorVersion() : 0;
    }
    uint32_t getComponentRevision() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getComponentRevision() : 0;
    }
    uint32_t getMinX() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getMinX() : 0;
    }
    uint32_t getMinY() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getMinY() : 0;
    }
    uint32_t getMaxX() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getMaxX() : 0;
    }
    uint32_t getMaxY() override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->getMaxY() : 0;
    }
    bool isNumXYValid(uint32_t numX, uint32_t numY) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d && d->isNumXYValid(numX, numY);
    }
    // Without a description: no table, count 0 and 0x80000000.
    uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        if (d) return d->getCoefArrayInfoTable(table, count);
        table = nullptr;
        count = 0;
        return JLIB::kFailed;
    }
    uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        if (d) return d->getMeterArrayInfoTable(table, count);
        table = nullptr;
        count = 0;
        return JLIB::kFailed;
    }
    uint32_t calcNumInPort(uint32_t uniqID, uint32_t numX, uint32_t numY) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcNumInPort(uniqID, numX, numY) : 0;
    }
    uint32_t calcNumOutPort(uint32_t uniqID, uint32_t numX, uint32_t numY) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcNumOutPort(uniqID, numX, numY) : 0;
    }
    uint32_t calcNumInPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcNumInPortForAudioProcess(uniqID, numX, numY) : 0;
    }
    uint32_t calcNumOutPortForAudioProcess(uint32_t uniqID, uint32_t numX, uint32_t numY) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcNumOutPortForAudioProcess(uniqID, numX, numY) : 0;
    }
    uint32_t calcFixedInPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                 uint32_t size) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcFixedInPortName(uniqID, numX, numY, port, buffer, size) : JLIB::kFailed;
    }
    uint32_t calcFixedOutPortName(uint32_t uniqID, uint32_t numX, uint32_t numY, uint32_t port, char* buffer,
                                  uint32_t size) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcFixedOutPortName(uniqID, numX, numY, port, buffer, size) : JLIB::kFailed;
    }
    uint32_t calcResourceUsage(uint32_t uniqID, uint32_t numX, uint32_t numY, const char* dspName, uint32_t fsHz,
                               uint32_t numSamplePerFrame, const char* resourceName) override
    {
        const IComponentDescription* d = this->getComponentDescription();
        return d ? d->calcResourceUsage(uniqID, numX, numY, dspName, fsHz, numSamplePerFrame, resourceName) : 0;
    }

    uint32_t refCount() const { return m_refCount; }

private:
    uint32_t m_refCount = 1;  // the factory hands the new object over with this reference
};

}  // namespace DRAVO
