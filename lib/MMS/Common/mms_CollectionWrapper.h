#pragma once
// A plug-in's only view of the collection it is attached to: reads and writes of that
// collection's values (bypassing the plug-in itself), address conversions relative to it, node
// names and parameter attributes. Made by the collection on attachment and destroyed on removal;
// used on the task that called the plug-in, under the locks of the field that owns the root.
// Addresses are Fast addresses below the collection; instance is the collection's element index.
#include <cstdint>

#include "mms_Platform.h"

class JVariant;
class JVariantArray;

namespace MMS {

class Collection;
struct MMS_PLUGIN_STRUCT;

class CollectionWrapper {
public:
    MMS_CLASS_ALLOCATORS

    // collection and stringPool are borrowed: the root keeps both alive while the plug-in is attached.
    CollectionWrapper(Collection* collection, const char* stringPool)
        : m_pCollection(collection), m_pStringPool(stringPool)
    {
    }
    virtual ~CollectionWrapper() = default;
    CollectionWrapper(const CollectionWrapper&) = delete;
    CollectionWrapper& operator=(const CollectionWrapper&) = delete;

    // Value operations: 0x80000002 without context, 0x80000004 without collection; the instance
    // must exist (level 0: only 0, else 0x80000006; below: 0x80000002). Sets are local (the plug-in
    // is not called again) with the context's factor, checker, holder, slot and notify setter, and
    // a successful result is ORed into context->resultFlags. sameValue writes the first value
    // everywhere.
    [[nodiscard]] virtual uint32_t setPrm(const JVariant& value, uint32_t instance, const uint32_t* nodes,
                                          const uint32_t* indexes, uint32_t depth, MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t setPrmArray(const JVariantArray& values, uint32_t instance, const uint32_t* nodes,
                                               const uint32_t* first, const uint32_t* last, uint32_t depth,
                                               uint8_t sameValue, MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrm(JVariant* value, uint32_t instance, const uint32_t* nodes,
                                          const uint32_t* indexes, uint32_t depth, MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmArray(JVariantArray* values, uint32_t instance, const uint32_t* nodes,
                                               const uint32_t* first, const uint32_t* last, uint32_t depth,
                                               MMS_PLUGIN_STRUCT* context);
    // Text below the collection to node indexes appended from *depth on; needs no context.
    [[nodiscard]] virtual uint32_t cnvStrToFastAddr(uint32_t* nodes, uint32_t* depth, uint32_t capacity,
                                                    const char* text, uint32_t length);
    // Node path to text (buffer zero-filled first). Depth 0 answers for the collection itself at
    // the context's level.
    [[nodiscard]] virtual uint32_t cnvFastToStrAddr(char* text, uint32_t capacity, const uint32_t* nodes,
                                                    uint32_t depth, MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getNodeName(char* name, const uint32_t* nodes, uint32_t depth,
                                               MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getNodeArraySize(uint32_t* size, const uint32_t* nodes, uint32_t depth,
                                                    MMS_PLUGIN_STRUCT* context);
    // The parameter's own default (plug-ins further down still answer for theirs).
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* value, const uint32_t* nodes, const uint32_t* indexes,
                                             uint32_t depth, MMS_PLUGIN_STRUCT* context);
    // Attributes; the context is not examined.
    [[nodiscard]] virtual uint32_t getPrmNominal(JVariant* value, const uint32_t* nodes, uint32_t depth,
                                                 MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmMin(JVariant* value, const uint32_t* nodes, uint32_t depth,
                                             MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmMax(JVariant* value, const uint32_t* nodes, uint32_t depth,
                                             MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmStep(JVariant* value, const uint32_t* nodes, uint32_t depth,
                                              MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmScaling(uint32_t* value, const uint32_t* nodes, uint32_t depth,
                                                 MMS_PLUGIN_STRUCT* context);
    [[nodiscard]] virtual uint32_t getPrmKind(uint32_t* value, const uint32_t* nodes, uint32_t depth,
                                              MMS_PLUGIN_STRUCT* context);

private:
    Collection* m_pCollection;
    const char* m_pStringPool;
};

}  // namespace MMS
