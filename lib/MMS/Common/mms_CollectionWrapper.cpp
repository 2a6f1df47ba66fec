#include "mms_CollectionWrapper.h"

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "jlib/jlib_result.h"
#include "mms_Collection.h"
#include "mms_DirtyFlagList.h"
#include "mms_PluginStruct.h"
#include "mms_Result.h"
#include "mms_Types.h"

namespace MMS {

namespace {

// One attribute of the parameter at a Fast address below a collection.
template <class T>
class IAttributeGetter {
public:
    virtual ~IAttributeGetter() = default;
    [[nodiscard]] virtual uint32_t attribute(T* out, const T_FAST_ADDRESS& address, uint32_t level,
                                             const Collection& collection) const = 0;
};

class NominalGetter : public IAttributeGetter<JVariant> {
public:
    explicit NominalGetter(const char* stringPool) : m_pStringPool(stringPool) {}
    uint32_t attribute(JVariant* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmNominal(out, &address, level, m_pStringPool);
    }

private:
    const char* m_pStringPool;
};

class MininumGetter : public IAttributeGetter<JVariant> {
public:
    uint32_t attribute(JVariant* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmMin(out, &address, level);
    }
};

class MaximumGetter : public IAttributeGetter<JVariant> {
public:
    uint32_t attribute(JVariant* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmMax(out, &address, level);
    }
};

class StepGetter : public IAttributeGetter<JVariant> {
public:
    uint32_t attribute(JVariant* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmStep(out, &address, level);
    }
};

class ScalingGetter : public IAttributeGetter<uint32_t> {
public:
    uint32_t attribute(uint32_t* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmScaling(out, &address, level);
    }
};

class KindGetter : public IAttributeGetter<uint32_t> {
public:
    uint32_t attribute(uint32_t* out, const T_FAST_ADDRESS& address, uint32_t level,
                       const Collection& collection) const override
    {
        return collection.getPrmKind(out, &address, level);
    }
};

template <class T>
uint32_t getPrmAttribute(T* out, const uint32_t* nodes, uint32_t depth, const Collection* collection,
                         const IAttributeGetter<T>& getter)
{
    if (collection == nullptr) return kMmsWrongState;
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return getter.attribute(out, address, 0, *collection);
}

// The wrapped collection's bases at one instance; the relative address is then walked from level
// 0, where nothing moves again.
struct InstanceBases {
    unsigned char* values = nullptr;
    unsigned char* factors = nullptr;
    uint32_t dirty = 0;
    uint32_t serial = 0;
};

}  // namespace

uint32_t CollectionWrapper::setPrm(const JVariant& value, uint32_t instance, const uint32_t* nodes,
                                   const uint32_t* indexes, uint32_t depth, MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    InstanceBases at;
    JLIB_RETURN_IF_FAILED(
        m_pCollection->getOffsetPlugin(&at.values, &at.factors, &at.dirty, &at.serial, instance, context));
    const T_FAST_ADDRESS address{nodes, indexes, depth};
    const uint32_t result = m_pCollection->setPrmLocal(nullptr, nullptr, value, &address, 0, context->factor, 0,
                                                       context->checker, at.values, context->holder, at.dirty,
                                                       at.factors, context->pluginList, context->notifySetter,
                                                       at.serial);
    if (mmsIsFailure(result)) return result;
    // The instance's own summary bit; the ones above were marked by the set that reached the plug-in.
    if ((result & kMmsChanged) != 0 && context->holder != nullptr) (void)context->holder->set(at.dirty);
    context->resultFlags |= result;
    return result;
}

uint32_t CollectionWrapper::setPrmArray(const JVariantArray& values, uint32_t instance, const uint32_t* nodes,
                                        const uint32_t* first, const uint32_t* last, uint32_t depth,
                                        uint8_t sameValue, MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    InstanceBases at;
    JLIB_RETURN_IF_FAILED(
        m_pCollection->getOffsetPlugin(&at.values, &at.factors, &at.dirty, &at.serial, instance, context));
    const T_FAST_ADDRESS address{nodes, first, depth};
    if (depth == 0) return kMmsNoSuchItem;
    if (nodes == nullptr || first == nullptr || last == nullptr) return kMmsMissing;
    if (depth > kMmsMaxDepth) return kMmsBadArgument;
    uint32_t position = 0;
    const uint8_t factor = context->factor;
    const uint32_t result = m_pCollection->setPrmArrayLocal(
        nullptr, &position, nullptr, values, &address, last, 0, &factor, sameValue, 1, 0, context->checker,
        at.values, context->holder, at.dirty, at.factors, context->pluginList, context->notifySetter, at.serial);
    if (mmsIsFailure(result)) return result;
    context->resultFlags |= result;
    return result;
}

uint32_t CollectionWrapper::getPrm(JVariant* value, uint32_t instance, const uint32_t* nodes,
                                   const uint32_t* indexes, uint32_t depth, MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    InstanceBases at;
    JLIB_RETURN_IF_FAILED(
        m_pCollection->getOffsetPlugin(&at.values, &at.factors, &at.dirty, &at.serial, instance, context));
    const T_FAST_ADDRESS address{nodes, indexes, depth};
    if (depth == 0) return kMmsNoSuchItem;
    return m_pCollection->getPrmLocal(value, nullptr, &address, 0, 0, at.values, nullptr, at.dirty, at.factors);
}

uint32_t CollectionWrapper::getPrmArray(JVariantArray* values, uint32_t instance, const uint32_t* nodes,
                                        const uint32_t* first, const uint32_t* last, uint32_t depth,
                                        MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    InstanceBases at;
    JLIB_RETURN_IF_FAILED(
        m_pCollection->getOffsetPlugin(&at.values, &at.factors, &at.dirty, &at.serial, instance, context));
    if (depth == 0) return kMmsNoSuchItem;
    if (nodes == nullptr || first == nullptr || last == nullptr) return kMmsMissing;
    if (depth > kMmsMaxDepth) return kMmsBadArgument;
    const T_FAST_ADDRESS address{nodes, first, depth};
    uint32_t position = 0;
    return m_pCollection->getPrmArrayLocal(&position, values, nullptr, nullptr, &address, last, 0, 0, at.values,
                                           nullptr, at.dirty, at.factors);
}

uint32_t CollectionWrapper::cnvStrToFastAddr(uint32_t* nodes, uint32_t* depth, uint32_t capacity, const char* text,
                                             uint32_t length)
{
    if (m_pCollection == nullptr) return kMmsWrongState;
    return m_pCollection->cnvStrToFastAddr(nodes, depth, capacity, text, length);
}

uint32_t CollectionWrapper::cnvFastToStrAddr(char* text, uint32_t capacity, const uint32_t* nodes, uint32_t depth,
                                             MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    if (text == nullptr) return kMmsBadArgument;
    (void)mmsMemset(text, 0, capacity);  // the conversion appends to what the buffer holds
    if (depth == 0) return m_pCollection->cnvFastToStrAddr(text, capacity, nullptr, context->level, 0);
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return m_pCollection->cnvFastToStrAddr(text, capacity, &address, 0, 0);
}

uint32_t CollectionWrapper::getNodeName(char* name, const uint32_t* nodes, uint32_t depth,
                                        MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    if (depth == 0) return m_pCollection->getNodeName(name);
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return m_pCollection->getNodeNameFast(name, &address, 0);
}

uint32_t CollectionWrapper::getNodeArraySize(uint32_t* size, const uint32_t* nodes, uint32_t depth,
                                             MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr) return kMmsBadArgument;
    if (m_pCollection == nullptr) return kMmsWrongState;
    if (depth == 0) return m_pCollection->getNodeArraySize(size, context->level);
    const T_FAST_ADDRESS address{nodes, nullptr, depth};
    return m_pCollection->getNodeArraySizeFast(size, &address, 0);
}

uint32_t CollectionWrapper::getPrmDef(JVariant* value, const uint32_t* nodes, const uint32_t* indexes, uint32_t depth,
                                      MMS_PLUGIN_STRUCT* context)
{
    if (context == nullptr || m_pCollection == nullptr) return kMmsWrongState;
    if (depth == 0) return kMmsNoSuchItem;
    const T_FAST_ADDRESS address{nodes, indexes, depth};
    return m_pCollection->getPrmDefLocal(nullptr, value, &address, 0, m_pStringPool, context->pluginList);
}

uint32_t CollectionWrapper::getPrmNominal(JVariant* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, NominalGetter(m_pStringPool));
}

uint32_t CollectionWrapper::getPrmMin(JVariant* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, MininumGetter());
}

uint32_t CollectionWrapper::getPrmMax(JVariant* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, MaximumGetter());
}

uint32_t CollectionWrapper::getPrmStep(JVariant* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, StepGetter());
}

uint32_t CollectionWrapper::getPrmScaling(uint32_t* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, ScalingGetter());
}

uint32_t CollectionWrapper::getPrmKind(uint32_t* value, const uint32_t* nodes, uint32_t depth, MMS_PLUGIN_STRUCT*)
{
    return getPrmAttribute(value, nodes, depth, m_pCollection, KindGetter());
}

}  // namespace MMS
