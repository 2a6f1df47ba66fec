#pragma once
// Named model cores behind one interface: a model address starts with the core's name
// ("Mixer/Input:3/Fader"), registrations go to the first core that takes them and notify runs
// every core, in name order. Holds its cores by pointer: remove a core before destroying it.
// No lock: used by the task that owns its cores.
#include <map>
#include <string>

#include "mmsf_IModelCore.h"

namespace MMSFUNC {

class ModelCore;

class ModelCoreCollection : public IModelCore {
public:
    ModelCoreCollection() = default;
    ~ModelCoreCollection() override = default;
    ModelCoreCollection(const ModelCoreCollection&) = delete;
    ModelCoreCollection& operator=(const ModelCoreCollection&) = delete;

    // Empties the collection; 0.
    uint32_t initialize(const char* name);
    // 0x80000000 for a null name or one already present (the first core stays). The core is borrowed.
    uint32_t addModelCore(const char* name, ModelCore& core);
    // 0x80000000 when not present; the core itself is not touched.
    uint32_t removeModelCore(const char* name);

    const char* name() const override { return m_name.c_str(); }
    // The first segment names the core, which reads the rest; a core name alone gives 0x80000000.
    uint32_t getModelAddress(MMSAddress& address, const char* text) const override;
    uint32_t registerObserver(IModelObserver* observer, const MMSAddress& address) override;
    uint32_t unregisterObserver(IModelObserver* observer, const MMSAddress& address) override;
    // Every core, even after one failed; 0x80000000 when any did.
    uint32_t notify(unsigned int taskId) override;

private:
    std::string m_name;
    std::map<std::string, IModelCore*> m_cores;  // not owned; names ordered byte by byte
};

}  // namespace MMSFUNC
