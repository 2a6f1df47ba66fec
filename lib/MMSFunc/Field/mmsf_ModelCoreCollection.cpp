#include "mmsf_ModelCoreCollection.h"

#include <cstring>

#include "mmsf_MMSAddress.h"
#include "mmsf_ModelCore.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

}  // namespace

uint32_t ModelCoreCollection::initialize(const char* name)
{
    m_cores.clear();
    m_name = name ? name : "";
    return kOk;
}

uint32_t ModelCoreCollection::addModelCore(const char* name, ModelCore& core)
{
    if (!name) return kFailed;
    return m_cores.emplace(name, &core).second ? kOk : kFailed;
}

uint32_t ModelCoreCollection::removeModelCore(const char* name)
{
    if (!name) return kFailed;
    return m_cores.erase(name) != 0 ? kOk : kFailed;
}

uint32_t ModelCoreCollection::getModelAddress(MMSAddress& address, const char* text) const
{
    (void)address.clear();
    if (!text) return kFailed;
    while (*text == '/') ++text;
    const char* slash = std::strchr(text, '/');
    if (!slash) return kFailed;
    const auto entry = m_cores.find(std::string(text, slash));
    if (entry == m_cores.end() || !entry->second) return kFailed;
    return entry->second->getModelAddress(address, slash);
}

uint32_t ModelCoreCollection::registerObserver(IModelObserver* observer, const MMSAddress& address)
{
    if (!observer) return kFailed;
    for (const auto& [name, core] : m_cores) {
        if (core && !failed(core->registerObserver(observer, address))) return kOk;
    }
    return kFailed;
}

uint32_t ModelCoreCollection::unregisterObserver(IModelObserver* observer, const MMSAddress& address)
{
    if (!observer) return kFailed;
    for (const auto& [name, core] : m_cores) {
        if (core && !failed(core->unregisterObserver(observer, address))) return kOk;
    }
    return kFailed;
}

uint32_t ModelCoreCollection::notify(unsigned int taskId)
{
    uint32_t result = kOk;
    for (const auto& [name, core] : m_cores) {
        if (core) result |= core->notify(taskId);
    }
    return failed(result) ? kFailed : kOk;
}

}  // namespace MMSFUNC
