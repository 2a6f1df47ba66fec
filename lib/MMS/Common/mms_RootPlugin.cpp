// Plug-in slots of a root and the passes that run the plug-ins after range writes and imports.
#include "mms_Root.h"

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "mms_Collection.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ProcessOption.h"

namespace MMS {

uint32_t Root::appendPluginFast(ILinkPlugin* plugin, const uint32_t* nodes, uint32_t depth)
{
    if (!isLinkMode() || m_pTop == nullptr) return kMmsWrongState;
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    const uint32_t r = m_pTop->appendPlugin(plugin, &address, 0, m_pPlugins, m_stringPool.getPoolPointer());
    if (mmsIsSuccess(r)) ++m_pluginCount;
    return r;
}

uint32_t Root::appendPlugin(ILinkPlugin* plugin, const char* address, uint32_t length)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length));
    return appendPluginFast(plugin, nodes, depth);
}

uint32_t Root::removePluginFast(const uint32_t* nodes, uint32_t depth)
{
    if (!isLinkMode() || m_pTop == nullptr) return kMmsWrongState;
    if (nodes == nullptr && depth != 0) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    ILinkPlugin* present = nullptr;
    const uint32_t found = m_pTop->getPlugin(&present, &address, 0, m_pPlugins);
    const uint32_t r = m_pTop->removePlugin(&address, 0, m_pPlugins);
    // Only a removal that emptied an occupied slot counts, and the count never wraps.
    if (mmsIsSuccess(r) && mmsIsSuccess(found) && present != nullptr && m_pluginCount != 0) --m_pluginCount;
    return r;
}

uint32_t Root::removePlugin(const char* address, uint32_t length)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length));
    return removePluginFast(nodes, depth);
}

uint32_t Root::getPluginFast(ILinkPlugin** out, const uint32_t* nodes, uint32_t depth)
{
    if ((!isLinkMode() && !isReady()) || m_pTop == nullptr) return kMmsWrongState;
    if ((nodes == nullptr && depth != 0) || out == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return m_pTop->getPlugin(out, &address, 0, m_pPlugins);
}

uint32_t Root::getPlugin(ILinkPlugin** out, const char* address, uint32_t length)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length));
    return getPluginFast(out, nodes, depth);
}

uint32_t Root::pluginDriver(IDirtyFlagHolder* holder, uint8_t factor, void* marks)
{
    if (holder == nullptr || marks == nullptr) return kMmsBadArgument;
    if (m_pPlugins == nullptr) return kMmsMissing;
    if (m_pluginCount == 0) return kMmsOk;
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t indexes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    uint32_t result = kMmsOk;
    for (;;) {
        const T_FAST_ADDRESS from{nodes, indexes, depth};
        uint32_t foundNodes[kMmsMaxDepth] = {};
        uint32_t foundIndexes[kMmsMaxDepth] = {};
        uint32_t foundDepth = 0;
        const uint32_t search =
            m_pTop->getChangedPrmAddr(nullptr, nullptr, foundNodes, foundIndexes, &foundDepth, kMmsMaxDepth, &from, 0,
                                   1, m_pValues, static_cast<unsigned char*>(marks), 0, m_pFactors);
        // A failing search ends the pass as surely as an empty one: there is no address to go on from.
        if (mmsIsFailure(search) || (search & kMmsFound) == 0) return result;
        for (uint32_t k = 0; k < kMmsMaxDepth; ++k) {
            nodes[k] = foundNodes[k];
            indexes[k] = foundIndexes[k];
        }
        depth = foundDepth;
        const T_FAST_ADDRESS at{nodes, indexes, depth};
        JVariant value;
        if (mmsIsFailure(m_pTop->getPrm(&value, nullptr, &at, 0, 0, m_pValues, nullptr, 0, m_pFactors))) continue;
        const uint32_t r = m_pTop->setPrm(nullptr, &value, value, &at, 0, factor, 0, nullptr, m_pValues, holder, 0, m_pFactors,
                                       m_pPlugins, nullptr, 0);
        if (mmsIsSuccess(r) && (r & kMmsPluginHandled2) != 0) {
            result |= kMmsPluginHandled2;
            if ((r & kMmsChanged) != 0) result |= kMmsPluginHandled;
        }
    }
}

uint32_t Root::pluginDriver(IDirtyFlagHolder* holder, const JVariantArray* oldValues, const JVariantArray& values,
                            const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
                            const unsigned char* factors, uint8_t oneValue, uint8_t oneFactor, uint16_t checkMode,
                            const ISetChecker* checker)
{
    if (holder == nullptr || nodes == nullptr || first == nullptr || last == nullptr || depth > kMmsMaxDepth) {
        return kMmsBadArgument;
    }
    if (m_pPlugins == nullptr) return kMmsMissing;
    if (m_pluginCount == 0) return kMmsOk;
    uint32_t working[kMmsMaxDepth] = {};
    for (uint32_t k = 0; k < depth; ++k) working[k] = first[k];
    const T_FAST_ADDRESS address{nodes, working, depth};
    uint32_t result = kMmsOk;
    for (uint32_t i = 0;; ++i) {
        JVariant value;
        if (mmsIsFailure(values.getValue(&value, oneValue != 0 ? 0 : i))) return result;
        const uint8_t factor = factors != nullptr ? factors[oneFactor != 0 ? 0 : i] : 0;
        bool run = true;
        JVariant old;
        if (oldValues != nullptr) {
            run = false;
            if (mmsIsSuccess(oldValues->getValue(&old, i)) && old != value) {
                // A write clamped back to the old value changed nothing a plug-in must see.
                run = mmsIsSuccess(m_pTop->getPrm(&value, nullptr, &address, 0, 0, m_pValues, nullptr, 0, m_pFactors)) &&
                      value != old;
            }
        }
        if (run) {
            const uint32_t r = m_pTop->setPrm(nullptr, oldValues != nullptr ? &old : nullptr, value, &address, 0, factor,
                                           checkMode, checker, m_pValues, holder, 0, m_pFactors, m_pPlugins, &m_orderNotify, 0);
            if (mmsIsSuccess(r)) result |= r;
        }
        const uint32_t step = CommonFunction::incrementVector(working, first, last, depth);
        if (step != 0) return result;
    }
}

}  // namespace MMS
