// Values of a root: single and range writes with their plug-in passes and linked channels, resets,
// checks and reads.
#include "mms_Root.h"

#include <cstring>
#include <memory>
#include <optional>

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "mms_Collection.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ExternalSetArg.h"
#include "mms_IChannelLinker.h"
#include "mms_Parameter.h"
#include "mms_Platform.h"

namespace MMS {

namespace {

// A block taken from the general heap, freed when the operation ends.
class HeapBytes {
public:
    HeapBytes() = default;
    ~HeapBytes() { (void)mmsFree(m_pBytes); }
    HeapBytes(const HeapBytes&) = delete;
    HeapBytes& operator=(const HeapBytes&) = delete;
    unsigned char* take(uint32_t count)
    {
        m_pBytes = static_cast<unsigned char*>(mmsMalloc(count));
        if (m_pBytes != nullptr) memset(m_pBytes, 0, count);
        return m_pBytes;
    }
    unsigned char* get() const { return m_pBytes; }

private:
    unsigned char* m_pBytes = nullptr;
};

// The old values of a range write, over a buffer of their own (a range may hold more elements than
// an owning array takes).
class OldValueArray {
public:
    OldValueArray(int kind, uint32_t size, uint32_t count)
    {
        const uint64_t bytes = static_cast<uint64_t>(size) * count;
        if (bytes == 0 || bytes > 0xFFFFFFFFull) return;
        if (m_buffer.take(static_cast<uint32_t>(bytes)) == nullptr) return;
        m_pArray = new JVariantArray(m_buffer.get(), kind, size, count);
        if (m_pArray != nullptr && m_pArray->getType() == JVariant::kTypeInvalid) {
            delete m_pArray;
            m_pArray = nullptr;
        }
    }
    ~OldValueArray() { delete m_pArray; }
    OldValueArray(const OldValueArray&) = delete;
    OldValueArray& operator=(const OldValueArray&) = delete;
    JVariantArray* get() const { return m_pArray; }

private:
    HeapBytes m_buffer;  // declared first: outlives the array over it
    JVariantArray* m_pArray = nullptr;
};

// The element kind and size a JVariantArray needs for a parameter type.
uint32_t getJVariantType(int* kind, uint32_t* size, uint32_t type)
{
    if (kind == nullptr || size == nullptr) return kMmsBadArgument;
    switch (type) {
    case kMmsTypeInt8: *kind = JVariant::kTypeInt32; *size = 1; break;
    case kMmsTypeInt16: *kind = JVariant::kTypeInt32; *size = 2; break;
    case kMmsTypeInt32: *kind = JVariant::kTypeInt32; *size = 4; break;
    case kMmsTypeBit:
    case kMmsTypeUInt8: *kind = JVariant::kTypeUInt32; *size = 1; break;
    case kMmsTypeUInt16: *kind = JVariant::kTypeUInt32; *size = 2; break;
    case kMmsTypeUInt32: *kind = JVariant::kTypeUInt32; *size = 4; break;
    case kMmsTypeString: *kind = JVariant::kTypeString; *size = 1; break;
    case kMmsTypeFloat: *kind = JVariant::kTypeFloat; *size = 4; break;
    default: *kind = JVariant::kTypeInvalid; *size = 0; break;
    }
    return kMmsOk;
}

// The factors of the derived writes of a range (plug-in passes, links), made once per operation.
const unsigned char* assignLinkSetFactors(const uint8_t* factors, uint32_t count, uint8_t oneFactor,
                                         const IFactorModifier* modifier, uint8_t* oneOut,
                                         HeapBytes* allocated)
{
    if (factors == nullptr) return nullptr;
    if (modifier == nullptr) return factors;
    if (oneFactor != 0) {
        *oneOut = modifier->modifyFactor(factors[0], 1);
        return oneOut;
    }
    unsigned char* bytes = allocated->take(count);
    if (bytes == nullptr) return factors;  // no memory: the caller's factors as they are
    for (uint32_t i = 0; i < count; ++i) bytes[i] = modifier->modifyFactor(factors[i], 1);
    return bytes;
}

}  // namespace

uint32_t Root::getChannelArrayNum(uint32_t* count, const uint32_t* first, const uint32_t* last,
                                  uint32_t depth) const
{
    if (count == nullptr) return kMmsMissing;
    if (first == nullptr || last == nullptr || depth == 0) return kMmsNoSuchItem;
    // Up to five levels of 65535 elements: the product needs 64 bits; a range beyond 32 bits
    // cannot be counted by any caller and is refused.
    uint64_t product = 1;
    for (uint32_t k = 0; k < depth; ++k) {
        if (last[k] < first[k]) return kMmsNoSuchItem;
        product *= static_cast<uint64_t>(last[k]) - first[k] + 1;
        if (product > 0xFFFFFFFFull) return kMmsBadArgument;
    }
    *count = static_cast<uint32_t>(product);
    return kMmsOk;
}

uint32_t Root::setChannelLinker(IChannelLinker* linker)
{
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    m_pChannelLinker = linker;
    return kMmsOk;
}

uint32_t Root::setPrmFast(const JVariant& value, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                          uint8_t factor, uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption,
                          uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode,
                          const ExternalSetArg* external)
{
    (void)setOption;
    if (nodes == nullptr || indices == nullptr || depth == 0) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const IFactorModifier* modifier = external != nullptr ? external->m_pModifier : nullptr;
    DirtyFlagHolder holder(&m_taskList, subscribeMode, markOwnTask, taskId);

    T_FAST_ADDRESS address{nodes, indices, depth};
    uint8_t currentFactor = factor;
    // The converted source value, when the first link asked for one; links convert from it.
    // Values are made only when a linker or a plug-in needs them: a plain write copies nothing.
    std::optional<JVariant> converted;
    IChannelLink* link = nullptr;
    if (m_pChannelLinker != nullptr) {
        link = m_pChannelLinker->getFirstLink(&address, nullptr, nullptr);
        if (link != nullptr) converted.emplace(link->convertSourceValue(value));
    }
    const JVariant& source = converted.has_value() ? *converted : value;
    std::optional<JVariant> linkValue;
    const JVariant* toWrite = &source;
    bool firstPass = true;
    uint32_t result = kMmsOk;
    // While the tree stores one value nobody outside sees the marks (no plug-in runs in that pass,
    // the checker is asked before anything is marked), so the element and the collections above
    // it are marked in one walk of the task list. An ordered-notify writer is told between those
    // marks, so with one attached they go one by one as before.
    const uint8_t deferMarks = m_orderNotify.isAttached() ? 0 : 1;
    for (;;) {
        uint32_t r = 0;
        if (m_pluginCount == 0) {
            // No plug-in is attached anywhere, so none can be on the path to report.
            (void)holder.deferMarks(deferMarks);
            r = m_pTop->setPrm(nullptr, nullptr, *toWrite, &address, 0, currentFactor, checkMode, checker, m_pValues,
                               &holder, 0, m_pFactors, m_pPlugins, &m_orderNotify, 0);
            (void)holder.deferMarks(0);  // marks now, before any linker is asked
        } else {
            uint8_t pluginSeen = 0;
            JVariant oldValue;
            (void)holder.deferMarks(deferMarks);
            r = m_pTop->setPrm(&pluginSeen, &oldValue, *toWrite, &address, 0, currentFactor, checkMode, checker,
                               m_pValues, &holder, 0, m_pFactors, m_pPlugins, &m_orderNotify, 0);
            (void)holder.deferMarks(0);  // the plug-ins below see the marks in place
            if (mmsIsSuccess(r) && (r & kMmsChanged) != 0 && pluginSeen != 0) {
                // The plug-ins on the path see the write now that it is in place; what they do
                // counts as a derived write.
                (void)holder.changeSubscribeMode(1);
                const uint8_t passFactor =
                    modifier != nullptr ? modifier->modifyFactor(currentFactor, 1) : currentFactor;
                const uint32_t pass = m_pTop->setPrm(nullptr, &oldValue, *toWrite, &address, 0, passFactor,
                                                     checkMode, checker, m_pValues, &holder, 0, m_pFactors,
                                                     m_pPlugins, nullptr, 0);
                if (mmsIsSuccess(pass) && (pass & kMmsPluginHandled2) != 0) {
                    r |= (pass & kMmsChanged) != 0 ? (kMmsPluginHandled | kMmsPluginHandled2) : kMmsPluginHandled2;
                }
            }
        }
        if (mmsIsFailure(r)) return r;
        result |= r;
        if (m_pChannelLinker == nullptr) return result;

        link = firstPass ? link : m_pChannelLinker->getNextLink(&address, link);
        firstPass = false;
        if (link == nullptr) return result;
        if (link->isConverting()) {
            linkValue.emplace(link->convertValue(source));
            toWrite = &*linkValue;
        } else {
            toWrite = &source;
        }
        address.nodes = link->getNodes();
        address.indexes = link->getIndices();
        (void)holder.changeSubscribeMode(1);
        currentFactor = modifier != nullptr ? modifier->modifyFactor(factor, 1) : factor;
    }
}

uint32_t Root::setPrm(const JVariant& value, const char* address, uint32_t length, const uint32_t* indices,
                      uint32_t indexCount, uint8_t factor, uint8_t markOwnTask, uint16_t checkMode,
                      uint8_t setOption, uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode,
                      const ExternalSetArg* external)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return setPrmFast(value, nodes, indices, depth, factor, markOwnTask, checkMode, setOption, taskId, checker,
                      subscribeMode, external);
}

uint32_t Root::setPrmArrayFast(const JVariantArray& values, const uint32_t* nodes, const uint32_t* first,
                               const uint32_t* last, uint32_t depth, const uint8_t* factors, uint8_t oneValue,
                               uint8_t oneFactor, uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption,
                               uint32_t taskId, const ISetChecker* checker, uint32_t options,
                               uint32_t subscribeMode, const ExternalSetArg* external)
{
    if (nodes == nullptr || first == nullptr || last == nullptr || depth == 0) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const bool followLinks = (options & 1u) == 0;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(getChannelArrayNum(&count, first, last, depth));
    if (oneValue != 0 ? values.getLength() == 0 : values.getLength() != count) return kMmsBadArgument;
    if (followLinks && m_pChannelLinker != nullptr) {
        const T_FAST_ADDRESS from{nodes, first, depth};
        if (!m_pChannelLinker->isRangeLinkable(&from, last)) {
            return setPrmRepeatFast(values, nodes, first, last, depth, factors, oneValue, oneFactor, markOwnTask,
                                    checkMode, setOption, taskId, checker, subscribeMode, external);
        }
    }
    const IFactorModifier* modifier = external != nullptr ? external->m_pModifier : nullptr;

    // Old values are kept only when a plug-in could want them.
    std::unique_ptr<OldValueArray> oldHolder;
    if (m_pluginCount != 0) {
        const T_FAST_ADDRESS at{nodes, nullptr, depth};
        uint32_t type = 0;
        int kind = JVariant::kTypeInvalid;
        uint32_t size = 0;
        if (mmsIsSuccess(m_pTop->getPrmType(&type, &at, 0)) && mmsIsSuccess(getJVariantType(&kind, &size, type))) {
            if (kind == JVariant::kTypeString) {
                JVariant capacity;
                size = mmsIsSuccess(m_pTop->getPrmMax(&capacity, &at, 0)) ? capacity.toUInt32() : 0;
            }
            if (kind != JVariant::kTypeInvalid && size != 0) {
                oldHolder = std::make_unique<OldValueArray>(kind, size, count);
            }
        }
    }

    JVariantArray* oldValues = oldHolder != nullptr ? oldHolder->get() : nullptr;
    DirtyFlagHolder holder(&m_taskList, subscribeMode, markOwnTask, taskId);
    (void)holder.changeLocalFlagMode(1);
    const unsigned char* useFactors = factors;
    bool linkFactorsMade = false;
    uint8_t oneLinkFactor = 0;
    HeapBytes allocatedFactors;
    const uint32_t* useNodes = nodes;
    const uint32_t* useFirst = first;
    const uint32_t* useLast = last;
    IChannelLink* link = nullptr;
    bool firstPass = true;
    uint32_t result = kMmsOk;
    uint32_t failure = kMmsOk;
    for (;;) {
        const T_FAST_ADDRESS address{useNodes, useFirst, depth};
        uint8_t pluginSeen = 0;
        uint32_t position = 0;
        uint32_t r = m_pTop->setPrmArray(&pluginSeen, &position, oldValues, values, &address, useLast, 0,
                                      useFactors, oneValue, oneFactor, checkMode, checker, m_pValues, &holder, 0,
                                      m_pFactors, m_pPlugins, &m_orderNotify, 0);
        if (mmsIsSuccess(r) && (r & kMmsChanged) != 0 && pluginSeen != 0) {
            (void)holder.changeSubscribeMode(1);
            (void)holder.changeLocalFlagMode(0);
            if (!linkFactorsMade) {
                useFactors = assignLinkSetFactors(factors, count, oneFactor, modifier, &oneLinkFactor,
                                                  &allocatedFactors);
                linkFactorsMade = true;
            }
            const uint32_t pass = pluginDriver(&holder, oldValues, values, useNodes, useFirst, useLast, depth,
                                               useFactors, oneValue, oneFactor, checkMode, checker);
            if (mmsIsSuccess(pass)) r |= pass;
        }
        if (mmsIsFailure(r)) {
            failure = r;
            break;
        }
        result |= r;
        if (!followLinks || m_pChannelLinker == nullptr) break;
        const T_FAST_ADDRESS now{useNodes, useFirst, depth};
        link = firstPass ? m_pChannelLinker->getFirstLink(&now, useLast, nullptr) : m_pChannelLinker->getNextLink(&now, link);
        firstPass = false;
        if (link == nullptr) break;
        useNodes = link->getNodes();
        useFirst = link->getIndices();
        useLast = link->getLastIndices();
        (void)holder.changeSubscribeMode(1);
        if (!linkFactorsMade) {
            useFactors =
                assignLinkSetFactors(factors, count, oneFactor, modifier, &oneLinkFactor, &allocatedFactors);
            linkFactorsMade = true;
        }
    }
    return failure != kMmsOk ? failure : result;
}

uint32_t Root::setPrmArray(const JVariantArray& values, const char* address, uint32_t length,
                           const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                           const uint8_t* factors, uint8_t oneValue, uint8_t oneFactor, uint8_t markOwnTask,
                           uint16_t checkMode, uint8_t setOption, uint32_t taskId, const ISetChecker* checker,
                           uint32_t options, uint32_t subscribeMode, const ExternalSetArg* external)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return setPrmArrayFast(values, nodes, first, last, depth, factors, oneValue, oneFactor, markOwnTask, checkMode,
                           setOption, taskId, checker, options, subscribeMode, external);
}

uint32_t Root::setPrmRepeatFast(const JVariantArray& values, const uint32_t* nodes, const uint32_t* first,
                                const uint32_t* last, uint32_t depth, const uint8_t* factors,
                                uint8_t oneValue, uint8_t oneFactor, uint8_t markOwnTask, uint16_t checkMode,
                                uint8_t setOption, uint32_t taskId, const ISetChecker* checker,
                                uint32_t subscribeMode, const ExternalSetArg* external)
{
    if (depth > kMmsMaxDepth) return kMmsBadArgument;
    if (first == nullptr || last == nullptr) return kMmsNoSuchItem;
    uint32_t working[kMmsMaxDepth] = {};
    for (uint32_t k = 0; k < depth; ++k) working[k] = first[k];
    uint32_t v = 0;
    uint32_t f = 0;
    uint32_t result = kMmsOk;
    for (;;) {
        JVariant value;
        if (mmsIsFailure(values.getValue(&value, v))) return kMmsBadArgument;
        const uint8_t factor = factors != nullptr ? factors[f] : 0;
        const uint32_t r = setPrmFast(value, nodes, working, depth, factor, markOwnTask, checkMode, setOption,
                                      taskId, checker, subscribeMode, external);
        if (mmsIsFailure(r)) return r;
        result |= r;
        const uint32_t step = CommonFunction::incrementVector(working, first, last, depth);
        if (step != 0) return mmsIsFailure(step) ? step : result;
        if (oneValue == 0) ++v;
        if (oneFactor == 0) ++f;
    }
}

uint32_t Root::resetPrmFast(const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t apply,
                            uint8_t factor, uint8_t markOwnTask, uint32_t taskId)
{
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    DirtyFlagHolder holder(&m_taskList, 0, markOwnTask, taskId);
    const T_FAST_ADDRESS whole{};
    const T_FAST_ADDRESS given{nodes, indices, depth};
    const bool useGiven = nodes != nullptr && indices != nullptr && depth != 0;
    return m_pTop->resetPrm(useGiven ? &given : &whole, 0, apply, m_pValues, m_stringPool.getPoolPointer(), factor, &holder, 0, m_pFactors,
                         m_tagInfo.getTagInfoPointer());
}

uint32_t Root::resetPrm(const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                        uint8_t apply, uint8_t factor, uint8_t markOwnTask, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return resetPrmFast(nodes, indices, depth, apply, factor, markOwnTask, taskId);
}

uint32_t Root::checkPrmFast(JVariant* value, const uint32_t* nodes, uint32_t depth, uint16_t checkMode) const
{
    if (nodes == nullptr || depth == 0) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    if (value == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return m_pTop->checkPrm(value, &address, 0, checkMode);
}

uint32_t Root::checkPrm(JVariant* value, const char* address, uint32_t length, uint16_t checkMode) const
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length));
    return checkPrmFast(value, nodes, depth, checkMode);
}

uint32_t Root::getPrmFast(JVariant* value, uint8_t* factorOut, const uint32_t* nodes, const uint32_t* indices,
                          uint32_t depth, uint8_t clearFlag, uint32_t taskId)
{
    if (nodes == nullptr || indices == nullptr || depth == 0) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    if (value == nullptr) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, indices, depth};
    return m_pTop->getPrm(value, factorOut, &address, 0, clearFlag, m_pValues, m_taskList.getTaskDirtyMem(taskId), 0,
                       m_pFactors);
}

uint32_t Root::getPrm(JVariant* value, uint8_t* factorOut, const char* address, uint32_t length,
                      const uint32_t* indices, uint32_t indexCount, uint8_t clearFlag, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return getPrmFast(value, factorOut, nodes, indices, depth, clearFlag, taskId);
}

uint32_t Root::getPrmArrayFast(JVariantArray* values, unsigned char* factorsOut, uint32_t factorCount,
                               unsigned char* dirtyOut, const uint32_t* nodes, const uint32_t* first,
                               const uint32_t* last, uint32_t depth, uint8_t clearFlag, uint32_t taskId)
{
    if (values == nullptr) return kMmsBadArgument;
    if (nodes == nullptr || first == nullptr || last == nullptr || depth == 0) return kMmsNoSuchItem;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(getChannelArrayNum(&count, first, last, depth));
    if (values->getLength() != count || (factorCount != 0 && factorCount != count)) return kMmsBadArgument;
    const T_FAST_ADDRESS at{nodes, nullptr, depth};
    uint32_t type = 0;
    JLIB_RETURN_IF_FAILED(m_pTop->getPrmType(&type, &at, 0));
    const int kind = values->getType();
    const uint32_t size = values->getSize();
    bool fits = false;
    switch (type) {
    case kMmsTypeInt8: fits = kind == JVariant::kTypeInt32 && size >= 1; break;
    case kMmsTypeInt16: fits = kind == JVariant::kTypeInt32 && size >= 2; break;
    case kMmsTypeInt32: fits = kind == JVariant::kTypeInt32 && size >= 4; break;
    case kMmsTypeBit: fits = kind == JVariant::kTypeUInt32; break;
    case kMmsTypeUInt8: fits = kind == JVariant::kTypeUInt32 && size >= 1; break;
    case kMmsTypeUInt16: fits = kind == JVariant::kTypeUInt32 && size >= 2; break;
    case kMmsTypeUInt32: fits = kind == JVariant::kTypeUInt32 && size >= 4; break;
    case kMmsTypeFloat: fits = kind == JVariant::kTypeFloat && size >= 4; break;
    case kMmsTypeString: fits = kind == JVariant::kTypeString; break;
    default: break;
    }
    if (!fits) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, first, depth};
    uint32_t position = 0;
    return m_pTop->getPrmArray(&position, values, factorsOut, dirtyOut, &address, last, 0, clearFlag, m_pValues,
                            m_taskList.getTaskDirtyMem(taskId), 0, m_pFactors);
}

uint32_t Root::getPrmArray(JVariantArray* values, unsigned char* factorsOut, uint32_t factorCount,
                           unsigned char* dirtyOut, const char* address, uint32_t length, const uint32_t* first,
                           const uint32_t* last, uint32_t indexCount, uint8_t clearFlag, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    JLIB_RETURN_IF_FAILED(convertAddress(nodes, &depth, address, length, indexCount));
    return getPrmArrayFast(values, factorsOut, factorCount, dirtyOut, nodes, first, last, depth, clearFlag, taskId);
}

}  // namespace MMS
