#pragma once
// A plug-in attached to one collection of a root: it sees every single set aimed at a parameter at
// or below that collection before the value is written, may take the set over, and may supply
// defaults. Called on the caller's task under the locks of the field that owns the root. Results:
// a set top bit is a failure.
#include <cstdint>

class JVariant;

namespace MMS {

class CollectionWrapper;
class ILinkReason;
struct MMS_PLUGIN_STRUCT;

class ILinkPlugin {
public:
    // Failure fails the set, 0 lets the collection write as usual, any other success means the
    // plug-in has done the set. instance is the collection's element index; nodes, indexes and
    // depth address the parameter below the collection. oldValue may be null.
    [[nodiscard]] virtual uint32_t execute(const JVariant& newValue, const JVariant* oldValue, uint32_t instance,
                                           const uint32_t* nodes, const uint32_t* indexes, uint32_t depth,
                                           ILinkReason& reason, MMS_PLUGIN_STRUCT* context) = 0;
    // A success other than 0 means *value holds the default; otherwise the parameter's own counts.
    [[nodiscard]] virtual uint32_t getDefault(JVariant* value, uint32_t instance, const uint32_t* nodes,
                                              const uint32_t* indexes, uint32_t depth,
                                              MMS_PLUGIN_STRUCT* context) const = 0;
    // The collection's view, made by the collection and destroyed by it on removal (may be null
    // when it could not be made). A failure refuses the attachment.
    [[nodiscard]] virtual uint32_t attached(CollectionWrapper* wrapper) = 0;
    // After the collection destroyed the wrapper; the answer is what the removal returns.
    [[nodiscard]] virtual uint32_t detached() = 0;
    virtual CollectionWrapper* getCollWrapper() = 0;
    virtual ~ILinkPlugin() = default;
};

}  // namespace MMS
