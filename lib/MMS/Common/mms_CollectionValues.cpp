// Setting, getting, checking, resetting and defaults of a collection, and its attribute queries.
#include "mms_Collection.h"

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "jlib/jlib_result.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ILinkPlugin.h"
#include "mms_ILinkReason.h"
#include "mms_Parameter.h"
#include "mms_PluginStruct.h"
#include "mms_PrmAttrib.h"
#include "mms_ProcessOption.h"

namespace MMS {

namespace {

constexpr uint32_t kStillDirty = 0x1000;
constexpr uint8_t kKindParameter = 0;
constexpr uint8_t kKindCollection = 1;
constexpr uint32_t kTextAttribute = 4;  // unit and name format: 3 characters and a terminator

// The bases of one element of a collection; factor bytes follow the dirty bit numbers, so the
// factor origin never moves.
struct ElementBases {
    unsigned char* values;
    uint32_t dirty;
    uint32_t serial;
};

ElementBases moveToElement(const Collection& c, unsigned char* values, uint32_t dirty, uint32_t serial,
                           uint32_t element, uint32_t level)
{
    if (level == 0) return {values, dirty, serial};
    return {values != nullptr ? values + CommonFunction::offsetCalculation(c.getDataInfo(), element) : nullptr,
            dirty + CommonFunction::offsetCalculation(c.getDirtyInfo(), element),
            serial + CommonFunction::offsetCalculation(c.getSerialInfo(), element)};
}

// The list pointer at a collection's own slot (the top collection's slot is the list's first).
ProcessOption* slotOf(const Collection& c, ProcessOption* list, uint32_t level)
{
    if (list == nullptr || level == 0) return list;
    return list + c.getCollNumInfo().offset;
}

// Where a node index leads: kind and list position for the summary upkeep.
void childPlace(const Collection& c, uint32_t nodeIndex, uint8_t* kind, uint32_t* listIndex)
{
    if (nodeIndex < c.getPrmCount()) {
        *kind = kKindParameter;
        *listIndex = nodeIndex;
    } else {
        *kind = kKindCollection;
        *listIndex = nodeIndex - c.getPrmCount();
    }
}

// Values a skipped element would have consumed below level: the product of the deeper ranges.
uint64_t valuesPerElement(const T_FAST_ADDRESS& address, const uint32_t* lastIndexes, uint32_t level)
{
    uint64_t product = 1;
    for (uint32_t j = level; j < address.depth; ++j) {
        const uint32_t first = address.indexes[j];
        const uint32_t last = lastIndexes[j];
        if (last < first) return 0;
        product *= static_cast<uint64_t>(last) - first + 1;
        if (product > 0xFFFFFFFFu) return 0xFFFFFFFFu;
    }
    return product;
}

void advance(uint32_t* position, uint64_t count)
{
    const uint64_t next = static_cast<uint64_t>(*position) + count;
    *position = next > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(next);
}

// A fill that met a parameter without default still reports what it changed, so that the summary
// bits above those changes are marked.
bool changedSomething(uint32_t result)
{
    if ((result & kMmsChanged) == 0) return false;
    return mmsIsSuccess(result) || (result & ~kMmsChanged) == kMmsNoDefault;
}

// The walk of the attribute queries: down the node vector to the parameter the address ends at.
template <class AtParameter>
uint32_t walkToParameter(const Collection& top, const T_FAST_ADDRESS* address, uint32_t level,
                         AtParameter atParameter)
{
    const Collection* here = &top;
    for (;;) {
        if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
        if (address->nodes == nullptr) return kMmsMissing;
        bool endsHere = false;
        Collection* child = nullptr;
        Parameter* parameter = nullptr;
        JLIB_RETURN_IF_FAILED(here->nextNode(&endsHere, &child, &parameter, address, level));
        ++level;
        if (parameter != nullptr) {
            if (address->depth != level) return kMmsNoSuchItem;
            return atParameter(*parameter);
        }
        here = child;
    }
}

// An attribute that may be unset: unset leaves it invalid and counts as success.
uint32_t optionalAttribute(uint32_t result, JVariant& value)
{
    if (result == kMmsNoDefault) {
        (void)value.invalid();  // always succeeds
        return kMmsOk;
    }
    return result;
}

// Unit and name format: the text only for 1 to 3 characters, else zeroed.
template <class ReadText>
uint32_t shortText(char (&text)[kTextAttribute], uint32_t size, ReadText readText)
{
    for (char& c : text) c = '\0';
    if (size == 0 || size >= kTextAttribute) return kMmsOk;
    return readText(text);
}

}  // namespace

// ---- set ----

uint32_t Collection::setPrm(uint8_t* pluginFound, JVariant* oldValue, const JVariant& newValue,
                            const T_FAST_ADDRESS* address, uint32_t level, uint8_t factor, uint16_t setOptions,
                            const ISetChecker* checker, unsigned char* valueMemory, IDirtyFlagHolder* holder,
                            uint32_t dirtyBase, unsigned char* factorMemory, ProcessOption* pluginList,
                            SetOrderNotifyWrapper* notifySetter, uint32_t serialBase)
{
    if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
    if (address->nodes == nullptr || address->indexes == nullptr) return kMmsMissing;
    // Checked before the plug-in sees the instance, so no plug-in is handed an element that
    // does not exist.
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    ProcessOption* slot = slotOf(*this, pluginList, level);
    if (slot != nullptr && slot->m_pPlugin != nullptr) {
        if (pluginFound != nullptr) {
            *pluginFound = 1;
        } else {
            MMS_PLUGIN_STRUCT context;
            context.level = level;
            context.factor = factor;
            context.checker = checker;
            context.valueMemory = valueMemory;
            context.holder = holder;
            context.dirtyBase = dirtyBase;
            context.factorMemory = factorMemory;
            context.pluginList = slot;
            context.notifySetter = notifySetter;
            context.serialBase = serialBase;
            ILinkReason reason;
            const uint32_t answer = slot->m_pPlugin->execute(newValue, oldValue, element, address->nodes + level,
                                                             address->indexes + level, address->depth - level,
                                                             reason, &context);
            if (mmsIsFailure(answer)) return kMmsMissing;
            if (answer != 0) return kMmsPluginHandled2;
        }
    }
    const ElementBases at = moveToElement(*this, valueMemory, dirtyBase, serialBase, element, level);
    const uint32_t result = setPrmLocal(pluginFound, oldValue, newValue, address, level, factor, setOptions, checker,
                                        at.values, holder, at.dirty, factorMemory, slot, notifySetter, at.serial);
    if (mmsIsSuccess(result) && (result & kMmsChanged) != 0 && holder != nullptr) {
        (void)holder->set(at.dirty);  // a holder without subscribers marks nothing
    }
    return result;
}

uint32_t Collection::setPrmLocal(uint8_t* pluginFound, JVariant* oldValue, const JVariant& newValue,
                                 const T_FAST_ADDRESS* address, uint32_t level, uint8_t factor, uint16_t setOptions,
                                 const ISetChecker* checker, unsigned char* valueMemory, IDirtyFlagHolder* holder,
                                 uint32_t dirtyBase, unsigned char* factorMemory, ProcessOption* pluginList,
                                 SetOrderNotifyWrapper* notifySetter, uint32_t serialBase)
{
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsNoSuchItem;
    if (child != nullptr) {
        return child->setPrm(pluginFound, oldValue, newValue, address, level + 1, factor, setOptions, checker,
                             valueMemory, holder, dirtyBase, factorMemory, pluginList, notifySetter, serialBase);
    }
    return parameter->setPrm(pluginFound != nullptr ? oldValue : nullptr, newValue, address, level + 1, factor,
                             setOptions, checker, valueMemory, holder, dirtyBase, factorMemory, notifySetter,
                             serialBase);
}

uint32_t Collection::setPrmArray(uint8_t* pluginFound, uint32_t* position, JVariantArray* oldValues,
                                 const JVariantArray& newValues, const T_FAST_ADDRESS* address,
                                 const uint32_t* lastIndexes, uint32_t level, const unsigned char* factors,
                                 uint8_t repeat, uint8_t singleFactor, uint16_t setOptions, const ISetChecker* checker,
                                 unsigned char* valueMemory, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                 unsigned char* factorMemory, ProcessOption* pluginList,
                                 SetOrderNotifyWrapper* notifySetter, uint32_t serialBase)
{
    if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
    if (address->nodes == nullptr || address->indexes == nullptr || lastIndexes == nullptr) return kMmsMissing;
    if (position == nullptr || address->depth > kMmsMaxDepth) return kMmsBadArgument;
    ProcessOption* slot = slotOf(*this, pluginList, level);
    if (slot != nullptr && slot->m_pPlugin != nullptr && pluginFound != nullptr) *pluginFound = 1;

    const uint32_t first = level == 0 ? 0 : address->indexes[level - 1];
    const uint32_t last = level == 0 ? 0 : lastIndexes[level - 1];
    // Each element walks on with its own index at this level; the deeper entries stay as given.
    uint32_t indexes[kMmsMaxDepth] = {};
    for (uint32_t j = 0; j < address->depth; ++j) indexes[j] = address->indexes[j];
    const T_FAST_ADDRESS walk{address->nodes, indexes, address->depth};
    uint32_t result = kMmsOk;
    for (uint64_t i = first; i <= last; ++i) {
        if (i >= m_arraySize && level > 0) {
            advance(position, (last - i + 1) * valuesPerElement(*address, lastIndexes, level));
            break;
        }
        if (level > 0) indexes[level - 1] = static_cast<uint32_t>(i);
        const ElementBases at =
            moveToElement(*this, valueMemory, dirtyBase, serialBase, static_cast<uint32_t>(i), level);
        const uint32_t r = setPrmArrayLocal(pluginFound, position, oldValues, newValues, &walk, lastIndexes, level,
                                            factors, repeat, singleFactor, setOptions, checker, at.values, holder,
                                            at.dirty, factorMemory, slot, notifySetter, at.serial);
        if (mmsIsFailure(r)) return r;
        result |= r;
    }
    return result;
}

uint32_t Collection::setPrmArrayLocal(uint8_t* pluginFound, uint32_t* position, JVariantArray* oldValues,
                                      const JVariantArray& newValues, const T_FAST_ADDRESS* address,
                                      const uint32_t* lastIndexes, uint32_t level, const unsigned char* factors,
                                      uint8_t repeat, uint8_t singleFactor, uint16_t setOptions,
                                      const ISetChecker* checker, unsigned char* valueMemory,
                                      IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                                      ProcessOption* pluginList, SetOrderNotifyWrapper* notifySetter,
                                      uint32_t serialBase)
{
    if (position == nullptr || lastIndexes == nullptr) return kMmsBadArgument;
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsNoSuchItem;
    uint32_t r = 0;
    if (child != nullptr) {
        r = child->setPrmArray(pluginFound, position, oldValues, newValues, address, lastIndexes, level + 1, factors,
                               repeat, singleFactor, setOptions, checker, valueMemory, holder, dirtyBase,
                               factorMemory, pluginList, notifySetter, serialBase);
    } else {
        r = parameter->setPrmArray(position, oldValues, newValues, address, lastIndexes, level + 1, factors, repeat,
                                   singleFactor, setOptions, checker, valueMemory, holder, dirtyBase, factorMemory,
                                   notifySetter, serialBase);
    }
    if (mmsIsSuccess(r) && (r & kMmsChanged) != 0 && holder != nullptr) {
        (void)holder->set(dirtyBase);  // a holder without subscribers marks nothing
    }
    return r;
}

uint32_t Collection::checkPrm(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level,
                              uint16_t setOptions) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) {
        return p.checkPrm(value, address, address->depth, setOptions);
    });
}

// ---- get ----

uint32_t Collection::getPrm(JVariant* value, uint8_t* factor, const T_FAST_ADDRESS* address, uint32_t level,
                            uint8_t clear, const unsigned char* valueMemory, unsigned char* dirtyMemory,
                            uint32_t dirtyBase, const unsigned char* factorMemory) const
{
    if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    const ElementBases at =
        moveToElement(*this, const_cast<unsigned char*>(valueMemory), dirtyBase, 0, element, level);
    return getPrmLocal(value, factor, address, level, clear, at.values, dirtyMemory, at.dirty, factorMemory);
}

uint32_t Collection::getPrmLocal(JVariant* value, uint8_t* factor, const T_FAST_ADDRESS* address, uint32_t level,
                                 uint8_t clear, const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                 uint32_t dirtyBase, const unsigned char* factorMemory) const
{
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsNoSuchItem;
    uint32_t r = child != nullptr ? child->getPrm(value, factor, address, level + 1, clear, valueMemory, dirtyMemory,
                                                  dirtyBase, factorMemory)
                                  : parameter->getPrm(value, factor, address, level + 1, clear, valueMemory,
                                                      dirtyMemory, dirtyBase, factorMemory);
    if (mmsIsFailure(r) || (r & kMmsChanged) == 0 || (r & kStillDirty) != 0) return r;
    uint8_t kind = 0;
    uint32_t listIndex = 0;
    childPlace(*this, address->nodes[level], &kind, &listIndex);
    const uint32_t childElement = address->indexes != nullptr ? address->indexes[level] : 0;
    if (isChildDirty(dirtyMemory, dirtyBase, level, kind, listIndex, childElement) != 0) return r | kStillDirty;
    r &= ~kMmsChanged;
    return r | CommonFunction::dirtyFlagController(dirtyMemory, dirtyBase, 0);
}

uint32_t Collection::getPrmArray(uint32_t* position, JVariantArray* values, unsigned char* factors,
                                 unsigned char* dirtyBits, const T_FAST_ADDRESS* address, const uint32_t* lastIndexes,
                                 uint32_t level, uint8_t clear, const unsigned char* valueMemory,
                                 unsigned char* dirtyMemory, uint32_t dirtyBase,
                                 const unsigned char* factorMemory) const
{
    if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
    if (address->nodes == nullptr || address->indexes == nullptr || lastIndexes == nullptr) return kMmsMissing;
    if (position == nullptr || address->depth > kMmsMaxDepth) return kMmsBadArgument;
    const uint32_t first = level == 0 ? 0 : address->indexes[level - 1];
    const uint32_t last = level == 0 ? 0 : lastIndexes[level - 1];
    uint32_t indexes[kMmsMaxDepth] = {};
    for (uint32_t j = 0; j < address->depth; ++j) indexes[j] = address->indexes[j];
    const T_FAST_ADDRESS walk{address->nodes, indexes, address->depth};
    uint32_t result = kMmsOk;
    for (uint64_t i = first; i <= last; ++i) {
        if (i >= m_arraySize && level > 0) {
            advance(position, (last - i + 1) * valuesPerElement(*address, lastIndexes, level));
            break;
        }
        if (level > 0) indexes[level - 1] = static_cast<uint32_t>(i);
        const ElementBases at = moveToElement(*this, const_cast<unsigned char*>(valueMemory), dirtyBase, 0,
                                              static_cast<uint32_t>(i), level);
        const uint32_t r = getPrmArrayLocal(position, values, factors, dirtyBits, &walk, lastIndexes, level, clear,
                                            at.values, dirtyMemory, at.dirty, factorMemory);
        if (mmsIsFailure(r)) return r;
        result |= r;
    }
    return result;
}

uint32_t Collection::getPrmArrayLocal(uint32_t* position, JVariantArray* values, unsigned char* factors,
                                      unsigned char* dirtyBits, const T_FAST_ADDRESS* address,
                                      const uint32_t* lastIndexes, uint32_t level, uint8_t clear,
                                      const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                      uint32_t dirtyBase, const unsigned char* factorMemory) const
{
    if (position == nullptr || lastIndexes == nullptr) return kMmsBadArgument;
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsNoSuchItem;
    uint32_t r = child != nullptr
                     ? child->getPrmArray(position, values, factors, dirtyBits, address, lastIndexes, level + 1, clear,
                                          valueMemory, dirtyMemory, dirtyBase, factorMemory)
                     : parameter->getPrmArray(position, values, factors, dirtyBits, address, lastIndexes, level + 1,
                                              clear, valueMemory, dirtyMemory, dirtyBase, factorMemory);
    if (mmsIsFailure(r) || (r & kMmsChanged) == 0 || (r & kStillDirty) != 0) return r;
    uint8_t kind = 0;
    uint32_t listIndex = 0;
    childPlace(*this, address->nodes[level], &kind, &listIndex);
    if (isChildDirty(dirtyMemory, dirtyBase, level, kind, listIndex, address->indexes[level]) != 0) {
        return r | kStillDirty;
    }
    r &= ~kMmsChanged;
    return r | CommonFunction::dirtyFlagController(dirtyMemory, dirtyBase, 0);
}

// ---- reset and defaults ----

uint32_t Collection::resetPrm(const T_FAST_ADDRESS* address, uint32_t level, uint8_t resetFlag,
                              unsigned char* valueMemory, const char* stringPool, uint8_t factor,
                              IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                              const unsigned char* tagBase)
{
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) {
        if (resetFlag == 0) return kMmsNotSupported;
        // Every element, whatever element the address named: the fill starts from the parent's bases.
        return setDefaultPrms(valueMemory, stringPool, level, factor, holder, dirtyBase, factorMemory, tagBase);
    }
    if (parameter != nullptr) return kMmsNotSupported;
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    const ElementBases at = moveToElement(*this, valueMemory, dirtyBase, 0, element, level);
    const unsigned char* ownTags = tagBase != nullptr && level > 0 ? tagBase + m_tagInfo.offset : tagBase;
    const uint32_t r = child->resetPrm(address, level + 1, resetFlag, at.values, stringPool, factor, holder, at.dirty,
                                       factorMemory, ownTags);
    if (changedSomething(r) && holder != nullptr) {
        (void)holder->set(at.dirty);  // a holder without subscribers marks nothing
    }
    return r;
}

uint32_t Collection::setDefaultPrms(unsigned char* valueMemory, const char* stringPool, uint32_t level)
{
    if (valueMemory == nullptr) return kMmsMissing;
    unsigned char* element0 = level > 0 ? valueMemory + m_dataInfo.offset : valueMemory;
    bool noDefault = false;
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        Parameter* parameter = getPrmItem(i);
        if (parameter == nullptr) continue;
        const uint32_t r = parameter->setDefaultPrms(element0, stringPool, level + 1, 0, nullptr, 0, nullptr);
        if (r == kMmsNoDefault) noDefault = true;
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        Collection* child = getCollectionItem(i);
        if (child == nullptr) continue;
        if (child->setDefaultPrms(element0, stringPool, level + 1) == kMmsNoDefault) noDefault = true;
    }
    (void)setLocalArrayCopy(valueMemory, level);  // the memory was checked above
    return noDefault ? kMmsNoDefault : kMmsOk;
}

uint32_t Collection::setDefaultPrms(unsigned char* valueMemory, const char* stringPool, uint32_t level,
                                    uint8_t factor, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                    unsigned char* factorMemory, const unsigned char* tagBase)
{
    if (holder == nullptr || factorMemory == nullptr || tagBase == nullptr) {
        return setDefaultPrms(valueMemory, stringPool, level);
    }
    if (valueMemory == nullptr) return kMmsMissing;
    const ElementBases at = moveToElement(*this, valueMemory, dirtyBase, 0, 0, level);
    const unsigned char* ownTags = level > 0 ? tagBase + m_tagInfo.offset : tagBase;
    uint32_t result = kMmsOk;
    bool noDefault = false;
    auto take = [&](uint32_t r) {
        if ((r & ~kMmsChanged) == kMmsNoDefault) noDefault = true;
        if (!changedSomething(r)) return;
        (void)holder->set(at.dirty);  // a holder without subscribers marks nothing
        result |= kMmsChanged;
    };
    for (uint32_t i = 0; i < m_parameters.getNum(); ++i) {
        Parameter* parameter = getPrmItem(i);
        if (parameter == nullptr) continue;
        take(parameter->setDefaultPrms(at.values, stringPool, level + 1, factor, holder, at.dirty, factorMemory));
    }
    for (uint32_t i = 0; i < m_collections.getNum(); ++i) {
        Collection* child = getCollectionItem(i);
        if (child == nullptr) continue;
        take(child->setDefaultPrms(at.values, stringPool, level + 1, factor, holder, at.dirty, factorMemory,
                                   ownTags));
    }
    // The other elements take element 0's bytes through the same-layout import, which marks only
    // what really differs.
    const uint32_t count = level == 0 ? 1 : m_arraySize;
    for (uint32_t i = 1; i < count; ++i) {
        const ElementBases to = moveToElement(*this, valueMemory, dirtyBase, 0, i, level);
        uint32_t visited = 0;
        uint32_t tagBytes = 0;
        uint32_t dataBytes = 0;
        uint32_t dirtyBits = 0;
        uint32_t factorSlots = 0;
        const uint32_t r = importCollectionData(level, factor, at.values, m_dataInfo.unit, to.values, nullptr, holder,
                                                to.dirty, factorMemory, ownTags, 1, &visited, &tagBytes, &dataBytes,
                                                &dirtyBits, &factorSlots);
        if (mmsIsFailure(r)) return r;
        result |= r & kMmsChanged;
    }
    return noDefault ? (kMmsNoDefault | (result & kMmsChanged)) : result;
}

uint32_t Collection::setLocalArrayCopy(unsigned char* valueMemory, uint32_t level) const
{
    if (valueMemory == nullptr) return kMmsBadArgument;
    if (level == 0) return kMmsOk;
    unsigned char* element0 = valueMemory + m_dataInfo.offset;
    for (uint32_t i = 1; i < m_arraySize; ++i) {
        (void)mmsMemcpy(element0 + static_cast<uint64_t>(i) * m_dataInfo.unit, element0, m_dataInfo.unit);
    }
    return kMmsOk;
}

uint32_t Collection::getPrmDef(uint8_t* pluginFound, JVariant* value, const T_FAST_ADDRESS* address, uint32_t level,
                               const char* stringPool, ProcessOption* pluginList) const
{
    if (address == nullptr || level >= address->depth) return kMmsNoSuchItem;
    if (address->nodes == nullptr || address->indexes == nullptr) return kMmsMissing;
    ProcessOption* slot = slotOf(*this, pluginList, level);
    const uint32_t channel = level == 0 ? 0 : address->indexes[level - 1];
    if (slot != nullptr && slot->m_pPlugin != nullptr) {
        if (pluginFound != nullptr) {
            *pluginFound = 1;
        } else {
            MMS_PLUGIN_STRUCT context;
            context.level = level;
            context.pluginList = slot;
            const uint32_t answer = slot->m_pPlugin->getDefault(value, channel, address->nodes + level,
                                                                address->indexes + level, address->depth - level,
                                                                &context);
            // A failing plug-in is no error here: the parameter's own default stands.
            if (mmsIsSuccess(answer) && answer != 0) return kMmsOk;
        }
    }
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, level));
    return getPrmDefLocal(pluginFound, value, address, level, stringPool, slot);
}

uint32_t Collection::getPrmDefLocal(uint8_t* pluginFound, JVariant* value, const T_FAST_ADDRESS* address,
                                    uint32_t level, const char* stringPool, ProcessOption* pluginList) const
{
    bool endsHere = false;
    Collection* child = nullptr;
    Parameter* parameter = nullptr;
    JLIB_RETURN_IF_FAILED(nextNode(&endsHere, &child, &parameter, address, level));
    if (endsHere) return kMmsNoSuchItem;
    if (child != nullptr) return child->getPrmDef(pluginFound, value, address, level + 1, stringPool, pluginList);
    if (address->depth != level + 1) return kMmsNoSuchItem;
    return parameter->getPrmDef(value, stringPool);
}

// ---- attributes ----

uint32_t Collection::getPrmAttrib(T_PRM_ATTRIB* attributes, const T_FAST_ADDRESS* address, uint32_t level,
                                  const char* stringPool) const
{
    if (attributes == nullptr) return kMmsBadArgument;
    return walkToParameter(*this, address, level, [&](const Parameter& p) -> uint32_t {
        T_PRM_ATTRIB& a = *attributes;
        JLIB_RETURN_IF_FAILED(p.getPrmType(&a.type));
        const bool isString = a.type == kMmsTypeString;
        (void)a.minimum.invalid();  // always succeeds
        if (!isString) JLIB_RETURN_IF_FAILED(optionalAttribute(p.getPrmMin(&a.minimum), a.minimum));
        JLIB_RETURN_IF_FAILED(optionalAttribute(p.getPrmMax(&a.maximum), a.maximum));
        JLIB_RETURN_IF_FAILED(optionalAttribute(p.getPrmDef(&a.defaultValue, stringPool), a.defaultValue));
        (void)a.step.invalid();  // always succeeds
        if (!isString) JLIB_RETURN_IF_FAILED(optionalAttribute(p.getPrmStep(&a.step), a.step));
        JLIB_RETURN_IF_FAILED(optionalAttribute(p.getPrmNominal(&a.nominal, stringPool), a.nominal));
        a.unitSize = 0;
        if (!isString) JLIB_RETURN_IF_FAILED(p.getPrmUnitSize(&a.unitSize));
        JLIB_RETURN_IF_FAILED(
            shortText(a.unit, a.unitSize, [&](char* text) { return p.getPrmUnit(text, stringPool); }));
        JLIB_RETURN_IF_FAILED(p.getPrmScaling(&a.scaling));
        JLIB_RETURN_IF_FAILED(p.getPrmKind(&a.kind));
        a.nameFormatSize = 0;
        if (!isString) JLIB_RETURN_IF_FAILED(p.getPrmNameFormatSize(&a.nameFormatSize));
        return shortText(a.nameFormat, a.nameFormatSize,
                         [&](char* text) { return p.getPrmNameFormat(text, stringPool); });
    });
}

uint32_t Collection::getPrmType(uint32_t* type, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmType(type); });
}

uint32_t Collection::getPrmMin(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmMin(value); });
}

uint32_t Collection::getPrmMax(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmMax(value); });
}

uint32_t Collection::getPrmStep(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmStep(value); });
}

uint32_t Collection::getPrmNominal(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level,
                                   const char* stringPool) const
{
    return walkToParameter(*this, address, level,
                           [&](const Parameter& p) { return p.getPrmNominal(value, stringPool); });
}

uint32_t Collection::getPrmUnitSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmUnitSize(size); });
}

uint32_t Collection::getPrmUnit(char* text, const T_FAST_ADDRESS* address, uint32_t level,
                                const char* stringPool) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmUnit(text, stringPool); });
}

uint32_t Collection::getPrmScaling(uint32_t* scaling, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmScaling(scaling); });
}

uint32_t Collection::getPrmKind(uint32_t* kind, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level, [&](const Parameter& p) { return p.getPrmKind(kind); });
}

uint32_t Collection::getPrmNameFormatSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const
{
    return walkToParameter(*this, address, level,
                           [&](const Parameter& p) { return p.getPrmNameFormatSize(size); });
}

uint32_t Collection::getPrmNameFormat(char* text, const T_FAST_ADDRESS* address, uint32_t level,
                                      const char* stringPool) const
{
    return walkToParameter(*this, address, level,
                           [&](const Parameter& p) { return p.getPrmNameFormat(text, stringPool); });
}

}  // namespace MMS
