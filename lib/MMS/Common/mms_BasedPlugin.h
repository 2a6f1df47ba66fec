#pragma once
// A ready base for plug-ins: on attachment it keeps the collection wrapper and converts the
// owner's table of string addresses (relative to the collection) into Fast addresses, so the
// plug-in can reach its parameters without parsing text on every set. execute and getDefault
// give 0x80000001 until a derived plug-in provides them. Used on the task that owns the root.
#include <cstdint>

#include "mms_ILinkPlugin.h"

namespace MMS {

// One entry of a plug-in's address table, owned by the plug-in.
struct PLUGIN_ADDR_INFO {
    const char* address = nullptr;  // node names below the collection, read up to 120 characters
    uint32_t nodes[5] = {};         // filled on attachment
    uint32_t depth = 0;
    uint8_t valid = 0;              // 1 when the address converted
};

class BasedPlugin : public ILinkPlugin {
public:
    BasedPlugin() = default;
    ~BasedPlugin() override = default;
    BasedPlugin(const BasedPlugin&) = delete;
    BasedPlugin& operator=(const BasedPlugin&) = delete;

    [[nodiscard]] uint32_t execute(const JVariant& newValue, const JVariant* oldValue, uint32_t instance,
                                   const uint32_t* nodes, const uint32_t* indexes, uint32_t depth,
                                   ILinkReason& reason, MMS_PLUGIN_STRUCT* context) override;
    [[nodiscard]] uint32_t getDefault(JVariant* value, uint32_t instance, const uint32_t* nodes,
                                      const uint32_t* indexes, uint32_t depth,
                                      MMS_PLUGIN_STRUCT* context) const override;
    // 0x80000002 for a null wrapper, 0x80000004 when a wrapper is held already (it stays); then
    // the address table is converted: 0x80000003 when no entry converts (the plug-in is detached
    // again), else the last entry's result (0 when that entry failed).
    [[nodiscard]] uint32_t attached(CollectionWrapper* wrapper) override;
    // Forgets the wrapper. 0.
    [[nodiscard]] uint32_t detached() override;
    CollectionWrapper* getCollWrapper() override { return m_pWrapper; }

    // A derived plug-in hands out its table here (borrowed; it must outlive the attachment).
    // Without an override: 0x80000001.
    [[nodiscard]] virtual uint32_t getAddrTable(PLUGIN_ADDR_INFO** table, uint32_t* count);

protected:
    [[nodiscard]] uint32_t cnvStringToFastAddr();

    CollectionWrapper* m_pWrapper = nullptr;  // the collection's; valid between attached and detached
};

}  // namespace MMS
