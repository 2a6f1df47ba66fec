// The plug-in slots of a collection: attaching, detaching and looking up the plug-in of the
// addressed collection, and the bases of one instance for the plug-in's own reads and writes.
#include <new>

#include "jlib/jlib_result.h"
#include "mms_Collection.h"
#include "mms_CollectionWrapper.h"
#include "mms_CommonFunction.h"
#include "mms_ILinkPlugin.h"
#include "mms_Parameter.h"
#include "mms_PluginStruct.h"
#include "mms_ProcessOption.h"

namespace MMS {

namespace {

// The walk of the three addressed slot operations: down to the addressed collection with the list
// pointer at its slot. Plug-ins attach to collections only.
template <class AtSlot>
uint32_t walkToSlot(Collection& top, const T_FAST_ADDRESS* address, uint32_t level, ProcessOption* list,
                    AtSlot atSlot)
{
    if (list == nullptr) return kMmsMissing;
    Collection* here = &top;
    for (;;) {
        if (address != nullptr && level > 0) list += here->getCollNumInfo().offset;
        bool endsHere = false;
        Collection* child = nullptr;
        Parameter* parameter = nullptr;
        JLIB_RETURN_IF_FAILED(here->nextNode(&endsHere, &child, &parameter, address, level));
        if (endsHere) return atSlot(*here, list);
        if (parameter != nullptr) return kMmsNoSuchItem;
        here = child;
        ++level;
    }
}

}  // namespace

uint32_t Collection::appendPlugin(ILinkPlugin* plugin, const T_FAST_ADDRESS* address, uint32_t level,
                                  ProcessOption* pluginList, const char* stringPool)
{
    return walkToSlot(*this, address, level, pluginList, [&](Collection& c, ProcessOption* slot) {
        return c.appendPlugin(plugin, slot, stringPool);
    });
}

uint32_t Collection::appendPlugin(ILinkPlugin* plugin, ProcessOption* slot, const char* stringPool)
{
    if (plugin == nullptr) return kMmsBadArgument;
    if (slot == nullptr) return kMmsMissing;
    if (slot->m_pPlugin != nullptr) return kMmsAlreadyPresent;
    // Without memory the plug-in is asked all the same and may refuse a null view.
    CollectionWrapper* wrapper = new (std::nothrow) CollectionWrapper(this, stringPool);
    const uint32_t answer = plugin->attached(wrapper);
    if (mmsIsSuccess(answer)) {
        slot->m_pPlugin = plugin;
        return answer;
    }
    delete wrapper;
    return (answer & 0x7FFFFFFFu) == (kMmsWrongState & 0x7FFFFFFFu) ? kMmsBadArgument : kMmsAlreadyPresent;
}

uint32_t Collection::removePlugin(const T_FAST_ADDRESS* address, uint32_t level, ProcessOption* pluginList)
{
    return walkToSlot(*this, address, level, pluginList,
                      [](Collection&, ProcessOption* slot) { return Collection::removePlugin(slot); });
}

uint32_t Collection::removePlugin(ProcessOption* slot)
{
    if (slot == nullptr) return kMmsMissing;
    ILinkPlugin* plugin = slot->m_pPlugin;
    if (plugin == nullptr) return kMmsOk;
    delete plugin->getCollWrapper();  // made by appendPlugin; the plug-in itself stays its owner's
    slot->m_pPlugin = nullptr;
    return plugin->detached();
}

uint32_t Collection::getPlugin(ILinkPlugin** plugin, const T_FAST_ADDRESS* address, uint32_t level,
                               ProcessOption* pluginList) const
{
    // The walk only reads; it is shared with the writing operations.
    return walkToSlot(const_cast<Collection&>(*this), address, level, pluginList,
                      [&](Collection&, ProcessOption* slot) { return Collection::getPlugin(plugin, slot); });
}

uint32_t Collection::getPlugin(ILinkPlugin** plugin, ProcessOption* slot)
{
    if (plugin == nullptr) return kMmsBadArgument;
    if (slot == nullptr) return kMmsMissing;
    *plugin = slot->m_pPlugin;
    return kMmsOk;
}

uint32_t Collection::getOffsetPlugin(unsigned char** valueMemory, unsigned char** factorMemory, uint32_t* dirtyBase,
                                     uint32_t* serialBase, uint32_t instance, const MMS_PLUGIN_STRUCT* context) const
{
    if (context == nullptr) return kMmsBadArgument;
    unsigned char* values = context->valueMemory;
    uint32_t dirty = context->dirtyBase;
    uint32_t serial = context->serialBase;
    if (context->level > 0) {
        if (instance >= m_arraySize) return kMmsBadArgument;
        if (values != nullptr) values += CommonFunction::offsetCalculation(m_dataInfo, instance);
        dirty += CommonFunction::offsetCalculation(m_dirtyInfo, instance);
        serial += CommonFunction::offsetCalculation(m_serialInfo, instance);
    } else if (instance != 0) {
        return kMmsNoSuchItem;
    }
    if (valueMemory != nullptr) *valueMemory = values;
    if (factorMemory != nullptr) *factorMemory = context->factorMemory;
    if (dirtyBase != nullptr) *dirtyBase = dirty;
    if (serialBase != nullptr) *serialBase = serial;
    return kMmsOk;
}

}  // namespace MMS
