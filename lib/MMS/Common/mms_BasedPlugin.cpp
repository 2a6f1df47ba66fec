#include "mms_BasedPlugin.h"

#include "mms_CollectionWrapper.h"
#include "mms_Platform.h"
#include "mms_Result.h"

namespace MMS {

namespace {

constexpr uint32_t kMaxAddressLength = 120;
constexpr uint32_t kAddressCapacity = 5;

}  // namespace

uint32_t BasedPlugin::execute(const JVariant&, const JVariant*, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                              ILinkReason&, MMS_PLUGIN_STRUCT*)
{
    return kMmsMissing;
}

uint32_t BasedPlugin::getDefault(JVariant*, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                                 MMS_PLUGIN_STRUCT*) const
{
    return kMmsMissing;
}

uint32_t BasedPlugin::getAddrTable(PLUGIN_ADDR_INFO**, uint32_t*) { return kMmsMissing; }

uint32_t BasedPlugin::attached(CollectionWrapper* wrapper)
{
    if (wrapper == nullptr) return kMmsBadArgument;
    if (m_pWrapper != nullptr) return kMmsWrongState;
    m_pWrapper = wrapper;
    const uint32_t result = cnvStringToFastAddr();
    if (mmsIsFailure(result)) m_pWrapper = nullptr;
    return result;
}

uint32_t BasedPlugin::detached()
{
    m_pWrapper = nullptr;
    return kMmsOk;
}

uint32_t BasedPlugin::cnvStringToFastAddr()
{
    PLUGIN_ADDR_INFO* table = nullptr;
    uint32_t count = 0;
    if (mmsIsFailure(getAddrTable(&table, &count)) || table == nullptr || count == 0) return kMmsNoMemory;
    uint32_t converted = 0;
    uint32_t last = kMmsOk;
    for (uint32_t i = 0; i < count; ++i) {
        PLUGIN_ADDR_INFO& entry = table[i];
        entry.depth = 0;
        entry.valid = 0;
        // A missing text names nothing (an empty one names the collection itself).
        if (entry.address == nullptr) {
            last = kMmsOk;
            continue;
        }
        const uint32_t length = mmsStrnlen(entry.address, kMaxAddressLength);
        const uint32_t r = m_pWrapper->cnvStrToFastAddr(entry.nodes, &entry.depth, kAddressCapacity, entry.address,
                                                        length);
        if (mmsIsFailure(r)) {
            entry.depth = 0;
            last = kMmsOk;
            continue;
        }
        entry.valid = 1;
        ++converted;
        last = r;
    }
    return converted == 0 ? kMmsNoMemory : last;
}

}  // namespace MMS
